#include "archive/ArchiveTestSupport.h"

#include "archive/ArchiveSchema.h"
#include "data/FolderVolumeSource.h"
#include "data/Loader.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "data/LogGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QVariant>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <thread>

#include <pwd.h>
#include <unistd.h>

namespace {

using Engine = TArchiveLocation::Engine;

QByteArray makeLog(quint32 seed, qint64 records, const QDate& start = QDate(2024, 6, 1))
{
    return LogGenerator(seed).generate(records, TLogShape::Typical, QDateTime(start, QTime(6, 0)));
}

const TArchiveStamp Inspector{1700000000, 3 * 3600, QStringLiteral("inspector"), QStringLiteral("desk-7")};

TArchiveQuery query(const QString& label, std::optional<qint64> from = {}, std::optional<qint64> to = {})
{
    TArchiveQuery query;
    query.label = label;
    query.from = from;
    query.to = to;
    return query;
}

std::vector<qint64> idsOf(const std::vector<TArchiveEntry>& entries)
{
    std::vector<qint64> ids;
    for (const TArchiveEntry& entry : entries)
        ids.push_back(entry.id);
    return ids;
}

std::vector<TArchiveEventKind> kindsOf(const std::vector<TArchiveEvent>& events)
{
    std::vector<TArchiveEventKind> kinds;
    for (const TArchiveEvent& event : events)
        kinds.push_back(event.kind);
    return kinds;
}

// An entry and its records as a program of an earlier schema wrote them,
// without an event.
bool AddEntryAsAnOlderProgram(DirectConnection& direct, const QByteArray& raw)
{
    const TLogSummary summary = SummarizeLog(raw, 2026);
    return direct.exec(QStringLiteral("INSERT INTO archive_entries (label, first_time, last_time, row_count, "
                                      "record_count, sha256, stored_utc, utc_offset, user_name, host_name) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                       {QStringLiteral("2400123"), summary.firstTime, summary.lastTime, summary.rowCount,
                        summary.recordCount, Sha256Of(raw), Inspector.utcSeconds, Inspector.utcOffsetSeconds,
                        Inspector.user, Inspector.host})
           && direct.exec(QStringLiteral("INSERT INTO archive_raw_records (entry_id, sha256, data) "
                                         "SELECT MAX(id), ?, ? FROM archive_entries"),
                          {Sha256Of(raw), PackLog(raw).compressed});
}

// The same cases on both engines.
class ArchiveTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        if (!scratch_.unavailable().isEmpty())
            GTEST_SKIP() << scratch_.unavailable().toStdString();
        archive_ = scratch_.open();
        ASSERT_TRUE(archive_);
    }

    TStoredLog store(const QString& label, const QByteArray& raw, const QString& origin = QStringLiteral("E:/data.log"))
    {
        QString error;
        const std::optional<TStoredLog> stored = archive_->store(label, raw, origin, Inspector, &error);
        EXPECT_TRUE(stored) << error.toStdString();
        return stored.value_or(TStoredLog());
    }

    std::vector<TArchiveEntry> list(const TArchiveQuery& query = {})
    {
        QString error;
        std::vector<TArchiveEntry> entries = archive_->entries(query, &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return entries;
    }

    std::vector<TArchiveEvent> eventsOf(qint64 id)
    {
        QString error;
        std::vector<TArchiveEvent> events = archive_->events(id, &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return events;
    }

    ScratchArchive scratch_{GetParam()};
    std::unique_ptr<TArchive> archive_;
};

TEST_P(ArchiveTest, KeepsALogWithWhatTheListShows)
{
    const QByteArray raw = makeLog(3, 2000);
    const TStoredLog stored = store(QStringLiteral("2400123"), raw);
    EXPECT_TRUE(stored.added);

    // What the loader makes of the same bytes is what the entry says.
    const QString path = scratch_.folder() + QStringLiteral("/copy.log");
    QFile copy(path);
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly) && copy.write(raw) == raw.size());
    copy.close();
    TMeasurementStore loaded;
    const FolderVolumeSource noVolumes;
    TLoadResult result = TLoader(noVolumes).loadFile(path, TLoadRequest());
    TSourceList(loaded).adopt(result);

    const std::vector<TArchiveEntry> entries = list();
    ASSERT_EQ(entries.size(), 1u);
    const TArchiveEntry& entry = entries[0];
    EXPECT_EQ(entry.id, stored.entryId);
    EXPECT_EQ(entry.label, QStringLiteral("2400123"));
    EXPECT_EQ(entry.summary.recordCount, 2000);
    EXPECT_EQ(entry.summary.rowCount, loaded.DataRowCount());
    EXPECT_EQ(entry.summary.firstTime, loaded.rowValues(0).time);
    EXPECT_EQ(entry.summary.lastTime, loaded.rowValues(loaded.DataRowCount() - 1).time);
    EXPECT_EQ(entry.sha256, Sha256Of(raw));
    EXPECT_EQ(entry.stored.utcSeconds, Inspector.utcSeconds);
    EXPECT_EQ(entry.stored.utcOffsetSeconds, Inspector.utcOffsetSeconds);
    EXPECT_EQ(entry.stored.user, Inspector.user);
    EXPECT_EQ(entry.stored.host, Inspector.host);

    QString error;
    EXPECT_EQ(archive_->rawRecords(stored.entryId, &error), raw) << error.toStdString();
}

TEST_P(ArchiveTest, TheSameBytesAreStoredOnceAndEveryLoadIsAnEvent)
{
    const QByteArray raw = makeLog(4, 500);
    const TStoredLog first = store(QStringLiteral("2400123"), raw, QStringLiteral("E:/data.log"));
    const TStoredLog again = store(QStringLiteral("copy.log"), raw, QStringLiteral("/home/a/copy.log"));
    const TStoredLog other = store(QStringLiteral("2400123"), makeLog(5, 500));
    EXPECT_TRUE(first.added);
    EXPECT_FALSE(again.added);
    EXPECT_TRUE(other.added);
    EXPECT_EQ(again.entryId, first.entryId);
    EXPECT_NE(other.entryId, first.entryId);
    EXPECT_EQ(list().size(), 2u);

    const std::vector<TArchiveEvent> events = eventsOf(first.entryId);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(kindsOf(events), std::vector<TArchiveEventKind>(2, TArchiveEventKind::Download));
    EXPECT_EQ(events[1].detail, QStringLiteral("/home/a/copy.log"));
    EXPECT_EQ(eventsOf(other.entryId).size(), 1u);
}

TEST_P(ArchiveTest, EventsKeepWhatWhenWhoAndWhere)
{
    const qint64 id = store(QStringLiteral("2400123"), makeLog(6, 100)).entryId;
    const TArchiveStamp later{Inspector.utcSeconds + 60, -5 * 3600, QStringLiteral("metrologist"),
                              QStringLiteral("lab-2")};
    QString error;
    ASSERT_TRUE(archive_->addEvent(id, TArchiveEventKind::Open, QString(), later, &error)) << error.toStdString();
    ASSERT_TRUE(archive_->addEvent(id, TArchiveEventKind::Export, QStringLiteral("xlsx /srv/отчёт.xlsx"), later,
                                   &error))
        << error.toStdString();

    const std::vector<TArchiveEvent> events = eventsOf(id);
    EXPECT_EQ(kindsOf(events), (std::vector{TArchiveEventKind::Download, TArchiveEventKind::Open,
                                            TArchiveEventKind::Export}));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2].detail, QStringLiteral("xlsx /srv/отчёт.xlsx"));
    EXPECT_EQ(events[2].stamp.utcSeconds, later.utcSeconds);
    EXPECT_EQ(events[2].stamp.utcOffsetSeconds, later.utcOffsetSeconds);
    EXPECT_EQ(events[2].stamp.user, later.user);
    EXPECT_EQ(events[2].stamp.host, later.host);
    EXPECT_EQ(events[0].stamp.user, Inspector.user);
}

TEST_P(ArchiveTest, ADamagedEntryIsRefused)
{
    const QByteArray raw = makeLog(7, 300);
    const qint64 damaged = store(QStringLiteral("2400123"), raw).entryId;
    const qint64 sound = store(QStringLiteral("2400123"), makeLog(8, 300)).entryId;
    {
        // One record changed behind the archive's back: it still expands, but to other bytes.
        QByteArray changed = raw;
        changed[20] = char(changed[20] ^ 0x01);
        DirectConnection direct(scratch_.location());
        ASSERT_TRUE(direct.allowRecordChanges());
        ASSERT_TRUE(direct.exec(QStringLiteral("UPDATE archive_raw_records SET data = ? WHERE entry_id = ?"),
                                {PackLog(changed).compressed, damaged}));
    }
    QString error;
    bool found = false;
    EXPECT_FALSE(archive_->rawRecords(damaged, &error, &found));
    EXPECT_TRUE(found);
    EXPECT_TRUE(error.contains(QStringLiteral("повреждена"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("SHA-256"))) << error.toStdString();
    error.clear();
    found = false;
    EXPECT_TRUE(archive_->rawRecords(sound, &error, &found)) << error.toStdString();
    // Records that are not there are missing, not damaged.
    EXPECT_FALSE(archive_->rawRecords(sound + 1, &error, &found));
    EXPECT_FALSE(found);
}

// Two entries' records swapped with their hashes: each row still matches its
// own hash, but neither entry holds the log it was stored with.
TEST_P(ArchiveTest, RecordsSwappedBetweenEntriesAreRefused)
{
    const qint64 first = store(QStringLiteral("2400123"), makeLog(7, 300)).entryId;
    const qint64 second = store(QStringLiteral("2400123"), makeLog(8, 300)).entryId;
    {
        DirectConnection direct(scratch_.location());
        ASSERT_TRUE(direct.allowRecordChanges());
        QSqlQuery rows(direct.database());
        ASSERT_TRUE(rows.exec(QStringLiteral("SELECT entry_id, data, sha256 FROM archive_raw_records")));
        std::map<qint64, std::pair<QByteArray, QString>> stored;
        while (rows.next())
            stored[rows.value(0).toLongLong()] = {rows.value(1).toByteArray(), rows.value(2).toString()};
        ASSERT_EQ(stored.size(), 2u);
        // The hashes are unique: one is parked while the other moves.
        const QString update = QStringLiteral("UPDATE archive_raw_records SET data = ?, sha256 = ? WHERE entry_id = ?");
        ASSERT_TRUE(direct.exec(update, {QByteArray("x"), QStringLiteral("parked"), first}));
        ASSERT_TRUE(direct.exec(update, {stored[first].first, stored[first].second, second}));
        ASSERT_TRUE(direct.exec(update, {stored[second].first, stored[second].second, first}));
    }
    for (const qint64 id : {first, second}) {
        QString error;
        EXPECT_FALSE(archive_->rawRecords(id, &error)) << id;
        EXPECT_TRUE(error.contains(QStringLiteral("повреждена"))) << error.toStdString();
    }
}

// Someone with the program's own database rights cannot rewrite the trail or
// the records: the database refuses every change but additions and the
// removal of an entry's records.
TEST_P(ArchiveTest, TheDatabaseRefusesToRewriteTheTrail)
{
    const qint64 id = store(QStringLiteral("2400123"), makeLog(9, 100)).entryId;
    DirectConnection direct(scratch_.location());
    const auto refused = [&direct](const QString& statement, const QVariantList& values) {
        QSqlQuery query(direct.database());
        query.prepare(statement);
        for (const QVariant& value : values)
            query.addBindValue(value);
        return !query.exec() && query.lastError().text().contains(QStringLiteral("only additions are allowed"));
    };
    EXPECT_TRUE(refused(QStringLiteral("UPDATE archive_events SET user_name = ? WHERE entry_id = ?"),
                        {QStringLiteral("mallory"), id}));
    EXPECT_TRUE(refused(QStringLiteral("DELETE FROM archive_events WHERE entry_id = ?"), {id}));
    EXPECT_TRUE(refused(QStringLiteral("UPDATE archive_entries SET label = ? WHERE id = ?"), {QStringLiteral("x"), id}));
    EXPECT_TRUE(refused(QStringLiteral("DELETE FROM archive_entries WHERE id = ?"), {id}));
    EXPECT_TRUE(refused(QStringLiteral("UPDATE archive_raw_records SET sha256 = ? WHERE entry_id = ?"),
                        {QStringLiteral("x"), id}));
    ASSERT_EQ(eventsOf(id).size(), 1u);
    EXPECT_EQ(eventsOf(id)[0].stamp.user, Inspector.user);
    QString error;
    EXPECT_TRUE(archive_->rawRecords(id, &error)) << error.toStdString();
}

// What someone who dropped the database's refusals does to a trail of three
// logs (the third deleted), a write to a logger and an open; the check finds
// the first link it breaks.
struct TTamperCase {
    const char* name;
    // %1..%3 the entries; %4..%9 the events in order: three downloads, the
    // logger's, the open, the deletion; %10 the next event's id.
    const char* statement;
    const char* found; // in the first broken link
};

class ArchiveTamperTest : public ::testing::TestWithParam<std::tuple<Engine, TTamperCase>>
{
};

TEST_P(ArchiveTamperTest, TheChainShowsTheFirstChangeOnceTheRefusalsAreGone)
{
    const auto& [engine, change] = GetParam();
    ScratchArchive scratch(engine);
    if (!scratch.unavailable().isEmpty())
        GTEST_SKIP() << scratch.unavailable().toStdString();
    std::unique_ptr<TArchive> archive = scratch.open();
    ASSERT_TRUE(archive);
    QString error;
    std::vector<qint64> ids;
    for (quint32 seed : {21u, 22u, 23u})
        ids.push_back(archive->store(QStringLiteral("2400123"), makeLog(seed, 200), QString(), Inspector, &error)->entryId);
    ASSERT_TRUE(archive->addLoggerEvent(QStringLiteral("2400123"), TArchiveEventKind::LoggerNumber,
                                        QStringLiteral("2400123 → 2400124"), Inspector, &error));
    ASSERT_TRUE(archive->addEvent(ids[0], TArchiveEventKind::Open, QString(), Inspector, &error));
    ASSERT_TRUE(archive->remove(ids[2], Inspector, &error)) << error.toStdString();
    const std::vector<TArchiveEvent> trail = archive->trail(TTrailQuery(), &error);
    ASSERT_EQ(trail.size(), 6u) << error.toStdString();
    for (auto event = trail.rbegin(); event != trail.rend(); ++event)
        ids.push_back(event->id);
    ids.push_back(trail.front().id + 1);
    const auto withIds = [&ids](const char* text) {
        QString filled = QString::fromUtf8(text);
        for (size_t i = ids.size(); i > 0; --i) // %10 before %1
            filled.replace(QStringLiteral("%%1").arg(i), QString::number(ids[i - 1]));
        return filled;
    };

    std::optional<TArchiveCheck> check = archive->verify(&error);
    ASSERT_TRUE(check) << error.toStdString();
    EXPECT_EQ(ArchiveCheckedText(*check), QStringLiteral("Архив проверен: 3 журналов, 6 событий"));

    {
        DirectConnection direct(scratch.location());
        ASSERT_TRUE(direct.allowAnyChange());
        ASSERT_TRUE(direct.exec(withIds(change.statement)));
    }
    check = archive->verify(&error);
    ASSERT_TRUE(check) << error.toStdString();
    const QString expected = withIds(change.found);
    EXPECT_TRUE(check->brokenLink.contains(expected))
        << check->brokenLink.toStdString() << " does not name " << expected.toStdString();
}

const TTamperCase TamperCases[] = {
    {"EventRewritten", "UPDATE archive_events SET user_name = 'mallory' WHERE id = %7", "событие %7 "},
    {"EventRemoved", "DELETE FROM archive_events WHERE id = %7", "событие %8 "},
    {"EventForged",
     "INSERT INTO archive_events (entry_id, label, kind, detail, at_utc, utc_offset, user_name, host_name, hash) "
     "SELECT entry_id, label, 'export', 'C:/copy.xlsx', at_utc, utc_offset, user_name, host_name, hash "
     "FROM archive_events WHERE id = %8",
     "событие %10 "},
    {"EntryRelabelled", "UPDATE archive_entries SET label = '2400999' WHERE id = %2", "событие %5 "},
    {"RecordsRemovedUnseen", "DELETE FROM archive_raw_records WHERE entry_id = %2", "данные записи %2 удалены"},
    {"RecordsOfAnotherEntry",
     "UPDATE archive_raw_records SET data = (SELECT data FROM archive_raw_records WHERE entry_id = %2) "
     "WHERE entry_id = %1",
     "данные записи %1 не совпадают"},
    {"RecordsCutShort", "UPDATE archive_raw_records SET data = SUBSTR(data, 1, 100) WHERE entry_id = %1",
     "данные записи %1 не совпадают"},
};

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTamperTest,
                         ::testing::Combine(::testing::Values(Engine::Sqlite, Engine::Postgresql),
                                            ::testing::ValuesIn(TamperCases)),
                         [](const auto& info) {
                             return EngineName(std::get<0>(info.param)).toStdString() + std::get<1>(info.param).name;
                         });

TEST_P(ArchiveTest, TheTrailKeepsWhatWasDoneToLoggersAndFiltersNewestFirst)
{
    const qint64 entry = store(QStringLiteral("2400123"), makeLog(31, 100)).entryId;
    TArchiveStamp metrologist = Inspector;
    metrologist.user = QStringLiteral("metrologist");
    metrologist.utcSeconds += 100;
    TArchiveStamp later = Inspector;
    later.utcSeconds += 200;
    QString error;
    ASSERT_TRUE(archive_->addLoggerEvent(QStringLiteral("2400123"), TArchiveEventKind::LoggerCalibration,
                                         QStringLiteral("Смещение t: 0,0 → 0,5"), metrologist, &error));
    ASSERT_TRUE(archive_->addLoggerEvent(QString(), TArchiveEventKind::LimitsChange,
                                         QStringLiteral("t: 2,0…8,0 °C"), later, &error));
    ASSERT_TRUE(archive_->addLoggerEvent(QStringLiteral("2400555"), TArchiveEventKind::LoggerErase, QString(),
                                         later, &error));

    const auto kinds = [&](TTrailQuery query) {
        std::vector<TArchiveEventKind> found = kindsOf(archive_->trail(query, &error));
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return found;
    };
    using K = TArchiveEventKind;
    EXPECT_EQ(kinds({}), (std::vector{K::LoggerErase, K::LimitsChange, K::LoggerCalibration, K::Download}));
    EXPECT_EQ(kinds({.label = QStringLiteral("2400123")}), (std::vector{K::LoggerCalibration, K::Download}));
    EXPECT_EQ(kinds({.fromUtc = Inspector.utcSeconds + 100, .toUtc = Inspector.utcSeconds + 150}),
              std::vector{K::LoggerCalibration});
    EXPECT_EQ(kinds({.user = QStringLiteral("metrologist")}), std::vector{K::LoggerCalibration});
    EXPECT_EQ(kinds({.kind = K::LimitsChange}), std::vector{K::LimitsChange});
    const std::vector<TArchiveEvent> newest = archive_->trail({.limit = 2}, &error);
    ASSERT_EQ(newest.size(), 2u);
    EXPECT_EQ(kinds({.beforeId = newest.back().id, .limit = 2}), (std::vector{K::LoggerCalibration, K::Download}));

    const std::vector<TArchiveEvent> all = archive_->trail({}, &error);
    EXPECT_EQ(all.back().entryId, entry);
    EXPECT_EQ(all.back().label, QStringLiteral("2400123"));
    EXPECT_EQ(all[2].entryId, 0);
    EXPECT_EQ(all[2].detail, QStringLiteral("Смещение t: 0,0 → 0,5"));
    EXPECT_EQ(archive_->trailUsers(&error), (QStringList{QStringLiteral("inspector"), QStringLiteral("metrologist")}));
}

TEST_P(ArchiveTest, ADeletionRemovesTheRecordsAndKeepsTheTrail)
{
    const QByteArray raw = makeLog(9, 300);
    const qint64 id = store(QStringLiteral("2400123"), raw).entryId;
    const qint64 kept = store(QStringLiteral("2400124"), makeLog(10, 300)).entryId;
    QString error;
    ASSERT_TRUE(archive_->remove(id, Inspector, &error)) << error.toStdString();

    EXPECT_EQ(idsOf(list()), std::vector<qint64>{kept});
    EXPECT_FALSE(archive_->rawRecords(id, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("удалена"))) << error.toStdString();
    EXPECT_EQ(kindsOf(eventsOf(id)), (std::vector{TArchiveEventKind::Download, TArchiveEventKind::Deletion}));
    error.clear();
    EXPECT_TRUE(archive_->entry(id, &error)) << error.toStdString();
    EXPECT_FALSE(archive_->remove(id, Inspector, &error));

    // Loaded again after the deletion, the log is a new entry.
    const TStoredLog again = store(QStringLiteral("2400123"), raw);
    EXPECT_TRUE(again.added);
    EXPECT_NE(again.entryId, id);
    EXPECT_EQ(idsOf(list()), (std::vector<qint64>{again.entryId, kept}));
}

TEST_P(ArchiveTest, TheListFiltersByDeviceAndOverlappingPeriodNewestFirstInPages)
{
    // Three loggers, one log a month from January to June 2024.
    struct Stored {
        qint64 id;
        QString label;
        TLogSummary summary;
    };
    std::vector<Stored> stored;
    for (int month = 1; month <= 6; ++month) {
        for (const QString& label : {QStringLiteral("2400001"), QStringLiteral("2400002"), QStringLiteral("2400003")}) {
            const QByteArray raw = makeLog(quint32(month * 10 + label.back().digitValue()), 200, QDate(2024, month, 3));
            stored.push_back({store(label, raw).entryId, label, SummarizeLog(raw, 2026)});
        }
    }
    const auto expected = [&](const TArchiveQuery& query) {
        std::vector<qint64> ids;
        for (auto it = stored.rbegin(); it != stored.rend(); ++it) {
            if ((query.label.isEmpty() || it->label == query.label)
                && (!query.from || it->summary.lastTime >= *query.from)
                && (!query.to || it->summary.firstTime <= *query.to))
                ids.push_back(it->id);
        }
        return ids;
    };
    const qint64 april = stored[9].summary.firstTime;
    const qint64 may = stored[12].summary.firstTime;
    struct Case {
        const char* name;
        TArchiveQuery query;
    };
    const Case cases[] = {
        {"everything", {}},
        {"one device", query(QStringLiteral("2400002"))},
        {"from April", query({}, april)},
        {"until April", query({}, {}, april)},
        {"one device in April", query(QStringLiteral("2400003"), april, may - 1)},
        {"a moment inside a log", query({}, april + 3600, april + 3600)},
        {"no such device", query(QStringLiteral("2499999"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(idsOf(list(c.query)), expected(c.query));
    }
    EXPECT_EQ(expected(query({}, april + 3600, april + 3600)).size(), 3u);

    // Pages of five, each starting below the last id of the one before.
    std::vector<qint64> paged;
    TArchiveQuery page;
    page.limit = 5;
    for (std::vector<TArchiveEntry> entries = list(page); !entries.empty(); entries = list(page)) {
        EXPECT_LE(entries.size(), 5u);
        for (const TArchiveEntry& entry : entries)
            paged.push_back(entry.id);
        page.beforeId = entries.back().id;
    }
    EXPECT_EQ(paged, expected({}));

    QString error;
    EXPECT_EQ(archive_->labels(&error),
              (QStringList{QStringLiteral("2400001"), QStringLiteral("2400002"), QStringLiteral("2400003")}));
}

TEST_P(ArchiveTest, TwoWritersAtOnceLoseNothingAndStoreASharedLogOnce)
{
    // Both desks open a new archive at the same moment, then load the five
    // shared logs and five of their own, interleaved.
    ScratchArchive fresh(GetParam());
    constexpr int PerWriter = 5;
    std::vector<QByteArray> shared;
    for (int i = 0; i < PerWriter; ++i)
        shared.push_back(makeLog(quint32(100 + i), 3000));
    const auto writer = [&](int desk, std::vector<std::optional<TStoredLog>>* results, QString* failure) {
        QString error;
        std::unique_ptr<TArchive> archive = TArchive::open(fresh.location(), &error);
        if (!archive) {
            *failure = error;
            return;
        }
        const TArchiveStamp stamp{Inspector.utcSeconds, 0, QStringLiteral("desk%1").arg(desk), QString()};
        for (int i = 0; i < PerWriter; ++i) {
            results->push_back(archive->store(QStringLiteral("shared"), shared[size_t(i)], QString(), stamp, &error));
            results->push_back(archive->store(QStringLiteral("own"), makeLog(quint32(200 + desk * 10 + i), 3000),
                                              QString(), stamp, &error));
            if (error.isEmpty())
                archive->addLoggerEvent(QStringLiteral("own"), TArchiveEventKind::LoggerClock, QString(), stamp, &error);
            if (!error.isEmpty())
                *failure = error;
        }
    };
    std::vector<std::optional<TStoredLog>> first, second;
    QString firstFailure, secondFailure;
    std::thread one(writer, 1, &first, &firstFailure);
    std::thread two(writer, 2, &second, &secondFailure);
    one.join();
    two.join();
    ASSERT_TRUE(firstFailure.isEmpty()) << firstFailure.toStdString();
    ASSERT_TRUE(secondFailure.isEmpty()) << secondFailure.toStdString();

    archive_ = fresh.open();
    ASSERT_TRUE(archive_);
    EXPECT_EQ(list().size(), size_t(3 * PerWriter));
    for (int i = 0; i < PerWriter; ++i) {
        SCOPED_TRACE(i);
        const TStoredLog& a = *first[size_t(2 * i)];
        const TStoredLog& b = *second[size_t(2 * i)];
        EXPECT_EQ(a.entryId, b.entryId);
        EXPECT_NE(a.added, b.added);
        EXPECT_EQ(eventsOf(a.entryId).size(), 2u);
        QString error;
        EXPECT_EQ(archive_->rawRecords(a.entryId, &error), shared[size_t(i)]) << error.toStdString();
    }
    // Every event chained to the one before, though two wrote them at once.
    QString error;
    const std::optional<TArchiveCheck> check = archive_->verify(&error);
    ASSERT_TRUE(check) << error.toStdString();
    EXPECT_EQ(check->brokenLink, QString());
    EXPECT_EQ(check->entries, 3 * PerWriter);
    EXPECT_EQ(check->events, 2 * 3 * PerWriter);
    archive_.reset(); // before its database goes
}

TEST_P(ArchiveTest, AnArchiveOfTheFirstSchemaIsCarriedForward)
{
    // A first-version archive with one entry, as an earlier program left it.
    const QByteArray raw = makeLog(11, 400);
    const TLogSummary summary = SummarizeLog(raw, 2026);
    ScratchArchive old(GetParam());
    {
        DirectConnection direct(old.location());
        const TArchiveDialect& dialect = TArchiveDialect::of(GetParam());
        ASSERT_FALSE(MigrateArchiveSchema(direct.database(), dialect, 1).isValid());
        ASSERT_TRUE(AddEntryAsAnOlderProgram(direct, raw));
        QSqlError error;
        EXPECT_EQ(ArchiveSchemaVersionOf(direct.database(), &error), 1);
    }

    {
        // What only reads reads it as it is, and leaves it so.
        QString error;
        std::unique_ptr<TArchive> reader = TArchive::open(old.location(), &error, TArchiveAccess::ReadOnly);
        ASSERT_TRUE(reader) << error.toStdString();
        EXPECT_EQ(reader->entries({}, &error).size(), 1u) << error.toStdString();
        DirectConnection direct(old.location());
        QSqlError versionError;
        EXPECT_EQ(ArchiveSchemaVersionOf(direct.database(), &versionError), 1);
    }

    std::unique_ptr<TArchive> archive = old.open();
    ASSERT_TRUE(archive);
    {
        DirectConnection direct(old.location());
        QSqlError error;
        EXPECT_EQ(ArchiveSchemaVersionOf(direct.database(), &error), ArchiveSchemaVersion);
    }
    QString error;
    const std::vector<TArchiveEntry> entries = archive->entries(query(QStringLiteral("2400123")), &error);
    ASSERT_EQ(entries.size(), 1u) << error.toStdString();
    EXPECT_EQ(entries[0].summary.rowCount, summary.rowCount);
    EXPECT_EQ(archive->rawRecords(entries[0].id, &error), raw) << error.toStdString();
    // New entries number on from the old ones.
    const std::optional<TStoredLog> next = archive->store(QStringLiteral("2400123"), makeLog(12, 10), QString(),
                                                          Inspector, &error);
    ASSERT_TRUE(next) << error.toStdString();
    EXPECT_GT(next->entryId, entries[0].id);
}

// An archive whose events were not chained yet gets its chain from them,
// and keeps refusing to be rewritten.
TEST_P(ArchiveTest, AnArchiveOfTheUnchainedSchemaIsChained)
{
    const QByteArray raw = makeLog(13, 400);
    ScratchArchive old(GetParam());
    {
        DirectConnection direct(old.location());
        ASSERT_FALSE(MigrateArchiveSchema(direct.database(), TArchiveDialect::of(GetParam()), 3).isValid());
        ASSERT_TRUE(AddEntryAsAnOlderProgram(direct, raw));
        for (const char* kind : {"download", "open"}) {
            ASSERT_TRUE(direct.exec(QStringLiteral("INSERT INTO archive_events (entry_id, kind, detail, at_utc, "
                                                   "utc_offset, user_name, host_name) SELECT MAX(id), ?, '', ?, ?, ?, ? "
                                                   "FROM archive_entries"),
                                    {QLatin1String(kind), Inspector.utcSeconds, Inspector.utcOffsetSeconds,
                                     Inspector.user, Inspector.host}));
        }
    }
    std::unique_ptr<TArchive> archive = old.open();
    ASSERT_TRUE(archive);
    QString error;
    const std::vector<TArchiveEvent> trail = archive->trail({}, &error);
    ASSERT_EQ(kindsOf(trail), (std::vector{TArchiveEventKind::Open, TArchiveEventKind::Download}))
        << error.toStdString();
    EXPECT_EQ(trail[0].label, QStringLiteral("2400123"));
    ASSERT_TRUE(archive->addLoggerEvent(QStringLiteral("2400123"), TArchiveEventKind::LoggerClock, QString(),
                                        Inspector, &error));
    const std::optional<TArchiveCheck> check = archive->verify(&error);
    ASSERT_TRUE(check) << error.toStdString();
    EXPECT_EQ(ArchiveCheckedText(*check), QStringLiteral("Архив проверен: 1 журналов, 3 событий"));
    DirectConnection direct(old.location());
    QSqlQuery rewrite(direct.database());
    EXPECT_FALSE(rewrite.exec(QStringLiteral("UPDATE archive_events SET user_name = 'mallory'")));
    EXPECT_FALSE(rewrite.exec(QStringLiteral("DELETE FROM archive_events")));
    archive.reset();
}

TEST_P(ArchiveTest, AnEmptyDatabaseGetsTheWholeSchemaAndANewerOneIsRefused)
{
    {
        DirectConnection direct(scratch_.location());
        QSqlError error;
        EXPECT_EQ(ArchiveSchemaVersionOf(direct.database(), &error), ArchiveSchemaVersion);
        for (const char* table : {"archive_entries", "archive_raw_records", "archive_events"})
            EXPECT_TRUE(direct.database().tables().contains(QLatin1String(table))) << table;
        ASSERT_TRUE(direct.exec(QStringLiteral("INSERT INTO archive_schema_versions (version, applied_utc) "
                                               "VALUES (?, 0)"),
                                {ArchiveSchemaVersion + 1}));
    }
    archive_.reset();
    QString error;
    EXPECT_FALSE(TArchive::open(scratch_.location(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("более новой версией"))) << error.toStdString();
}

TEST_P(ArchiveTest, AnEmptyLogIsNotArchived)
{
    QString error;
    EXPECT_FALSE(archive_->store(QStringLiteral("2400123"), QByteArray(15, '\0'), QString(), Inspector, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("нет ни одной записи"))) << error.toStdString();
    EXPECT_TRUE(list().empty());
}

// Whatever asks to store bytes that are no logger's log, no entry without a row is made.
TEST_P(ArchiveTest, OnlyALoggersLogIsArchived)
{
    QByteArray noise(4096, Qt::Uninitialized);
    QRandomGenerator random(29);
    for (char& byte : noise)
        byte = char(random.bounded(256));
    const QByteArray text = QByteArray("Журнал поверки за декабрь: всё в порядке\n").repeated(20);
    for (const QByteArray& raw : {noise, text, QByteArray(4096, '\xff')}) {
        QString error;
        EXPECT_FALSE(archive_->store(QStringLiteral("notes.log"), raw, QString(), Inspector, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("нет ни одной записи прибора"))) << error.toStdString();
    }
    EXPECT_TRUE(list().empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, ::testing::Values(Engine::Sqlite, Engine::Postgresql),
                         [](const ::testing::TestParamInfo<Engine>& info) {
                             return EngineName(info.param).toStdString();
                         });

// A PostgreSQL server that keeps a call waiting: it cancels a statement held
// up past the time-out itself, and one that answers nothing at all costs the
// connection; either way the call ends within its limit, with the reason.
TEST(ArchiveServerThatKeepsACallWaiting, TheCallEndsWithTheReasonWithinItsLimit)
{
    struct Case {
        const char* name;
        bool serverStopped;
        const char* mentions;
        qint64 limitMs;
        bool usableAfter;
    };
    const Case cases[] = {
        {"a lock another desk holds", false, "прервал запрос, не выполнив его за 1 с", 1000, true},
        {"a server that stopped", true, "не ответил за 1.5 с; связь с ним прервана", 1500, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchArchive scratch(Engine::Postgresql);
        if (!scratch.unavailable().isEmpty())
            GTEST_SKIP() << scratch.unavailable().toStdString();
        TArchiveLocation location = scratch.location();
        location.statementTimeoutMs = 1000;
        QString error;
        std::unique_ptr<TArchive> archive = TArchive::open(location, &error);
        ASSERT_TRUE(archive) << error.toStdString();
        DirectConnection beside(location);
        ASSERT_TRUE(beside.database().transaction());
        ASSERT_TRUE(beside.exec(QStringLiteral("LOCK TABLE archive_entries IN ACCESS EXCLUSIVE MODE")));
        std::optional<StoppedBackend> stopped;
        if (c.serverStopped) {
            stopped.emplace(location, QStringLiteral("state = 'idle'")); // the archive's, not the lock's
            ASSERT_NE(stopped->pid(), 0);
        }

        QElapsedTimer waited;
        waited.start();
        EXPECT_TRUE(archive->entries({}, &error).empty());
        EXPECT_GE(waited.elapsed(), c.limitMs);
        EXPECT_LT(waited.elapsed(), c.limitMs + 2000);
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.mentions))) << error.toStdString();

        // Once the lock is gone the archive serves again; a dropped connection
        // answers the next call at once, with the same reason.
        ASSERT_TRUE(beside.database().rollback());
        error.clear();
        waited.restart();
        archive->labels(&error);
        EXPECT_LT(waited.elapsed(), 1000);
        EXPECT_EQ(error.isEmpty(), c.usableAfter) << error.toStdString();
        if (!c.usableAfter) {
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.mentions))) << error.toStdString();
        }
    }
}

} // namespace

// The trail names the account the program runs under: $USER is the user's to
// set and names nobody.
TEST(ArchiveStampTest, TheUserIsTheAccountNotTheEnvironment)
{
    const QByteArray user = qgetenv("USER");
    qputenv("USER", "mallory");
    const TArchiveStamp stamp = TArchiveStamp::now();
    qputenv("USER", user);
    const passwd* account = ::getpwuid(::geteuid());
    ASSERT_TRUE(account);
    EXPECT_TRUE(stamp.user.startsWith(QString::fromLocal8Bit(account->pw_name))) << stamp.user.toStdString();
    EXPECT_FALSE(stamp.user.contains(QStringLiteral("mallory"))) << stamp.user.toStdString();
    EXPECT_EQ(stamp.host, QSysInfo::machineHostName());
}

namespace {

// Two roles of the test server, dropped when the object goes, after the
// scratch database declared later that their objects live in.
class ServerRoles
{
public:
    ServerRoles(const TArchiveLocation& server, QStringList names)
        : server_(server)
        , names_(std::move(names))
    {
        DirectConnection direct(server_);
        for (const QString& name : names_)
            created_ = direct.exec(QStringLiteral("CREATE ROLE %1 LOGIN").arg(name)) && created_;
    }
    ~ServerRoles()
    {
        DirectConnection direct(server_);
        for (const QString& name : names_)
            direct.exec(QStringLiteral("DROP ROLE IF EXISTS %1").arg(name));
    }
    bool created() const { return created_; }

private:
    TArchiveLocation server_;
    QStringList names_;
    bool created_ = true;
};

} // namespace

// The README's shared server: one role owns the tables, the desks' role may
// read, add and remove a log's records, and can neither change a row nor drop
// a trigger.
TEST(ArchiveRolesTest, TheDesksRoleReadsAddsAndRemovesOnly)
{
    QString error;
    const std::optional<TArchiveLocation> server =
        TArchiveLocation::fromUrl(qEnvironmentVariable(PostgresqlUrlVariable), &error);
    if (!server)
        GTEST_SKIP() << "no PostgreSQL server: " << error.toStdString();
    const QString suffix = QString::number(QCoreApplication::applicationPid());
    const QString owner = QStringLiteral("korvi_owner_") + suffix;
    const QString desk = QStringLiteral("korvi_desk_") + suffix;
    const ServerRoles roles(*server, {owner, desk});
    ASSERT_TRUE(roles.created());
    ScratchArchive scratch(TArchiveLocation::Engine::Postgresql);
    ASSERT_TRUE(scratch.unavailable().isEmpty()) << scratch.unavailable().toStdString();
    ASSERT_TRUE(DirectConnection(*server).exec(
        QStringLiteral("ALTER DATABASE %1 OWNER TO %2").arg(scratch.location().database, owner)));

    TArchiveLocation asOwner = scratch.location();
    asOwner.user = owner;
    ASSERT_TRUE(TArchive::open(asOwner, &error)) << error.toStdString();
    {
        DirectConnection direct(asOwner);
        for (const char* grant : {"GRANT SELECT, INSERT ON ALL TABLES IN SCHEMA public TO %1",
                                  "GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO %1",
                                  "GRANT DELETE ON archive_raw_records TO %1"})
            ASSERT_TRUE(direct.exec(QString::fromLatin1(grant).arg(desk)));
    }

    TArchiveLocation asDesk = scratch.location();
    asDesk.user = desk;
    const std::unique_ptr<TArchive> archive = TArchive::open(asDesk, &error);
    ASSERT_TRUE(archive) << error.toStdString();
    const std::optional<TStoredLog> stored =
        archive->store(QStringLiteral("2400123"), makeLog(10, 100), QString(), Inspector, &error);
    ASSERT_TRUE(stored) << error.toStdString();
    EXPECT_TRUE(archive->rawRecords(stored->entryId, &error)) << error.toStdString();
    EXPECT_TRUE(archive->remove(stored->entryId, Inspector, &error)) << error.toStdString();

    DirectConnection direct(asDesk);
    QSqlQuery query(direct.database());
    EXPECT_FALSE(query.exec(QStringLiteral("DROP TRIGGER archive_events_no_update ON archive_events")));
    EXPECT_FALSE(query.exec(QStringLiteral("UPDATE archive_events SET user_name = 'mallory'")));
    EXPECT_EQ(archive->events(stored->entryId, &error).size(), 2u) << error.toStdString();
}
