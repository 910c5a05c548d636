// The loader on arbitrary data.log bytes and arbitrary record counts from the
// logger: whatever the file holds, the store ends up with a whole load whose
// rows can all be formatted, and nothing is read past the file or the buffer.
#include "FuzzInput.h"

#include "data/FolderVolumeSource.h"
#include "data/Loader.h"
#include "data/MeasurementStore.h"
#include "data/RowTableColumns.h"
#include "data/SourceList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

const QString LoggerLabel = QStringLiteral("2400123");

void checkStore(const TMeasurementStore& store, const TSourceList& sources)
{
    FUZZ_CHECK(store.records().size() <= qsizetype(sources.shownRawRecords().size()));
    const qint64 rows = store.DataRowCount();
    // A few rows from each end are enough to walk the row index both ways.
    for (qint64 row : {qint64(0), rows / 2, rows - 1}) {
        if (row < 0 || row >= rows)
            continue;
        FUZZ_CHECK(store.cellText(row, ColumnNumber) == QString::number(row + 1));
        for (int column = 0; column < RowTableColumnCount; ++column)
            store.cellText(row, column);
        const TRowPosition position = store.locateRow(row);
        FUZZ_CHECK(position.record >= 0 && position.record < store.records().size());
    }
    for (qsizetype run = 0; run < store.intervalRunCount(); ++run)
        FUZZ_CHECK(store.intervalRun(run).firstRow <= store.intervalRun(run).lastRow);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir drive;
    static TMeasurementStore store;
    static TSourceList sources(store);
    static FolderVolumeSource volumes = [] {
        FolderVolumeSource source;
        source.addFolder(drive.path(), LoggerLabel);
        return source;
    }();

    FuzzInput input(data, size);
    const auto countSelector = input.take<uint8_t>();
    const auto reportedCount = input.take<qint64>();
    QByteArray log = input.rest();
    // Sometimes the bytes are repeated past a small record limit, as joined
    // logs go past the real one.
    const qint64 recordLimit = countSelector & 8 ? 4096 : LoadRecordLimit;
    if ((countSelector & 8) && !log.isEmpty()) {
        const qint64 bytes = (recordLimit + (reportedCount & 0xff)) * 16;
        log = log.repeated(bytes / log.size() + 1).left(bytes);
    }
    const QString path = QDir(drive.path()).filePath(QStringLiteral("data.log"));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(log) == log.size());
    file.close();

    TLoadRequest request;
    request.expectedLabel = LoggerLabel;
    request.testMode = countSelector & 1;
    request.currentYear = 2000 + countSelector % 60;
    request.recordLimit = recordLimit;
    request.recordCountOf = [&](const QString&) -> std::optional<qint64> {
        if (countSelector & 2)
            return std::nullopt;
        // Mostly counts near the file's, sometimes anything at all.
        return countSelector & 4 ? reportedCount : log.size() / 16 + reportedCount % 4;
    };
    TLoader loader(volumes);
    TLoadResult fromDrives = loader.loadFromDrives(request);
    sources.adopt(fromDrives);
    checkStore(store, sources);
    // A saved log is taken whole, whatever any logger says.
    TLoadResult fromFile = loader.loadFile(path, request);
    sources.adopt(fromFile);
    checkStore(store, sources);
    const qint64 records = log.size() / 16;
    if (fromFile.failure.isEmpty()) {
        FUZZ_CHECK(qint64(sources.shownRawRecords().size()) == std::min<qint64>(records, recordLimit));
        FUZZ_CHECK(fromFile.leftOutRecords == std::max<qint64>(0, records - recordLimit));
    }
    return 0;
}
