#include "data/LoadTexts.h"

#include <algorithm>

int ProgressPercent(qint64 recordIndex, qint64 recordCount)
{
    if (recordCount <= 0)
        return 0;
    if (recordCount < 100)
        return int(recordIndex * 100 / recordCount);
    return int(std::min<qint64>(100, recordIndex / (recordCount / 100)));
}

QString ProgressText(int percent)
{
    return QStringLiteral("Загрузка данных %1 %, ждите...").arg(percent);
}

int FreeMemoryPercent(qint64 recordCount)
{
    // A count beyond the device's memory would give a negative figure; the
    // memory is then simply full.
    const qint64 percent = (DeviceLogMemoryBytes - 16 * recordCount) / (DeviceLogMemoryBytes / 100);
    return int(std::clamp<qint64>(percent, 0, 100));
}

QString FreeMemoryText(qint64 recordCount)
{
    return QStringLiteral("Свободно: %1%").arg(FreeMemoryPercent(recordCount));
}

QString NotALogText(const QString& fileName)
{
    return QStringLiteral("В файле %1 нет записей журнала прибора").arg(fileName);
}

QString LeftOutRecordsText(qint64 recordsLeftOut, qint64 capacity)
{
    return QStringLiteral("Пропущено записей: %1 (программа вмещает не больше %2)").arg(recordsLeftOut).arg(capacity);
}

TLoadProgress::TLoadProgress(std::function<void(const QString&)> showText)
    : showText_(std::move(showText))
{
}

void TLoadProgress::start()
{
    percent_ = 0;
    if (showText_)
        showText_(ProgressText(0));
}

void TLoadProgress::recordReached(qint64 recordIndex)
{
    const int percent = ProgressPercent(recordIndex, recordCount_);
    if (percent == percent_)
        return;
    percent_ = percent;
    if (showText_)
        showText_(ProgressText(percent));
}
