#include "monitor/TMonitorRecord.h"

#include "data/FileSave.h"
#include "data/Timestamp.h"
#include "data/UserLimitsSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 RecordSize = sizeof(TLogRecord);
constexpr int MaxRepeatCount = 255;
const QString DayFormat = QStringLiteral("yyyy-MM-dd");
const QString DaySuffix = QStringLiteral(".log");

qint64 slotStartOf(const QDateTime& at)
{
    const QDate date = at.date();
    const QTime time = at.time();
    const qint64 seconds =
        TimestampSeconds(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
    return seconds - seconds % TMonitorRecord::SlotSeconds;
}

// One repetition of the slot's values: the channels measured and their values, 0 where not.
TLogRecord slotRecord(qint64 slotStart, const std::array<std::optional<int>, 3>& tenths)
{
    int mask = 0;
    for (TChannelBit channel : AllChannels) {
        if (tenths[ChannelSlot(channel)])
            mask |= channel;
    }
    const auto value = [&tenths](TChannelBit channel) { return tenths[ChannelSlot(channel)].value_or(0); };
    return MakeLogRecord(1, TMonitorRecord::IntervalCode << 4 | mask, slotStart, qint16(value(ChannelTemperature)),
                         quint16(value(ChannelHumidity)), quint16(value(ChannelPressure)));
}

qint64 endOf(const TLogRecord& record, qint64 start)
{
    return start + qint64(record.RepeatCount) * TMonitorRecord::SlotSeconds;
}

// `next` is the slot right after the last one `last` counts, with the same
// channels and values, and `last` may count one more.
bool continues(const TLogRecord& last, qint64 lastStart, const TLogRecord& next, qint64 nextStart)
{
    return last.RepeatCount < MaxRepeatCount && nextStart == endOf(last, lastStart)
           && last.IntervalAndChannels == next.IntervalAndChannels
           && std::memcmp(last.Temperature, next.Temperature, 6) == 0;
}

// Writes the whole record at `index`; false with errno set.
bool writeAt(int descriptor, const TLogRecord& record, qint64 index)
{
    const auto* bytes = reinterpret_cast<const char*>(&record);
    qint64 done = 0;
    while (done < RecordSize) {
        const ssize_t written = ::pwrite(descriptor, bytes + done, size_t(RecordSize - done), off_t(index * RecordSize + done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

TMonitorRecord::TMonitorRecord(const QString& folder, QObject* parent)
    : QObject(parent)
    , folder_(folder)
{
}

TMonitorRecord::~TMonitorRecord()
{
    for (auto& [label, logger] : loggers_) {
        if (logger.inProgress)
            writeSlot(label, logger, *logger.inProgress);
        closeFile(logger);
    }
}

QString TMonitorRecord::defaultFolder()
{
    return QDir(QFileInfo(ProgramSettings()->fileName()).absolutePath()).filePath(QStringLiteral("monitor-record"));
}

QString TMonitorRecord::dayPath(const QString& label, const QDate& day) const
{
    return QDir(folder_).filePath(label + u'/' + day.toString(DayFormat) + DaySuffix);
}

void TMonitorRecord::take(const QString& label, const TLiveMeasurement& measurement)
{
    // Without a logger's label there is no record to file the values under.
    if (label.isEmpty() || label.contains(u'/'))
        return;
    Logger& logger = loggers_[label];
    const Slot slot{slotStartOf(measurement.at), measurement.tenths};
    if (logger.inProgress) {
        if (slot.start < logger.inProgress->start)
            return;
        if (slot.start > logger.inProgress->start)
            writeSlot(label, logger, *logger.inProgress);
    }
    if (logger.day.isValid() && DateOf(slot.start) > logger.day) {
        closeFile(logger);
        const QString ended = dayPath(label, logger.day);
        logger.day = QDate();
        if (QFileInfo::exists(ended))
            emit dayEnded(label, ended);
    }
    logger.inProgress = slot;
}

std::vector<TRecordedDay> TMonitorRecord::daysBefore(const QDate& today) const
{
    std::vector<TRecordedDay> days;
    const QDir folder(folder_);
    for (const QString& label : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir labelFolder(folder.filePath(label));
        for (const QString& name : labelFolder.entryList({QStringLiteral("*") + DaySuffix}, QDir::Files)) {
            const QDate day = QDate::fromString(name.chopped(DaySuffix.size()), DayFormat);
            if (day.isValid() && day < today)
                days.push_back({label, day, labelFolder.filePath(name)});
        }
    }
    std::sort(days.begin(), days.end(), [](const TRecordedDay& a, const TRecordedDay& b) {
        return std::tie(a.day, a.label) < std::tie(b.day, b.label);
    });
    return days;
}

void TMonitorRecord::writeSlot(const QString& label, Logger& logger, const Slot& slot)
{
    const TLogRecord record = slotRecord(slot.start, slot.tenths);
    // A slot with nothing measured is a gap: the next slot written starts a record.
    if (record.ChannelMask() == 0)
        return;
    const QDate day = DateOf(slot.start);
    if (logger.day != day) {
        closeFile(logger);
        logger.day = day;
    }
    QString error;
    if (logger.descriptor < 0 && !openDay(label, logger, &error)) {
        closeFile(logger);
    } else if (logger.last && continues(*logger.last, logger.lastStart, record, slot.start)) {
        TLogRecord grown = *logger.last;
        ++grown.RepeatCount;
        if (writeRecord(logger, grown, logger.recordCount - 1, &error))
            logger.last = grown;
    } else if (writeRecord(logger, record, logger.recordCount, &error)) {
        ++logger.recordCount;
        logger.last = record;
        logger.lastStart = slot.start;
    }
    if (error.isEmpty()) {
        logger.failing = false;
        return;
    }
    if (!logger.failing)
        emit failed(QStringLiteral("Показания монитора не записаны в %1: %2")
                        .arg(QDir::toNativeSeparators(dayPath(label, day)), error));
    logger.failing = true;
}

bool TMonitorRecord::openDay(const QString& label, Logger& logger, QString* error)
{
    const QString labelFolder = QDir(folder_).filePath(label);
    if (!QDir().mkpath(labelFolder)) {
        *error = QStringLiteral("не удалось создать папку %1").arg(QDir::toNativeSeparators(labelFolder));
        return false;
    }
    const QByteArray path = QFile::encodeName(dayPath(label, logger.day));
    logger.descriptor = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    struct stat status {};
    if (logger.descriptor < 0 || ::fstat(logger.descriptor, &status) != 0) {
        *error = SystemErrorReason(errno, true);
        return false;
    }
    // A record cut short by a crash is written over by the next one.
    logger.recordCount = status.st_size / RecordSize;
    logger.last.reset();
    if (logger.recordCount == 0)
        return true;
    TLogRecord last{};
    if (::pread(logger.descriptor, &last, RecordSize, off_t((logger.recordCount - 1) * RecordSize)) != RecordSize) {
        *error = SystemErrorReason(errno, false);
        return false;
    }
    // Only a record of this day at the record's interval is continued.
    if (IsValidRecord(last, logger.day.year()) && last.IntervalCode() == IntervalCode) {
        logger.last = last;
        logger.lastStart = BaseTimestamp(last, logger.day.year());
    }
    return true;
}

bool TMonitorRecord::writeRecord(Logger& logger, const TLogRecord& record, qint64 index, QString* error)
{
    if (writeAt(logger.descriptor, record, index))
        return true;
    *error = SystemErrorReason(errno, true);
    closeFile(logger);
    return false;
}

void TMonitorRecord::closeFile(Logger& logger)
{
    if (logger.descriptor >= 0)
        ::close(logger.descriptor);
    logger.descriptor = -1;
    logger.last.reset();
}
