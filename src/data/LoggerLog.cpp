#include "data/LoggerLog.h"

#include <algorithm>
#include <span>

namespace {

bool isUnwritten(const TLogRecord& record)
{
    const auto* bytes = reinterpret_cast<const quint8*>(&record);
    const quint8 fill = bytes[0];
    return (fill == 0x00 || fill == 0xFF) && std::all_of(bytes, bytes + sizeof record, [fill](quint8 byte) {
               return byte == fill;
           });
}

bool within(int value, int low, int high)
{
    return value >= low && value <= high;
}

} // namespace

bool IsLoggerRecord(const TLogRecord& record, int currentYear)
{
    if (!IsValidRecord(record, currentYear))
        return false;
    const int mask = record.ChannelMask();
    return (!(mask & ChannelTemperature)
            || within(record.RawTemperature(), LoggedTemperatureMin, LoggedTemperatureMax))
        && (!(mask & ChannelHumidity) || within(record.RawHumidity(), LoggedHumidityMin, LoggedHumidityMax))
        && (!(mask & ChannelPressure) || within(record.RawPressure(), LoggedPressureMin, LoggedPressureMax));
}

TLogContent LogContentOf(const QByteArray& bytes, int currentYear)
{
    // The records are byte arrays only, so any address of the bytes holds them.
    static_assert(alignof(TLogRecord) == 1);
    std::span<const TLogRecord> records(reinterpret_cast<const TLogRecord*>(bytes.constData()),
                                        size_t(bytes.size()) / sizeof(TLogRecord));
    while (!records.empty() && isUnwritten(records.back()))
        records = records.first(records.size() - 1);
    if (records.empty())
        return TLogContent::Unwritten;
    const auto written = std::count_if(records.begin(), records.end(), [currentYear](const TLogRecord& record) {
        return IsLoggerRecord(record, currentYear);
    });
    return written > 0 && size_t(written) * 2 >= records.size() ? TLogContent::Log : TLogContent::NotALog;
}
