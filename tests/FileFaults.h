#pragma once

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>

// A device that takes the first `capacity` bytes and then fails as a full
// disk does: a short write, then none at all.
class FullDiskDevice : public QIODevice {
public:
    explicit FullDiskDevice(qint64 capacity)
        : capacity_(capacity)
    {
        open(QIODevice::WriteOnly);
    }
    QByteArray bytes;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 room = capacity_ - bytes.size();
        if (room <= 0) {
            setErrorString(qt_error_string(ENOSPC));
            return -1;
        }
        const qint64 taken = qMin(room, size);
        bytes.append(data, taken);
        return taken;
    }

private:
    qint64 capacity_;
};

// A small tmpfs of its own, filled up to the last few bytes, where a test can
// watch real writes run out of space. Mounting needs root (or a kernel that
// lets the user); where it is not permitted, `mounted()` is false and
// `whyNot()` says so, for the test to skip with.
class FullTmpfs {
public:
    explicit FullTmpfs(int sizeKiB = 512)
    {
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=%1k").arg(sizeKiB), QStringLiteral("korvi-test"), folder_.path()});
        mounted_ = mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
        if (!mounted_)
            whyNot_ = QString::fromLocal8Bit(mount.readAllStandardError()).trimmed();
    }
    ~FullTmpfs()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {folder_.path()});
    }
    FullTmpfs(const FullTmpfs&) = delete;
    FullTmpfs& operator=(const FullTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    QString whyNot() const { return QStringLiteral("cannot mount a tmpfs here (%1): full-disk case skipped").arg(whyNot_); }
    QString filePath(const QString& name) const { return QDir(folder_.path()).filePath(name); }

    void place(const QString& name, const QByteArray& bytes) const
    {
        QFile file(filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    // Fills what is left of the disk, to the last byte.
    void fill() const
    {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write(block.constData(), 1) == 1) {
        }
    }

    // Files other than those named: temporary files a save left behind.
    QStringList strayFiles(const QStringList& expected) const
    {
        QStringList names = QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : expected)
            names.removeAll(name);
        names.removeAll(QStringLiteral("filler"));
        return names;
    }

private:
    QTemporaryDir folder_;
    bool mounted_ = false;
    QString whyNot_;
};
