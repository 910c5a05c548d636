#include "FileFaults.h"

#include "data/LogRecord.h"
#include "monitor/TMonitorRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

// Lines shown as text when an expectation fails.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

using Tenths = std::array<std::optional<int>, 3>; // temperature, humidity, pressure

const QString Label = QStringLiteral("2400123");
const QDate Day(2024, 6, 15);
const Tenths A{235, 456, 1013};
const Tenths B{-50, 456, 1013};
const Tenths NoPressure{235, 456, std::nullopt};
const Tenths Silent{};

struct Measurement {
    QDateTime at;
    Tenths tenths;
};

QDateTime at(int hour, int minute, int second, const QDate& day = Day)
{
    return QDateTime(day, QTime(hour, minute, second));
}

// The same values measured every 2 s, as the monitor polls, from `from` for `count` slots.
std::vector<Measurement> polled(const QDateTime& from, int count, const Tenths& tenths)
{
    std::vector<Measurement> measurements;
    for (int second = 0; second < count * TMonitorRecord::SlotSeconds; second += 2)
        measurements.push_back({from.addSecs(second), tenths});
    return measurements;
}

std::vector<Measurement> operator+(std::vector<Measurement> first, const std::vector<Measurement>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The records of every day file of the label, oldest day first, as the Sys page dumps them.
QStringList recordedLines(const QString& folder, const QString& label = Label)
{
    QStringList lines;
    const QDir labelFolder(QDir(folder).filePath(label));
    for (const QString& name : labelFolder.entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name)) {
        QFile file(labelFolder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("cannot read ") + name};
        const QByteArray bytes = file.readAll();
        for (qsizetype offset = 0; offset + 16 <= bytes.size(); offset += 16) {
            TLogRecord record;
            std::memcpy(&record, bytes.constData() + offset, sizeof record);
            lines << DumpLine(record);
        }
    }
    return lines;
}

void take(TMonitorRecord& record, const std::vector<Measurement>& measurements)
{
    for (const Measurement& measurement : measurements)
        record.take(Label, {measurement.at, measurement.tenths});
}

// Each 10-second slot takes its last measurement; equal neighbouring slots
// are one record counting them, up to 255; anything else starts a record.
TEST(MonitorRecord, SlotsBecomeRecordsOfRepeatedValues)
{
    struct Case {
        const char* name;
        std::vector<Measurement> measurements;
        QStringList records; // repeat, interval code, mask, time, date, temperature, humidity, pressure
    };
    const Case cases[] = {
        {"identical values merge", polled(at(12, 0, 0), 3, A), {"3 3 7 12:0:0 15.6.24 235 456 1013"}},
        {"a change starts a record", polled(at(12, 0, 0), 2, A) + polled(at(12, 0, 20), 2, B),
         {"2 3 7 12:0:0 15.6.24 235 456 1013", "2 3 7 12:0:20 15.6.24 -50 456 1013"}},
        {"a missing channel is a record of the others",
         polled(at(12, 0, 0), 1, A) + polled(at(12, 0, 10), 2, NoPressure) + polled(at(12, 0, 30), 1, A),
         {"1 3 7 12:0:0 15.6.24 235 456 1013", "2 3 3 12:0:10 15.6.24 235 456 0",
          "1 3 7 12:0:30 15.6.24 235 456 1013"}},
        {"a silent slot is a gap", polled(at(12, 0, 0), 2, A) + polled(at(12, 0, 20), 1, Silent) + polled(at(12, 0, 30), 1, A),
         {"2 3 7 12:0:0 15.6.24 235 456 1013", "1 3 7 12:0:30 15.6.24 235 456 1013"}},
        {"a stop is a gap", polled(at(12, 0, 0), 1, A) + polled(at(12, 5, 0), 1, A),
         {"1 3 7 12:0:0 15.6.24 235 456 1013", "1 3 7 12:5:0 15.6.24 235 456 1013"}},
        {"the last measurement of a slot stands for it",
         std::vector<Measurement>{{at(12, 0, 0), B}, {at(12, 0, 8), A}, {at(12, 0, 10), A}, {at(12, 0, 12), Silent},
                                  {at(12, 0, 20), Silent}, {at(12, 0, 29), A}},
         {"1 3 7 12:0:0 15.6.24 235 456 1013", "1 3 7 12:0:20 15.6.24 235 456 1013"}},
        {"a record counts at most 255 slots", polled(at(12, 0, 0), 256, A),
         {"255 3 7 12:0:0 15.6.24 235 456 1013", "1 3 7 12:42:30 15.6.24 235 456 1013"}},
        {"midnight ends the day's file", polled(at(23, 59, 40), 4, A),
         {"2 3 7 23:59:40 15.6.24 235 456 1013", "2 3 7 0:0:0 16.6.24 235 456 1013"}},
        {"a measurement of an earlier slot is left out",
         std::vector<Measurement>{{at(12, 0, 10), A}, {at(12, 0, 4), B}, {at(12, 0, 12), A}},
         {"1 3 7 12:0:10 15.6.24 235 456 1013"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const QTemporaryDir folder;
        {
            TMonitorRecord record(folder.path());
            take(record, test.measurements);
        }
        EXPECT_EQ(recordedLines(folder.path()), test.records);
    }
}

// A slot is on disk once the next one begins: a crash loses at most the one in progress.
TEST(MonitorRecord, FinishedSlotsAreOnDiskAtOnce)
{
    const QTemporaryDir folder;
    TMonitorRecord record(folder.path());
    take(record, polled(at(12, 0, 0), 2, A));
    EXPECT_EQ(recordedLines(folder.path()), QStringList{"1 3 7 12:0:0 15.6.24 235 456 1013"});
    take(record, polled(at(12, 0, 20), 1, A));
    EXPECT_EQ(recordedLines(folder.path()), QStringList{"2 3 7 12:0:0 15.6.24 235 456 1013"});
    take(record, polled(at(12, 0, 30), 1, B));
    EXPECT_EQ(recordedLines(folder.path()), QStringList{"3 3 7 12:0:0 15.6.24 235 456 1013"});
    EXPECT_EQ(QFileInfo(record.dayPath(Label, Day)).size(), 16);
    take(record, polled(at(12, 0, 40), 1, B));
    EXPECT_EQ(recordedLines(folder.path()),
              QStringList({"3 3 7 12:0:0 15.6.24 235 456 1013", "1 3 7 12:0:30 15.6.24 -50 456 1013"}));
    EXPECT_EQ(QFileInfo(record.dayPath(Label, Day)).size(), 32);
}

// The day's file is told complete as the first measurement of the next day comes.
TEST(MonitorRecord, ADayEndsWithTheFirstMeasurementOfTheNext)
{
    const QTemporaryDir folder;
    TMonitorRecord record(folder.path());
    QStringList ended;
    QObject::connect(&record, &TMonitorRecord::dayEnded, [&ended](const QString& label, const QString& path) {
        ended << label + QStringLiteral(": ") + path;
    });
    take(record, polled(at(23, 59, 50), 1, A));
    EXPECT_TRUE(ended.isEmpty());
    take(record, {{at(0, 0, 0, Day.addDays(1)), Silent}});
    EXPECT_EQ(ended, QStringList{Label + QStringLiteral(": ") + record.dayPath(Label, Day)});
    EXPECT_EQ(recordedLines(folder.path()), QStringList{"1 3 7 23:59:50 15.6.24 235 456 1013"});
    take(record, polled(at(0, 0, 10, Day.addDays(1)), 30, A));
    EXPECT_EQ(ended.size(), 1);
}

// A new record over the same folder, as after a restart, goes on with the
// day's file: its last record grows when the slots follow on.
TEST(MonitorRecord, ARestartContinuesTheDaysFile)
{
    const QTemporaryDir folder;
    {
        TMonitorRecord record(folder.path());
        take(record, polled(at(12, 0, 0), 2, A));
    }
    {
        TMonitorRecord record(folder.path());
        take(record, polled(at(12, 0, 20), 2, A) + polled(at(12, 1, 0), 1, A));
    }
    EXPECT_EQ(recordedLines(folder.path()),
              QStringList({"4 3 7 12:0:0 15.6.24 235 456 1013", "1 3 7 12:1:0 15.6.24 235 456 1013"}));

    // A record a crash cut short is written over by the next one.
    QFile file(TMonitorRecord(folder.path()).dayPath(Label, Day));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("\x01\x32\x00", 3);
    file.close();
    {
        TMonitorRecord record(folder.path());
        take(record, polled(at(12, 2, 0), 1, B));
    }
    EXPECT_EQ(file.size(), 3 * 16);
    EXPECT_EQ(recordedLines(folder.path()).last(), QStringLiteral("1 3 7 12:2:0 15.6.24 -50 456 1013"));
}

TEST(MonitorRecord, PastDaysAreListedOldestFirst)
{
    const QTemporaryDir folder;
    const auto place = [&folder](const QString& label, const QString& name) {
        QDir(folder.path()).mkpath(label);
        QFile file(QDir(folder.path()).filePath(label + u'/' + name));
        return file.open(QIODevice::WriteOnly);
    };
    ASSERT_TRUE(place(QStringLiteral("2400123"), QStringLiteral("2024-06-14.log")));
    ASSERT_TRUE(place(QStringLiteral("2400123"), QStringLiteral("2024-06-15.log")));
    ASSERT_TRUE(place(QStringLiteral("2400123"), QStringLiteral("notes.log")));
    ASSERT_TRUE(place(QStringLiteral("2400077"), QStringLiteral("2024-06-14.log")));
    ASSERT_TRUE(place(QStringLiteral("2400077"), QStringLiteral("2024-06-13.log")));
    const TMonitorRecord record(folder.path());
    QStringList days;
    for (const TRecordedDay& day : record.daysBefore(Day)) {
        EXPECT_EQ(day.path, record.dayPath(day.label, day.day));
        days << day.label + u' ' + day.day.toString(Qt::ISODate);
    }
    EXPECT_EQ(days, QStringList({"2400077 2024-06-13", "2400077 2024-06-14", "2400123 2024-06-14"}));
}

// A write that fails is told once in one Russian line, until one goes through again.
TEST(MonitorRecord, AFailedWriteIsToldOnceUntilWritesSucceedAgain)
{
    const ReadOnlyFolder readOnly;
    if (!readOnly.mounted())
        GTEST_SKIP() << readOnly.whyNot().toStdString();
    TMonitorRecord record(readOnly.filePath(QStringLiteral("monitor-record")));
    QStringList told;
    QObject::connect(&record, &TMonitorRecord::failed, [&told](const QString& reason) { told << reason; });
    take(record, polled(at(12, 0, 0), 5, A) + polled(at(12, 0, 50), 5, B));
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told.first(), QStringLiteral("Показания монитора не записаны в %1: не удалось создать папку %2")
                                .arg(record.dayPath(Label, Day), readOnly.filePath(QStringLiteral("monitor-record/") + Label)));
}

TEST(MonitorRecord, AFullDiskIsToldAndTheRecordGoesOnOnceThereIsRoom)
{
    const FullTmpfs disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    TMonitorRecord record(disk.filePath(QStringLiteral("monitor-record")));
    QStringList told;
    QObject::connect(&record, &TMonitorRecord::failed, [&told](const QString& reason) { told << reason; });
    // A page of records written, so that the next one needs a page the disk no longer has.
    for (int change = 0; change <= 256; ++change)
        take(record, {{at(12, 0, 0).addSecs(change * 20), change % 2 ? A : B}});
    disk.fill();
    take(record, polled(at(14, 0, 0), 3, A));
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told.first(), QStringLiteral("Показания монитора не записаны в %1: нет места на диске")
                                .arg(record.dayPath(Label, Day)));

    QFile::remove(disk.filePath(QStringLiteral("filler")));
    take(record, polled(at(14, 1, 0), 2, B) + polled(at(14, 2, 0), 1, A));
    EXPECT_EQ(told.size(), 1);
    // The slots while the disk was full are lost; the first one after is written.
    const QStringList lines = recordedLines(disk.filePath(QStringLiteral("monitor-record")));
    ASSERT_EQ(lines.size(), 258);
    EXPECT_EQ(lines[256], QStringLiteral("1 3 7 14:0:20 15.6.24 235 456 1013"));
    EXPECT_EQ(lines[257], QStringLiteral("2 3 7 14:1:0 15.6.24 -50 456 1013"));
}

} // namespace
