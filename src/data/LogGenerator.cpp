#include "data/LogGenerator.h"

#include "data/LogRecord.h"
#include "data/Timestamp.h"

#include <algorithm>
#include <array>

namespace {

// Interval codes the logger is mostly set to; the worst case keeps to short
// ones so 255 repeats per record still span a couple of years only.
constexpr std::array<int, 7> TypicalIntervalCodes = {1, 2, 3, 4, 5, 6, 7};
constexpr std::array<int, 3> WorstCaseIntervalCodes = {1, 2, 3};

} // namespace

LogGenerator::LogGenerator(quint32 seed)
    : random_(seed)
{
}

int LogGenerator::repeatCount(TLogShape shape)
{
    if (shape == TLogShape::WorstCase)
        return 255;
    // Mostly short runs (1..6), now and then a long steady stretch (10..49).
    if (random_.bounded(50) == 0)
        return 10 + int(random_.bounded(40));
    return 1 + int(random_.bounded(6));
}

int LogGenerator::wander(int value, int step, int low, int high)
{
    return std::clamp(value + int(random_.bounded(2 * step + 1)) - step, low, high);
}

QByteArray LogGenerator::generate(qint64 recordCount, TLogShape shape, const QDateTime& start)
{
    const auto pickInterval = [&] {
        return shape == TLogShape::WorstCase
                   ? WorstCaseIntervalCodes[random_.bounded(int(WorstCaseIntervalCodes.size()))]
                   : TypicalIntervalCodes[random_.bounded(int(TypicalIntervalCodes.size()))];
    };
    const QDate startDate = start.date();
    const QTime startTime = start.time();
    qint64 time = TimestampSeconds(startDate.year(), startDate.month(), startDate.day(), startTime.hour(),
                                   startTime.minute(), startTime.second());
    int intervalCode = pickInterval();
    int mask = 7;
    int temperature = 215;
    int humidity = 450;
    int pressure = 1005;

    QByteArray bytes(recordCount * qint64(sizeof(TLogRecord)), Qt::Uninitialized);
    auto* records = reinterpret_cast<TLogRecord*>(bytes.data());
    for (qint64 k = 0; k < recordCount; ++k) {
        if (random_.bounded(300) == 0)
            intervalCode = pickInterval();
        if (random_.bounded(40) == 0)
            mask = 1 + int(random_.bounded(7));
        temperature = wander(temperature, 3, -300, 450);
        humidity = wander(humidity, 5, 50, 990);
        pressure = wander(pressure, 2, 950, 1060);
        const int repeats = repeatCount(shape);
        records[k] = MakeLogRecord(repeats, intervalCode << 4 | mask, time, qint16(temperature), quint16(humidity),
                                   quint16(pressure));
        time += qint64(repeats) * IntervalSeconds(intervalCode);
    }
    return bytes;
}
