#pragma once

#include "app/ProgramRun.h"
#include "data/LogGenerator.h"
#include "data/LogRecord.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <vector>

// A file as a user may hand it to the program, and whether it is a logger's log.
struct TFileCase {
    QString name;
    QByteArray bytes;
    bool isLog;
};

inline QByteArray GeneratedLog(qint64 records = 400)
{
    return LogGenerator(29).generate(records, TLogShape::Typical, QDateTime(QDate(2024, 6, 1), QTime(6, 0)));
}

// The chart the program itself draws of a log, as `--bmp` writes it.
inline QByteArray ProgramsOwnBitmap(const QDir& folder)
{
    const QString log = folder.filePath(QStringLiteral("for-chart.log"));
    QFile file(log);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(GeneratedLog()) > 0);
    file.close();
    const QString bitmap = folder.filePath(QStringLiteral("for-chart.bmp"));
    const ProgramRun run = korviMonitor({"--export", log, "--bmp", bitmap});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    QFile chart(bitmap);
    EXPECT_TRUE(chart.open(QIODevice::ReadOnly));
    QFile::remove(log);
    QFile::remove(bitmap);
    return chart.readAll();
}

// Files that are no logger's log: the program's own chart, a text, 100
// random bytes and an empty file.
inline std::vector<TFileCase> NotLogs(const QByteArray& bitmap)
{
    QRandomGenerator random(29);
    QByteArray noise(100, Qt::Uninitialized);
    for (char& byte : noise)
        byte = char(random.bounded(256));
    return {
        {QStringLiteral("chart.bmp"), bitmap, false},
        {QStringLiteral("notes.txt"),
         QStringLiteral("Журнал поверки за декабрь\n\tсклад 3: 21,5 °C\t45 %\n\tсклад 4: 19,0 °C\t51 %\n").toUtf8(),
         false},
        {QStringLiteral("random.bin"), noise, false},
        {QStringLiteral("empty.log"), QByteArray(), false},
    };
}

// A log with some invalid records between the valid ones: every fifth
// record's hour is 24.
inline QByteArray LogWithInvalidRecords()
{
    QByteArray log = GeneratedLog();
    for (qsizetype record = 2; record * 16 < log.size(); record += 5)
        log[record * 16 + 4] = char(24);
    return log;
}
