#include "archive/ArchiveTestSupport.h"

#include "data/LogGenerator.h"

#include <QFile>
#include <QSqlQuery>

#include <gtest/gtest.h>

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
    QString openAndList() const
    {
        QString error;
        std::unique_ptr<TArchive> archive = TArchive::open(location_, &error);
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
