#include "data/FileSave.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <array>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

struct TErrorReason {
    std::errc code;
    const char* reading;
    const char* writing;
};

constexpr std::array ErrorReasons{
    TErrorReason{std::errc::no_such_file_or_directory, "файл не найден", "папка не существует"},
    TErrorReason{std::errc::not_a_directory, "папка не существует", "папка не существует"},
    TErrorReason{std::errc::no_space_on_device, "диск заполнен", "диск заполнен"},
    TErrorReason{std::errc::permission_denied, "нет прав на чтение", "нет прав на запись"},
    TErrorReason{std::errc::operation_not_permitted, "нет прав на чтение", "нет прав на запись"},
    TErrorReason{std::errc::read_only_file_system, "диск только для чтения", "диск только для чтения"},
    TErrorReason{std::errc::is_a_directory, "это папка, а не файл", "это папка, а не файл"},
    TErrorReason{std::errc::io_error, "ошибка ввода-вывода", "ошибка ввода-вывода"},
    TErrorReason{std::errc::file_too_large, "файл слишком велик", "файл слишком велик для диска"},
    TErrorReason{std::errc::device_or_resource_busy, "файл занят", "файл занят"},
    TErrorReason{std::errc::filename_too_long, "слишком длинное имя файла", "слишком длинное имя файла"},
    TErrorReason{std::errc::broken_pipe, "канал закрыт", "канал закрыт читающей стороной"},
    TErrorReason{std::errc::no_such_device_or_address, "устройство недоступно", "устройство недоступно"},
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

FileSave::FileSave(const QString& target)
    : target_(target)
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
    auto temporary = std::make_unique<QTemporaryFile>(
        QDir(folder).filePath(QStringLiteral(".") + QFileInfo(target_).fileName() + QStringLiteral(".XXXXXX")));
    temporary->setAutoRemove(false);
    if (!temporary->open()) {
        if (error)
            *error = FileErrorReason(*temporary, true);
        return false;
    }
    temporaryPath_ = temporary->fileName();
    file_ = std::move(temporary);
    return true;
}

QIODevice* FileSave::open(QString* error)
{
    if (!classify(error))
        return nullptr;
    if (kind_ == Kind::Replaceable)
        return createTemporary(workFolder(), error) ? file_.get() : nullptr;
    file_ = std::make_unique<QFile>(target_);
    const bool opened = kind_ == Kind::StandardOutput
        ? file_->open(stdout, QIODevice::WriteOnly)
        : file_->open(QIODevice::WriteOnly);
    if (!opened) {
        if (error)
            *error = FileErrorReason(*file_, true);
        file_.reset();
        return nullptr;
    }
    return file_.get();
}

QString FileSave::openPath(QString* error)
{
    if (!classify(error) || !createTemporary(workFolder(), error))
        return QString();
    file_->close();
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
    if (!pathMode_) {
        // A buffered write that failed shows only now, as the file's error.
        const bool flushed = file_->flush() && file_->error() == QFileDevice::NoError;
        if (flushed)
            file_->close();
        if (!flushed || file_->error() != QFileDevice::NoError)
            return fail(FileErrorReason(*file_, true));
        if (kind_ != Kind::Replaceable) {
            file_.reset();
            return true;
        }
    } else if (kind_ != Kind::Replaceable) {
        if (!copyIntoTarget(error))
            return fail(error ? *error : QString());
        file_.reset();
        removeTemporary();
        return true;
    }

    if (QFile::exists(target_))
        QFile::setPermissions(temporaryPath_, QFile::permissions(target_));
    else
        QFile::setPermissions(temporaryPath_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                  | QFile::ReadOther);
    std::error_code code;
    std::filesystem::rename(nativePath(temporaryPath_), nativePath(target_), code);
    if (code)
        return fail(SystemErrorReason(code.value(), true));
    file_.reset();
    temporaryPath_.clear();
    return true;
}

QString FileSave::writeError() const
{
    return file_ && file_->error() != QFileDevice::NoError ? FileErrorReason(*file_, true) : QString();
}

bool FileSave::copyIntoTarget(QString* error)
{
    QFile source(temporaryPath_);
    QFile target(target_);
    const bool opened = source.open(QIODevice::ReadOnly)
        && (kind_ == Kind::StandardOutput ? target.open(stdout, QIODevice::WriteOnly)
                                          : target.open(QIODevice::WriteOnly));
    if (!opened) {
        if (error)
            *error = FileErrorReason(source.isOpen() ? target : source, source.isOpen());
        return false;
    }
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(CopyChunk);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size()) {
            if (error)
                *error = FileErrorReason(chunk.isEmpty() ? source : target, !chunk.isEmpty());
            return false;
        }
    }
    if (!target.flush() || target.error() != QFileDevice::NoError) {
        if (error)
            *error = FileErrorReason(target, true);
        return false;
    }
    return true;
}

void FileSave::removeTemporary()
{
    if (!temporaryPath_.isEmpty())
        QFile::remove(temporaryPath_);
    temporaryPath_.clear();
}

bool SaveFile(const QString& target, const std::function<bool(QIODevice&, QString*)>& write, QString* error)
{
    FileSave save(target);
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
