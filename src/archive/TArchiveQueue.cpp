#include "archive/TArchiveQueue.h"

#include "data/FileSave.h"
#include "data/ReadSource.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr quint32 ItemFormat = 1;
constexpr qsizetype ChecksumSize = 32; // SHA-256 of what precedes it
const QString LogSuffix = QStringLiteral("-log.item");
const QString NoteSuffix = QStringLiteral("-note.item");

QByteArray checksum(QByteArrayView payload)
{
    return QCryptographicHash::hash(payload, QCryptographicHash::Sha256);
}

} // namespace

TArchiveQueue::TArchiveQueue(const QString& folder)
    : folder_(folder)
    , lock_(QDir(folder).filePath(QStringLiteral(".lock")))
{
    // A program that died leaves its lock to the next one; a live one keeps
    // it however long its server makes it wait.
    lock_.setStaleLockTime(0);
}

QString TArchiveQueue::folderOf(const TArchiveLocation& location)
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("korvi-monitor"),
                             QStringLiteral("korvi-monitor"));
    const QString archive = QString::fromLatin1(checksum(location.displayName().toUtf8()).toHex().left(16));
    return QDir(QFileInfo(settings.fileName()).absolutePath())
        .filePath(QStringLiteral("archive-queue/") + archive);
}

bool TArchiveQueue::add(const TQueuedItem& item, QString* error)
{
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << ItemFormat << quint8(item.kind) << item.label << item.raw << item.origin << item.sha256
            << ArchiveEventKindName(item.event) << item.detail << item.stamp.utcSeconds
            << qint32(item.stamp.utcOffsetSeconds) << item.stamp.user << item.stamp.host;
    }
    bytes += checksum(bytes);
    if (!QDir().mkpath(folder_)) {
        *error = QStringLiteral("не удалось создать папку %1").arg(QDir::toNativeSeparators(folder_));
        return false;
    }
    // Milliseconds, then this program and its count: the order items came in,
    // and names no other program sharing the folder makes.
    const QString name = QStringLiteral("%1-%2-%3")
                             .arg(QDateTime::currentMSecsSinceEpoch(), 16, 10, QLatin1Char('0'))
                             .arg(QCoreApplication::applicationPid())
                             .arg(++sequence_, 8, 10, QLatin1Char('0'))
                         + (item.kind == TQueuedItem::Kind::Log ? LogSuffix : NoteSuffix);
    return SaveFile(
        QDir(folder_).filePath(name),
        [&bytes](QIODevice& file, QString* reason) {
            if (file.write(bytes) == bytes.size())
                return true;
            *reason = file.errorString();
            return false;
        },
        error);
}

QStringList TArchiveQueue::waiting() const
{
    const QDir folder(folder_);
    QStringList files;
    for (const QString& name : folder.entryList({QStringLiteral("*.item")}, QDir::Files, QDir::Name))
        files << folder.filePath(name);
    return files;
}

qsizetype TArchiveQueue::logsAmong(const QStringList& files)
{
    return std::count_if(files.begin(), files.end(), [](const QString& file) { return file.endsWith(LogSuffix); });
}

std::optional<TQueuedItem> TArchiveQueue::read(const QString& file, QString* error) const
{
    const std::optional<QByteArray> bytes = ReadFileBytes(file, error);
    if (!bytes)
        return std::nullopt;
    const QByteArrayView payload = QByteArrayView(*bytes).chopped(std::min(ChecksumSize, bytes->size()));
    if (bytes->size() < ChecksumSize || checksum(payload) != QByteArrayView(*bytes).last(ChecksumSize)) {
        *error = QStringLiteral("его контрольная сумма не сходится");
        return std::nullopt;
    }
    QDataStream in(payload.toByteArray());
    in.setVersion(QDataStream::Qt_6_0);
    quint32 format = 0;
    quint8 kind = 0;
    QString event;
    qint32 offset = 0;
    TQueuedItem item;
    in >> format;
    if (format != ItemFormat) {
        *error = QStringLiteral("неизвестный формат %1").arg(format);
        return std::nullopt;
    }
    in >> kind >> item.label >> item.raw >> item.origin >> item.sha256 >> event >> item.detail
        >> item.stamp.utcSeconds >> offset >> item.stamp.user >> item.stamp.host;
    const std::optional<TArchiveEventKind> eventKind = ArchiveEventKindNamed(event);
    if (in.status() != QDataStream::Ok || !in.atEnd() || kind > quint8(TQueuedItem::Kind::Note) || !eventKind) {
        *error = QStringLiteral("его содержимое не читается");
        return std::nullopt;
    }
    item.kind = TQueuedItem::Kind(kind);
    item.event = *eventKind;
    item.stamp.utcOffsetSeconds = offset;
    return item;
}

void TArchiveQueue::remove(const QString& file)
{
    QFile::remove(file);
}

bool TArchiveQueue::setAside(const QString& file)
{
    const QDir damaged(QDir(folder_).filePath(QStringLiteral("damaged")));
    return damaged.mkpath(QStringLiteral(".")) && QFile::rename(file, damaged.filePath(QFileInfo(file).fileName()));
}

bool TArchiveQueue::lock()
{
    return QDir().mkpath(folder_) && lock_.tryLock(0);
}
