#include "KorviTestMain.h"

#include "chart/TChart.h"
#include "data/CellFormatter.h"
#include "data/LogRecord.h"
#include "data/MeasurementStore.h"
#include "data/RecordList.h"
#include "data/Timestamp.h"
#include "data/UserLimitsHolder.h"
#include "views/TChartFilterPanel.h"
#include "views/TChartPage.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimeEdit>
#include <QWheelEvent>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int TestYear = 2026;
constexpr int AllChannelsMask = 7;
constexpr int TemperatureAndHumidity = 3;
const qint64 Start = TimestampSeconds(2024, 5, 1, 9, 0, 0);

int intervalCode(int seconds)
{
    switch (seconds) {
    case 10:
        return 3;
    case 60:
        return 5;
    default:
        return 2; // 5 s
    }
}

struct TRecordPlan {
    int repeats = 1;
    int intervalSeconds = 10;
    qint64 time = Start;
    int channels = AllChannelsMask;
    int humidity = 450; // tenths
};

// The point labels and moments of the store's load, as the page writes them.
TCellFormatter formatOf(const TMeasurementStore& store)
{
    return TCellFormatter(store.loadLocale());
}

// A store loaded with the given records.
std::unique_ptr<TMeasurementStore> storeOf(const std::vector<TRecordPlan>& plans)
{
    auto records = std::make_shared<TRecordList>(TestYear);
    for (const TRecordPlan& plan : plans)
        records->appendIfValid(MakeLogRecord(plan.repeats, intervalCode(plan.intervalSeconds) << 4 | plan.channels,
                                             plan.time, 215, quint16(plan.humidity), 998));
    auto store = std::make_unique<TMeasurementStore>();
    store->showRecords(records);
    return store;
}

// One single-row record every 10 s, humidity 10.0, 10.1, 10.2 and so on.
std::vector<TRecordPlan> risingHumidity(int rows)
{
    std::vector<TRecordPlan> plans;
    for (int row = 0; row < rows; ++row)
        plans.push_back(TRecordPlan{1, 10, Start + 10 * row, AllChannelsMask, 100 + row});
    return plans;
}

// Consecutive records, each starting where the one before ended.
std::vector<TRecordPlan> backToBack(std::vector<TRecordPlan> plans)
{
    qint64 time = Start;
    for (TRecordPlan& plan : plans) {
        plan.time = time;
        time += qint64(plan.repeats) * plan.intervalSeconds;
    }
    return plans;
}

using RunList = QList<QPair<int, int>>; // first and last row of each run, from 0

} // namespace

Q_DECLARE_METATYPE(std::vector<TRecordPlan>)

// The chart page on a store: the legend rule, gaps, the cursor readout and
// the period filter with its interval list, driven through the real controls.
class ChartPageTest : public QObject {
    Q_OBJECT

private slots:
    void legendRuleFollowsTheSeriesNumber_data();
    void legendRuleFollowsTheSeriesNumber();
    void missingChannelStaysAGapAfterLoadAndPeriod();
    void readoutNamesTheNearestPoint_data();
    void readoutNamesTheNearestPoint();
    void readoutHidesOutsideTheData();
    void readoutHidesWithFewerThanTwoVisiblePoints();
    void readoutUsesTheLocaleSeparatorAndADashForAMissingChannel_data();
    void readoutUsesTheLocaleSeparatorAndADashForAMissingChannel();
    void intervalListHasOneItemPerRunOfEqualIntervals_data();
    void intervalListHasOneItemPerRunOfEqualIntervals();
    void singleRowItemEmptiesTheChartAndKeepsTheWindow();
    void allItemGivesTheSameChartAsReset();
    void periodWindowZoomsBetweenAllPointsAndAQuarter();
    void resetKeepsEveryRepetitionOfTheLastRecord();
    void emptyPeriodLeavesTheWindowAsItWas();
    void loadPresetsPickersAndEnablesControls();
    void wheelZoomsAroundThePointerThenDrillsIntoAPeriod();
    void shiftDragAppliesItsSpanAsThePeriod();
    void doubleClickAndHomeShowTheWholeLog();
    void scrollBarHandleIsTheShownShareOfThePoints();
    void readoutTellsWhenAndGoesOnLeaveLoadAndPeriod();
    void pausesBreakTheCurvesAfterLoadAndInAPeriod();
    void reportChartShowsEveryRowAsThePageDrawsIt();

private:
    // A shown page on the store, loaded.
    std::unique_ptr<TChartPage> pageOn(const TMeasurementStore& store, QSize size = QSize(800, 500));
    TUserLimitsHolder limits{std::nullopt};
    static const ChartSeriesSource& series(const TChartPage& page, int index);
    static void moveTo(TChartPage& page, QPoint position);
    static void setPickers(TChartPage& page, qint64 start, qint64 stop);
    static QString readoutAt(TChartPage& page, double bottomValue);
    // A turn in eighths of a degree: a notch is 120.
    static void turnWheel(TChartPage& page, QPoint position, int eighths);
    static QDateTime pickedStart(const TChartPage& page);
    static QDateTime pickedStop(const TChartPage& page);
    static QDateTime moment(qint64 time) { return QDateTime(DateOf(time), TimeOf(time)); }
};

std::unique_ptr<TChartPage> ChartPageTest::pageOn(const TMeasurementStore& store, QSize size)
{
    auto page = std::make_unique<TChartPage>(store, limits);
    page->resize(size);
    page->show();
    page->storeLoaded();
    return page;
}

const ChartSeriesSource& ChartPageTest::series(const TChartPage& page, int index)
{
    return *page.Chart->model().series(index).source;
}

void ChartPageTest::moveTo(TChartPage& page, QPoint position)
{
    QMouseEvent move(QEvent::MouseMove, position, page.Chart->mapToGlobal(position), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(page.Chart, &move);
}

void ChartPageTest::setPickers(TChartPage& page, qint64 start, qint64 stop)
{
    page.PanelFiltr->DateTimePickerDFStart->setDate(DateOf(start));
    page.PanelFiltr->DateTimePickerTFStart->setTime(TimeOf(start));
    page.PanelFiltr->DateTimePickerDFStop->setDate(DateOf(stop));
    page.PanelFiltr->DateTimePickerTFStop->setTime(TimeOf(stop));
}

QString ChartPageTest::readoutAt(TChartPage& page, double bottomValue)
{
    const QRect plot = page.Chart->plotRect();
    moveTo(page, QPoint(qRound(page.Chart->bottomPixelOf(bottomValue)), plot.center().y()));
    return page.TrackingLabel()->isVisible() ? page.TrackingLabel()->text() : QString();
}

void ChartPageTest::turnWheel(TChartPage& page, QPoint position, int eighths)
{
    QWheelEvent wheel(position, page.Chart->mapToGlobal(position), QPoint(), QPoint(0, eighths), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(page.Chart, &wheel);
}

QDateTime ChartPageTest::pickedStart(const TChartPage& page)
{
    return QDateTime(page.PanelFiltr->DateTimePickerDFStart->date(), page.PanelFiltr->DateTimePickerTFStart->time());
}

QDateTime ChartPageTest::pickedStop(const TChartPage& page)
{
    return QDateTime(page.PanelFiltr->DateTimePickerDFStop->date(), page.PanelFiltr->DateTimePickerTFStop->time());
}

void ChartPageTest::legendRuleFollowsTheSeriesNumber_data()
{
    QTest::addColumn<int>("publishedSeries");
    QTest::addColumn<bool>("redLimits");
    QTest::addColumn<bool>("blueLimits");
    QTest::newRow("series 23") << 23 << false << false;
    QTest::newRow("series 24") << 24 << false << true;
}

void ChartPageTest::legendRuleFollowsTheSeriesNumber()
{
    QFETCH(int, publishedSeries);
    QFETCH(bool, redLimits);
    QFETCH(bool, blueLimits);
    const auto store = storeOf(risingHumidity(20));
    const auto page = pageOn(*store);
    page->setPublishedSeries([publishedSeries] { return publishedSeries; });
    QVERIFY(page->limitSeriesShown());

    QTest::mouseClick(page->Chart, Qt::LeftButton, {}, page->Chart->legendEntryRect(TChartPage::SeriesT).center());
    QVERIFY(!page->Chart->isSeriesVisible(TChartPage::SeriesT));
    QCOMPARE(page->Chart->isSeriesVisible(TChartPage::SeriesTLMax), redLimits);
    QCOMPARE(page->Chart->isSeriesVisible(TChartPage::SeriesTLMin), redLimits);
    QCOMPARE(page->Chart->isSeriesVisible(TChartPage::SeriesRHLMax), blueLimits);
    QCOMPARE(page->Chart->isSeriesVisible(TChartPage::SeriesRHLMin), blueLimits);

    // Ticking the box again brings the red lines back only for a series above 23.
    QTest::mouseClick(page->Chart, Qt::LeftButton, {}, page->Chart->legendEntryRect(TChartPage::SeriesT).center());
    QVERIFY(page->Chart->isSeriesVisible(TChartPage::SeriesT));
    QCOMPARE(page->Chart->isSeriesVisible(TChartPage::SeriesTLMax), publishedSeries > 23);

    // The green lines go and come with the pressure curve, on its axis.
    QTest::mouseClick(page->Chart, Qt::LeftButton, {}, page->Chart->legendEntryRect(TChartPage::SeriesP).center());
    QVERIFY(!page->Chart->isSeriesVisible(TChartPage::SeriesP));
    QVERIFY(!page->Chart->isSeriesVisible(TChartPage::SeriesPLMax));
    QVERIFY(!page->Chart->isSeriesVisible(TChartPage::SeriesPLMin));
    QTest::mouseClick(page->Chart, Qt::LeftButton, {}, page->Chart->legendEntryRect(TChartPage::SeriesP).center());
    QCOMPARE(page->Chart->isSeriesVisible(TChartPage::SeriesPLMax), publishedSeries > 23);
    QCOMPARE(page->Chart->isSeriesVisible(TChartPage::SeriesPLMin), publishedSeries > 23);
    QCOMPARE(page->Chart->seriesStyle(TChartPage::SeriesPLMax).axis, TChartAxisSide::Right);
}

void ChartPageTest::missingChannelStaysAGapAfterLoadAndPeriod()
{
    const auto store = storeOf(backToBack({{2, 10}, {1, 10, Start, TemperatureAndHumidity}, {2, 10}}));
    const auto page = pageOn(*store);
    QCOMPARE(series(*page, TChartPage::SeriesP).pointCount(), 5);
    QCOMPARE(series(*page, TChartPage::SeriesP).value(2), std::nullopt);
    QCOMPARE(series(*page, TChartPage::SeriesP).value(1), 99.8);

    setPickers(*page, Start + 10, Start + 40);
    QTest::mouseClick(page->PanelFiltr->ButtonFiltr, Qt::LeftButton);
    const ChartSeriesSource& pressure = series(*page, TChartPage::SeriesP);
    QCOMPARE(pressure.pointCount(), 4);
    QCOMPARE(pressure.value(1), std::nullopt);
    QCOMPARE(series(*page, TChartPage::SeriesT).value(1), 21.5);
    // A period labels every point with its own row's time, repetitions included.
    QCOMPARE(series(*page, TChartPage::SeriesTLMax).label(0), formatOf(*store).pointLabel(Start + 10));
    QCOMPARE(series(*page, TChartPage::SeriesTLMax).label(3), formatOf(*store).pointLabel(Start + 40));
}

void ChartPageTest::readoutNamesTheNearestPoint_data()
{
    QTest::addColumn<double>("bottomValue");
    QTest::addColumn<QString>("humidityLine");
    QTest::newRow("10.4") << 10.4 << QStringLiteral("RH = 11,0%");
    QTest::newRow("10.6") << 10.6 << QStringLiteral("RH = 11,1%");
    QTest::newRow("10.5, halfway") << 10.5 << QStringLiteral("RH = 11,0%");
}

void ChartPageTest::readoutNamesTheNearestPoint()
{
    QFETCH(double, bottomValue);
    QFETCH(QString, humidityLine);
    const auto store = storeOf(risingHumidity(101));
    const auto page = pageOn(*store);
    QCOMPARE(page->Chart->bottomRange(), (TChartRange{0, 25}));
    // Widen the page until a whole pixel stands exactly at the value.
    const auto exactPixel = [&page, bottomValue] {
        const double pixel = qRound(page->Chart->bottomPixelOf(bottomValue));
        return qFuzzyCompare(page->Chart->bottomValueAt(pixel), bottomValue);
    };
    for (int width = 800; width < 1000 && !exactPixel(); ++width)
        page->resize(width, 500);
    QVERIFY(exactPixel());
    const QString text = readoutAt(*page, bottomValue);
    QCOMPARE(text.split(u'\n').value(1), humidityLine);
    QCOMPARE(text.split(u'\n').value(2), QStringLiteral("t = 21,5*C"));
}

void ChartPageTest::readoutHidesOutsideTheData()
{
    const auto store = storeOf(risingHumidity(101));
    const auto page = pageOn(*store);
    const QRect plot = page->Chart->plotRect();
    const QPoint inside = plot.center();
    const QPoint outside[] = {{inside.x(), plot.top() - 3},
                              {inside.x(), plot.bottom() + 3},
                              {qRound(page->Chart->bottomPixelOf(0)), inside.y()},
                              {qRound(page->Chart->bottomPixelOf(-1)), inside.y()}};
    for (const QPoint& position : outside) {
        moveTo(*page, inside);
        QVERIFY(page->TrackingLabel()->isVisible());
        QVERIFY(page->Chart->model().cursorLine().has_value());
        moveTo(*page, position);
        QVERIFY2(!page->TrackingLabel()->isVisible(), qPrintable(QStringLiteral("at %1").arg(position.y())));
        QVERIFY(!page->Chart->model().cursorLine().has_value());
    }
    // The label sits 5 pixels right of and above the pointer.
    moveTo(*page, inside);
    QCOMPARE(page->TrackingLabel()->geometry().bottomLeft(), inside + QPoint(5, -6));
}

void ChartPageTest::readoutHidesWithFewerThanTwoVisiblePoints()
{
    const auto store = storeOf(risingHumidity(4));
    const auto page = pageOn(*store);
    QCOMPARE(page->Chart->bottomRange(), (TChartRange{0, 0}));
    moveTo(*page, page->Chart->plotRect().center());
    QVERIFY(!page->TrackingLabel()->isVisible());
}

void ChartPageTest::readoutUsesTheLocaleSeparatorAndADashForAMissingChannel_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QString>("moment");
    QTest::addColumn<QString>("values");
    QTest::newRow("point, 12-hour") << QLocale(QLocale::English, QLocale::UnitedStates) << AllChannelsMask
                                    << QStringLiteral("5/1/24 9:03:20 AM")
                                    << QStringLiteral("RH = 45.0%\nt = 21.5*C\nP = 99.8кПа");
    QTest::newRow("comma") << QLocale(QLocale::Russian, QLocale::Russia) << AllChannelsMask
                           << QStringLiteral("01.05.2024 09:03:20") << QStringLiteral("RH = 45,0%\nt = 21,5*C\nP = 99,8кПа");
    QTest::newRow("no pressure") << QLocale(QLocale::Russian, QLocale::Russia) << TemperatureAndHumidity
                                 << QStringLiteral("01.05.2024 09:03:20")
                                 << QStringLiteral("RH = 45,0%\nt = 21,5*C\nP = — кПа");
}

void ChartPageTest::readoutUsesTheLocaleSeparatorAndADashForAMissingChannel()
{
    QFETCH(QLocale, locale);
    QFETCH(int, channels);
    QFETCH(QString, moment);
    QFETCH(QString, values);
    const QLocale previous;
    QLocale::setDefault(locale);
    const auto store = storeOf({{200, 10, Start, channels, 450}});
    QLocale::setDefault(previous);
    const auto page = pageOn(*store);
    // Point 20 of one record every 10 s: 200 s after the start.
    QCOMPARE(formatOf(*store).dateTimeText(Start + 200), moment);
    QCOMPARE(readoutAt(*page, 20.2), moment + u'\n' + values);
}

void ChartPageTest::intervalListHasOneItemPerRunOfEqualIntervals_data()
{
    QTest::addColumn<std::vector<TRecordPlan>>("records");
    QTest::addColumn<RunList>("runs");
    QTest::newRow("10 10 10 60 60 10")
        << backToBack({{1, 10}, {1, 10}, {1, 10}, {1, 60}, {1, 60}, {1, 10}})
        << RunList{{0, 2}, {3, 4}, {5, 5}};
    QTest::newRow("same interval around a long pause")
        << std::vector<TRecordPlan>{{3, 10, Start}, {2, 10, Start + SecondsPerDay}}
        << RunList{{0, 4}};
}

void ChartPageTest::intervalListHasOneItemPerRunOfEqualIntervals()
{
    QFETCH(std::vector<TRecordPlan>, records);
    QFETCH(RunList, runs);
    const auto store = storeOf(records);
    const auto page = pageOn(*store);
    const QComboBox* list = page->PanelFiltr->ComboBoxRow;
    QCOMPARE(list->count(), runs.size() + 1);
    QCOMPARE(list->itemText(0), QStringLiteral("Все"));
    QCOMPARE(list->currentIndex(), 0);
    const TCellFormatter format = formatOf(*store);
    for (int item = 1; item <= runs.size(); ++item) {
        const auto [first, last] = runs[item - 1];
        QCOMPARE(list->itemText(item), format.dateTimeText(store->rowValues(first).time) + QStringLiteral(" - ")
                                           + format.dateTimeText(store->rowValues(last).time));
    }
    // Selecting item 0 at the load ran no period: the load's window stays.
    QCOMPARE(page->chartWindow().Width(), page->chartWindow().LastIndex() / 4);

    // Choosing an item shows exactly its run.
    page->PanelFiltr->ComboBoxRow->setCurrentIndex(1);
    QCOMPARE(series(*page, TChartPage::SeriesRH).pointCount(), runs[0].second - runs[0].first + 1);
    QCOMPARE(page->chartWindow().End(), runs[0].second - runs[0].first);
}

void ChartPageTest::singleRowItemEmptiesTheChartAndKeepsTheWindow()
{
    const auto store = storeOf(backToBack({{1, 10}, {1, 10}, {1, 10}, {1, 60}, {1, 60}, {1, 10}}));
    const auto page = pageOn(*store);
    page->PanelFiltr->ComboBoxRow->setCurrentIndex(2);
    QCOMPARE(page->chartWindow().LastIndex(), 1);
    page->PanelFiltr->ComboBoxRow->setCurrentIndex(3);
    for (int index = 0; index < page->Chart->seriesCount(); ++index)
        QCOMPARE(series(*page, index).pointCount(), 0);
    QCOMPARE(page->chartWindow().LastIndex(), 1);
    QCOMPARE(page->PanelFiltr->DateTimePickerTFStart->time(), TimeOf(Start + 150));
    QCOMPARE(page->PanelFiltr->DateTimePickerTFStop->time(), TimeOf(Start + 150));
}

void ChartPageTest::allItemGivesTheSameChartAsReset()
{
    const auto store = storeOf(backToBack({{3, 10}, {4, 60}, {5, 10}}));
    const auto page = pageOn(*store);
    const auto chartState = [&page] {
        const ChartSeriesSource& humidity = series(*page, TChartPage::SeriesRH);
        return QStringList{QString::number(humidity.pointCount()), humidity.label(0),
                           humidity.label(humidity.pointCount() - 1), QString::number(page->chartWindow().Start()),
                           QString::number(page->chartWindow().End())};
    };
    QTest::mouseClick(page->PanelFiltr->ButtonFilterClear, Qt::LeftButton);
    const QStringList afterReset = chartState();
    page->PanelFiltr->ComboBoxRow->setCurrentIndex(1);
    QVERIFY(chartState() != afterReset);
    page->PanelFiltr->ComboBoxRow->setCurrentIndex(0);
    QCOMPARE(chartState(), afterReset);
}

void ChartPageTest::periodWindowZoomsBetweenAllPointsAndAQuarter()
{
    const auto store = storeOf(risingHumidity(101));
    const auto page = pageOn(*store);
    setPickers(*page, Start + 100, Start + 500); // rows 10 to 50: m = 41
    QTest::mouseClick(page->PanelFiltr->ButtonFiltr, Qt::LeftButton);
    QCOMPARE(page->Chart->bottomRange(), (TChartRange{0, 40}));
    QTest::mouseClick(page->PanelFiltr->ButtonZoomOut, Qt::LeftButton);
    QCOMPARE(page->Chart->bottomRange(), (TChartRange{0, 40}));
    for (int click = 0; click < 40; ++click)
        QTest::mouseClick(page->PanelFiltr->ButtonZoomIn, Qt::LeftButton);
    QCOMPARE(page->Chart->bottomRange(), (TChartRange{0, 10}));
    QCOMPARE(page->PanelFiltr->ScrollBarScroll->maximum(), 30);
}

void ChartPageTest::resetKeepsEveryRepetitionOfTheLastRecord()
{
    // The stop pickers hold the last row's time, not the last record's base,
    // so "Сбросить" and "Все" lose none of its repetitions.
    const auto store = storeOf(backToBack({{3, 10}, {5, 60}}));
    const auto page = pageOn(*store);
    QCOMPARE(store->DataRowCount(), 8);
    QCOMPARE(page->PanelFiltr->DateTimePickerTFStop->time(), TimeOf(Start + 270));
    QTest::mouseClick(page->PanelFiltr->ButtonFilterClear, Qt::LeftButton);
    const ChartSeriesSource& humidity = series(*page, TChartPage::SeriesRH);
    QCOMPARE(humidity.pointCount(), 8);
    QCOMPARE(humidity.label(7), formatOf(*store).pointLabel(Start + 270));
    QCOMPARE(page->chartWindow().End(), 7);
    page->PanelFiltr->ComboBoxRow->setCurrentIndex(0);
    QCOMPARE(humidity.pointCount(), 8);
}

void ChartPageTest::emptyPeriodLeavesTheWindowAsItWas()
{
    const auto store = storeOf(risingHumidity(101));
    const auto page = pageOn(*store);
    setPickers(*page, Start + 2 * SecondsPerDay, Start + 3 * SecondsPerDay);
    QTest::mouseClick(page->PanelFiltr->ButtonFiltr, Qt::LeftButton);
    QCOMPARE(series(*page, TChartPage::SeriesT).pointCount(), 0);
    QCOMPARE(page->chartWindow().LastIndex(), 100);
    QCOMPARE(page->Chart->bottomRange(), (TChartRange{0, 25}));
}

void ChartPageTest::loadPresetsPickersAndEnablesControls()
{
    const auto empty = storeOf({});
    const auto page = pageOn(*empty);
    QVERIFY(!page->Chart->isEnabled());
    QVERIFY(!page->PanelFiltr->ButtonFiltr->isEnabled());
    QCOMPARE(page->PanelFiltr->ComboBoxRow->count(), 1);

    const auto store = storeOf(backToBack({{3, 10}, {5, 60}}));
    const auto loaded = pageOn(*store);
    const TChartFilterPanel& panel = *loaded->PanelFiltr;
    QVERIFY(loaded->Chart->isEnabled());
    QVERIFY(panel.ButtonZoomIn->isEnabled());
    QCOMPARE(panel.DateTimePickerDFStart->date(), DateOf(Start));
    QCOMPARE(panel.DateTimePickerTFStart->time(), TimeOf(Start));
    QCOMPARE(panel.DateTimePickerTFStop->time(), TimeOf(Start + 270)); // the last row's time
    QCOMPARE(panel.DateTimePickerDFStart->displayFormat(), QStringLiteral("dd.MM.yy"));
    QCOMPARE(panel.DateTimePickerTFStop->displayFormat(), QStringLiteral("HH:mm:ss"));
    QVERIFY(!panel.ComboBoxRow->isEditable());
    QVERIFY(loaded->ScrollBarScale->isHidden());
}

void ChartPageTest::wheelZoomsAroundThePointerThenDrillsIntoAPeriod()
{
    const auto store = storeOf(risingHumidity(10001));
    const auto page = pageOn(*store, QSize(1000, 600));
    page->PanelFiltr->ScrollBarScroll->setValue(4000);
    QCOMPARE(page->Chart->bottomRange(), (TChartRange{4000, 6500}));
    const QRect plot = page->Chart->plotRect();
    const QPoint pointer(plot.left() + plot.width() * 3 / 10, plot.center().y());

    // Out three notches and back in to the narrowest window: the value under
    // the pointer stays under it.
    for (int notches : {-1, -1, -1, 1, 1, 1}) {
        const double underPointer = page->Chart->bottomValueAt(pointer.x());
        const qint32 width = page->chartWindow().Width();
        turnWheel(*page, pointer, 120 * notches);
        QVERIFY(notches < 0 ? page->chartWindow().Width() > width : page->chartWindow().Width() < width);
        QVERIFY2(qAbs(page->Chart->bottomPixelOf(underPointer) - pointer.x()) <= 1.0,
                 qPrintable(QStringLiteral("width %1").arg(page->chartWindow().Width())));
        QCOMPARE(page->PanelFiltr->ScrollBarScroll->value(), page->chartWindow().Start());
    }
    QCOMPARE(page->chartWindow().Width(), page->chartWindow().MinWidth());
    QCOMPARE(series(*page, TChartPage::SeriesRH).pointCount(), 10001);

    // One more notch in: the visible span, a fifth narrower around the
    // pointer, becomes the period, and the pickers show its ends. A
    // touchpad's half notch is not yet a period.
    const double underPointer = page->Chart->bottomValueAt(pointer.x());
    turnWheel(*page, pointer, 60);
    QCOMPARE(series(*page, TChartPage::SeriesRH).pointCount(), 10001);
    turnWheel(*page, pointer, 60);
    const qint64 points = series(*page, TChartPage::SeriesRH).pointCount();
    QVERIFY2(qAbs(points - 2001) <= 1, qPrintable(QString::number(points)));
    const qint64 firstRow = Start + 0; // rows are 10 s apart from Start
    const qint64 first = (pickedStart(*page).toSecsSinceEpoch() - moment(firstRow).toSecsSinceEpoch()) / 10;
    const qint64 last = (pickedStop(*page).toSecsSinceEpoch() - moment(firstRow).toSecsSinceEpoch()) / 10;
    QCOMPARE(last - first + 1, points);
    QVERIFY(first < underPointer && underPointer < last);
    QVERIFY(qAbs((underPointer - first) - 0.3 * 2000) <= 2);
    QCOMPARE(page->chartWindow().LastIndex(), points - 1);
    QCOMPARE(page->Chart->bottomRange(), (TChartRange{0, double(points - 1)}));
    QCOMPARE(series(*page, TChartPage::SeriesRH).label(0), formatOf(*store).pointLabel(Start + 10 * first));
}

void ChartPageTest::shiftDragAppliesItsSpanAsThePeriod()
{
    const auto store = storeOf(risingHumidity(101));
    const auto page = pageOn(*store);
    const QRect plot = page->Chart->plotRect();
    const QPoint from(plot.left() + plot.width() / 5, plot.center().y());
    const QPoint to(plot.left() + plot.width() * 3 / 5, plot.center().y());
    const qint64 first = qint64(std::ceil(page->Chart->bottomValueAt(from.x())));
    const qint64 last = qint64(std::floor(page->Chart->bottomValueAt(to.x())));
    const TChartRange before = page->Chart->bottomRange();

    QTest::mousePress(page->Chart, Qt::LeftButton, Qt::ShiftModifier, from);
    QMouseEvent drag(QEvent::MouseMove, to, page->Chart->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::ShiftModifier);
    QCoreApplication::sendEvent(page->Chart, &drag);
    // Marking does not pan.
    QCOMPARE(page->Chart->bottomRange(), before);
    QVERIFY(!page->chartWindow().Panning());
    QCOMPARE(page->Chart->markedRect().left(), from.x());
    QTest::mouseRelease(page->Chart, Qt::LeftButton, Qt::ShiftModifier, to);

    QCOMPARE(pickedStart(*page), moment(Start + 10 * first));
    QCOMPARE(pickedStop(*page), moment(Start + 10 * last));
    QCOMPARE(series(*page, TChartPage::SeriesRH).pointCount(), last - first + 1);
    QCOMPARE(page->Chart->bottomRange(), (TChartRange{0, double(last - first)}));
    QVERIFY(page->Chart->markedRect().isEmpty());
}

void ChartPageTest::doubleClickAndHomeShowTheWholeLog()
{
    const auto store = storeOf(risingHumidity(101));
    const auto page = pageOn(*store);
    QVERIFY(QTest::qWaitForWindowActive(page.get()));
    const auto narrow = [&page] {
        setPickers(*page, Start + 100, Start + 200);
        QTest::mouseClick(page->PanelFiltr->ButtonFiltr, Qt::LeftButton);
        QCOMPARE(series(*page, TChartPage::SeriesRH).pointCount(), 11);
    };
    const auto showsTheWholeLog = [&page] {
        QCOMPARE(series(*page, TChartPage::SeriesRH).pointCount(), 101);
        QCOMPARE(page->Chart->bottomRange(), (TChartRange{0, 100}));
        QCOMPARE(pickedStart(*page), moment(Start));
        QCOMPARE(pickedStop(*page), moment(Start + 1000));
    };
    narrow();
    QTest::mouseDClick(page->Chart, Qt::LeftButton, {}, page->Chart->plotRect().center());
    showsTheWholeLog();

    // A double click on a legend box toggles the series twice and keeps the period.
    narrow();
    QTest::mouseDClick(page->Chart, Qt::LeftButton, {}, page->Chart->legendEntryRect(TChartPage::SeriesT).center());
    QCOMPARE(series(*page, TChartPage::SeriesRH).pointCount(), 11);

    page->Chart->setFocus();
    QTest::keyClick(page->Chart, Qt::Key_Home);
    showsTheWholeLog();
}

void ChartPageTest::scrollBarHandleIsTheShownShareOfThePoints()
{
    const auto store = storeOf(risingHumidity(1001));
    const auto page = pageOn(*store, QSize(1000, 600));
    page->placeControls(10, 900, 300);
    const QScrollBar& bar = *page->PanelFiltr->ScrollBarScroll;
    const auto handleShare = [&bar] {
        QStyleOptionSlider option;
        option.initFrom(&bar);
        option.orientation = bar.orientation();
        option.minimum = bar.minimum();
        option.maximum = bar.maximum();
        option.pageStep = bar.pageStep();
        option.singleStep = bar.singleStep();
        option.sliderPosition = bar.sliderPosition();
        option.sliderValue = bar.value();
        option.subControls = QStyle::SC_All;
        const QStyle* style = bar.style();
        const QRect groove = style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, &bar);
        const QRect handle = style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar);
        return double(handle.width()) / groove.width();
    };
    QVERIFY2(qAbs(handleShare() - 0.25) < 0.02, qPrintable(QString::number(handleShare())));
    const QPoint pointer = page->Chart->plotRect().center();
    turnWheel(*page, pointer, -360);
    const double shown = double(page->chartWindow().Width()) / page->chartWindow().LastIndex();
    QVERIFY(shown > 0.45);
    QVERIFY2(qAbs(handleShare() - shown) < 0.02, qPrintable(QString::number(handleShare())));
    for (int click = 0; click < 10; ++click)
        QTest::mouseClick(page->PanelFiltr->ButtonZoomIn, Qt::LeftButton);
    QVERIFY(qAbs(handleShare() - double(page->chartWindow().Width()) / page->chartWindow().LastIndex()) < 0.02);
    // A period shows all its points: the handle fills the bar.
    QTest::mouseClick(page->PanelFiltr->ButtonFilterClear, Qt::LeftButton);
    QCOMPARE(page->chartWindow().Width(), page->chartWindow().LastIndex());
    QVERIFY2(handleShare() > 0.98, qPrintable(QString::number(handleShare())));
}

void ChartPageTest::readoutTellsWhenAndGoesOnLeaveLoadAndPeriod()
{
    const auto store = storeOf(risingHumidity(101));
    const auto page = pageOn(*store);
    const auto shown = [&page] {
        return page->TrackingLabel()->isVisible() && page->Chart->model().cursorLine().has_value();
    };
    const auto hidden = [&page] {
        return !page->TrackingLabel()->isVisible() && !page->Chart->model().cursorLine().has_value();
    };
    QCOMPARE(readoutAt(*page, 10.2).split(u'\n').value(0), formatOf(*store).dateTimeText(Start + 100));

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(page->Chart, &leave);
    QVERIFY(hidden());

    // Onto the filter panel, which lies on the chart.
    moveTo(*page, page->Chart->plotRect().center());
    QVERIFY(shown());
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(page->PanelFiltr, &enter);
    QVERIFY(hidden());

    moveTo(*page, page->Chart->plotRect().center());
    QVERIFY(shown());
    page->storeLoaded();
    QVERIFY(hidden());

    for (QPushButton* button : {page->PanelFiltr->ButtonFiltr, page->PanelFiltr->ButtonFilterClear}) {
        moveTo(*page, page->Chart->plotRect().center());
        QVERIFY(shown());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY2(hidden(), qPrintable(button->text()));
    }
}

void ChartPageTest::pausesBreakTheCurvesAfterLoadAndInAPeriod()
{
    // Three rows, a pause of an hour, two rows, a record starting early
    // (the clock set back), then one following on without a pause.
    const auto store = storeOf({{3, 10, Start},
                                {2, 10, Start + 3600},
                                {1, 10, Start + 3000},
                                {1, 60, Start + 3060}});
    const auto page = pageOn(*store);
    const auto breaks = [&page] {
        const std::span<const qint64> found = page->Chart->model().breaks();
        return std::vector<qint64>(found.begin(), found.end());
    };
    QCOMPARE(breaks(), (std::vector<qint64>{3, 5}));

    setPickers(*page, Start + 10, Start + 3610);
    QTest::mouseClick(page->PanelFiltr->ButtonFiltr, Qt::LeftButton);
    // Rows 1 and 2 of the first record, then the later ones but the last.
    QCOMPARE(series(*page, TChartPage::SeriesRH).pointCount(), 6);
    QCOMPARE(breaks(), (std::vector<qint64>{2, 4}));
}

// Whatever period and zoom the page shows, a report's chart has every row of
// the report's store in view, with the series the legend shows and the page's
// legend, at the size asked.
void ChartPageTest::reportChartShowsEveryRowAsThePageDrawsIt()
{
    const auto store = storeOf(risingHumidity(101));
    const auto page = pageOn(*store);
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    QTest::mouseClick(page->Chart, Qt::LeftButton, Qt::NoModifier,
                      page->Chart->legendEntryRect(TChartPage::SeriesRH).center());
    QVERIFY(!page->Chart->isSeriesVisible(TChartPage::SeriesRH));
    setPickers(*page, Start + 200, Start + 600);
    QTest::mouseClick(page->PanelFiltr->ButtonFiltr, Qt::LeftButton);
    QTest::mouseClick(page->PanelFiltr->ButtonZoomIn, Qt::LeftButton);
    QVERIFY(page->Chart->bottomRange().span() < 40);

    const std::unique_ptr<TReportChart> report = page->reportChart(*store, QSize(640, 360));
    const TChart& chart = report->chart();
    QCOMPARE(chart.size(), QSize(640, 360));
    QCOMPARE(chart.bottomRange(), (TChartRange{0, 100}));
    const ChartSeriesSource& humidity = *chart.model().series(TChartPage::SeriesRH).source;
    QCOMPARE(humidity.pointCount(), 101);
    QCOMPARE(humidity.label(0), formatOf(*store).pointLabel(Start));
    QCOMPARE(humidity.label(100), formatOf(*store).pointLabel(Start + 1000));
    for (int series = 0; series < page->Chart->seriesCount(); ++series)
        QCOMPARE(chart.isSeriesVisible(series), page->Chart->isSeriesVisible(series));
    QCOMPARE(chart.model().legendPosition(), page->Chart->model().legendPosition());
}

KORVI_QTEST_MAIN(ChartPageTest)
#include "ChartPageTest.moc"
