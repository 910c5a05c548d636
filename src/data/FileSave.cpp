#include "data/FileSave.h"

#include "data/JobProgress.h"
#include "data/SystemFile.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TErrorReason {
    std::errc code;
    const char* reading;
    const char* writing;
};

constexpr std::array ErrorReasons{
    TErrorReason{std::errc::no_such_file_or_directory, "файл не найден", "папка не существует"},
    TErrorReason{std::errc::not_a_directory, "папка не существует", "папка не существует"},
    TErrorReason{std::errc::no_space_on_device, "нет места на диске", "нет места на диске"},
    TErrorReason{std::errc::permission_denied, "нет прав на чтение", "нет прав на запись"},
    TErrorReason{std::errc::operation_not_permitted, "нет прав на чтение", "нет прав на запись"},
    TErrorReason{std::errc::read_only_file_system, "диск только для чтения", "диск только для чтения"},
    TErrorReason{std::errc::is_a_directory, "это папка, а не файл", "это папка, а не файл"},
    TErrorReason{std::errc::io_error, "ошибка ввода-вывода", "ошибка ввода-вывода"},
    TErrorReason{std::errc::file_too_large, "файл слишком велик", "файл слишком велик для диска"},
    TErrorReason{std::errc::device_or_resource_busy, "файл занят", "файл занят"},
    TErrorReason{std::errc::filename_too_long, "слишком длинное имя файла", "слишком длинное имя файла"},
    TErrorReason{std::errc::broken_pipe, "канал закрыт", "канал закрыт"},
    TErrorReason{std::errc::no_such_device_or_address, "устройство недоступно", "устройство недоступно"},
    TErrorReason{std::errc::operation_canceled, "отменено", "отменено"},
    TErrorReason{std::errc::too_many_files_open, "открыто слишком много файлов", "открыто слишком много файлов"},
};

QString reasonText(const TErrorReason& reason, bool writing)
{
    return QString::fromUtf8(writing ? reason.writing : reason.reading);
}

// Files whose bytes are consumed as written: renaming a new file over them
// would replace the node itself.
bool isStream(std::filesystem::file_type type)
{
    return type == std::filesystem::file_type::character || type == std::filesystem::file_type::fifo;
}

constexpr qint64 CopyChunk = 1 << 20;

std::filesystem::path nativePath(const QString& path)
{
    const QByteArray utf8 = path.toUtf8();
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.constData()), size_t(utf8.size())));
}

// A save asked to stop by the user's cancel stops waiting for a pipe's reader.
TSystemFile::StopRequested stopRequest(TJobProgress* progress)
{
    if (!progress)
        return {};
    return [progress] { return progress->cancelled(); };
}

} // namespace

QString SystemErrorReason(int errorNumber, bool writing)
{
    for (const TErrorReason& reason : ErrorReasons) {
        if (int(reason.code) == errorNumber)
            return reasonText(reason, writing);
    }
    // The system's own text of a rarer error is English: the code says it to whoever helps.
    return QStringLiteral("системная ошибка %1").arg(errorNumber);
}

// Qt keeps only the system's text of the error; it is the text of one of
// the codes above, and so tells which.
QString OpenRegularFile(QFile& file, QIODevice::OpenMode mode)
{
    const QFileInfo info(file.fileName());
    if (!info.exists())
        return QStringLiteral("файл не найден");
    if (!info.isFile())
        return QStringLiteral("это не файл");
    if (!file.open(mode | QIODevice::ReadOnly))
        return FileErrorReason(file, false);
    return {};
}

QString FileErrorReason(const QFileDevice& file, bool writing)
{
    const QString text = file.errorString();
    for (const TErrorReason& reason : ErrorReasons) {
        if (text == qt_error_string(int(reason.code)))
            return reasonText(reason, writing);
    }
    if (file.error() == QFileDevice::NoError)
        return writing ? QStringLiteral("запись не завершена") : QStringLiteral("чтение не завершено");
    return (writing ? QStringLiteral("ошибка записи (код %1)") : QStringLiteral("ошибка чтения (код %1)")).arg(file.error());
}

TCheckedDevice::TCheckedDevice(QIODevice& target)
    : target_(target)
{
    open(QIODevice::WriteOnly);
}

qint64 TCheckedDevice::writeData(const char* data, qint64 size)
{
    const qint64 written = target_.write(data, size);
    if (written != size)
        failed_ = true;
    return written;
}

FileSave::FileSave(const QString& target, TJobProgress* progress)
    : target_(target)
    , progress_(progress)
{
}

FileSave::~FileSave()
{
    file_.reset();
    removeTemporary();
}

QString FileSave::workFolder() const
{
    return kind_ == Kind::Replaceable ? QFileInfo(target_).absolutePath() : QDir::tempPath();
}

bool FileSave::classify(QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (target_ == QLatin1String("-")) {
        kind_ = Kind::StandardOutput;
        return true;
    }
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(nativePath(target_), code);
    switch (status.type()) {
    case std::filesystem::file_type::not_found:
        if (!QFileInfo(QFileInfo(target_).absolutePath()).isDir())
            return fail(QStringLiteral("папка не существует"));
        kind_ = Kind::Replaceable;
        return true;
    case std::filesystem::file_type::regular:
        // A link is followed, so the file it names is replaced and the link stays.
        target_ = QFileInfo(target_).canonicalFilePath();
        kind_ = Kind::Replaceable;
        return true;
    case std::filesystem::file_type::directory:
        return fail(QStringLiteral("это папка, а не файл"));
    default:
        if (isStream(status.type())) {
            kind_ = Kind::Direct;
            return true;
        }
        if (code)
            return fail(SystemErrorReason(code.value(), true));
        return fail(QStringLiteral("это не файл и не канал"));
    }
}

bool FileSave::createTemporary(const QString& folder, QString* error)
{
    QByteArray name = QFile::encodeName(
        QDir(folder).filePath(QStringLiteral(".") + QFileInfo(target_).fileName() + QStringLiteral(".XXXXXX")));
    const int descriptor = ::mkostemp(name.data(), O_CLOEXEC);
    if (descriptor < 0) {
        if (error)
            *error = SystemErrorReason(errno, true);
        return false;
    }
    temporaryPath_ = QFile::decodeName(name);
    file_ = std::make_unique<TSystemFile>(stopRequest(progress_));
    file_->adopt(descriptor, true);
    return true;
}

bool FileSave::openTarget(TSystemFile& file)
{
    if (kind_ == Kind::StandardOutput) {
        file.adopt(STDOUT_FILENO, false);
        return true;
    }
    return file.openForWriting(target_);
}

QIODevice* FileSave::open(QString* error)
{
    if (!classify(error))
        return nullptr;
    if (kind_ == Kind::Replaceable)
        return createTemporary(workFolder(), error) ? file_.get() : nullptr;
    file_ = std::make_unique<TSystemFile>(stopRequest(progress_));
    if (!openTarget(*file_)) {
        if (error)
            *error = file_->errorString();
        file_.reset();
        return nullptr;
    }
    return file_.get();
}

QString FileSave::openPath(QString* error)
{
    if (!classify(error) || !createTemporary(workFolder(), error))
        return QString();
    file_->finish();
    pathMode_ = true;
    return temporaryPath_;
}

bool FileSave::commit(QString* error)
{
    const auto fail = [this, error](const QString& reason) {
        if (error)
            *error = reason;
        file_.reset();
        removeTemporary();
        return false;
    };
    if (!file_)
        return fail(QStringLiteral("файл не открыт"));
    if (kind_ != Kind::Replaceable) {
        if (pathMode_ ? !copyIntoTarget(error) : !file_->finish())
            return fail(pathMode_ ? (error ? *error : QString()) : file_->errorString());
        file_.reset();
        removeTemporary();
        return true;
    }
    if (pathMode_) {
        // The writer closed the file it was given; it is opened again to be made durable.
        const int descriptor = ::open(QFile::encodeName(temporaryPath_).constData(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0)
            return fail(SystemErrorReason(errno, true));
        file_->adopt(descriptor, true);
    }
    if (!replaceTarget(*file_, error))
        return fail(error ? *error : QString());
    file_.reset();
    temporaryPath_.clear();
    return true;
}

// The new file reaches the disk before its name does, and the name before
// "Сохранено" is said: a power cut then leaves the old file or the new one,
// never an empty one.
bool FileSave::replaceTarget(TSystemFile& file, QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!file.sync())
        return fail(file.errorString());
    keepTargetsAttributes(file.descriptor());
    if (!file.finish())
        return fail(file.errorString());
    std::error_code code;
    std::filesystem::rename(nativePath(temporaryPath_), nativePath(target_), code);
    if (code)
        return fail(SystemErrorReason(code.value(), true));
    const int folder = ::open(QFile::encodeName(QFileInfo(target_).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A file system that cannot sync a folder (EINVAL) keeps its names by itself.
    const bool synced = folder >= 0 && (::fsync(folder) == 0 || errno == EINVAL);
    const int syncError = errno;
    if (folder >= 0)
        ::close(folder);
    if (!synced)
        return fail(SystemErrorReason(syncError, true));
    return true;
}

// A replaced file keeps its owner, group and mode, as far as this user may
// give them; a new one is readable by all and writable by its owner.
void FileSave::keepTargetsAttributes(int descriptor) const
{
    struct stat target {};
    if (::stat(QFile::encodeName(target_).constData(), &target) != 0) {
        ::fchmod(descriptor, S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);
        return;
    }
    // The owner first: a change of owner clears the set-id bits of the mode.
    // A user who may not give the file away may still give it a group of theirs.
    const bool ownerKept = ::fchown(descriptor, target.st_uid, target.st_gid) == 0
        || ::fchown(descriptor, uid_t(-1), target.st_gid) == 0;
    Q_UNUSED(ownerKept);
    ::fchmod(descriptor, target.st_mode & 07777);
}

QString FileSave::writeError() const
{
    return file_ && file_->systemError() != 0 ? file_->errorString() : QString();
}

bool FileSave::copyIntoTarget(QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    QFile source(temporaryPath_);
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(FileErrorReason(source, false));
    TSystemFile target(stopRequest(progress_));
    if (!openTarget(target))
        return fail(target.errorString());
    QByteArray chunk(CopyChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 read = source.read(chunk.data(), chunk.size());
        if (read < 0)
            return fail(FileErrorReason(source, false));
        if (read == 0)
            break;
        if (target.write(chunk.constData(), read) != read)
            return fail(target.errorString());
    }
    return target.finish() || fail(target.errorString());
}

void FileSave::removeTemporary()
{
    if (!temporaryPath_.isEmpty())
        QFile::remove(temporaryPath_);
    temporaryPath_.clear();
}

bool SaveFile(const QString& target, const std::function<bool(QIODevice&, QString*)>& write, QString* error,
              TJobProgress* progress)
{
    FileSave save(target, progress);
    QIODevice* device = save.open(error);
    if (!device)
        return false;
    if (!write(*device, error)) {
        // The file knows the system's reason better than the writer's words for it.
        if (const QString reason = save.writeError(); !reason.isEmpty() && error)
            *error = reason;
        return false;
    }
    return save.commit(error);
}
