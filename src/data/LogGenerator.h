#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QRandomGenerator>

enum class TLogShape {
    Typical, // mixed masks and intervals, repeat counts averaging about 4
    WorstCase, // every repeat count 255, short intervals
};

// Writes plausible data.log contents: consecutive records whose times follow
// on from each other, intervals that change now and then, every channel mask,
// runs of repeats, and slowly wandering temperature, humidity and pressure.
class LogGenerator
{
public:
    explicit LogGenerator(quint32 seed = 1);

    QByteArray generate(qint64 recordCount, TLogShape shape, const QDateTime& start);

private:
    int repeatCount(TLogShape shape);
    int wander(int value, int step, int low, int high);

    QRandomGenerator random_;
};
