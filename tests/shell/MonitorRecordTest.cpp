#include "KorviTestMain.h"

#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "settings/EraseQuestion.h"

#include "archive/ArchiveTestSupport.h"

#include "archive/TArchiveKeeper.h"
#include "archive/TMonitorDayKeeper.h"
#include "data/LogRecord.h"
#include "data/MeasurementStore.h"
#include "data/ReadSource.h"
#include "data/Timestamp.h"
#include "monitor/TLiveMonitor.h"
#include "monitor/TMonitorRecord.h"
#include "text/MessageText.h"

#include <QDir>
#include <QSignalSpy>

#include <cstring>
#include <map>

// What the monitor watched is the PC's own record of the logger, kept in
// the archive a day at a time once the day is over, beside the logger's
// downloads but never taken for them.
class MonitorRecordTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void aWatchedDayIsArchivedOnceOverAndOpensInTheViewer();
    void pastDaysAreArchivedAtStartAndADayKeptBeforeIsNotKeptTwice();
    void withoutAnArchiveTheDaysStay();
    void aFailedWriteIsToldOnTheMonitor();

private:
    static QString folder() { return TMonitorRecord::defaultFolder(); }
    // Two past days of a logger's record, as a run that ended before midnight left them.
    static void recordPastDays(const QString& label, const QDate& first);
};

namespace {

const QString Logger = QStringLiteral("2400123");

// A row as "time temperature humidity pressure", "-" for a channel not measured.
QString rowText(qint64 time, const std::array<std::optional<int>, 3>& tenths)
{
    QString text = QString::number(time);
    for (const std::optional<int>& value : tenths)
        text += u' ' + (value ? QString::number(*value) : QStringLiteral("-"));
    return text;
}

QStringList rowsOf(const QByteArray& raw, int year)
{
    QStringList rows;
    for (qsizetype offset = 0; offset + 16 <= raw.size(); offset += 16) {
        TLogRecord record;
        std::memcpy(&record, raw.constData() + offset, sizeof record);
        const TExpandedRecord expanded = ExpandRecord(record, year);
        for (int repetition = 0; repetition < expanded.repeatCount; ++repetition)
            rows << rowText(expanded.rowTime(repetition), {expanded.temperature, expanded.humidity, expanded.pressure});
    }
    return rows;
}

// The rows the day's record must hold: each 10-second slot of the day with
// the last measurement made in it, leaving out slots where nothing was measured.
QStringList expectedRows(const std::vector<TLiveMeasurement>& measurements, const QDate& day)
{
    std::map<qint64, std::array<std::optional<int>, 3>> slotValues;
    for (const TLiveMeasurement& measurement : measurements) {
        const QDate date = measurement.at.date();
        const QTime time = measurement.at.time();
        const qint64 seconds =
            TimestampSeconds(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
        slotValues[seconds - seconds % 10] = measurement.tenths;
    }
    QStringList rows;
    for (const auto& [start, tenths] : slotValues) {
        if (DateOf(start) == day && (tenths[0] || tenths[1] || tenths[2]))
            rows << rowText(start, tenths);
    }
    return rows;
}

std::vector<TArchiveEntry> entriesUnder(ScratchArchive& scratch, const QString& label)
{
    std::unique_ptr<TArchive> archive = scratch.open();
    QString error;
    TArchiveQuery query;
    query.label = label;
    return archive ? archive->entries(query, &error) : std::vector<TArchiveEntry>();
}

} // namespace

void MonitorRecordTest::init()
{
    QVERIFY(QDir(folder()).removeRecursively());
}

void MonitorRecordTest::recordPastDays(const QString& label, const QDate& first)
{
    TMonitorRecord record(folder());
    for (int day = 0; day < 2; ++day) {
        for (int second = 0; second < 60; second += 2)
            record.take(label, {QDateTime(first.addDays(day), QTime(12, 0, second)), {200 + second / 20, 450, 1013}});
    }
}

void MonitorRecordTest::aWatchedDayIsArchivedOnceOverAndOpensInTheViewer()
{
    ScratchArchive scratch(TArchiveLocation::Engine::Sqlite);
    SimulatedWindows simulation(QByteArray(160, '\0'), {}, scratch.location());
    QSignalSpy found(simulation.windows->archive_.get(), &TArchiveKeeper::latestFound);
    simulation.connectLogger();
    QTRY_COMPARE_WITH_TIMEOUT(found.count(), 1, 10000);
    const QString label = simulation.windows->connection_->deviceLabel();
    const QString monitorLabel = TMonitorDayKeeper::archiveLabel(label);
    QCOMPARE(monitorLabel, label + QStringLiteral(" (монитор)"));

    const QDate day(2024, 6, 14);
    QDateTime now(day, QTime(23, 55, 1));
    simulation.liveMonitor().setClock([&now] { return now; });
    std::vector<TLiveMeasurement> measured;
    connect(simulation.windows->formRead_.get(), &TFormRead::measured, this,
            [&measured](const TLiveMeasurement& measurement) { measured.push_back(measurement); });
    QSignalSpy kept(simulation.windows->archive_.get(), &TArchiveKeeper::kept);
    simulation.logger->setChannelReading(1, 455);
    simulation.logger->setChannelReading(2, 1013);
    // The last five minutes of the day and a little of the next: the readings
    // change now and then, the monitor pauses for half a minute, and the
    // logger gives no humidity for a while.
    for (int cycle = 0; now < QDateTime(day.addDays(1), QTime(0, 0, 30)); ++cycle, now = now.addSecs(2)) {
        simulation.logger->setChannelReading(0, -15 + cycle / 7);
        simulation.logger->setChannelReading(1, cycle >= 50 && cycle < 55 ? 1500 : 455);
        if (cycle >= 20 && cycle < 35)
            continue;
        simulation.liveMonitor().Timer2Timer();
        simulation.finishRequests();
    }
    // Kept while the cycles ran, or after.
    QTRY_VERIFY_WITH_TIMEOUT(!kept.isEmpty(), 10000);
    QCOMPARE(kept.first().at(1).toBool(), true);
    QCOMPARE(kept.first().at(2).toString(), monitorLabel);

    const std::vector<TArchiveEntry> entries = entriesUnder(scratch, monitorLabel);
    QCOMPARE(entries.size(), size_t(1));
    QString error;
    const std::optional<QByteArray> raw = scratch.open()->rawRecords(entries.front().id, &error);
    QVERIFY2(raw, qPrintable(error));
    const QStringList rows = rowsOf(*raw, day.year());
    QCOMPARE(rows, expectedRows(measured, day));
    QCOMPARE(rows.size(), 5 * 6 - 3); // 23:55:00 to 23:59:50, less the pause's slots
    QVERIFY2(rows[7].endsWith(QStringLiteral(" - 1013")), qPrintable(rows[7])); // 23:56:40, without humidity
    const QString dayFile = simulation.windows->monitorRecord_->dayPath(label, day);
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(dayFile), 5000);
    QVERIFY(QFileInfo::exists(simulation.windows->monitorRecord_->dayPath(label, day.addDays(1))));

    // The logger's own label still has no log kept: the erase question says so.
    simulation.windows->archive_->findLatest(label);
    QTRY_COMPARE_WITH_TIMEOUT(found.count(), 2, 10000);
    QCOMPARE(found.last().at(0).toString(), label);
    QVERIFY(!found.last().at(1).toDateTime().isValid());
    TLoggerPage& page = *SettingsControls(*simulation.windows->formSetting_).LoggerPage;
    const EraseQuestionSeen question = AnswerEraseQuestion(page, QStringLiteral("Нет"));
    QCOMPARE(question.informativeText, QStringLiteral("В архиве нет ни одного журнала этого даталоггера."));

    // Opened from the archive, the viewer shows the record's rows at their times.
    TFormMain& viewer = *simulation.windows->formMain_;
    auto told = std::make_shared<std::optional<QString>>();
    viewer.openArchivedLog(monitorLabel, *raw, &viewer, [told](const QString& failure) { *told = failure; });
    QTRY_VERIFY_WITH_TIMEOUT(told->has_value(), 20000);
    QCOMPARE(**told, QString());
    QStringList shown;
    for (qint64 row = 0; row < viewer.store().DataRowCount(); ++row) {
        const TRowValues values = viewer.store().rowValues(row);
        shown << rowText(values.time, {values.temperature, values.humidity, values.pressure});
    }
    QCOMPARE(shown, rows);
    simulation.windows.reset();
}

void MonitorRecordTest::pastDaysAreArchivedAtStartAndADayKeptBeforeIsNotKeptTwice()
{
    ScratchArchive scratch(TArchiveLocation::Engine::Sqlite);
    const QDate first(2024, 6, 10);
    recordPastDays(Logger, first);
    const QString path = TMonitorRecord(folder()).dayPath(Logger, first);
    QString error;
    const std::optional<QByteArray> firstDay = ReadFileBytes(path, &error);
    QVERIFY2(firstDay, qPrintable(error));
    {
        SimulatedWindows simulation(QByteArray(160, '\0'), {}, scratch.location());
        QSignalSpy kept(simulation.windows->archive_.get(), &TArchiveKeeper::kept);
        QTRY_COMPARE_WITH_TIMEOUT(kept.count(), 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(QDir(folder()).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name), QStringList(), 5000);
        QCOMPARE(QDir(QDir(folder()).filePath(Logger)).entryList(QDir::Files), QStringList());
        simulation.windows.reset();
    }
    const std::vector<TArchiveEntry> entries = entriesUnder(scratch, TMonitorDayKeeper::archiveLabel(Logger));
    QCOMPARE(entries.size(), size_t(2));
    QCOMPARE(entries[1].summary.rowCount, 6); // a minute's slots of the older day
    QCOMPARE(scratch.open()->rawRecords(entries[1].id, &error), firstDay);

    // A run that ended after the day was stored but before its file went away.
    QFile again(path);
    QVERIFY(again.open(QIODevice::WriteOnly));
    QCOMPARE(again.write(*firstDay), firstDay->size());
    again.close();
    SimulatedWindows simulation(QByteArray(160, '\0'), {}, scratch.location());
    QSignalSpy kept(simulation.windows->archive_.get(), &TArchiveKeeper::kept);
    QVERIFY(kept.wait(10000));
    QCOMPARE(kept.first().at(1).toBool(), false);
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(path), 5000);
    QCOMPARE(entriesUnder(scratch, TMonitorDayKeeper::archiveLabel(Logger)).size(), size_t(2));
    simulation.windows.reset();
}

void MonitorRecordTest::withoutAnArchiveTheDaysStay()
{
    recordPastDays(Logger, QDate(2024, 6, 10));
    SimulatedWindows simulation;
    QVERIFY(!simulation.windows->archive_);
    QTest::qWait(200);
    QCOMPARE(QDir(QDir(folder()).filePath(Logger)).entryList(QDir::Files),
             QStringList({"2024-06-10.log", "2024-06-11.log"}));
}

// The monitor is where the user looks while it records; the record's own
// failures are made and tested in monitor_record_tests.
void MonitorRecordTest::aFailedWriteIsToldOnTheMonitor()
{
    SimulatedWindows simulation;
    simulation.connectLogger();
    auto* record = simulation.windows->formRead_->findChild<TMonitorRecord*>();
    QVERIFY(record);
    const QString line = QStringLiteral("Показания монитора не записаны в /x/2400123/2026-12-11.log: нет места на диске");
    emit record->failed(WithDetail(line, QStringLiteral("No space left on device")));
    auto* status = simulation.windows->formRead_->findChild<QLabel*>(QStringLiteral("StatusLine"));
    QCOMPARE(status->text(), line);
    QCOMPARE(status->palette().color(QPalette::WindowText), QColor(Qt::red));
}

KORVI_QTEST_MAIN(MonitorRecordTest)
#include "MonitorRecordTest.moc"
