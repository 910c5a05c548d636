#include "data/CellFormatter.h"

#include "data/RowTableColumns.h"
#include "data/Timestamp.h"
#include "text/FormatLocale.h"

TCellFormatter::TCellFormatter(const QLocale& locale)
    : locale_(locale)
    , dateFormat_(locale.dateFormat(QLocale::ShortFormat))
    , timeFormat_(LongTimeFormat(locale))
    , decimalPoint_(locale.decimalPoint())
    , negativeSign_(locale.negativeSign())
{
}

QString TCellFormatter::dateText(qint64 time) const
{
    return locale_.toString(DateOf(time), dateFormat_);
}

QString TCellFormatter::timeText(qint64 time) const
{
    return locale_.toString(TimeOf(time), timeFormat_);
}

QString TCellFormatter::dateTimeText(qint64 time) const
{
    return dateText(time) + u' ' + timeText(time);
}

QString TCellFormatter::pointLabel(qint64 baseTime) const
{
    return timeText(baseTime) + u'\r' + dateText(baseTime);
}

QString TCellFormatter::tenthsText(int tenths) const
{
    const int magnitude = tenths < 0 ? -tenths : tenths;
    QString text = tenths < 0 ? negativeSign_ : QString();
    text += QString::number(magnitude / 10);
    if (magnitude % 10 != 0)
        text += decimalPoint_ + QString::number(magnitude % 10);
    return text;
}

QString TCellFormatter::cellText(const TRowValues& row, int column) const
{
    const auto optionalTenths = [this](const std::optional<int>& value) {
        return value ? tenthsText(*value) : QString();
    };
    switch (column) {
    case ColumnNumber:
        return QString::number(row.number);
    case ColumnDate:
        return dateText(row.time);
    case ColumnTime:
        return timeText(row.time);
    case ColumnTemperature:
        return optionalTenths(row.temperature);
    case ColumnHumidity:
        return optionalTenths(row.humidity);
    case ColumnPressure:
        return optionalTenths(row.pressure);
    case ColumnInterval:
        return QString::number(row.intervalSeconds);
    default:
        return QString();
    }
}
