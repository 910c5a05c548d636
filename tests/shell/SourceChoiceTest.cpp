#include "KorviTestMain.h"

#include "SimulatedWindows.h"
#include "StatisticsControls.h"
#include "ViewerControls.h"

#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/RowTexts.h"
#include "data/SourceList.h"
#include "reports/Statistics.h"
#include "shell/TFormMain.h"
#include "shell/TFormStatistic.h"
#include "shell/TLogFileActions.h"
#include "views/TChartFilterPanel.h"
#include "views/TChartPage.h"
#include "views/TTablePage.h"
#include "views/TVirtualGrid.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

// Every accepted source of a load listed under "Источники ..." and shown on
// choice, from what the load kept, and the statistics window that shows the
// limit lines below its twelve rows.
class SourceChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void acceptedSourcesAreListedAfterTheSeparatorTheFirstShown();
    void choosingASourceShowsItWithoutTheLoggerOrItsFile();
    void statisticsWindowGrowsBelowItsTwelveRows();

private:
    QList<QAction*> sourceItems() const;
    QString statistic(int row) const;

    std::unique_ptr<SimulatedWindows> simulation;
    TFormMain* viewer = nullptr;
    QByteArray firstLog;
    QByteArray secondLog;
};

void SourceChoiceTest::init()
{
    // The same size, so the logger's record count reads both whole.
    firstLog = LogGenerator(4).generate(120, TLogShape::Typical, QDateTime(QDate(2024, 2, 1), QTime(10, 0)));
    secondLog = LogGenerator(7).generate(120, TLogShape::Typical, QDateTime(QDate(2024, 3, 5), QTime(8, 30)));
    simulation = std::make_unique<SimulatedWindows>(firstLog);
    simulation->addDriveLikeTheLoggers(secondLog);
    simulation->connectLogger();
    viewer = simulation->windows->formMain_.get();
    viewer->show();
    viewer->BeginLoad();
    viewer->TimerLoadTimer();
    QVERIFY(finishBackgroundJob(*viewer));
}

void SourceChoiceTest::cleanup()
{
    simulation.reset();
}

// The items between the separator and "Открыть файл...".
QList<QAction*> SourceChoiceTest::sourceItems() const
{
    const QList<QAction*> items = ViewerControls(*viewer).N1Source->actions();
    const qsizetype from = items.indexOf(ViewerControls(*viewer).N1_2Separator) + 1;
    const qsizetype to = items.indexOf(simulation->windows->logFiles_->openFileItem);
    return items.mid(from, to - from);
}

QString SourceChoiceTest::statistic(int row) const
{
    return StatisticsControls(*simulation->windows->formStatistic_).StringGridStatistic->item(row, 1)->text();
}

void SourceChoiceTest::acceptedSourcesAreListedAfterTheSeparatorTheFirstShown()
{
    const QStringList paths{QDir::toNativeSeparators(simulation->drive.filePath(QStringLiteral("data.log"))),
                            QDir::toNativeSeparators(simulation->moreDrives[0]->filePath(QStringLiteral("data.log")))};
    for (int load = 0; load < 2; ++load) { // a new load replaces the items
        const QList<QAction*> items = sourceItems();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), paths[0]);
        QCOMPARE(items[1]->text(), paths[1]);
        QVERIFY(items[0]->isChecked());
        QVERIFY(!items[1]->isChecked());
        QCOMPARE(viewer->sources().shownSourceIndex(), 0);
        QCOMPARE(TRowTexts(viewer->store()).cellText(0, 1), QStringLiteral("01.02.2024"));
        items[1]->trigger();
        QVERIFY(loadFromLogger(*viewer));
    }
}

void SourceChoiceTest::choosingASourceShowsItWithoutTheLoggerOrItsFile()
{
    TMeasurementStore& store = viewer->store();
    const qint64 firstRows = store.DataRowCount();
    TFormStatistic& statistics = *simulation->windows->formStatistic_;
    statistics.show();
    QCOMPARE(statistic(2), QString::number(firstRows));

    // Nothing is asked or read again: the logger is gone and so are the files.
    simulation->backend->pull(simulation->logger);
    QVERIFY(QFile::remove(simulation->drive.filePath(QStringLiteral("data.log"))));
    QVERIFY(QFile::remove(simulation->moreDrives[0]->filePath(QStringLiteral("data.log"))));

    sourceItems()[1]->trigger();
    QCOMPARE(viewer->sources().shownSourceIndex(), 1);
    const qint64 secondRows = store.DataRowCount();
    QVERIFY(secondRows != firstRows);
    QVERIFY(sourceItems()[1]->isChecked() && !sourceItems()[0]->isChecked());
    QCOMPARE(TRowTexts(store).cellText(0, 1), QStringLiteral("05.03.2024"));
    QCOMPARE(TRowTexts(store).cellText(0, 2), QStringLiteral("08:30:00"));
    const ViewerControls window(*viewer);
    QCOMPARE(window.TablePage->StringGridFiltr->model()->rowCount(), int(secondRows));
    QCOMPARE(window.TablePage->DateTimePickerDFStartS->date(), QDate(2024, 3, 5));
    QVERIFY(window.ChartPage->PanelFiltr->ComboBoxRow->itemText(1).startsWith(QStringLiteral("05.03.2024 08:30:00")));
    // The open statistics window follows the choice.
    QCOMPARE(statistic(0), QStringLiteral("08:30:00 05.03.2024"));
    QCOMPARE(statistic(2), QString::number(secondRows));
    const QStringList limits = MetrologyTexts(store, store.loadLocale());
    for (int row = 0; row < limits.size(); ++row)
        QCOMPARE(StatisticsControls(statistics).StringGridMetrology->item(row, 1)->text(), limits[row]);

    // "*.log" keeps the shown source's records unchanged.
    const QString copy = simulation->drive.filePath(QStringLiteral("copy.log"));
    simulation->dialogs->answers = {copy};
    simulation->windows->logFiles_->logCopyItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QFile saved(copy);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), secondLog);

    sourceItems()[0]->trigger();
    QCOMPARE(viewer->sources().shownSourceIndex(), 0);
    QCOMPARE(store.DataRowCount(), firstRows);
    QCOMPARE(TRowTexts(store).cellText(0, 1), QStringLiteral("01.02.2024"));
    QCOMPARE(statistic(0), QStringLiteral("10:00:00 01.02.2024"));
    QCOMPARE(ViewerControls(*viewer).TablePage->DateTimePickerDFStartS->date(), QDate(2024, 2, 1));
}

void SourceChoiceTest::statisticsWindowGrowsBelowItsTwelveRows()
{
    TFormStatistic& statistics = *simulation->windows->formStatistic_;
    statistics.show();
    QCOMPARE(StatisticsControls(statistics).StringGridStatistic->rowCount(), 12);
    QCOMPARE(StatisticsControls(statistics).StringGridStatistic->geometry(), QRect(0, 0, 362, 217));
    QCOMPARE(StatisticsControls(statistics).StringGridStatistic->item(11, 0)->text(), QStringLiteral("Минимальное давление, кПа"));
    const QTableWidget& limits = *StatisticsControls(statistics).StringGridMetrology;
    QCOMPARE(limits.rowCount(), 13);  // two lines for each of the six limits
    QCOMPARE(limits.item(0, 0)->text(), QStringLiteral("Средняя кинетическая температура, *С"));
    QCOMPARE(limits.item(1, 0)->text(), QStringLiteral("Время выше 36,9 *С"));
    QCOMPARE(limits.item(2, 0)->text(), QStringLiteral("Выходов выше 36,9 *С"));
    QCOMPARE(limits.item(1, 1)->textAlignment(), int(Qt::AlignCenter));
    // Each grid shows all of its rows; below them "Пределы..." and the button that closes the window.
    QCOMPARE(limits.geometry().top(), 217);
    QVERIFY(limits.rowViewportPosition(12) + limits.rowHeight(12) <= limits.viewport()->height());
    QCOMPARE(limits.item(12, 0)->text(), QStringLiteral("Выходов ниже 84,0 кПа"));
    QCOMPARE(StatisticsControls(statistics).ButtonLimits->geometry().top(), limits.geometry().bottom() + 1);
    QCOMPARE(StatisticsControls(statistics).ButtonLimits->text(), QStringLiteral("Пределы..."));
    QCOMPARE(StatisticsControls(statistics).ButtonClose->geometry().top(), StatisticsControls(statistics).ButtonLimits->geometry().bottom() + 1);
    QVERIFY(StatisticsControls(statistics).ButtonClose->geometry().bottom() <= statistics.height());
}

KORVI_QTEST_MAIN(SourceChoiceTest)
#include "SourceChoiceTest.moc"
