#include "archive/ArchiveTestSupport.h"

#include "FileFaults.h"
#include "data/LogGenerator.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

const TArchiveStamp Clerk{1700000000, 0, QStringLiteral("clerk"), QStringLiteral("desk")};

QByteArray makeLog(quint32 seed)
{
    return LogGenerator(seed).generate(3000, TLogShape::Typical, QDateTime(QDate(2024, 2, 1), QTime(9, 0)));
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An SQLite archive, open as the program keeps it, with three logs: one
// opened and exported, one whose records were deleted.
class ArchiveBackupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        archive_ = scratch_.open();
        ASSERT_TRUE(archive_);
        QString error;
        for (quint32 seed = 1; seed <= 3; ++seed) {
            const QByteArray raw = makeLog(seed);
            const std::optional<TStoredLog> stored =
                archive_->store(QStringLiteral("24000%1").arg(seed), raw, QStringLiteral("E:/data.log"), Clerk, &error);
            ASSERT_TRUE(stored) << error.toStdString();
            logs_[stored->entryId] = raw;
        }
        const qint64 first = logs_.begin()->first;
        ASSERT_TRUE(archive_->addEvent(first, TArchiveEventKind::Open, QString(), Clerk, &error));
        ASSERT_TRUE(archive_->addEvent(first, TArchiveEventKind::Export, QStringLiteral("log /tmp/a.log"), Clerk,
                                       &error));
        deleted_ = logs_.rbegin()->first;
        ASSERT_TRUE(archive_->remove(deleted_, Clerk, &error)) << error.toStdString();
    }

    // The archive at `path` opened on its own, as the program opens one.
    static std::unique_ptr<TArchive> openCopy(const QString& path)
    {
        TArchiveLocation location;
        location.database = path;
        QString error;
        std::unique_ptr<TArchive> copy = TArchive::open(location, &error);
        EXPECT_TRUE(copy) << error.toStdString();
        return copy;
    }

    // Every entry of `copy`, its events and records, as the archive has them.
    void expectSameArchive(TArchive& copy)
    {
        QString error;
        const std::vector<TArchiveEntry> original = archive_->entries({}, &error);
        const std::vector<TArchiveEntry> copied = copy.entries({}, &error);
        ASSERT_EQ(copied.size(), original.size()) << error.toStdString();
        for (size_t i = 0; i < copied.size(); ++i) {
            EXPECT_EQ(copied[i].id, original[i].id);
            EXPECT_EQ(copied[i].label, original[i].label);
            EXPECT_EQ(copied[i].sha256, original[i].sha256);
        }
        for (const auto& [id, raw] : logs_) {
            SCOPED_TRACE(id);
            const std::vector<TArchiveEvent> events = copy.events(id, &error);
            const std::vector<TArchiveEvent> expected = archive_->events(id, &error);
            ASSERT_EQ(events.size(), expected.size());
            for (size_t i = 0; i < events.size(); ++i) {
                EXPECT_EQ(events[i].kind, expected[i].kind);
                EXPECT_EQ(events[i].detail, expected[i].detail);
                EXPECT_EQ(events[i].stamp.user, expected[i].stamp.user);
            }
            const std::optional<QByteArray> records = copy.rawRecords(id, &error);
            if (id == deleted_)
                EXPECT_FALSE(records);
            else
                EXPECT_EQ(records, raw) << error.toStdString();
        }
    }

    ScratchArchive scratch_{TArchiveLocation::Engine::Sqlite};
    std::unique_ptr<TArchive> archive_;
    std::map<qint64, QByteArray> logs_;
    qint64 deleted_ = 0;
};

TEST_F(ArchiveBackupTest, TheCopyIsOneFileThatOpensWithEveryEntryEventAndRecord)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("копия архива.sqlite"));
    QString error;
    EXPECT_EQ(archive_->backup(path, &error), 2) << error.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("копия архива.sqlite")});
    const std::unique_ptr<TArchive> copy = openCopy(path);
    ASSERT_TRUE(copy);
    expectSameArchive(*copy);
}

// The file there before is replaced only by a whole copy.
TEST_F(ArchiveBackupTest, AnOldCopyIsReplacedByTheNewOne)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("archive.sqlite"));
    QString error;
    ASSERT_TRUE(archive_->backup(path, &error)) << error.toStdString();
    ASSERT_TRUE(archive_->store(QStringLiteral("2400009"), makeLog(9), QString(), Clerk, &error));
    EXPECT_EQ(archive_->backup(path, &error), 3) << error.toStdString();
    EXPECT_EQ(openCopy(path)->entries({}, &error).size(), 3u);
}

TEST_F(ArchiveBackupTest, ATargetThatCannotBeWrittenIsRefusedWithTheReason)
{
    QTemporaryDir folder;
    QDir(folder.path()).mkdir(QStringLiteral("папка"));
    const struct {
        QString target;
        QString reason;
    } cases[] = {
        {folder.filePath(QStringLiteral("нет/copy.sqlite")), QStringLiteral("папка не существует")},
        {folder.filePath(QStringLiteral("папка")), QStringLiteral("это папка, а не файл")},
        {scratch_.location().database, QStringLiteral("это файл самого архива")},
    };
    const QByteArray archiveBytes = contents(scratch_.location().database);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        QString error;
        EXPECT_FALSE(archive_->backup(c.target, &error));
        EXPECT_EQ(error, QStringLiteral("Резервная копия архива не сохранена в %1: %2").arg(c.target, c.reason));
    }
    EXPECT_EQ(contents(scratch_.location().database), archiveBytes);
    QString error;
    EXPECT_EQ(archive_->entries({}, &error).size(), 2u) << error.toStdString();
}

TEST_F(ArchiveBackupTest, ACopyThatRunsOutOfSpaceLeavesTheOldFileUntouched)
{
    FullTmpfs disk(1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    const QByteArray old("the copy made last week");
    disk.place(QStringLiteral("archive.sqlite"), old);
    disk.fill();
    const QString path = disk.filePath(QStringLiteral("archive.sqlite"));
    QString error;
    EXPECT_FALSE(archive_->backup(path, &error));
    EXPECT_EQ(error, QStringLiteral("Резервная копия архива не сохранена в %1: нет места на диске").arg(path));
    EXPECT_EQ(contents(path), old);
    EXPECT_EQ(disk.strayFiles({QStringLiteral("archive.sqlite")}), QStringList());
}

// What a user who copies archive.sqlite alone takes away: the log just stored.
TEST_F(ArchiveBackupTest, AfterAStoreTheMainFileAloneHoldsTheLog)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("archive.sqlite"));
    const QByteArray raw = makeLog(7);
    QString error;
    const std::optional<TStoredLog> stored =
        archive_->store(QStringLiteral("2400007"), raw, QString(), Clerk, &error);
    ASSERT_TRUE(stored) << error.toStdString();
    ASSERT_TRUE(QFile::copy(scratch_.location().database, path));
    const std::unique_ptr<TArchive> copy = openCopy(path);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->rawRecords(stored->entryId, &error), raw) << error.toStdString();
    logs_[stored->entryId] = raw;
    expectSameArchive(*copy);
}

// Another connection in the middle of a read when the log is stored (the
// archive window reading a page) does not leave the log outside the main file.
TEST_F(ArchiveBackupTest, AReaderOnTheSnapshotBeforeTheStoreIsWaitedFor)
{
    std::atomic<bool> reading = false;
    std::thread reader([this, &reading] {
        DirectConnection other(scratch_.location());
        QSqlQuery query(other.database());
        query.exec(QStringLiteral("BEGIN"));
        query.exec(QStringLiteral("SELECT COUNT(*) FROM archive_entries"));
        query.next();
        reading = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        query.finish();
        query.exec(QStringLiteral("COMMIT"));
    });
    while (!reading)
        std::this_thread::yield();
    const QByteArray raw = makeLog(8);
    QString error;
    const std::optional<TStoredLog> stored =
        archive_->store(QStringLiteral("2400008"), raw, QString(), Clerk, &error);
    reader.join();
    ASSERT_TRUE(stored) << error.toStdString();

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("archive.sqlite"));
    ASSERT_TRUE(QFile::copy(scratch_.location().database, path));
    const std::unique_ptr<TArchive> copy = openCopy(path);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->rawRecords(stored->entryId, &error), raw) << error.toStdString();
}

} // namespace
