// The archive on both engines: a full log memory stored and read back, the
// first screen of the list filtered by device and period over 100,000
// entries, what an entry adds to the archive's size beside its compressed
// records, and the check of 10,000 logs and 100,000 events. The
// PostgreSQL cases use the server named by KORVI_TEST_POSTGRESQL
// (script/bench starts one) and are skipped without it.
#include "archive/ArchiveRows.h"
#include "archive/ArchiveSchema.h"
#include "archive/ArchivedLog.h"
#include "archive/TArchive.h"
#include "data/LogGenerator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

using Engine = TArchiveLocation::Engine;

constexpr qint64 FullLogRecords = 262144;
constexpr int ListedEntries = 100000;
constexpr int Devices = 50;
constexpr int VerifiedEntries = 10000;
constexpr int VerifiedEventsPerEntry = 10;
constexpr qint64 VerifiedRecords = 8640;
const TArchiveStamp Bench{1700000000, 3 * 3600, QStringLiteral("bench"), QStringLiteral("desk")};

// An empty archive of one engine for the whole run: a file in a temporary
// folder, or a database of its own on the server, dropped at the end.
class BenchArchive
{
public:
    explicit BenchArchive(Engine engine)
    {
        if (engine == Engine::Sqlite) {
            location_.database = dir_.filePath(QStringLiteral("archive.sqlite"));
        } else {
            QString error;
            const QString url = qEnvironmentVariable("KORVI_TEST_POSTGRESQL");
            const std::optional<TArchiveLocation> server = TArchiveLocation::fromUrl(url, &error);
            if (!server) {
                skip_ = "KORVI_TEST_POSTGRESQL names no PostgreSQL server; script/bench starts one";
                return;
            }
            server_ = *server;
            location_ = *server;
            location_.database = QStringLiteral("korvi_bench_%1").arg(QCoreApplication::applicationPid());
            maintenance(QStringLiteral("CREATE DATABASE %1").arg(location_.database));
        }
        QString error;
        archive_ = TArchive::open(location_, &error);
        if (!archive_)
            skip_ = error.toStdString();
    }
    ~BenchArchive()
    {
        archive_.reset();
        if (location_.engine == Engine::Postgresql && !server_.database.isEmpty())
            maintenance(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(location_.database));
    }

    const std::string& skip() const { return skip_; }
    TArchive& archive() { return *archive_; }
    const TArchiveLocation& location() const { return location_; }

    // Bytes the archive takes on disk, its pending write-ahead log folded in.
    qint64 size()
    {
        QSqlDatabase database = connection();
        QSqlQuery query(database);
        qint64 bytes = 0;
        if (location_.engine == Engine::Sqlite) {
            query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            bytes = QFileInfo(location_.database).size();
        } else if (query.exec(QStringLiteral("SELECT pg_database_size(current_database())")) && query.next()) {
            bytes = query.value(0).toLongLong();
        }
        return bytes;
    }

    // One number a query answers; 0 when it fails.
    qint64 scalar(const QString& statement)
    {
        QSqlQuery query(connection());
        return query.exec(statement) && query.next() ? query.value(0).toLongLong() : 0;
    }

    // A connection beside the archive's, for what the benchmarks set up in bulk.
    QSqlDatabase connection()
    {
        const QString name = QStringLiteral("bench-direct-%1").arg(int(location_.engine));
        if (QSqlDatabase::contains(name))
            return QSqlDatabase::database(name);
        QSqlDatabase database = QSqlDatabase::addDatabase(TArchiveDialect::of(location_.engine).driver, name);
        database.setDatabaseName(location_.database);
        database.setHostName(location_.host);
        database.setPort(location_.port);
        database.setUserName(location_.user);
        database.open();
        return database;
    }

private:
    void maintenance(const QString& statement)
    {
        {
            QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench-server"));
            database.setDatabaseName(server_.database);
            database.setHostName(server_.host);
            database.setPort(server_.port);
            database.setUserName(server_.user);
            if (!database.open() || !QSqlQuery(database).exec(statement))
                skip_ = database.lastError().text().toStdString();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-server"));
    }

    QTemporaryDir dir_;
    TArchiveLocation server_;
    TArchiveLocation location_;
    std::unique_ptr<TArchive> archive_;
    std::string skip_;
};

Engine EngineOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? Engine::Sqlite : Engine::Postgresql;
}

// Made on first use, dropped before the application object ends.
std::map<Engine, std::unique_ptr<BenchArchive>> archives;

BenchArchive& ArchiveOf(Engine engine)
{
    std::unique_ptr<BenchArchive>& archive = archives[engine];
    if (!archive)
        archive = std::make_unique<BenchArchive>(engine);
    return *archive;
}

// A full log memory, and a month of readings every 5 minutes, each pass a new
// log (the first record's reserved bytes count the passes), so no pass is
// answered by deduplication.
void BM_ArchiveLog(benchmark::State& state)
{
    BenchArchive& bench = ArchiveOf(EngineOf(state));
    if (!bench.skip().empty()) {
        state.SkipWithError(bench.skip().c_str());
        return;
    }
    QByteArray raw = LogGenerator(1).generate(state.range(1), TLogShape::Typical,
                                              QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    // Two bits tell the four cases apart, fourteen count the passes of every run.
    static quint16 passes[4] = {0 << 14, 1 << 14, 2 << 14, 3 << 14};
    quint16& pass = passes[state.range(0) * 2 + (state.range(1) == FullLogRecords)];
    const qint64 sizeBefore = bench.size();
    const qint64 lastIdBefore = bench.scalar(QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM archive_entries"));
    for (auto _ : state) {
        ++pass;
        std::memcpy(raw.data() + 14, &pass, sizeof pass);
        QString error;
        const std::optional<TStoredLog> stored =
            bench.archive().store(QStringLiteral("2400123"), raw, QStringLiteral("E:/data.log"), Bench, &error);
        if (!stored || !stored->added) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
    }
    const qint64 compressed = bench.scalar(
        QStringLiteral("SELECT SUM(LENGTH(data)) FROM archive_raw_records WHERE entry_id > %1").arg(lastIdBefore));
    const double entries = double(state.iterations());
    state.counters["compressed_bytes"] = double(compressed) / entries;
    state.counters["overhead_bytes_per_entry"] = double(bench.size() - sizeBefore - compressed) / entries;
}
BENCHMARK(BM_ArchiveLog)
    ->ArgNames({"postgresql", "records"})
    ->ArgsProduct({{0, 1}, {FullLogRecords, 8640}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->UseRealTime();

// What storing costs before the database: the hash and the compression.
void BM_PackFullLog(benchmark::State& state)
{
    const QByteArray raw = LogGenerator(1).generate(FullLogRecords, TLogShape::Typical,
                                                    QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    qsizetype compressed = 0;
    for (auto _ : state) {
        compressed = PackLog(raw).compressed.size();
        benchmark::DoNotOptimize(compressed);
    }
    state.counters["compressed_bytes"] = double(compressed);
}
BENCHMARK(BM_PackFullLog)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// What opening an archived full log adds to opening its file: reading the
// entry, expanding its records and checking their SHA-256.
void BM_ReadFullLog(benchmark::State& state)
{
    BenchArchive& bench = ArchiveOf(EngineOf(state));
    if (!bench.skip().empty()) {
        state.SkipWithError(bench.skip().c_str());
        return;
    }
    QByteArray raw = LogGenerator(2).generate(FullLogRecords, TLogShape::Typical,
                                              QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    QString error;
    const std::optional<TStoredLog> stored =
        bench.archive().store(QStringLiteral("2400123"), raw, QString(), Bench, &error);
    if (!stored) {
        state.SkipWithError(error.toUtf8().constData());
        return;
    }
    for (auto _ : state) {
        const std::optional<QByteArray> read = bench.archive().rawRecords(stored->entryId, &error);
        if (read != raw) {
            state.SkipWithError("the records read differ from those stored");
            break;
        }
    }
}
BENCHMARK(BM_ReadFullLog)->ArgName("postgresql")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100,000 entries of 50 loggers, a month-long log each, one a day from 2014
// on, with small records: what the list reads is the entries, not the records.
void FillListedEntries(BenchArchive& bench)
{
    QSqlDatabase database = bench.connection();
    QSqlQuery query(database);
    query.exec(QStringLiteral("SELECT COUNT(*) FROM archive_entries"));
    if (query.next() && query.value(0).toInt() >= ListedEntries)
        return;
    const qint64 start = 3'597'696'000; // 2014-01-01 on the logger's clock
    query.exec(QStringLiteral("BEGIN"));
    query.prepare(QStringLiteral(
        "WITH RECURSIVE n (i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO archive_entries (label, first_time, last_time, row_count, record_count, sha256, stored_utc, "
        "utc_offset, user_name, host_name) "
        "SELECT 'logger-' || (i % %2), CAST(? AS BIGINT) + i * 3600, CAST(? AS BIGINT) + i * 3600 + 30 * 86400, 8640, 2160, 'bench-' || i, "
        "1700000000 + i, 10800, 'bench', 'desk' FROM n")
                      .arg(ListedEntries)
                      .arg(Devices));
    query.addBindValue(start);
    query.addBindValue(start);
    if (!query.exec())
        qWarning("%s", qPrintable(query.lastError().text()));
    query.prepare(QStringLiteral("INSERT INTO archive_raw_records (entry_id, sha256, data) "
                                 "SELECT id, sha256, ? FROM archive_entries WHERE sha256 LIKE 'bench-%'"));
    query.addBindValue(QByteArray(64, '\x5a'));
    if (!query.exec())
        qWarning("%s", qPrintable(query.lastError().text()));
    query.exec(QStringLiteral("COMMIT"));
    query.exec(QStringLiteral("ANALYZE"));
}

void BM_ListFirstScreen(benchmark::State& state)
{
    BenchArchive& bench = ArchiveOf(EngineOf(state));
    if (!bench.skip().empty()) {
        state.SkipWithError(bench.skip().c_str());
        return;
    }
    FillListedEntries(bench);
    // One logger's logs that overlap a quarter in the middle of the years.
    TArchiveQuery query;
    query.label = QStringLiteral("logger-7");
    query.from = 3'597'696'000 + qint64(ListedEntries / 2) * 3600;
    query.to = *query.from + 90 * 86400;
    query.limit = 50;
    size_t shown = 0;
    for (auto _ : state) {
        QString error;
        const std::vector<TArchiveEntry> entries = bench.archive().entries(query, &error);
        shown = entries.size();
        benchmark::DoNotOptimize(shown);
    }
    state.counters["shown"] = double(shown);
}
BENCHMARK(BM_ListFirstScreen)->ArgName("postgresql")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// An archive of ten years of one desk: 10,000 logs of a month each (8,640
// records), each with ten events (its download, then opens and exports),
// all chained as the program chains them; written in one transaction.
QString FillVerifiedArchive(BenchArchive& bench)
{
    QSqlDatabase database = bench.connection();
    QSqlQuery query(database);
    query.exec(QStringLiteral("BEGIN"));
    QByteArray raw = LogGenerator(3).generate(VerifiedRecords, TLogShape::Typical,
                                              QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    const TLogSummary summary = SummarizeLog(raw, 2026);
    QString previous;
    for (int i = 0; i < VerifiedEntries; ++i) {
        // The first record's reserved bytes tell the logs apart.
        const quint16 serial = quint16(i);
        std::memcpy(raw.data() + 14, &serial, sizeof serial);
        const TPackedLog packed = PackLog(raw);
        TArchiveEntry entry{0, QStringLiteral("logger-%1").arg(i % Devices), summary, packed.sha256, Bench};
        entry.stored.utcSeconds += i * 3600;
        query.prepare(QStringLiteral("INSERT INTO archive_entries (label, first_time, last_time, row_count, "
                                     "record_count, sha256, stored_utc, utc_offset, user_name, host_name) "
                                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
        for (const QVariant& value : QVariantList{entry.label, summary.firstTime, summary.lastTime, summary.rowCount,
                                                   summary.recordCount, entry.sha256, entry.stored.utcSeconds,
                                                   entry.stored.utcOffsetSeconds, entry.stored.user, entry.stored.host})
            query.addBindValue(value);
        if (!query.exec() || !query.next())
            return query.lastError().text();
        entry.id = query.value(0).toLongLong();
        query.finish();
        query.prepare(QStringLiteral("INSERT INTO archive_raw_records (entry_id, sha256, data) VALUES (?, ?, ?)"));
        query.addBindValue(entry.id);
        query.addBindValue(packed.sha256);
        query.addBindValue(packed.compressed);
        if (!query.exec())
            return query.lastError().text();
        for (int e = 0; e < VerifiedEventsPerEntry; ++e) {
            TArchiveEvent event;
            event.entryId = entry.id;
            event.label = entry.label;
            event.kind = e == 0 ? TArchiveEventKind::Download : e % 2 ? TArchiveEventKind::Open : TArchiveEventKind::Export;
            event.detail = e % 2 ? QStringLiteral("") : QStringLiteral("xlsx /home/desk/Отчёты/%1-%2.xlsx").arg(i).arg(e);
            event.stamp = entry.stored;
            event.stamp.utcSeconds += e * 60;
            previous = ChainedEventHash(previous, event, &entry);
            query.prepare(QStringLiteral("INSERT INTO archive_events (entry_id, label, kind, detail, at_utc, "
                                         "utc_offset, user_name, host_name, hash) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            for (const QVariant& value :
                 QVariantList{event.entryId, event.label, ArchiveEventKindName(event.kind), event.detail,
                              event.stamp.utcSeconds, event.stamp.utcOffsetSeconds, event.stamp.user,
                              event.stamp.host, previous})
                query.addBindValue(value);
            if (!query.exec())
                return query.lastError().text();
        }
    }
    query.exec(QStringLiteral("COMMIT"));
    return QString();
}

// --archive-verify's work: the whole chain and every log's records.
void BM_VerifyArchive(benchmark::State& state)
{
    static std::map<Engine, std::unique_ptr<BenchArchive>> verified;
    std::unique_ptr<BenchArchive>& bench = verified[EngineOf(state)];
    if (!bench) {
        bench = std::make_unique<BenchArchive>(EngineOf(state));
        if (bench->skip().empty()) {
            if (const QString failure = FillVerifiedArchive(*bench); !failure.isEmpty()) {
                state.SkipWithError(failure.toUtf8().constData());
                return;
            }
        }
    }
    if (!bench->skip().empty()) {
        state.SkipWithError(bench->skip().c_str());
        return;
    }
    TArchiveCheck check;
    for (auto _ : state) {
        QString error;
        const std::optional<TArchiveCheck> done = bench->archive().verify(&error);
        if (!done || !done->brokenLink.isEmpty()) {
            state.SkipWithError(done ? done->brokenLink.toUtf8().constData() : error.toUtf8().constData());
            return;
        }
        check = *done;
    }
    state.counters["entries"] = double(check.entries);
    state.counters["events"] = double(check.events);
    verified.clear(); // before the application object ends
}
BENCHMARK(BM_VerifyArchive)
    ->ArgName("postgresql")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->Iterations(2)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    archives.clear();
    return 0;
}
