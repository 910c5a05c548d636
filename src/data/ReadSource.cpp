#include "data/ReadSource.h"

#include "data/FileSave.h"

#include <QFile>

#include <algorithm>

#include <sys/stat.h>

namespace {

// Records per read call: one progress step (a hundredth of the count) so the
// progress text moves between reads, but never more than 64 KiB at a time.
qint64 chunkRecords(qint64 recordCount)
{
    return std::clamp<qint64>(recordCount / 100, 1, 4096);
}

// The size of the open file as the system has it now, not as first seen.
qint64 currentSize(const QFile& file)
{
    struct stat status {};
    return ::fstat(file.handle(), &status) == 0 ? qint64(status.st_size) : -1;
}

// Reads until `size` bytes are in or the file ends: how many came, or -1
// when a read failed, which is never taken for the end.
qint64 readUpTo(QFile& file, char* into, qint64 size)
{
    qint64 got = 0;
    while (got < size) {
        const qint64 n = file.read(into + got, size - got);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

} // namespace

TReadResult ReadSource(const QString& path, qint64 recordCount, qint64 recordLimit, const TReadProgress& progress)
{
    QFile file(path);
    if (const QString reason = OpenRegularFile(file, QIODevice::Unbuffered); !reason.isEmpty())
        return TReadResult{false, {}, reason};

    const qint64 size = currentSize(file);
    const qint64 inFile = std::max<qint64>(0, std::min(recordCount, size / qint64(sizeof(TLogRecord))));
    const qint64 wanted = std::min(inFile, recordLimit);
    QByteArray bytes(qsizetype(wanted * qint64(sizeof(TLogRecord))), Qt::Uninitialized);
    const auto readSoFar = [&bytes](qint64 records) {
        bytes.truncate(qsizetype(records * qint64(sizeof(TLogRecord))));
        return TRawRecords(std::move(bytes));
    };
    const qint64 chunk = chunkRecords(wanted);
    qint64 read = 0;
    while (read < wanted) {
        if (progress && !progress(read))
            return TReadResult{true, readSoFar(read), QString()};
        const qint64 end = std::min(wanted, read + chunk);
        const qint64 want = (end - read) * qint64(sizeof(TLogRecord));
        const qint64 got = readUpTo(file, bytes.data() + read * qint64(sizeof(TLogRecord)), want);
        if (got < 0)
            return TReadResult{true, readSoFar(read), FileErrorReason(file, false)};
        read += got / qint64(sizeof(TLogRecord));
        if (got < want)
            break;
    }
    // The end came where the file's size said, and the size is still that:
    // nothing was cut off or added while it was read.
    if (read < wanted || currentSize(file) != size)
        return TReadResult{true, readSoFar(read), QStringLiteral("файл изменился во время чтения")};
    return TReadResult{true, readSoFar(read), QString(), inFile - wanted};
}

std::optional<QByteArray> ReadFileBytes(const QString& path, QString* error, qint64 limit)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    QFile file(path);
    if (const QString reason = OpenRegularFile(file, QIODevice::Unbuffered); !reason.isEmpty())
        return fail(reason);
    const qint64 size = currentSize(file);
    const qint64 wanted = std::min(size, limit);
    QByteArray bytes(qsizetype(wanted), Qt::Uninitialized);
    const qint64 got = readUpTo(file, bytes.data(), wanted);
    if (got < 0)
        return fail(FileErrorReason(file, false));
    if (got < wanted || currentSize(file) != size)
        return fail(QStringLiteral("файл изменился во время чтения"));
    return bytes;
}
