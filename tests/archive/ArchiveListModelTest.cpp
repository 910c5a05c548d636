#include "archive/ArchiveTestSupport.h"
#include "archive/TArchiveListModel.h"
#include "data/LogGenerator.h"
#include "data/Timestamp.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

// 250 logs of two loggers, one a day from 1 January 2024, with the first
// logger's on even days.
class ArchiveListModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        archive_ = scratch_.open();
        ASSERT_TRUE(archive_);
        for (int day = 0; day < Logs; ++day) {
            const QByteArray raw = LogGenerator(quint32(day + 1))
                                       .generate(20, TLogShape::Typical,
                                                 QDateTime(QDate(2024, 1, 1).addDays(day), QTime(8, 0)));
            const TArchiveStamp stamp{1700000000 + day, 3 * 3600, QStringLiteral("ivanova"), QStringLiteral("lab")};
            QString error;
            const std::optional<TStoredLog> stored =
                archive_->store(labelOf(day), raw, QString(), stamp, &error);
            ASSERT_TRUE(stored) << error.toStdString();
        }
    }

    static QString labelOf(int day) { return day % 2 == 0 ? QStringLiteral("2400001") : QStringLiteral("2400002"); }

    // Each page the model wants, read from the archive at once.
    void answerFromArchive(TArchiveListModel& model)
    {
        QObject::connect(&model, &TArchiveListModel::pageWanted, &model,
                         [this, &model](quint64 serial, const TArchiveQuery& page) {
                             QString error;
                             std::vector<TArchiveEntry> entries = archive_->entries(page, &error);
                             model.addPage(serial, std::move(entries), error);
                         });
    }

    static constexpr int Logs = 250;
    ScratchArchive scratch_{TArchiveLocation::Engine::Sqlite};
    std::unique_ptr<TArchive> archive_;
};

TEST_F(ArchiveListModelTest, RowsAreReadAPageAtATimeNewestFirst)
{
    TArchiveListModel model;
    answerFromArchive(model);
    model.setFilter({});
    EXPECT_EQ(model.rowCount(), TArchiveListModel::PageSize);
    int fetches = 0;
    while (model.canFetchMore({})) {
        model.fetchMore({});
        ++fetches;
    }
    EXPECT_EQ(fetches, 2);
    ASSERT_EQ(model.rowCount(), Logs);
    for (int row = 1; row < Logs; ++row)
        ASSERT_GT(model.entryAt(row - 1).id, model.entryAt(row).id) << row;
    EXPECT_EQ(model.entryAt(0).label, labelOf(Logs - 1));
}

TEST_F(ArchiveListModelTest, TheFilterChoosesDeviceAndPeriod)
{
    TArchiveListModel model;
    answerFromArchive(model);
    TArchiveQuery filter;
    filter.label = QStringLiteral("2400002");
    filter.from = TimestampSeconds(2024, 3, 1, 0, 0, 0);
    filter.to = TimestampSeconds(2024, 3, 10, 23, 59, 59);
    model.setFilter(filter);
    // Odd days from 2 March (day 61) to 10 March (day 69), newest first.
    QStringList periods;
    for (int row = 0; row < model.rowCount(); ++row) {
        EXPECT_EQ(model.entryAt(row).label, QStringLiteral("2400002"));
        periods << model.index(row, TArchiveListModel::ColumnPeriod).data().toString().left(10);
    }
    EXPECT_EQ(periods, (QStringList{"10.03.2024", "08.03.2024", "06.03.2024", "04.03.2024", "02.03.2024"}));
    EXPECT_FALSE(model.canFetchMore({}));
}

TEST_F(ArchiveListModelTest, CellsSayWhoLoadedWhatWhen)
{
    TArchiveListModel model;
    answerFromArchive(model);
    model.setFilter({});
    const auto cell = [&](int column) { return model.index(0, column).data().toString(); };
    EXPECT_EQ(cell(TArchiveListModel::ColumnDevice), QStringLiteral("2400002"));
    EXPECT_TRUE(cell(TArchiveListModel::ColumnPeriod).startsWith(QStringLiteral("06.09.2024 08:00:00 - 06.09.2024")))
        << cell(TArchiveListModel::ColumnPeriod).toStdString();
    EXPECT_EQ(cell(TArchiveListModel::ColumnRows), QLocale().toString(model.entryAt(0).summary.rowCount));
    // 1700000249 s is 22:17:29 UTC on 14 November 2023: 01:17:29 the next day at UTC+3.
    EXPECT_EQ(cell(TArchiveListModel::ColumnDownloaded), QStringLiteral("15.11.2023 01:17:29 UTC+03:00"));
    EXPECT_EQ(cell(TArchiveListModel::ColumnBy), QStringLiteral("ivanova@lab"));
    EXPECT_EQ(model.headerData(TArchiveListModel::ColumnBy, Qt::Horizontal).toString(), QStringLiteral("Кем"));
}

// Pages are asked for and answered as a reader on another thread would:
// the answer of a filter changed meanwhile is dropped, and no next page is
// asked for while one is awaited.
TEST_F(ArchiveListModelTest, OnlyTheLastPageAskedForIsTaken)
{
    TArchiveListModel model;
    std::vector<std::pair<quint64, TArchiveQuery>> wanted;
    QObject::connect(&model, &TArchiveListModel::pageWanted, &model,
                     [&wanted](quint64 serial, const TArchiveQuery& page) { wanted.emplace_back(serial, page); });
    QStringList told;
    QObject::connect(&model, &TArchiveListModel::pageRead, &model, [&told](const QString& error) { told << error; });
    const auto answer = [&](size_t asked) {
        QString error;
        model.addPage(wanted[asked].first, archive_->entries(wanted[asked].second, &error), error);
    };

    model.setFilter({});
    TArchiveQuery second;
    second.label = QStringLiteral("2400001");
    model.setFilter(second);
    ASSERT_EQ(wanted.size(), size_t(2));
    EXPECT_TRUE(model.isReading());
    EXPECT_FALSE(model.canFetchMore({}));
    answer(0); // the first filter's page, no longer wanted
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.isReading());
    EXPECT_TRUE(told.isEmpty());
    answer(1);
    EXPECT_FALSE(model.isReading());
    ASSERT_EQ(model.rowCount(), TArchiveListModel::PageSize);
    for (int row = 0; row < model.rowCount(); ++row)
        ASSERT_EQ(model.entryAt(row).label, second.label) << row;
    EXPECT_EQ(told, QStringList{QString()});

    // The next page follows the last entry listed; a failed one leaves the list as it was.
    ASSERT_TRUE(model.canFetchMore({}));
    model.fetchMore({});
    model.fetchMore({});
    ASSERT_EQ(wanted.size(), size_t(3));
    EXPECT_EQ(wanted[2].second.beforeId, model.entryAt(TArchiveListModel::PageSize - 1).id);
    EXPECT_EQ(wanted[2].second.label, second.label);
    const QString failure = QStringLiteral("Нет связи с сервером архива");
    model.addPage(wanted[2].first, {}, failure);
    EXPECT_EQ(model.rowCount(), TArchiveListModel::PageSize);
    EXPECT_EQ(told.constLast(), failure);
    EXPECT_FALSE(model.canFetchMore({}));
}

} // namespace
