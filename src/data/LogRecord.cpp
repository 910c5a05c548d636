#include "data/LogRecord.h"

#include "data/Timestamp.h"

#include <array>

int IntervalSeconds(int intervalCode)
{
    static constexpr std::array<int, 13> Seconds = {0, 1, 5, 10, 30, 60, 300, 600, 1800, 3600, 18000, 36000, 86400};
    return (intervalCode >= 1 && intervalCode <= 12) ? Seconds[intervalCode] : 0;
}

int FullYear(int twoDigitYear, int currentYear)
{
    int year = currentYear - currentYear % 100 + twoDigitYear;
    if (year < currentYear - 50)
        year += 100;
    else if (year > currentYear + 49)
        year -= 100;
    return year;
}

bool IsValidRecord(const TLogRecord& record, int currentYear)
{
    if (record.RepeatCount < 1 || IntervalSeconds(record.IntervalCode()) == 0)
        return false;
    if (record.ChannelMask() < 1 || record.ChannelMask() > 7)
        return false;
    if (record.Hour >= 24 || record.Minute >= 60 || record.Second >= 60)
        return false;
    if (record.Year < 1 || record.Year > 99 || record.Month < 1 || record.Month > 12 || record.Day < 1)
        return false;
    return record.Day <= DaysInMonth(FullYear(record.Year, currentYear), record.Month);
}

qint64 BaseTimestamp(const TLogRecord& record, int currentYear)
{
    return TimestampSeconds(FullYear(record.Year, currentYear), record.Month, record.Day, record.Hour,
                            record.Minute, record.Second);
}

TLogRecord MakeLogRecord(int repeatCount, int intervalAndChannels, qint64 baseTime, qint16 temperature,
                         quint16 humidity, quint16 pressure)
{
    const auto put = [](quint8(&bytes)[2], quint16 value) {
        bytes[0] = quint8(value & 0xFF);
        bytes[1] = quint8(value >> 8);
    };
    const QDate date = DateOf(baseTime);
    const QTime time = TimeOf(baseTime);
    TLogRecord record{};
    record.RepeatCount = quint8(repeatCount);
    record.IntervalAndChannels = quint8(intervalAndChannels);
    record.Second = quint8(time.second());
    record.Minute = quint8(time.minute());
    record.Hour = quint8(time.hour());
    record.Day = quint8(date.day());
    record.Month = quint8(date.month());
    record.Year = quint8(date.year() % 100);
    put(record.Temperature, quint16(temperature));
    put(record.Humidity, humidity);
    put(record.Pressure, pressure);
    return record;
}

QString DumpLine(const TLogRecord& r)
{
    return QStringLiteral("%1 %2 %3 %4:%5:%6 %7.%8.%9 %10 %11 %12")
        .arg(r.RepeatCount)
        .arg(r.IntervalCode())
        .arg(r.ChannelMask())
        .arg(r.Hour)
        .arg(r.Minute)
        .arg(r.Second)
        .arg(r.Day)
        .arg(r.Month)
        .arg(r.Year)
        .arg(r.RawTemperature())
        .arg(r.RawHumidity())
        .arg(r.RawPressure());
}

TRowValues TExpandedRecord::row(int repetition, qint64 number) const
{
    return TRowValues{number, rowTime(repetition), IntervalSeconds(intervalCode), temperature, humidity, pressure};
}

TExpandedRecord ExpandFields(qint64 baseTime, int repeatCount, int intervalAndChannels, qint16 temperature,
                             quint16 humidity, quint16 pressure)
{
    const int mask = intervalAndChannels & 0x0F;
    TExpandedRecord expanded;
    expanded.baseTime = baseTime;
    expanded.intervalCode = intervalAndChannels >> 4;
    expanded.repeatCount = repeatCount;
    if (mask & ChannelTemperature)
        expanded.temperature = temperature;
    if (mask & ChannelHumidity)
        expanded.humidity = humidity;
    if (mask & ChannelPressure)
        expanded.pressure = pressure;
    return expanded;
}

TExpandedRecord ExpandRecord(const TLogRecord& record, int currentYear)
{
    return ExpandFields(BaseTimestamp(record, currentYear), record.RepeatCount, record.IntervalAndChannels,
                        record.RawTemperature(), record.RawHumidity(), record.RawPressure());
}
