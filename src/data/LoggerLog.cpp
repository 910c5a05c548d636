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

// Whether each value a valid record carries is within what the logger measures.
bool valuesLogged(const TCompactRecord& record)
{
    const auto within = [&record](TChannelBit channel, int low, int high) {
        const std::optional<int> value = record.value(channel);
        return !value || (*value >= low && *value <= high);
    };
    return within(ChannelTemperature, LoggedTemperatureMin, LoggedTemperatureMax)
        && within(ChannelHumidity, LoggedHumidityMin, LoggedHumidityMax)
        && within(ChannelPressure, LoggedPressureMin, LoggedPressureMax);
}

} // namespace

TLogContent LogContentOf(const TRawRecords& raw, const TRecordList& decoded)
{
    // Unwritten memory is never a valid record, so every decoded one lies before it.
    std::span<const TLogRecord> records = raw.records();
    while (!records.empty() && isUnwritten(records.back()))
        records = records.first(records.size() - 1);
    if (records.empty())
        return TLogContent::Unwritten;
    qint64 written = 0;
    for (qsizetype i = 0; i < decoded.size(); ++i)
        written += valuesLogged(decoded.at(i)) ? 1 : 0;
    return written > 0 && size_t(written) * 2 >= records.size() ? TLogContent::Log : TLogContent::NotALog;
}

TLogContent LogContentOf(const QByteArray& bytes, int currentYear)
{
    const TRawRecords raw = TRawRecords::firstOf(bytes);
    return LogContentOf(raw, TRecordList(raw, currentYear));
}
