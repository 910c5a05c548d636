#include "data/Timestamp.h"

namespace {

// Floor division, so times before the origin still split into a day and a
// non-negative second of that day.
qint64 floorDiv(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return (value % divisor < 0) ? quotient - 1 : quotient;
}

// 1899-12-30 in days from 1970-01-01, the origin of daysFromEpoch below.
constexpr qint64 OriginFromUnixEpoch = -25569;

// Days from 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's method).
qint64 daysFromEpoch(int year, int month, int day)
{
    const qint64 y = year - (month <= 2 ? 1 : 0);
    const qint64 era = floorDiv(y, 400);
    const qint64 yearOfEra = y - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace

qint64 DaysFromCivil(int year, int month, int day)
{
    return daysFromEpoch(year, month, day) - OriginFromUnixEpoch;
}

qint64 TimestampSeconds(int year, int month, int day, int hour, int minute, int second)
{
    return DaysFromCivil(year, month, day) * SecondsPerDay + hour * 3600 + minute * 60 + second;
}

int DaysInMonth(int year, int month)
{
    static constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return (month == 2 && leap) ? 29 : Days[month - 1];
}

QDate DateOf(qint64 seconds)
{
    return QDate(1899, 12, 30).addDays(floorDiv(seconds, SecondsPerDay));
}

QTime TimeOf(qint64 seconds)
{
    const qint64 day = floorDiv(seconds, SecondsPerDay);
    return QTime::fromMSecsSinceStartOfDay(int(seconds - day * SecondsPerDay) * 1000);
}

double ToDateTime(qint64 seconds)
{
    return double(seconds) / SecondsPerDay;
}

double DatePartOf(qint64 seconds)
{
    return double(floorDiv(seconds, SecondsPerDay));
}

double TimePartOf(qint64 seconds)
{
    return double(seconds - floorDiv(seconds, SecondsPerDay) * SecondsPerDay) / SecondsPerDay;
}
