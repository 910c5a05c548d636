#pragma once

#include <QFile>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

class TJobProgress;
class TSystemFile;

// The Russian reason of a failed file operation, from the system's error of
// the device (or errno when no device is at hand); `writing` chooses between
// the reading and the writing words of a refused access.
QString FileErrorReason(const QFileDevice& file, bool writing);
QString SystemErrorReason(int errorNumber, bool writing);

// Opens the file for reading only if it is a regular file, so a pipe or a
// device cannot block the reader; returns the Russian reason it could not be
// opened, empty when it is open.
QString OpenRegularFile(QFile& file, QIODevice::OpenMode mode = QIODevice::ReadOnly);

// Forwards every write to another device and remembers whether any of them
// fell short, for writers (the PDF painter, image handlers) that do not look
// at the results of their own writes.
class TCheckedDevice : public QIODevice {
public:
    explicit TCheckedDevice(QIODevice& target);
    bool failed() const { return failed_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    QIODevice& target_;
    bool failed_ = false;
};

// How every output reaches its file, so that a failed save never destroys
// what was there: a regular file (or a new path) is written as a temporary
// file beside it, made durable, given the owner, group and mode of the file
// it replaces, and renamed over it only once complete; a character device or
// a pipe is written directly, as renaming over it would replace the node;
// "-" is standard output; a folder or a missing folder is refused. A save
// that is not committed removes its temporary file. A cancel of `progress`
// ends a wait for a pipe's reader.
class FileSave {
public:
    explicit FileSave(const QString& target, TJobProgress* progress = nullptr);
    ~FileSave();
    FileSave(const FileSave&) = delete;
    FileSave& operator=(const FileSave&) = delete;

    // The device a streaming writer writes into; null, with the reason, when
    // the target cannot be written.
    QIODevice* open(QString* error);
    // For writers that take only a file name: a new empty temporary file for
    // them to write, beside the target (in the system's temporary folder when
    // the target is a device, whose bytes commit copies in). Empty, with the
    // reason, when the target cannot be written.
    QString openPath(QString* error);
    // The folder the writer's own temporary files belong in.
    QString workFolder() const;
    // Why a write into the opened device failed; empty while none did.
    QString writeError() const;

    // Flushes and checks what was written, then puts it in place. On failure
    // the target is as it was before and the temporary file is gone.
    bool commit(QString* error);

private:
    enum class Kind { Replaceable, Direct, StandardOutput };

    bool classify(QString* error);
    bool createTemporary(const QString& folder, QString* error);
    bool openTarget(TSystemFile& file);
    bool copyIntoTarget(QString* error);
    bool replaceTarget(TSystemFile& file, QString* error);
    void keepTargetsAttributes(int descriptor) const;
    void removeTemporary();

    QString target_;
    TJobProgress* progress_;
    Kind kind_ = Kind::Replaceable;
    QString temporaryPath_;
    std::unique_ptr<TSystemFile> file_;
    bool pathMode_ = false;
};

// Saves through a streaming writer by the rule above: true once the target
// holds everything written; `error` says why not.
bool SaveFile(const QString& target, const std::function<bool(QIODevice&, QString*)>& write, QString* error,
              TJobProgress* progress = nullptr);
