#include "archive/ArchiveRows.h"

#include "archive/ArchivedLog.h"

#include <QSqlQuery>
#include <QVariant>

const QString ArchiveEntryColumns = QStringLiteral("e.id, e.label, e.record_count, e.row_count, e.first_time, "
                                                   "e.last_time, e.sha256, e.stored_utc, e.utc_offset, e.user_name, "
                                                   "e.host_name");
const QString ArchiveEventColumns = QStringLiteral("ev.id, ev.entry_id, ev.label, ev.kind, ev.detail, ev.at_utc, "
                                                   "ev.utc_offset, ev.user_name, ev.host_name, ev.hash");

std::optional<TArchiveEntry> ArchiveEntryFrom(const QSqlQuery& row, int first)
{
    if (row.value(first).isNull())
        return std::nullopt;
    const auto number = [&](int column) { return row.value(first + column).toLongLong(); };
    const auto text = [&](int column) { return row.value(first + column).toString(); };
    TArchiveEntry entry;
    entry.id = number(0);
    entry.label = text(1);
    entry.summary = {number(2), number(3), number(4), number(5)};
    entry.sha256 = text(6);
    entry.stored = {number(7), int(number(8)), text(9), text(10)};
    return entry;
}

TArchiveEvent ArchiveEventFrom(const QSqlQuery& row, int first)
{
    const auto number = [&](int column) { return row.value(first + column).toLongLong(); };
    const auto text = [&](int column) { return row.value(first + column).toString(); };
    TArchiveEvent event;
    event.id = number(0);
    event.entryId = number(1); // NULL reads as 0: no entry
    event.label = text(2);
    // A kind no program writes can only be a change behind the archive's
    // back, which the chain shows.
    event.kind = ArchiveEventKindNamed(text(3)).value_or(TArchiveEventKind::Open);
    event.detail = text(4);
    event.stamp = {number(5), int(number(6)), text(7), text(8)};
    event.hash = text(9);
    return event;
}

namespace {

// Each field as its length and its UTF-8 bytes, so no two different rows
// read the same.
class TChainedContent
{
public:
    TChainedContent& operator<<(const QString& text)
    {
        const QByteArray bytes = text.toUtf8();
        content_ += QByteArray::number(bytes.size()) + ':' + bytes + ';';
        return *this;
    }
    TChainedContent& operator<<(qint64 number) { return *this << QString::number(number); }
    const QByteArray& bytes() const { return content_; }

private:
    QByteArray content_;
};

} // namespace

QString ChainedEventHash(const QString& previousHash, const TArchiveEvent& event, const TArchiveEntry* entry)
{
    TChainedContent content;
    content << previousHash << event.entryId << event.label << ArchiveEventKindName(event.kind) << event.detail
            << event.stamp.utcSeconds << qint64(event.stamp.utcOffsetSeconds) << event.stamp.user
            << event.stamp.host;
    if (entry) {
        content << entry->id << entry->label << entry->summary.recordCount << entry->summary.rowCount
                << entry->summary.firstTime << entry->summary.lastTime << entry->sha256 << entry->stored.utcSeconds
                << qint64(entry->stored.utcOffsetSeconds) << entry->stored.user << entry->stored.host;
    }
    return Sha256Of(content.bytes());
}
