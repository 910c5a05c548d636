#include "reports/WorkbookCheck.h"

#include "data/FileSave.h"
#include "data/JobProgress.h"

#include <QFile>
#include <QHash>

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

constexpr quint32 EndOfDirectorySignature = 0x06054b50;
constexpr quint32 Zip64EndLocatorSignature = 0x07064b50;
constexpr quint32 Zip64EndSignature = 0x06064b50;
constexpr quint32 DirectoryEntrySignature = 0x02014b50;
constexpr quint32 LocalHeaderSignature = 0x04034b50;
constexpr quint16 Zip64ExtraId = 0x0001;
constexpr quint32 Escaped32 = 0xFFFFFFFF;
constexpr qint64 EndOfDirectorySize = 22;
constexpr qint64 Zip64LocatorSize = 20;
constexpr qint64 LocalHeaderSize = 30;
constexpr qint64 MaxCommentSize = 0xFFFF;
constexpr int StoredMethod = 0;
constexpr int DeflatedMethod = 8;
constexpr qint64 ChunkSize = 1 << 20;
// The end of a sheet kept while it unpacks: its last row and what follows it.
constexpr qsizetype TailSize = 16 * 1024;

// Little-endian fields of the package's records, read without going past their end.
class Fields {
public:
    Fields(const QByteArray& bytes, qint64 at)
        : bytes_(bytes)
        , at_(at)
    {
    }
    bool fits(qint64 size) const { return at_ >= 0 && at_ + size <= bytes_.size(); }
    quint64 take(int size)
    {
        quint64 value = 0;
        if (!fits(size)) {
            at_ = -1;
            return 0;
        }
        for (int byte = size - 1; byte >= 0; --byte)
            value = value << 8 | quint8(bytes_[qsizetype(at_ + byte)]);
        at_ += size;
        return value;
    }
    QByteArray takeBytes(qint64 size)
    {
        if (!fits(size)) {
            at_ = -1;
            return {};
        }
        const QByteArray taken = bytes_.mid(qsizetype(at_), qsizetype(size));
        at_ += size;
        return taken;
    }
    void skip(qint64 size) { at_ = fits(size) ? at_ + size : -1; }
    bool valid() const { return at_ >= 0; }
    qint64 at() const { return at_; }

private:
    const QByteArray& bytes_;
    qint64 at_;
};

struct PackedPart {
    int method = 0;
    quint32 crc = 0;
    quint64 packedSize = 0;
    quint64 size = 0;
    quint64 headerOffset = 0;
};

class Package {
public:
    explicit Package(const QString& path)
        : file_(path)
    {
    }

    // Opens the file and reads its central directory; the reason when it cannot.
    QString open()
    {
        if (const QString reason = OpenRegularFile(file_, QIODevice::Unbuffered); !reason.isEmpty())
            return reason;
        const std::optional<QByteArray> directory = centralDirectory();
        if (!directory)
            return broken();
        Fields fields(*directory, 0);
        while (fields.fits(4) && fields.take(4) == DirectoryEntrySignature) {
            PackedPart part;
            fields.skip(6);
            part.method = int(fields.take(2));
            fields.skip(4);
            part.crc = quint32(fields.take(4));
            part.packedSize = fields.take(4);
            part.size = fields.take(4);
            const qint64 nameSize = qint64(fields.take(2));
            const qint64 extraSize = qint64(fields.take(2));
            const qint64 commentSize = qint64(fields.take(2));
            fields.skip(8);
            part.headerOffset = fields.take(4);
            const QString name = QString::fromUtf8(fields.takeBytes(nameSize));
            readZip64Sizes(fields.takeBytes(extraSize), part);
            fields.skip(commentSize);
            if (!fields.valid())
                return broken();
            parts_.insert(name, part);
        }
        return {};
    }

    std::optional<PackedPart> part(const QString& name) const
    {
        const auto found = parts_.constFind(name);
        return found == parts_.constEnd() ? std::nullopt : std::optional<PackedPart>(*found);
    }

    quint64 packedSize() const
    {
        quint64 total = 0;
        for (const PackedPart& part : parts_)
            total += part.packedSize;
        return total;
    }

    // Where a member's packed bytes begin, after its local header; -1 when that header is broken.
    qint64 dataOffset(const PackedPart& part)
    {
        const QByteArray header = readAt(qint64(part.headerOffset), LocalHeaderSize);
        Fields fields(header, 0);
        if (fields.take(4) != LocalHeaderSignature)
            return -1;
        fields.skip(22);
        const qint64 nameSize = qint64(fields.take(2));
        const qint64 extraSize = qint64(fields.take(2));
        return fields.valid() ? qint64(part.headerOffset) + LocalHeaderSize + nameSize + extraSize : -1;
    }

    QByteArray readAt(qint64 offset, qint64 size)
    {
        if (offset < 0 || !file_.seek(offset))
            return {};
        QByteArray bytes(qsizetype(size), Qt::Uninitialized);
        qint64 got = 0;
        while (got < size) {
            const qint64 read = file_.read(bytes.data() + got, size - got);
            if (read <= 0)
                break;
            got += read;
        }
        bytes.truncate(qsizetype(got));
        return bytes;
    }

    QString readError() const
    {
        return file_.error() != QFileDevice::NoError ? FileErrorReason(file_, false) : broken();
    }

    static QString broken() { return QStringLiteral("файл не является целой книгой"); }

private:
    // The end record is found from the file's end back, past a comment of any length.
    std::optional<QByteArray> centralDirectory()
    {
        const qint64 size = file_.size();
        const qint64 tailSize = std::min(size, EndOfDirectorySize + MaxCommentSize + Zip64LocatorSize);
        const QByteArray tail = readAt(size - tailSize, tailSize);
        for (qint64 at = tail.size() - EndOfDirectorySize; at >= 0; --at) {
            Fields end(tail, at);
            if (end.take(4) != EndOfDirectorySignature)
                continue;
            end.skip(8);
            quint64 directorySize = end.take(4);
            quint64 directoryOffset = end.take(4);
            Fields locator(tail, at - Zip64LocatorSize);
            if (locator.take(4) == Zip64EndLocatorSignature) {
                locator.skip(4);
                const QByteArray zip64End = readAt(qint64(locator.take(8)), 56);
                Fields record(zip64End, 0);
                if (record.take(4) != Zip64EndSignature)
                    return std::nullopt;
                record.skip(36);
                directorySize = record.take(8);
                directoryOffset = record.take(8);
            }
            if (directorySize > quint64(size))
                return std::nullopt;
            QByteArray directory = readAt(qint64(directoryOffset), qint64(directorySize));
            if (quint64(directory.size()) != directorySize)
                return std::nullopt;
            return directory;
        }
        return std::nullopt;
    }

    // Sizes and offsets too large for their 32-bit fields follow in the zip64 extra field, in this order.
    static void readZip64Sizes(const QByteArray& extra, PackedPart& part)
    {
        Fields fields(extra, 0);
        while (fields.fits(4)) {
            const quint16 id = quint16(fields.take(2));
            const qint64 size = qint64(fields.take(2));
            if (id != Zip64ExtraId) {
                fields.skip(size);
                continue;
            }
            for (quint64* field : {&part.size, &part.packedSize, &part.headerOffset}) {
                if (*field == Escaped32 && fields.fits(8))
                    *field = fields.take(8);
            }
            return;
        }
    }

    QFile file_;
    QHash<QString, PackedPart> parts_;
};

// The number of the last `<row r="N"` in the text, if any.
std::optional<quint32> lastRowNumber(const QByteArray& text)
{
    static const QByteArray rowStart = QByteArrayLiteral("<row r=\"");
    const qsizetype at = text.lastIndexOf(rowStart);
    if (at < 0)
        return std::nullopt;
    const qsizetype from = at + rowStart.size();
    const qsizetype end = text.indexOf('"', from);
    bool parsed = false;
    const quint32 row = text.mid(from, end - from).toUInt(&parsed);
    return parsed && end > from ? std::optional<quint32>(row) : std::nullopt;
}

// Unpacks one part, keeping only its checksum, its size and its end.
class PartReader {
public:
    PartReader(Package& package, const TProgressSpan& progress, quint64 packedTotal)
        : package_(package)
        , progress_(progress)
        , packedTotal_(std::max<quint64>(packedTotal, 1))
    {
    }

    // False with the reason when a member cannot be read or does not unpack as recorded.
    bool read(const PackedPart& part, QByteArray* tail, QString* error)
    {
        const qint64 offset = package_.dataOffset(part);
        if (offset < 0 || (part.method != StoredMethod && part.method != DeflatedMethod))
            return fail(error, Package::broken());
        z_stream stream{};
        if (part.method == DeflatedMethod && inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return fail(error, QStringLiteral("не хватило памяти"));
        QByteArray out(ChunkSize, Qt::Uninitialized);
        quint32 crc = quint32(crc32(0, nullptr, 0));
        quint64 unpacked = 0;
        quint64 left = part.packedSize;
        bool ended = part.method == StoredMethod && left == 0;
        bool sound = true;
        while (sound && left > 0) {
            if (!reachProgress(part.packedSize - left)) {
                sound = false;
                *error = TJobProgress::cancelledReason();
                break;
            }
            const QByteArray in = package_.readAt(offset + qint64(part.packedSize - left),
                                                  qint64(std::min<quint64>(left, ChunkSize)));
            if (in.isEmpty()) {
                sound = false;
                *error = package_.readError();
                break;
            }
            left -= quint64(in.size());
            if (part.method == StoredMethod) {
                keep(in.constData(), in.size(), crc, unpacked, tail);
                ended = left == 0;
                continue;
            }
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
            stream.avail_in = uInt(in.size());
            while (stream.avail_in > 0 && !ended) {
                stream.next_out = reinterpret_cast<Bytef*>(out.data());
                stream.avail_out = uInt(out.size());
                const int status = inflate(&stream, Z_NO_FLUSH);
                if (status != Z_OK && status != Z_STREAM_END) {
                    sound = false;
                    *error = Package::broken();
                    break;
                }
                keep(out.constData(), out.size() - qsizetype(stream.avail_out), crc, unpacked, tail);
                ended = status == Z_STREAM_END;
            }
        }
        if (part.method == DeflatedMethod)
            inflateEnd(&stream);
        progressed_ += part.packedSize;
        if (!sound)
            return false;
        if (!ended || crc != part.crc || unpacked != part.size)
            return fail(error, Package::broken());
        return true;
    }

private:
    static bool fail(QString* error, const QString& reason)
    {
        *error = reason;
        return false;
    }

    static void keep(const char* data, qsizetype size, quint32& crc, quint64& unpacked, QByteArray* tail)
    {
        crc = quint32(crc32(crc, reinterpret_cast<const Bytef*>(data), uInt(size)));
        unpacked += quint64(size);
        if (size >= TailSize) {
            *tail = QByteArray(data + size - TailSize, TailSize);
            return;
        }
        tail->append(data, size);
        if (tail->size() > 2 * TailSize)
            tail->remove(0, tail->size() - TailSize);
    }

    bool reachProgress(quint64 inPart)
    {
        if (!progress_.progress)
            return true;
        const quint64 done = progressed_ + inPart;
        return progress_.progress->reach(progress_.from + qint64(double(done) / double(packedTotal_) * double(progress_.span)));
    }

    Package& package_;
    const TProgressSpan& progress_;
    quint64 packedTotal_;
    quint64 progressed_ = 0;
};

} // namespace

bool CheckWorkbook(const QString& path, const std::vector<TExpectedSheet>& sheets, QString* error,
                   const TProgressSpan& progress)
{
    QString reason;
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    Package package(path);
    if (reason = package.open(); !reason.isEmpty())
        return fail(reason);
    PartReader reader(package, progress, package.packedSize());
    for (const TExpectedSheet& sheet : sheets) {
        const std::optional<PackedPart> part = package.part(sheet.part);
        if (!part)
            return fail(QStringLiteral("в книге нет листа «%1»").arg(sheet.caption));
        QByteArray tail;
        if (!reader.read(*part, &tail, &reason))
            return fail(reason == TJobProgress::cancelledReason()
                            ? reason
                            : QStringLiteral("лист «%1» записан не полностью: %2").arg(sheet.caption, reason));
        if (!tail.trimmed().endsWith(QByteArrayLiteral("</worksheet>")) || lastRowNumber(tail) != sheet.lastRow)
            return fail(QStringLiteral("лист «%1» записан не полностью").arg(sheet.caption));
    }
    return true;
}
