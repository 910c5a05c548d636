#pragma once

#include "data/LogRecord.h"
#include "data/RecordList.h"
#include "data/SeriesSource.h"

#include <QByteArray>
#include <QLocale>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// The year the two-digit record years are read against in these tests.
constexpr int TestYear = 2026;

// The record the format description is built around: 3 x 5 s from
// 15.06.2017 12:15:30, 23.5 degrees, 45.6 %, 101.3 kPa.
inline constexpr const char* SampleRecordHex = "03271E0F0C0F0611EB00C801F5030000";

TLogRecord RecordFromHex(const char* hex);
TLogRecord WithByte(TLogRecord record, int offset, quint8 value);
QByteArray BytesOf(const std::vector<TLogRecord>& records);
std::shared_ptr<TRecordList> ListOf(const std::vector<TLogRecord>& records);
void WriteFile(const QString& path, const QByteArray& bytes);
// Range of the series' values over points first..last, read point by point.
std::optional<TSeriesRange> RangeOfPoints(const SeriesSource& series, qint64 first, qint64 last);
// Expects two optional ranges to be equal.
void ExpectSameRange(const std::optional<TSeriesRange>& actual, const std::optional<TSeriesRange>& expected);

// Formats with the Russian locale whatever the machine's, and puts the
// previous default back afterwards.
class RussianLocaleTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

private:
    QLocale previous_;
};
