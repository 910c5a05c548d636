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

// Mounts a tmpfs with `options` on `folder`; false, with what mount said, when
// it is not permitted (it needs root, or a kernel that lets the user).
inline bool MountTmpfs(const QString& folder, const QString& options, QString* whyNot)
{
    QProcess mount;
    mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                                          QStringLiteral("korvi-test"), folder});
    const bool mounted =
        mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
    if (!mounted)
        *whyNot = QString::fromLocal8Bit(mount.readAllStandardError()).trimmed();
    return mounted;
}

// A small tmpfs of its own, filled up to the last few bytes, where a test can
// watch real writes run out of space. Where mounting is not permitted,
// `mounted()` is false and `whyNot()` says so, for the test to skip with.
class FullTmpfs {
public:
    explicit FullTmpfs(int sizeKiB = 512)
        : mounted_(MountTmpfs(folder_.path(), QStringLiteral("size=%1k").arg(sizeKiB), &whyNot_))
    {
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
    QString whyNot_;
    bool mounted_ = false;
};

// An empty folder nobody may write into, root included: a read-only tmpfs.
// Where mounting is not permitted, `mounted()` is false and `whyNot()` says so.
class ReadOnlyFolder {
public:
    ReadOnlyFolder()
        : mounted_(MountTmpfs(folder_.path(), QStringLiteral("ro,size=64k"), &whyNot_))
    {
    }
    ~ReadOnlyFolder()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {folder_.path()});
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool mounted() const { return mounted_; }
    QString whyNot() const { return QStringLiteral("cannot mount a read-only tmpfs here (%1)").arg(whyNot_); }
    QString filePath(const QString& name) const { return QDir(folder_.path()).filePath(name); }
    QStringList files() const { return QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden); }

private:
    QTemporaryDir folder_;
    QString whyNot_;
    bool mounted_ = false;
};
