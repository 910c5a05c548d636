#include "data/LoadTexts.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

TEST(LoadTexts, ProgressPercentFollowsTheRecordCount)
{
    struct Case {
        qint64 count, index;
        int percent;
    };
    const Case cases[] = {
        {0, 0, 0},       {50, 0, 0},       {50, 1, 2},      {50, 49, 98},    {1000, 9, 0},
        {1000, 10, 1},   {1000, 999, 99},  {199, 99, 99},   {199, 100, 100}, {199, 198, 100},
        {262144, 2621, 1}, {262144, 262143, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "record " << c.index << " of " << c.count);
        EXPECT_EQ(ProgressPercent(c.index, c.count), c.percent);
    }
    EXPECT_EQ(ProgressText(42), "Загрузка данных 42 %, ждите...");
}

TEST(LoadTexts, ProgressTextChangesOnlyWithThePercentage)
{
    QStringList shown;
    TLoadProgress progress([&](const QString& text) { shown.append(text); });
    progress.start();
    progress.setRecordCount(1000);
    for (qint64 k = 0; k < 1000; ++k)
        progress.recordReached(k);
    ASSERT_EQ(shown.size(), 100);
    for (int p = 0; p < 100; ++p)
        EXPECT_EQ(shown[p], ProgressText(p));
}

TEST(LoadTexts, FreeMemoryFigure)
{
    struct Case {
        qint64 records;
        QString text;
    };
    const Case cases[] = {
        {0, "Свободно: 100%"},
        {150, "Свободно: 99%"},
        {131072, "Свободно: 50%"},
        {262144, "Свободно: 0%"},
        {4194304, "Свободно: 0%"}, // more than the device holds: full, not negative
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.records);
        EXPECT_EQ(FreeMemoryText(c.records), c.text);
    }
}

} // namespace
