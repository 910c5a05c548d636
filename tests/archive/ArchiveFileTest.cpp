#include "archive/ArchiveTestSupport.h"

#include "data/LogGenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const TArchiveStamp Clerk{1700000000, 0, QStringLiteral("clerk"), QStringLiteral("desk")};

// An SQLite archive file in a temporary folder, with a few logs in it.
class ArchiveFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        location_ = scratch_.location();
        location_.busyTimeoutMs = 100;
        std::unique_ptr<TArchive> archive = scratch_.open();
        ASSERT_TRUE(archive);
        for (quint32 seed = 1; seed <= 4; ++seed) {
            QString error;
            const QByteArray raw = LogGenerator(seed).generate(20000, TLogShape::Typical,
                                                               QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
            ASSERT_TRUE(archive->store(QStringLiteral("2400123"), raw, QString(), Clerk, &error))
                << error.toStdString();
        }
    }

    // Opens the archive and lists it, as the program does at start; the
    // error of whichever step failed.
    QString openAndList(TArchiveAccess access = TArchiveAccess::ReadWrite) const
    {
        QString error;
        std::unique_ptr<TArchive> archive = TArchive::open(location_, &error, access);
        if (archive && archive->entries({}, &error).size() != 4 && error.isEmpty())
            error = QStringLiteral("the list is short");
        return error;
    }

    QString path() const { return location_.database; }

    ScratchArchive scratch_{TArchiveLocation::Engine::Sqlite};
    TArchiveLocation location_;
};

TEST_F(ArchiveFileTest, TheFileIsInWalModeAndOpensAgain)
{
    EXPECT_EQ(openAndList(), QString());
    DirectConnection direct(location_);
    QSqlQuery query(direct.database());
    ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA journal_mode")) && query.next());
    EXPECT_EQ(query.value(0).toString(), QStringLiteral("wal"));
}

TEST_F(ArchiveFileTest, AReadOnlyFileIsRefusedWithAMessage)
{
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QString error = openAndList();
    EXPECT_TRUE(error.contains(QStringLiteral("только для чтения"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("без архива"))) << error.toStdString();
    EXPECT_TRUE(error.contains(path())) << error.toStdString();
}

// What only reads reads a file this account may not change all the same.
TEST_F(ArchiveFileTest, AReadOnlyFileIsReadWhereOnlyReadingIsAsked)
{
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_EQ(openAndList(TArchiveAccess::ReadOnly), QString());
    EXPECT_TRUE(openAndList().contains(QStringLiteral("только для чтения")));
}

// SQLite keeps the index of a WAL file in a "-shm" file beside it, which a
// folder the account may not write cannot take: the file is read all the same.
TEST_F(ArchiveFileTest, AFileInAFolderThatMayNotBeWrittenIsRead)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder; app_archive_tests runs the program as another account for this";
    const QString folder = QFileInfo(path()).absolutePath();
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const QString error = openAndList(TArchiveAccess::ReadOnly);
    const QStringList left = QDir(folder).entryList(QDir::Files);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(error, QString());
    EXPECT_EQ(left, QStringList{QFileInfo(path()).fileName()});
}

// Reading neither makes a file nor sets up an archive in one.
TEST_F(ArchiveFileTest, ReadingFindsOnlyAnArchiveThatIsThere)
{
    struct Case {
        const char* name;
        const char* file;
        bool empty;
        const char* mentions;
    };
    const Case cases[] = {
        {"no file", "missing.sqlite", false, "не найден"},
        {"an empty file", "empty.sqlite", true, "нет архива программы"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TArchiveLocation location = location_;
        location.database = QFileInfo(path()).absoluteDir().filePath(QString::fromUtf8(c.file));
        if (c.empty) {
            ASSERT_TRUE(QFile(location.database).open(QIODevice::WriteOnly));
        }
        QString error;
        EXPECT_FALSE(TArchive::open(location, &error, TArchiveAccess::ReadOnly));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.mentions)) && error.contains(location.database))
            << error.toStdString();
        EXPECT_EQ(QFileInfo::exists(location.database), c.empty);
        EXPECT_EQ(QFileInfo(location.database).size(), 0);
    }
}

TEST_F(ArchiveFileTest, AFileLockedByAnotherProgramIsRefusedUntilItIsFree)
{
    {
        // Another program holding the file for itself alone.
        DirectConnection other(location_);
        QSqlQuery query(other.database());
        ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE")));
        ASSERT_TRUE(query.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        const QString error = openAndList();
        EXPECT_TRUE(error.contains(QStringLiteral("занят другой программой"))) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("без архива"))) << error.toStdString();
        ASSERT_TRUE(query.exec(QStringLiteral("ROLLBACK")));
    }
    EXPECT_EQ(openAndList(), QString());
}

TEST_F(ArchiveFileTest, AWriteThatWaitsTooLongForAnotherSaysSoAndTheListStaysReadable)
{
    QString error;
    std::unique_ptr<TArchive> archive = TArchive::open(location_, &error);
    ASSERT_TRUE(archive) << error.toStdString();
    const QByteArray raw = LogGenerator(9).generate(100, TLogShape::Typical, QDateTime(QDate(2024, 2, 1), QTime()));
    {
        // Another program in the middle of a long write.
        DirectConnection other(location_);
        QSqlQuery query(other.database());
        ASSERT_TRUE(query.exec(QStringLiteral("BEGIN IMMEDIATE")));
        EXPECT_FALSE(archive->store(QStringLiteral("2400123"), raw, QString(), Clerk, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("занят другой программой"))) << error.toStdString();
        error.clear();
        EXPECT_EQ(archive->entries({}, &error).size(), 4u) << error.toStdString();
        ASSERT_TRUE(query.exec(QStringLiteral("COMMIT")));
    }
    EXPECT_TRUE(archive->store(QStringLiteral("2400123"), raw, QString(), Clerk, &error)) << error.toStdString();
}

TEST_F(ArchiveFileTest, ADamagedFileIsRefusedWithAMessage)
{
    QFile file(path());
    const qint64 size = file.size();
    ASSERT_GT(size, 64 * 1024);
    struct Case {
        const char* name;
        std::function<void(QFile&)> damage;
    };
    const Case cases[] = {
        {"cut in half", [&](QFile& f) { f.resize(size / 2); }},
        {"cut inside its header", [](QFile& f) { f.resize(60); }},
        {"not a database", [](QFile& f) {
             f.open(QIODevice::WriteOnly | QIODevice::Truncate);
             f.write(QByteArray(8192, 'x'));
             f.close();
         }},
    };
    const QString intact = path() + QStringLiteral(".intact");
    ASSERT_TRUE(QFile::copy(path(), intact));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path());
        ASSERT_TRUE(QFile::copy(intact, path()));
        c.damage(file);
        const QString error = openAndList();
        EXPECT_TRUE(error.contains(QStringLiteral("повреждён"))) << error.toStdString();
    }
}

} // namespace
