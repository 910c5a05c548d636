#include "data/DataTestSupport.h"
#include "data/FolderVolumeSource.h"
#include "data/LoadTexts.h"
#include "data/Loader.h"
#include "data/LogExport.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/RowTableColumns.h"
#include "data/RowTexts.h"
#include "data/Timestamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <map>

#include <sys/stat.h>

namespace {

const QString LoggerLabel = QStringLiteral("2400123");

class LoaderTest : public RussianLocaleTest
{
protected:
    // A folder standing for a volume, holding the given data.log bytes unless null.
    QString addDrive(const QString& name, const QString& label, const QByteArray& log,
                     const QString& fileName = QStringLiteral("data.log"))
    {
        const QString root = dir_.filePath(name);
        QDir().mkpath(root);
        if (!log.isNull())
            WriteFile(QDir(root).filePath(fileName), log);
        volumes_.addFolder(root, label);
        return root;
    }

    // A load whose logger reports each file's whole size (or a fixed count).
    TLoadResult load(const QString& expectedLabel, bool testMode = false,
                     std::optional<qint64> reportedCount = std::nullopt, bool answers = true)
    {
        TLoadRequest request;
        request.expectedLabel = expectedLabel;
        request.testMode = testMode;
        request.currentYear = TestYear;
        request.recordCountOf = [this, reportedCount, answers](const QString& path) -> std::optional<qint64> {
            askedFor_.append(path);
            if (!answers)
                return std::nullopt;
            return reportedCount ? *reportedCount : QFileInfo(path).size() / 16;
        };
        request.showProgress = [this](const QString& text) { progress_.append(text); };
        return loadWith(request);
    }

    // Loads from the drives as the data viewer does: the sources adopt the
    // result and the record count is the one it leaves.
    TLoadResult loadWith(TLoadRequest request)
    {
        request.recordCount = recordCount_;
        return adopted(TLoader(volumes_).loadFromDrives(request));
    }

    TLoadResult adopted(TLoadResult result)
    {
        sources_.adopt(result);
        recordCount_ = result.recordCount;
        return result;
    }

    static QStringList Lines(const TDumpLog& dump)
    {
        QStringList lines;
        for (qsizetype i = 0; i < dump.lineCount(); ++i)
            lines.append(dump.line(i));
        return lines;
    }

    QTemporaryDir dir_;
    FolderVolumeSource volumes_;
    TMeasurementStore store_;
    const TRowTexts texts_{store_};
    TSourceList sources_{store_};
    qint32 recordCount_ = 0;
    QStringList askedFor_;
    QStringList progress_;
    const TLogRecord sample_ = RecordFromHex(SampleRecordHex);
};

TEST_F(LoaderTest, OneLoggerDriveIsFoundReadDumpedAndShown)
{
    const QString system = addDrive("C", "SYSTEM", QByteArray());
    const QString logger = addDrive("E", LoggerLabel, BytesOf({sample_, TLogRecord{}, WithByte(sample_, 0, 1)}));
    const TLoadResult report = load(LoggerLabel);

    const QString path = QDir(logger).filePath("data.log");
    EXPECT_EQ(report.driveRoots, QStringList({system, logger}));
    EXPECT_EQ(report.candidateNames, QStringList({"data"}));
    EXPECT_EQ(report.acceptedNames, QStringList({"data"}));
    ASSERT_EQ(sources_.loadedSources().size(), 1);
    EXPECT_EQ(sources_.loadedSources()[0].source.filePath, path);
    EXPECT_EQ(Lines(*report.dump), QStringList({"> " + path, "3 2 7 12:15:30 15.6.17 235 456 1013",
                                                 "1 2 7 12:15:30 15.6.17 235 456 1013"}));
    EXPECT_EQ(recordCount_, 3);
    EXPECT_EQ(store_.DataRowCount(), 4);
    EXPECT_EQ(texts_.cellText(3, 2), "12:15:30");
    EXPECT_EQ(report.freeMemoryText, "Свободно: 99%");
    EXPECT_FALSE(report.windowCaption);
}

TEST_F(LoaderTest, NameOfTheLogIsMatchedWithoutCase)
{
    const QString logger = addDrive("F", LoggerLabel, BytesOf({sample_}), "DATA.LOG");
    const TLoadResult report = load(LoggerLabel);
    EXPECT_EQ(report.candidateNames, QStringList({"DATA"}));
    EXPECT_EQ(report.dump->line(0), "> " + QDir(logger).filePath("DATA.LOG"));
    EXPECT_EQ(store_.DataRowCount(), 3);
}

TEST_F(LoaderTest, ForeignLabelIsListedButNotLoaded)
{
    addDrive("E", "OTHER", BytesOf({sample_}));
    store_.showRecords(ListOf({sample_}));
    const TLoadResult report = load(LoggerLabel);
    EXPECT_EQ(report.candidateNames, QStringList({"data"}));
    EXPECT_TRUE(report.acceptedNames.isEmpty());
    EXPECT_EQ(report.dump->lineCount(), 0);
    EXPECT_TRUE(askedFor_.isEmpty());
    EXPECT_EQ(store_.DataRowCount(), 0);
    EXPECT_EQ(TimePartOf(store_.lastTimestamp()), TimePartOf(TimestampSeconds(2017, 6, 15, 12, 15, 40))) << "bounds kept";
}

TEST_F(LoaderTest, TwoDrivesLabelledAlikeAreBothDumpedAndTheFirstIsShown)
{
    const QString first = addDrive("E", LoggerLabel, BytesOf({sample_}));
    const QString second = addDrive("G", LoggerLabel, BytesOf({WithByte(sample_, 0, 7), WithByte(sample_, 0, 1)}));
    const TLoadResult report = load(LoggerLabel);
    EXPECT_EQ(report.acceptedNames, QStringList({"data", "data"}));
    EXPECT_EQ(Lines(*report.dump),
              QStringList({"> " + QDir(first).filePath("data.log"), "3 2 7 12:15:30 15.6.17 235 456 1013",
                           "> " + QDir(second).filePath("data.log"), "7 2 7 12:15:30 15.6.17 235 456 1013",
                           "1 2 7 12:15:30 15.6.17 235 456 1013"}));
    EXPECT_EQ(store_.DataRowCount(), 3);
    EXPECT_EQ(recordCount_, 2) << "the count of the last source read";
}

TEST_F(LoaderTest, EmptyLabelBeforeAnyIdentityAcceptsAnUnlabelledDrive)
{
    addDrive("E", QString(), BytesOf({sample_}));
    addDrive("F", LoggerLabel, BytesOf({sample_}));
    const TLoadResult report = load(QString());
    EXPECT_EQ(report.candidateNames.size(), 2);
    EXPECT_EQ(report.acceptedNames, QStringList({"data"}));
    EXPECT_EQ(sources_.loadedSources()[0].source.volume.label, QString());
}

TEST_F(LoaderTest, TestModeAcceptsBraxelAndReads150Records)
{
    addDrive("E", LoggerLabel, BytesOf({sample_}));
    const QByteArray log = LogGenerator(5).generate(400, TLogShape::Typical, QDateTime(QDate(2025, 2, 1), QTime(9, 0)));
    addDrive("T", "BRAXEL", log);
    const TLoadResult report = load(LoggerLabel, true, 400);
    EXPECT_EQ(report.expectedLabel, "BRAXEL");
    EXPECT_EQ(report.acceptedNames, QStringList({"data"}));
    EXPECT_EQ(report.windowCaption, QString("400"));
    EXPECT_EQ(recordCount_, 150);
    EXPECT_EQ(report.dump->lineCount(), 1 + 150);
    EXPECT_EQ(report.freeMemoryText, "Свободно: 99%");
    EXPECT_EQ(progress_.last(), ProgressText(100)) << "150 records: one percent per record";
}

TEST_F(LoaderTest, ProgressTextFollowsTheRecordCount)
{
    struct Case {
        qint64 count;
        int lastPercent;
        QString freeText;
    };
    const Case cases[] = {{1000, 99, "Свободно: 99%"}, {199, 100, "Свободно: 99%"}, {0, 0, "Свободно: 100%"}};
    const QByteArray log = LogGenerator(9).generate(1000, TLogShape::Typical, QDateTime(QDate(2025, 2, 1), QTime(9, 0)));
    addDrive("E", LoggerLabel, log);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        progress_.clear();
        const TLoadResult report = load(LoggerLabel, false, c.count);
        QStringList expected;
        for (int p = 0; p <= c.lastPercent; ++p)
            expected.append(ProgressText(p));
        EXPECT_EQ(progress_, expected);
        EXPECT_EQ(report.dump->lineCount(), 1 + c.count);
        EXPECT_EQ(report.freeMemoryText, c.freeText);
    }
}

TEST_F(LoaderTest, UnusableSourcesAreSkippedWithALine)
{
    const QString vanishing = QDir(addDrive("E", LoggerLabel, BytesOf({sample_}))).filePath("data.log");
    const QString silent = QDir(addDrive("F", LoggerLabel, BytesOf({sample_}))).filePath("data.log");
    const QString good = QDir(addDrive("G", LoggerLabel, BytesOf({WithByte(sample_, 0, 2)}))).filePath("data.log");
    TLoadRequest request;
    request.expectedLabel = LoggerLabel;
    request.currentYear = TestYear;
    request.recordCountOf = [&](const QString& path) -> std::optional<qint64> {
        if (path == silent)
            return std::nullopt; // the logger did not answer
        if (path == vanishing)
            QFile::remove(path); // pulled out between discovery and reading
        return 1;
    };
    const TLoadResult report = loadWith(request);
    const QStringList lines = Lines(*report.dump);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "> " + vanishing);
    EXPECT_TRUE(lines[1].startsWith("Не удалось открыть файл")) << qPrintable(lines[1]);
    EXPECT_EQ(lines[2], "> " + silent);
    EXPECT_EQ(lines[3], "Регистратор не ответил, источник пропущен");
    EXPECT_EQ(lines[4], "> " + good);
    EXPECT_EQ(lines[5], "2 2 7 12:15:30 15.6.17 235 456 1013");
    EXPECT_EQ(store_.DataRowCount(), 2) << "the first source that could be read is shown";
}

TEST_F(LoaderTest, ALoadWhoseLoggerDoesNotAnswerKeepsThePreviousLoad)
{
    addDrive("E", LoggerLabel, BytesOf({sample_}));
    load(LoggerLabel);
    ASSERT_EQ(store_.DataRowCount(), 3);

    const TLoadResult silent = load(LoggerLabel, false, std::nullopt, /*answers=*/false);
    EXPECT_EQ(Lines(*silent.dump).last(), "Ни один источник не прочитан, прежние данные сохранены");
    EXPECT_EQ(store_.DataRowCount(), 3);
    EXPECT_EQ(sources_.shownRawRecords().size(), 1u);

    // With no logger drive at all the load is empty, as the logger's log would be.
    volumes_ = FolderVolumeSource();
    load(LoggerLabel);
    EXPECT_EQ(store_.DataRowCount(), 0);
}

TEST_F(LoaderTest, EverySourceIsKeptAndShownOnChoiceWithoutReadingItAgain)
{
    const QString first = addDrive("E", LoggerLabel, BytesOf({sample_, TLogRecord{}}));
    const QString silent = addDrive("F", LoggerLabel, BytesOf({sample_}));
    const std::vector<TLogRecord> thirdLog{WithByte(sample_, 0, 9), TLogRecord{}, WithByte(sample_, 0, 8)};
    const QString third = addDrive("G", LoggerLabel, BytesOf(thirdLog));
    TLoadRequest request;
    request.expectedLabel = LoggerLabel;
    request.currentYear = TestYear;
    request.recordCountOf = [&](const QString& path) -> std::optional<qint64> {
        if (path.startsWith(silent))
            return std::nullopt;
        return QFileInfo(path).size() / 16;
    };
    loadWith(request);
    const std::vector<TLoadedSource>& sources = sources_.loadedSources();
    ASSERT_EQ(sources.size(), 3u);
    EXPECT_EQ(sources[2].source.filePath, QDir(third).filePath("data.log"));
    EXPECT_FALSE(sources[1].records) << "the source the logger gave no count for";
    EXPECT_EQ(sources_.shownSourceIndex(), 0);
    EXPECT_EQ(store_.DataRowCount(), 3);

    QFile::remove(QDir(first).filePath("data.log"));
    QFile::remove(QDir(third).filePath("data.log"));
    ASSERT_TRUE(sources_.showSource(2));
    EXPECT_EQ(store_.DataRowCount(), 17);
    EXPECT_EQ(texts_.cellText(16, ColumnTime), QStringLiteral("12:16:05")) << "the last of 8 rows from 12:15:30";
    auto shownBytes = [this] {
        const auto raw = sources_.shownRawRecords();
        return BytesOf(std::vector<TLogRecord>(raw.begin(), raw.end()));
    };
    EXPECT_EQ(shownBytes(), BytesOf(thirdLog)) << "the invalid record is kept for saving";

    for (qsizetype unusable : {qsizetype(1), qsizetype(3), qsizetype(-1)}) {
        EXPECT_FALSE(sources_.showSource(unusable)) << unusable;
        EXPECT_EQ(sources_.shownSourceIndex(), 2);
    }
    ASSERT_TRUE(sources_.showSource(0));
    EXPECT_EQ(store_.DataRowCount(), 3);
    EXPECT_EQ(shownBytes(), BytesOf({sample_, TLogRecord{}}));

    TLoadResult nothing;
    sources_.adopt(nothing);
    EXPECT_TRUE(sources_.loadedSources().empty());
    EXPECT_EQ(sources_.shownSourceIndex(), -1);
    EXPECT_TRUE(sources_.shownRawRecords().empty());
}

TEST_F(LoaderTest, OutOfRangeRegisterValuesAreClamped)
{
    addDrive("E", LoggerLabel, BytesOf({sample_, sample_}));
    struct Case {
        qint64 reported;
        qint32 recordCount;
        qint64 rows;
        QString freeText;
    };
    const Case cases[] = {
        {qint64(1) << 40, LoadRecordLimit, 6, "Свободно: 0%"},
        {-16, 0, 0, "Свободно: 100%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reported);
        const TLoadResult report = load(LoggerLabel, false, c.reported);
        EXPECT_EQ(recordCount_, c.recordCount);
        EXPECT_EQ(store_.DataRowCount(), c.rows);
        EXPECT_EQ(report.freeMemoryText, c.freeText);
    }
}

TEST(LoaderRecordCountTest, RecordCountIsClampedToTheBuffer)
{
    struct Case {
        qint64 requested, stored;
    };
    const Case cases[] = {{-5, 0}, {0, 0}, {150, 150}, {4194304, 4194304}, {4194305, 4194304}, {qint64(1) << 40, 4194304}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        EXPECT_EQ(TLoader::clampedRecordCount(c.requested), c.stored);
    }
}

TEST_F(LoaderTest, NoDriveLeavesAnEmptyStoreAndTheLastRecordCount)
{
    recordCount_ = 131072;
    const TLoadResult report = load(LoggerLabel);
    EXPECT_TRUE(report.driveRoots.isEmpty());
    EXPECT_EQ(store_.DataRowCount(), 0);
    EXPECT_EQ(report.freeMemoryText, "Свободно: 50%");
}

} // namespace

namespace {

// The logger's drive is judged as a file is: a data.log that is no log is
// refused and what was shown stays; a logger with nothing written, or that
// reports no record, holds an empty log, shown empty.
TEST_F(LoaderTest, ADriveWhoseDataLogIsNoLogIsRefused)
{
    const QString logger = addDrive("E", LoggerLabel, BytesOf({sample_, WithByte(sample_, 0, 1)}));
    load(LoggerLabel);
    ASSERT_EQ(store_.DataRowCount(), 4);

    WriteFile(QDir(logger).filePath("data.log"), QByteArray("not a log, only some words about one\n").repeated(4));
    const TLoadResult refused = load(LoggerLabel);
    EXPECT_EQ(refused.failure, NotALogText("data.log"));
    EXPECT_TRUE(refused.keepsPrevious);
    EXPECT_TRUE(Lines(*refused.dump).contains(NotALogText("data.log")));
    EXPECT_EQ(store_.DataRowCount(), 4);
    EXPECT_EQ(recordCount_, 2);

    // Nothing written, or nothing reported: the logger's empty log.
    for (const std::optional<qint64> reported : {std::optional<qint64>(), std::optional<qint64>(0)}) {
        WriteFile(QDir(logger).filePath("data.log"), BytesOf({sample_, WithByte(sample_, 0, 1)}));
        load(LoggerLabel);
        ASSERT_EQ(store_.DataRowCount(), 4);
        WriteFile(QDir(logger).filePath("data.log"), QByteArray(160, '\xff'));
        const TLoadResult erased = load(LoggerLabel, false, reported);
        EXPECT_TRUE(erased.failure.isEmpty()) << erased.failure.toStdString();
        EXPECT_FALSE(erased.keepsPrevious);
        EXPECT_EQ(store_.DataRowCount(), 0);
    }
}

class OpenFileTest : public LoaderTest
{
protected:
    TLoadResult open(const QString& path, qint64 recordLimit = LoadRecordLimit)
    {
        TLoadRequest request;
        request.currentYear = TestYear;
        request.recordLimit = recordLimit;
        request.recordCountOf = [this](const QString& source) -> std::optional<qint64> {
            askedFor_.append(source);
            return 0;
        };
        request.recordCount = recordCount_;
        return adopted(TLoader(volumes_).loadFile(path, request));
    }
};

TEST_F(OpenFileTest, EveryWholeRecordOfAFileOfAnyNameIsShownWithoutAskingTheLogger)
{
    const QString path = dir_.filePath("склад 3 (декабрь).bin");
    QByteArray bytes = BytesOf({sample_, TLogRecord{}, WithByte(sample_, 0, 2)});
    bytes.append("\x01\x02\x03", 3);
    WriteFile(path, bytes);

    const TLoadResult report = open(path);
    EXPECT_TRUE(report.failure.isEmpty());
    EXPECT_TRUE(askedFor_.isEmpty());
    EXPECT_EQ(recordCount_, 3);
    EXPECT_EQ(store_.DataRowCount(), 5); // 3 + 2 repetitions, the empty record skipped
    EXPECT_EQ(report.partialRecordBytes, 3);
    EXPECT_EQ(report.acceptedNames, QStringList{"склад 3 (декабрь)"});
    EXPECT_EQ(Lines(*report.dump).first(), QStringLiteral("> ") + path);
}

// A log kept elsewhere, such as the archive, is opened from its bytes as a
// file is, under its label; one without a valid record leaves what was shown.
TEST_F(OpenFileTest, RecordsFromTheArchiveAreShownUnderTheirLabel)
{
    const QByteArray bytes = BytesOf({sample_, TLogRecord{}, WithByte(sample_, 0, 2)});
    TLoadRequest request;
    request.currentYear = TestYear;
    const TLoadResult report = adopted(TLoader(volumes_).loadRecords(LoggerLabel, bytes, request));
    EXPECT_TRUE(report.failure.isEmpty());
    EXPECT_EQ(recordCount_, 3);
    EXPECT_EQ(store_.DataRowCount(), 5);
    EXPECT_EQ(report.acceptedNames, QStringList{LoggerLabel});
    EXPECT_EQ(Lines(*report.dump).first(), QStringLiteral("> ") + LoggerLabel);
    // The archive's bytes are kept as they came, not copied.
    EXPECT_EQ(sources_.shownRaw().bytes().constData(), bytes.constData());

    request.recordCount = 77;
    const TLoadResult refused = adopted(TLoader(volumes_).loadRecords(LoggerLabel, BytesOf({TLogRecord{}}), request));
    EXPECT_TRUE(refused.keepsPrevious);
    EXPECT_TRUE(refused.failure.contains(LoggerLabel) && refused.failure.contains(QStringLiteral("архив")))
        << refused.failure.toStdString();
    EXPECT_EQ(recordCount_, 77);
    EXPECT_EQ(store_.DataRowCount(), 5);
}

TEST_F(OpenFileTest, AFileThatCannotBeReadLeavesTheStoreAsItWas)
{
    const QString path = dir_.filePath("first.log");
    WriteFile(path, BytesOf({sample_}));
    open(path);
    ASSERT_EQ(store_.DataRowCount(), 3);

    const QString text = dir_.filePath("notes.txt");
    WriteFile(text, QByteArray("not a log, only some words about one\n"));
    const QString fifo = dir_.filePath("pipe.log");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::pair<QString, QString> cases[] = {
        {dir_.filePath("missing.log"), QStringLiteral("файл не найден")},
        {dir_.path(), QStringLiteral("это не файл")},
        {fifo, QStringLiteral("это не файл")}, // opening it would wait for a writer forever
        {text, QStringLiteral("нет записей журнала прибора")},
    };
    for (const auto& [bad, reason] : cases) {
        SCOPED_TRACE(bad.toStdString());
        const TLoadResult report = open(bad);
        EXPECT_TRUE(report.failure.endsWith(reason)) << report.failure.toStdString();
        EXPECT_EQ(store_.DataRowCount(), 3);
        EXPECT_EQ(recordCount_, 1);
    }
}

// Joined logs can hold more records than one load: what does not fit is
// counted and named, never dropped in silence. The limit is the load's; a
// small one stands in for the 64 MB of the real one.
TEST_F(OpenFileTest, RecordsBeyondTheLoadsLimitAreCountedAndNamed)
{
    constexpr qint64 Limit = 1000;
    const QString path = dir_.filePath("joined.log");
    const QByteArray joined = BytesOf(std::vector<TLogRecord>(Limit + 3 * 64, sample_));
    WriteFile(path, joined);

    const TLoadResult report = open(path, Limit);
    EXPECT_TRUE(report.failure.isEmpty());
    EXPECT_EQ(recordCount_, Limit);
    EXPECT_EQ(report.leftOutRecords, 3 * 64);
    EXPECT_EQ(report.recordLimit, Limit);
    EXPECT_TRUE(Lines(*report.dump).contains(LeftOutRecordsText(3 * 64, Limit)));
    EXPECT_EQ(BytesOf(std::vector<TLogRecord>(sources_.shownRawRecords().begin(), sources_.shownRawRecords().end())),
              joined.left(Limit * 16));

    TLoadRequest request;
    request.recordLimit = Limit;
    const TLoadResult archived = TLoader(volumes_).loadRecords(LoggerLabel, joined, request);
    EXPECT_EQ(archived.recordCount, Limit);
    EXPECT_EQ(archived.leftOutRecords, 3 * 64);
    EXPECT_EQ(archived.sources.front().raw.bytes(), joined.left(Limit * 16));

    WriteFile(path, BytesOf({sample_}));
    EXPECT_EQ(open(path).leftOutRecords, 0);
}

} // namespace

namespace {

TEST_F(OpenFileTest, ALogSavedAndOpenedAgainGivesTheSameRows)
{
    const QString original = dir_.filePath("original.log");
    const QByteArray bytes = LogGenerator(5).generate(2000, TLogShape::Typical, QDateTime(QDate(2023, 12, 1), QTime(8, 0)));
    WriteFile(original, bytes + BytesOf({TLogRecord{}}));
    open(original);
    const qint64 rows = store_.DataRowCount();
    QStringList before;
    for (qint64 row = 0; row < rows; row += 97)
        before.append(texts_.cellText(row, ColumnDate) + texts_.cellText(row, ColumnTime) + texts_.cellText(row, ColumnPressure));

    EXPECT_EQ(ExportFileName(QStringLiteral("2400123"), store_, QStringLiteral("log")),
              QStringLiteral("2400123_%1_%2.log")
                  .arg(DateOf(store_.firstTimestamp()).toString(Qt::ISODate), DateOf(store_.lastTimestamp()).toString(Qt::ISODate)));
    const QString copy = dir_.filePath("copy.log");
    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QString error;
    ASSERT_TRUE(WriteRawLog(sources_.shownRawRecords(), file, &error)) << error.toStdString();
    file.close();
    EXPECT_EQ(QFileInfo(copy).size(), bytes.size() + 16); // the invalid record travels too

    open(copy);
    ASSERT_EQ(store_.DataRowCount(), rows);
    QStringList after;
    for (qint64 row = 0; row < rows; row += 97)
        after.append(texts_.cellText(row, ColumnDate) + texts_.cellText(row, ColumnTime) + texts_.cellText(row, ColumnPressure));
    EXPECT_EQ(after, before);
}

TEST_F(LoaderTest, TheRawBufferKeepsTheShownSourceWhenAnotherWasReadAfterIt)
{
    addDrive("E", LoggerLabel, BytesOf({sample_, TLogRecord{}}));
    addDrive("F", LoggerLabel, BytesOf({WithByte(sample_, 0, 9), WithByte(sample_, 0, 8), sample_}));
    load(LoggerLabel);
    const auto shown = sources_.shownRawRecords();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(BytesOf({shown[0], shown[1]}), BytesOf({sample_, TLogRecord{}}));
}

} // namespace
