#include "FileFaults.h"

#include "data/CsvExport.h"
#include "data/FileSave.h"
#include "data/FolderVolumeSource.h"
#include "data/JobProgress.h"
#include "data/Loader.h"
#include "data/LogExport.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "data/SystemFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Writer = std::function<bool(QIODevice&, QString*)>;

Writer writing(const QByteArray& bytes)
{
    return [bytes](QIODevice& device, QString*) { return device.write(bytes) == bytes.size(); };
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

class FileSaveTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    void place(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir_;
};

TEST_F(FileSaveTest, ARegularFileIsReplacedOnlyByACompleteOne)
{
    place("out.csv", "old");
    QString error;
    EXPECT_TRUE(SaveFile(path("out.csv"), writing("new"), &error)) << error.toStdString();
    EXPECT_EQ(contents(path("out.csv")), "new");

    const Writer halfThenFail = [](QIODevice& device, QString* reason) {
        device.write("half of it");
        *reason = QStringLiteral("writer gave up");
        return false;
    };
    EXPECT_FALSE(SaveFile(path("out.csv"), halfThenFail, &error));
    EXPECT_EQ(error, QStringLiteral("writer gave up"));
    EXPECT_EQ(contents(path("out.csv")), "new");
    EXPECT_EQ(files(), QStringList{"out.csv"}) << "a temporary file was left behind";

    EXPECT_TRUE(SaveFile(path("fresh.csv"), writing("first"), &error));
    EXPECT_EQ(contents(path("fresh.csv")), "first");
}

TEST_F(FileSaveTest, ALinkKeepsPointingAtTheFileAndItsPermissionsStay)
{
    place("real.log", "old");
    QFile::setPermissions(path("real.log"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(QFile::link(path("real.log"), path("link.log")));
    QString error;
    EXPECT_TRUE(SaveFile(path("link.log"), writing("new"), &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(path("link.log")).isSymLink());
    EXPECT_EQ(contents(path("real.log")), "new");
    const QFile::Permissions ownerGroupOther(0x7077);
    EXPECT_EQ(QFile::permissions(path("real.log")) & ownerGroupOther,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

TEST_F(FileSaveTest, FoldersAndMissingFoldersAreRefusedInRussian)
{
    QDir(dir_.path()).mkdir("sub");
    struct Case {
        const char* name;
        QString target;
        const char* reason;
    };
    const Case cases[] = {
        {"a folder", path("sub"), "это папка, а не файл"},
        {"a missing folder", path("no/such/out.csv"), "папка не существует"},
        {"a file as folder", path("sub/../out.csv/x.csv"), "папка не существует"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_FALSE(SaveFile(c.target, writing("x"), &error));
        EXPECT_EQ(error, QString::fromUtf8(c.reason));
    }
    EXPECT_TRUE(QFileInfo(path("sub")).isDir());
}

// Renaming over a device node would replace it (as root) or fail: the bytes go in directly.
TEST_F(FileSaveTest, CharacterDevicesAreWrittenAndStayDevices)
{
    QString error;
    EXPECT_TRUE(SaveFile("/dev/null", writing("discarded"), &error)) << error.toStdString();
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

    ASSERT_TRUE(std::filesystem::is_character_file("/dev/full"));
    EXPECT_FALSE(SaveFile("/dev/full", writing(QByteArray(100000, 'x')), &error));
    EXPECT_EQ(error, QStringLiteral("нет места на диске"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    EXPECT_TRUE(QDir("/dev").entryList({".full.*", ".null.*"}, QDir::Files | QDir::Hidden | QDir::System).isEmpty());
}

TEST_F(FileSaveTest, APipeIsWrittenDirectly)
{
    const QString fifo = path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        QFile file(fifo);
        if (file.open(QIODevice::ReadOnly))
            received = file.readAll();
    });
    QString error;
    const bool saved = SaveFile(fifo, writing("through the pipe"), &error);
    reader.join();
    EXPECT_TRUE(saved) << error.toStdString();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(std::filesystem::is_fifo(QFile::encodeName(fifo).toStdString()));
}

// A reader that takes a little and goes away is a reason, not the end of the program.
TEST_F(FileSaveTest, APipeWhoseReaderLeavesIsAnError)
{
    IgnoreBrokenPipes();
    const QString fifo = path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::thread reader([&fifo] {
        QFile file(fifo);
        if (file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            file.read(10);
    });
    QString error;
    const bool saved = SaveFile(fifo, writing(QByteArray(4 << 20, 'x')), &error);
    reader.join();
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, QStringLiteral("канал закрыт"));
}

// A pipe nobody opens, or nobody reads, holds the save only until it is cancelled.
TEST_F(FileSaveTest, APipeThatTakesNothingIsLeftAtACancel)
{
    const QString fifo = path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const bool opened : {false, true}) {
        SCOPED_TRACE(opened ? "a reader that does not read" : "no reader");
        // Opened without waiting for a writer, and never read.
        const int reader = opened ? ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK) : -1;
        ASSERT_EQ(reader >= 0, opened);
        TJobProgress progress;
        std::thread cancel([&progress] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            progress.cancel();
        });
        QElapsedTimer waited;
        waited.start();
        QString error;
        EXPECT_FALSE(SaveFile(fifo, writing(QByteArray(4 << 20, 'x')), &error, &progress));
        cancel.join();
        EXPECT_EQ(error, TJobProgress::cancelledReason());
        EXPECT_LT(waited.elapsed(), 2000);
        if (reader >= 0)
            ::close(reader);
    }
}

// Root saving over another user's file gives it back to that user with its mode.
TEST_F(FileSaveTest, AReplacedFileKeepsItsOwnerGroupAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    place("shared.csv", "old");
    const QByteArray name = QFile::encodeName(path("shared.csv"));
    ASSERT_EQ(::chown(name.constData(), 4321, 8765), 0);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    QString error;
    EXPECT_TRUE(SaveFile(path("shared.csv"), writing("new"), &error)) << error.toStdString();
    struct stat saved {};
    ASSERT_EQ(::stat(name.constData(), &saved), 0);
    EXPECT_EQ(saved.st_uid, 4321u);
    EXPECT_EQ(saved.st_gid, 8765u);
    EXPECT_EQ(saved.st_mode & 07777, 0640u);
    EXPECT_EQ(contents(path("shared.csv")), "new");
}

TEST_F(FileSaveTest, AWriterThatNeedsAFileNameGetsATemporaryOneBesideTheTarget)
{
    place("report.xlsx", "old");
    {
        FileSave save(path("report.xlsx"));
        QString error;
        const QString temporary = save.openPath(&error);
        ASSERT_FALSE(temporary.isEmpty()) << error.toStdString();
        EXPECT_EQ(QFileInfo(temporary).absolutePath(), QFileInfo(path("report.xlsx")).absolutePath());
        EXPECT_EQ(save.workFolder(), QFileInfo(path("report.xlsx")).absolutePath());
        // Dropped without commit: the old file stays and the temporary one goes.
    }
    EXPECT_EQ(contents(path("report.xlsx")), "old");
    EXPECT_EQ(files(), QStringList{"report.xlsx"});
}

TEST_F(FileSaveTest, AFullDiskKeepsTheOldFileAndSaysWhy)
{
    FullTmpfs disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    disk.place("out.csv", "the old export");
    disk.fill();
    QString error;
    EXPECT_FALSE(SaveFile(disk.filePath("out.csv"), writing(QByteArray(256 * 1024, 'r')), &error));
    EXPECT_EQ(error, QStringLiteral("нет места на диске"));
    EXPECT_EQ(contents(disk.filePath("out.csv")), "the old export");
    EXPECT_EQ(disk.strayFiles({"out.csv"}), QStringList());
}

TEST(FileErrorReason, NamesTheSystemsReasonInRussian)
{
    QFile missing(QStringLiteral("/no/such/file.log"));
    EXPECT_FALSE(missing.open(QIODevice::ReadOnly));
    EXPECT_EQ(FileErrorReason(missing, false), QStringLiteral("файл не найден"));
    EXPECT_EQ(SystemErrorReason(ENOSPC, true), QStringLiteral("нет места на диске"));
    EXPECT_EQ(SystemErrorReason(ENOENT, true), QStringLiteral("папка не существует"));
    EXPECT_EQ(SystemErrorReason(EACCES, true), QStringLiteral("нет прав на запись"));
    EXPECT_EQ(SystemErrorReason(EACCES, false), QStringLiteral("нет прав на чтение"));
    // A code without words of its own keeps the system's English text out.
    EXPECT_EQ(SystemErrorReason(EXDEV, true), QStringLiteral("системная ошибка %1").arg(EXDEV));
}

// The writers see a disk fill up under them and say so instead of succeeding.
TEST(Writers, AFullDeviceFailsTheExport)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("data.log");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(LogGenerator(2).generate(3000, TLogShape::Typical, QDateTime(QDate(2024, 3, 1), QTime(0, 0))));
    file.close();
    TMeasurementStore store;
    const FolderVolumeSource noVolumes;
    TLoadResult loaded = TLoader(noVolumes).loadFile(log, TLoadRequest());
    ASSERT_TRUE(loaded.failure.isEmpty());
    TSourceList sources(store);
    sources.adopt(loaded);

    const std::pair<const char*, Writer> writers[] = {
        {"csv", [&store](QIODevice& device, QString* error) { return WriteCsv(store, device, error); }},
        {"log", [&sources](QIODevice& device, QString* error) { return WriteRawLog(sources.shownRawRecords(), device, error); }},
    };
    for (const auto& [name, write] : writers) {
        SCOPED_TRACE(name);
        FullDiskDevice device(20000);
        QString error;
        EXPECT_FALSE(write(device, &error));
        EXPECT_FALSE(error.isEmpty());
    }
}

} // namespace
