#include "KorviTestMain.h"

#include "SimulatedWindows.h"
#include "ViewerControls.h"

#include "chart/TChart.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/RowTexts.h"
#include "shell/TFormMain.h"
#include "views/TChartFilterPanel.h"
#include "views/TChartPage.h"

#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

// The chart page inside the data viewer: what a load leaves on it, the
// window layout's places for its scroll bar and legend, and the logger's
// series deciding the limit lines.
class ChartPageWindowTest : public QObject {
    Q_OBJECT

private slots:
    void loadShowsTheFirstQuarterAndListsTheIntervals();
    void loadWithoutDataDisablesThePage();
    void layoutPlacesScrollBarAndLegendFromTheChartWidth();
    void detectedSeriesDrivesTheLimitLines_data();
    void detectedSeriesDrivesTheLimitLines();
};

namespace {

QByteArray generatedLog(qint64 records)
{
    return LogGenerator(3).generate(records, TLogShape::Typical, QDateTime(QDate(2024, 5, 1), QTime(9, 0)));
}

} // namespace

void ChartPageWindowTest::loadShowsTheFirstQuarterAndListsTheIntervals()
{
    SimulatedWindows simulation(generatedLog(300));
    simulation.connectLogger();
    TFormMain& viewer = *simulation.windows->formMain_;
    QVERIFY(loadFromLogger(viewer));
    const TMeasurementStore& store = viewer.store();
    const TChartPage& page = *ViewerControls(viewer).ChartPage;
    const qint64 lastIndex = store.DataRowCount() - 1;
    QVERIFY(lastIndex > 300);
    QCOMPARE(page.Chart->bottomRange(), (TChartRange{0, double(lastIndex / 4)}));
    QCOMPARE(page.PanelFiltr->ScrollBarScroll->maximum(), lastIndex - lastIndex / 4);
    QVERIFY(page.Chart->isEnabled());
    QVERIFY(page.PanelFiltr->ButtonFiltr->isEnabled());
    const QComboBox& list = *page.PanelFiltr->ComboBoxRow;
    QCOMPARE(list.count(), store.intervalRunCount() + 1);
    QVERIFY(list.count() > 2);
    QCOMPARE(list.currentText(), QStringLiteral("Все"));
    QCOMPARE(list.itemText(1), TRowTexts(store).intervalRunText(0));
}

void ChartPageWindowTest::loadWithoutDataDisablesThePage()
{
    SimulatedWindows simulation(generatedLog(50));
    simulation.connectLogger();
    TFormMain& viewer = *simulation.windows->formMain_;
    QVERIFY(loadFromLogger(viewer));
    QVERIFY(ViewerControls(viewer).ChartPage->Chart->isEnabled());

    simulation.logger->setLog(QByteArray(160, '\0'));
    QVERIFY(loadFromLogger(viewer));
    QCOMPARE(viewer.store().DataRowCount(), 0);
    const TChartPage& chartPage = *ViewerControls(viewer).ChartPage;
    const TChartFilterPanel& panel = *chartPage.PanelFiltr;
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             chartPage.Chart, panel.ButtonZoomIn, panel.ButtonZoomOut, panel.ComboBoxRow, panel.ButtonFiltr,
             panel.ButtonFilterClear, panel.ScrollBarScroll})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    QCOMPARE(panel.ComboBoxRow->count(), 1);
}

void ChartPageWindowTest::layoutPlacesScrollBarAndLegendFromTheChartWidth()
{
    SimulatedWindows simulation(generatedLog(50));
    simulation.connectLogger();
    TFormMain& viewer = *simulation.windows->formMain_;
    viewer.show();
    QVERIFY(loadFromLogger(viewer));
    ViewerControls(viewer).PageControlData->show();
    viewer.resize(900, 560);
    const TChart& chart = *ViewerControls(viewer).ChartPage->Chart;
    QTRY_COMPARE(chart.width(), ViewerControls(viewer).ChartPage->width());
    const QScrollBar& bar = *ViewerControls(viewer).ChartPage->PanelFiltr->ScrollBarScroll;
    QCOMPARE(bar.x(), 45);
    QCOMPARE(bar.width(), chart.width() - 45 - 45);
    QCOMPARE(chart.model().legendPosition().x(), (chart.width() - 390) / 2);
}

void ChartPageWindowTest::detectedSeriesDrivesTheLimitLines_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("volumeLabel");
    QTest::addColumn<bool>("limitsAfterDetection");
    QTest::newRow("series 23") << QStringLiteral("17F00001") << QStringLiteral("2300123") << false;
    QTest::newRow("series 24") << QStringLiteral("18F00001") << QStringLiteral("2400123") << true;
}

void ChartPageWindowTest::detectedSeriesDrivesTheLimitLines()
{
    QFETCH(QString, serial);
    QFETCH(QString, volumeLabel);
    QFETCH(bool, limitsAfterDetection);
    SimulatedWindows simulation(generatedLog(50), volumeLabel);
    simulation.logger->setSerialNumber(serial);
    simulation.connectLogger();
    TFormMain& viewer = *simulation.windows->formMain_;
    viewer.show();
    QVERIFY(loadFromLogger(viewer));
    ViewerControls(viewer).PageControlData->show();
    TChart& chart = *ViewerControls(viewer).ChartPage->Chart;
    QCOMPARE(viewer.limitSeriesShown(), limitsAfterDetection);
    QVERIFY(chart.isEnabled());

    // Clearing the humidity box: the blue lines follow it only above series 23,
    // and the red ones come back there whatever they were.
    QTRY_VERIFY(!chart.legendEntryRect(TChartPage::SeriesRH).isEmpty());
    QTest::mouseClick(&chart, Qt::LeftButton, {}, chart.legendEntryRect(TChartPage::SeriesRH).center());
    QVERIFY(!chart.isSeriesVisible(TChartPage::SeriesRH));
    QVERIFY(!chart.isSeriesVisible(TChartPage::SeriesRHLMax));
    QVERIFY(!chart.isSeriesVisible(TChartPage::SeriesRHLMin));
    QCOMPARE(chart.isSeriesVisible(TChartPage::SeriesTLMax), limitsAfterDetection);
    QCOMPARE(chart.isSeriesVisible(TChartPage::SeriesTLMin), limitsAfterDetection);
}

KORVI_QTEST_MAIN(ChartPageWindowTest)
#include "ChartPageWindowTest.moc"
