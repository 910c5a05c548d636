#pragma once

#include <QString>

#include <functional>

constexpr qint64 DeviceLogMemoryBytes = 4194304;

// Percent shown before record k of recordCount is read.
int ProgressPercent(qint64 recordIndex, qint64 recordCount);
// "Загрузка данных N %, ждите..."
QString ProgressText(int percent);
// Free log memory after reading recordCount records, 0..100.
int FreeMemoryPercent(qint64 recordCount);
// "Свободно: N%"
QString FreeMemoryText(qint64 recordCount);

// "В файле <name> нет записей журнала прибора": why a file was refused.
QString NotALogText(const QString& fileName);

// The line for a source with more records than the store holds.
QString LeftOutRecordsText(qint64 recordsLeftOut, qint64 capacity);

// Turns record indices into progress texts, passing a text on only when the
// percentage changes.
class TLoadProgress
{
public:
    explicit TLoadProgress(std::function<void(const QString&)> showText);

    // Shows 0 % as a source begins, before its record count is known.
    void start();
    void setRecordCount(qint64 recordCount) { recordCount_ = recordCount; }
    void recordReached(qint64 recordIndex);

private:
    std::function<void(const QString&)> showText_;
    qint64 recordCount_ = 0;
    int percent_ = 0;
};
