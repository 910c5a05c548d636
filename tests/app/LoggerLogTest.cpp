#include "app/NotLogs.h"
#include "data/FolderVolumeSource.h"
#include "data/LoadTexts.h"
#include "data/Loader.h"
#include "data/LoggerLog.h"
#include "data/Timestamp.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Valid records at 693.9 °C and 2534.3 kPa, the values the program's own
// bitmap read as: nothing the logger measures.
QByteArray hotLog()
{
    std::vector<TLogRecord> records;
    for (int k = 0; k < 20; ++k)
        records.push_back(MakeLogRecord(3, 0x27, TimestampSeconds(2024, 6, 1, 6, k, 0), 6939, 456, 25343));
    return QByteArray(reinterpret_cast<const char*>(records.data()), qsizetype(records.size() * sizeof(TLogRecord)));
}

// Two records of every three invalid: more noise than log.
QByteArray mostlyInvalid()
{
    QByteArray log = GeneratedLog(300);
    for (qsizetype record = 0; record * 16 < log.size(); ++record) {
        if (record % 3 != 0)
            log[record * 16 + 6] = char(13); // month 13
    }
    return log;
}

// Which files are a logger's log: by the one rule every way in uses.
class LoggerLogTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        QTemporaryDir scratch;
        bitmap_ = ProgramsOwnBitmap(QDir(scratch.path()));
    }

    std::vector<TFileCase> cases() const
    {
        std::vector<TFileCase> all = NotLogs(bitmap_);
        const std::vector<TFileCase> more = {
            {QStringLiteral("real.log"), GeneratedLog(), true},
            {QStringLiteral("gaps.log"), LogWithInvalidRecords(), true},
            // Memory the logger has not written yet, as a copy of its whole data.log holds.
            {QStringLiteral("unwritten.log"), GeneratedLog() + QByteArray(64 * 16, '\xff'), true},
            {QStringLiteral("partial.log"), GeneratedLog() + QByteArray(7, '\x11'), true},
            {QStringLiteral("hot.log"), hotLog(), false},
            {QStringLiteral("noise.log"), mostlyInvalid(), false},
            {QStringLiteral("zeros.log"), QByteArray(4096, '\0'), false},
        };
        all.insert(all.end(), more.begin(), more.end());
        return all;
    }

    QString write(const TFileCase& file) const
    {
        const QString path = dir_.filePath(file.name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(file.bytes) == file.bytes.size());
        return path;
    }

    static inline QByteArray bitmap_;
    QTemporaryDir dir_;
};

TEST_F(LoggerLogTest, OnlyALoggersLogOpens)
{
    const FolderVolumeSource noVolumes;
    for (const TFileCase& file : cases()) {
        SCOPED_TRACE(file.name.toStdString());
        EXPECT_EQ(IsLoggerLog(file.bytes, QDate::currentDate().year()), file.isLog);
        const TLoadResult loaded = TLoader(noVolumes).loadFile(write(file), TLoadRequest());
        EXPECT_EQ(loaded.failure, file.isLog ? QString() : NotALogText(file.name));
        EXPECT_EQ(loaded.keepsPrevious, !file.isLog);
    }
}

TEST_F(LoggerLogTest, TheCommandLineExportsOnlyALoggersLog)
{
    for (const TFileCase& file : cases()) {
        SCOPED_TRACE(file.name.toStdString());
        const QString csv = dir_.filePath(file.name + ".csv");
        const ProgramRun run = korviMonitor({"--export", write(file), "--csv", csv});
        EXPECT_EQ(run.exitCode, file.isLog ? 0 : 1) << run.errors.toStdString();
        EXPECT_EQ(QFile::exists(csv), file.isLog);
        EXPECT_EQ(run.errors.contains(NotALogText(file.name)), !file.isLog) << run.errors.toStdString();
    }
}

} // namespace
