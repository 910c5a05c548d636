#include "app/SimulatedPlatform.h"
#include "data/LoadTexts.h"
#include "device/SimulatedLogger.h"
#include "device/TDeviceReport.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

#include <sys/stat.h>

namespace {

// The platform's temporary directory, pointed at a folder of the test's own.
class SimulatedPlatformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temporary_.path()));
    }
    void TearDown() override { qputenv("TMPDIR", previous_); }

    QString inTemporary(const QString& name) const { return temporary_.filePath(name); }

    static QString failureOf(const QString& logFile, const QString& readingsFile = {})
    {
        try {
            SimulatedPlatform platform(logFile, readingsFile);
        } catch (const std::runtime_error& error) {
            return QString::fromUtf8(error.what());
        }
        return QString();
    }

    QTemporaryDir temporary_;
    QByteArray previous_;
};

// A pipe would give no window at all, /dev/zero gigabytes in seconds.
TEST_F(SimulatedPlatformTest, OnlyARegularFileIsTakenAsTheLog)
{
    const QString fifo = inTemporary("log.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(failureOf(fifo).endsWith(QStringLiteral("это не файл"))) << failureOf(fifo).toStdString();
    EXPECT_TRUE(failureOf("/dev/zero").endsWith(QStringLiteral("это не файл")));
    EXPECT_TRUE(failureOf(inTemporary("missing.log")).endsWith(QStringLiteral("файл не найден")));
}

// The live readings follow a script from the start; a script that is none is refused with the line at fault.
TEST_F(SimulatedPlatformTest, LiveReadingsFollowTheGivenScript)
{
    const QString scriptFile = inTemporary("readings.txt");
    QFile file(scriptFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0 -18.5 40 101.3\n");
    file.close();
    SimulatedPlatform platform(QString(), scriptFile);
    TDeviceReport request;
    request.prepareReadChannel(0);
    const QByteArray reply = platform.logger()->answer(request, 0).bytes;
    ASSERT_EQ(reply.size(), TDeviceReport::Size);
    std::copy(reply.begin(), reply.end(), request.bytes().begin());
    EXPECT_EQ(request.field32(TDeviceReport::ValueOffset), -185);

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0 warm\n");
    file.close();
    EXPECT_TRUE(failureOf(QString(), scriptFile).startsWith(QStringLiteral("Не удалось открыть %1: строка 1: ").arg(scriptFile)))
        << failureOf(QString(), scriptFile).toStdString();
    EXPECT_TRUE(failureOf(QString(), inTemporary("missing.txt")).endsWith(QStringLiteral("файл не найден")));
}

TEST_F(SimulatedPlatformTest, AtMostOneLogMemoryIsRead)
{
    const QString big = inTemporary("big.log");
    QFile file(big);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(DeviceLogMemoryBytes + 4096, '\x01'));
    file.close();
    SimulatedPlatform platform(big);
    EXPECT_EQ(platform.logger()->log().size(), DeviceLogMemoryBytes);
}

// A run that was killed left its drive folder; the next run removes it, but
// not the folder of a run that still lives.
TEST_F(SimulatedPlatformTest, DrivesOfRunsThatAreGoneAreRemoved)
{
    const QString prefix = QString::fromLatin1(SimulatedPlatform::DrivePrefix);
    const QString killed = inTemporary(prefix + "999999999");
    QDir().mkpath(killed);
    QFile(QDir(killed).filePath("data.log")).open(QIODevice::WriteOnly);
    const QString living = inTemporary(prefix + "living");
    QDir().mkpath(living);
    QLockFile livingLock(living + ".lock");
    ASSERT_TRUE(livingLock.tryLock(0));

    QString drive;
    {
        SimulatedPlatform platform{QString()};
        drive = platform.driveFolder();
        EXPECT_TRUE(QFile::exists(QDir(drive).filePath("data.log")));
        EXPECT_FALSE(QFile::exists(killed));
        EXPECT_TRUE(QFile::exists(living));
    }
    EXPECT_FALSE(QFile::exists(drive));
    EXPECT_EQ(QFileInfo(drive).absolutePath(), QFileInfo(temporary_.path()).absoluteFilePath());
}

} // namespace
