#include "reports/SpreadsheetReport.h"

#include "data/CellFormatter.h"
#include "data/FileSave.h"
#include "data/JobProgress.h"
#include "data/MeasurementStore.h"
#include "data/RowTableColumns.h"
#include "data/Timestamp.h"
#include "reports/Statistics.h"
#include "reports/WorkbookCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <xlsxwriter.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>
#include <variant>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int ColumnCount = 6;          // A to F: the row table without its interval column
constexpr lxw_row_t TableHeaderRow = 5; // row 6
constexpr lxw_color_t HeaderFill = 0xFFFFCC;
constexpr uint8_t PaperA4 = 9;
constexpr double SummaryCaptionWidth = 42;
constexpr double SummaryValueWidth = 24;
// Days from 1899-12-30, the spreadsheet's own day numbers.
constexpr double SecondsPerDayF = 86400.0;
// What a report takes on its disk while it is written. Every sheet's XML
// waits in a temporary file until the book is zipped; as a sheet is zipped
// the library copies its XML into a second temporary file, and the zip grows
// beside them. A row's XML is never longer than this: the row number in the
// row and in each of its six cell references, the longest number each
// column holds, and the tags around them (seen: about 230 on full log
// memories, 265 when every value is random).
constexpr qint64 SheetXmlBytesPerRow = 300;
// The zip of a row: at most this; about 30 bytes on typical logs, which the
// progress of the zipping goes by, and 36 when every value is random.
constexpr qint64 ZippedBytesPerRow = 48;
constexpr qint64 TypicalZippedBytesPerRow = 30;
constexpr qint64 FixedReportBytes = 1 << 20;

// The report's progress in steps of a row's time: the rows, the zip, which
// takes about as long, and the check of the finished file, a small part of that.
constexpr qint64 CheckStepsPerRow = 8;
qint64 checkProgressSteps(qint64 rows)
{
    return rows / CheckStepsPerRow;
}
qint64 reportProgressSteps(qint64 rows)
{
    return 2 * rows + checkProgressSteps(rows);
}

// The book is zipped only as it closes, which takes about as long as writing
// its rows, in one call of the library: meanwhile the file's growth is the
// progress (the rows and the zipping weigh alike), and a cancel removes the
// file at once, the call running on to its end unseen.
class ZipWatch {
public:
    ZipWatch(const QString& fileName, qint64 rows, TJobProgress* progress)
    {
        if (!progress)
            return;
        watcher_ = std::thread([this, fileName, rows, progress] {
            while (!stopped_.load()) {
                if (progress->cancelled()) {
                    QFile::remove(fileName);
                    return;
                }
                progress->reach(rows + std::min(rows - 1, QFileInfo(fileName).size() / TypicalZippedBytesPerRow));
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
    }
    ~ZipWatch()
    {
        stopped_.store(true);
        if (watcher_.joinable())
            watcher_.join();
    }

private:
    std::atomic<bool> stopped_{false};
    std::thread watcher_;
};

// A workbook given up on is freed without writing what it holds.
struct WorkbookFree {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

// The cell formats of the report; every one is centred, as are the columns.
struct Formats {
    explicit Formats(lxw_workbook* workbook)
    {
        auto add = [workbook](bool bordered) {
            lxw_format* format = workbook_add_format(workbook);
            format_set_align(format, LXW_ALIGN_CENTER);
            if (bordered)
                format_set_border(format, LXW_BORDER_THIN);
            return format;
        };
        centred = add(false);
        left = workbook_add_format(workbook);
        format_set_align(left, LXW_ALIGN_LEFT);
        boldLeft = workbook_add_format(workbook);
        format_set_align(boldLeft, LXW_ALIGN_LEFT);
        format_set_bold(boldLeft);
        bold = add(false);
        format_set_bold(bold);
        boldDate = add(false);
        format_set_bold(boldDate);
        format_set_num_format(boldDate, "dd.mm.yyyy");
        boldTime = add(false);
        format_set_bold(boldTime);
        format_set_num_format(boldTime, "hh:mm:ss");
        tableHeader = add(true);
        format_set_bold(tableHeader);
        format_set_italic(tableHeader);
        format_set_pattern(tableHeader, LXW_PATTERN_SOLID);
        format_set_bg_color(tableHeader, HeaderFill);
        cell = add(true);
        number = add(true);
        format_set_num_format(number, "0");
        date = add(true);
        format_set_num_format(date, "dd.mm.yyyy");
        time = add(true);
        format_set_num_format(time, "hh:mm:ss");
        tenths = add(true);
        format_set_num_format(tenths, "0.0");
        auto addLeft = [workbook](const char* numberFormat) {
            lxw_format* format = workbook_add_format(workbook);
            format_set_align(format, LXW_ALIGN_LEFT);
            format_set_num_format(format, numberFormat);
            return format;
        };
        summaryCount = addLeft("0");
        summaryTenths = addLeft("0.0");
        summaryMoment = addLeft("hh:mm:ss dd.mm.yyyy");
        summaryDuration = addLeft("[h]:mm:ss");
        // Style numbers go by first use unless fixed here; the summary sheet
        // comes first, and the data cells keep numbers of one digit, which a
        // million rows feel in the file's size.
        for (lxw_format* format : {centred, bold, boldDate, boldTime, tableHeader, number, date, time, tenths, cell,
                                   left, boldLeft, summaryCount, summaryTenths, summaryMoment, summaryDuration})
            lxw_format_get_xf_index(format);
    }

    lxw_format* centred;
    lxw_format* left;
    lxw_format* boldLeft;
    lxw_format* bold;
    lxw_format* boldDate;
    lxw_format* boldTime;
    lxw_format* tableHeader;
    lxw_format* cell;
    lxw_format* number;
    lxw_format* date;
    lxw_format* time;
    lxw_format* tenths;
    // The summary's figures, left as its captions are: counts, tenths, a
    // date with its time, and a duration in hours beyond a day's 24.
    lxw_format* summaryCount;
    lxw_format* summaryTenths;
    lxw_format* summaryMoment;
    lxw_format* summaryDuration;
};

// The library's own texts are English; the errors it meets without a system error, in Russian.
QString workbookErrorText(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("не хватило памяти");
    case LXW_ERROR_CREATING_XLSX_FILE:
        return QStringLiteral("не удалось создать файл");
    case LXW_ERROR_CREATING_TMPFILE:
        return QStringLiteral("не удалось создать временный файл");
    case LXW_ERROR_READING_TMPFILE:
        return QStringLiteral("не удалось прочитать временный файл");
    default:
        return QStringLiteral("ошибка библиотеки книг (код %1)").arg(int(error));
    }
}

// Every sheet of the book as it is written: the results of the writes into
// it, the temporary file the library keeps its rows in until the book is
// zipped, and what the finished file must show of it. The library writes
// those temporary files without looking at whether the bytes went in.
class BookWrites {
public:
    // False when the library could not make the sheet (its temporary file).
    bool add(lxw_worksheet* sheet, const QString& caption)
    {
        if (!sheet) {
            note(LXW_ERROR_CREATING_TMPFILE);
            return false;
        }
        sheets_.push_back(sheet);
        expected_.push_back({QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheets_.size()), caption, 0});
        return true;
    }
    // The last sheet added ends at this row (from 0).
    void setLastRow(lxw_row_t row) { expected_.back().lastRow = quint32(row) + 1; }
    void note(lxw_error result)
    {
        if (firstError_ == LXW_NO_ERROR)
            firstError_ = result;
    }

    // Why the book cannot be whole: a refused cell or a short write into a
    // sheet's temporary file; empty while every write went in.
    QString failure() const
    {
        if (firstError_ != LXW_NO_ERROR)
            return workbookErrorText(firstError_);
        for (lxw_worksheet* sheet : sheets_) {
            FILE* rows = sheet->optimize_tmpfile;
            if (rows && (std::fflush(rows) != 0 || std::ferror(rows)))
                return SystemErrorReason(errno != 0 ? errno : EIO, true);
        }
        // What set errno from here on is a write of the rows that follow.
        errno = 0;
        return {};
    }

    const std::vector<TExpectedSheet>& expected() const { return expected_; }

private:
    std::vector<lxw_worksheet*> sheets_;
    std::vector<TExpectedSheet> expected_;
    lxw_error firstError_ = LXW_NO_ERROR;
};

lxw_error writeText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column, const QString& text, lxw_format* format)
{
    return worksheet_write_string(sheet, row, column, text.toUtf8().constData(), format);
}

lxw_error writeTenths(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column, std::optional<int> tenths,
                      const Formats& formats)
{
    if (tenths)
        return worksheet_write_number(sheet, row, column, *tenths / 10.0, formats.tenths);
    return worksheet_write_blank(sheet, row, column, formats.cell);
}

// A new sheet with the report's column widths and centring.
lxw_worksheet* addSheet(lxw_workbook* workbook, const QString& name, const Formats& formats)
{
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, name.toUtf8().constData());
    worksheet_set_column(sheet, 0, 2, 11, formats.centred);
    worksheet_set_column(sheet, 3, 5, 16, formats.centred);
    return sheet;
}

// Printed landscape on A4, one page wide however many pages long, each page
// numbered in the footer; `titleRow`, when given, heads every printed page.
void setUpPrinting(lxw_worksheet* sheet, std::optional<lxw_row_t> titleRow)
{
    worksheet_set_landscape(sheet);
    worksheet_set_paper(sheet, PaperA4);
    worksheet_fit_to_pages(sheet, 1, 0);
    worksheet_set_footer(sheet, "&CСтраница &P из &N");
    if (titleRow)
        worksheet_repeat_rows(sheet, *titleRow, *titleRow);
}

void writeTableHeader(lxw_worksheet* sheet, lxw_row_t row, const Formats& formats, BookWrites& writes)
{
    for (int column = 0; column < ColumnCount; ++column)
        writes.note(writeText(sheet, row, lxw_col_t(column), RowTableHeader(column), formats.tableHeader));
}

void writeRow(lxw_worksheet* sheet, lxw_row_t row, const TRowValues& values, const Formats& formats,
              BookWrites& writes)
{
    const qint64 day = values.time / SecondsPerDay;
    const lxw_error results[] = {
        worksheet_write_number(sheet, row, 0, double(values.number), formats.number),
        worksheet_write_number(sheet, row, 1, double(day), formats.date),
        worksheet_write_number(sheet, row, 2, double(values.time - day * SecondsPerDay) / SecondsPerDayF,
                               formats.time),
        writeTenths(sheet, row, 3, values.temperature, formats),
        writeTenths(sheet, row, 4, values.humidity, formats),
        writeTenths(sheet, row, 5, values.pressure, formats),
    };
    for (const lxw_error result : results)
        writes.note(result);
}

// The summary sheet's lines, caption beside value, in groups: the device,
// the statistics, the limits, and what the rows did against those limits.
// A figure is a number in its format, which gives it the decimal comma, so
// that a spreadsheet computes with it; a text is what names no figure.
struct SummaryLine {
    QString caption;
    std::variant<QString, double> value;
    lxw_format* format;
};
using SummaryGroup = QList<SummaryLine>;

// Builds the lines of one group, each figure in its format.
class SummaryLines {
public:
    explicit SummaryLines(const Formats& formats)
        : formats_(formats)
    {
    }

    SummaryLines& text(const QString& caption, const QString& text)
    {
        group_.append({caption, text, formats_.left});
        return *this;
    }
    SummaryLines& count(const QString& caption, qint64 count)
    {
        group_.append({caption, double(count), formats_.summaryCount});
        return *this;
    }
    // Tenths as the window rounds them; none is said as the window says it.
    SummaryLines& tenths(const QString& caption, std::optional<qint64> tenths)
    {
        if (!tenths)
            return text(caption, NoValueText);
        group_.append({caption, double(*tenths) / 10.0, formats_.summaryTenths});
        return *this;
    }
    // A moment as its day number; none (no rows) leaves the value empty.
    SummaryLines& moment(const QString& caption, std::optional<qint64> time)
    {
        if (!time)
            return text(caption, QString());
        group_.append({caption, double(*time) / SecondsPerDayF, formats_.summaryMoment});
        return *this;
    }
    SummaryLines& duration(const QString& caption, qint64 seconds)
    {
        group_.append({caption, double(seconds) / SecondsPerDayF, formats_.summaryDuration});
        return *this;
    }

    SummaryGroup group() const { return group_; }

private:
    const Formats& formats_;
    SummaryGroup group_;
};

QList<SummaryGroup> summaryGroups(const TReportHeader& header, const TStatistics& statistics,
                                  const TMetrology& metrology, const QLocale& locale, const Formats& formats)
{
    const QStringList captions = StatisticsCaptions();
    SummaryLines figures(formats);
    figures.moment(captions[0], statistics.firstTime)
        .moment(captions[1], statistics.lastTime)
        .count(captions[2], statistics.rowCount);
    const std::array<std::optional<qint64>, 9> channelFigures = StatisticsFigureTenths(statistics);
    for (size_t figure = 0; figure < channelFigures.size(); ++figure)
        figures.tenths(captions[qsizetype(figure) + 3], channelFigures[figure]);

    const TUserLimits& limits = header.limits;
    SummaryLines levels(formats);
    levels.tenths(QStringLiteral("Нижний предел температуры, *С"), limits.temperatureMin)
        .tenths(QStringLiteral("Верхний предел температуры, *С"), limits.temperatureMax)
        .tenths(QStringLiteral("Нижний предел влажности, %"), limits.humidityMin)
        .tenths(QStringLiteral("Верхний предел влажности, %"), limits.humidityMax)
        .tenths(QStringLiteral("Нижний предел давления, кПа"), limits.pressureMin)
        .tenths(QStringLiteral("Верхний предел давления, кПа"), limits.pressureMax);

    const QStringList metrologyCaptions = MetrologyCaptions(locale, limits);
    SummaryLines excursions(formats);
    const std::optional<double> kinetic = metrology.kineticTemperature;
    excursions.tenths(metrologyCaptions[0], kinetic ? std::optional(StatisticValueTenths(*kinetic)) : std::nullopt);
    for (size_t limit = 0; limit < metrology.excursions.size(); ++limit) {
        const qsizetype line = 1 + 2 * qsizetype(limit);
        excursions.duration(metrologyCaptions[line], metrology.excursions[limit].seconds)
            .count(metrologyCaptions[line + 1], metrology.excursions[limit].count);
    }
    return {SummaryLines(formats).text(QStringLiteral("Прибор"), header.deviceLabel).group(), figures.group(),
            levels.group(), excursions.group()};
}

lxw_error writeSummaryValue(lxw_worksheet* sheet, lxw_row_t row, const SummaryLine& line)
{
    if (const auto* text = std::get_if<QString>(&line.value))
        return writeText(sheet, row, 1, *text, line.format);
    return worksheet_write_number(sheet, row, 1, std::get<double>(line.value), line.format);
}

// "Сводка", the first sheet: the title, then the groups one line each with an
// empty row between them.
void writeSummary(lxw_workbook* workbook, const Formats& formats, const QString& title,
                  const QList<SummaryGroup>& groups, BookWrites& writes)
{
    const QString caption = QStringLiteral("Сводка");
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, caption.toUtf8().constData());
    if (!writes.add(sheet, caption))
        return;
    worksheet_set_column(sheet, 0, 0, SummaryCaptionWidth, formats.left);
    worksheet_set_column(sheet, 1, 1, SummaryValueWidth, formats.left);
    setUpPrinting(sheet, std::nullopt);
    // A metrologist files the summary as one page: its lines outgrow a landscape page's height.
    worksheet_fit_to_pages(sheet, 1, 1);
    writes.note(writeText(sheet, 0, 0, title, formats.boldLeft));
    lxw_row_t row = 0;
    for (const SummaryGroup& group : groups) {
        ++row;
        for (const SummaryLine& line : group) {
            ++row;
            writes.note(writeText(sheet, row, 0, line.caption, formats.left));
            writes.note(writeSummaryValue(sheet, row, line));
        }
    }
    worksheet_print_area(sheet, 0, 0, row, 1);
    writes.setLastRow(row);
}

// The data sheets of a report in order, "Данные", "Данные 2", ...: each
// one printed as set up above, over the rows written to it.
class DataSheets {
public:
    DataSheets(lxw_workbook* workbook, const Formats& formats, BookWrites& writes)
        : workbook_(workbook)
        , formats_(formats)
        , writes_(writes)
    {
    }

    // Ends the current sheet and begins the next; `titleRow` heads its printed
    // pages. Null when the sheet could not be made.
    lxw_worksheet* begin(std::optional<lxw_row_t> titleRow)
    {
        finish();
        ++count_;
        const QString name = count_ == 1 ? QStringLiteral("Данные") : QStringLiteral("Данные %1").arg(count_);
        sheet_ = addSheet(workbook_, name, formats_);
        if (!writes_.add(sheet_, name))
            return sheet_ = nullptr;
        setUpPrinting(sheet_, titleRow);
        lastRow_ = 0;
        return sheet_;
    }

    // A row of the current sheet now holds something.
    void use(lxw_row_t row) { lastRow_ = std::max(lastRow_, row); }

    // The current sheet prints from its first row to its last used one.
    void finish()
    {
        if (!sheet_)
            return;
        worksheet_print_area(sheet_, 0, 0, lastRow_, ColumnCount - 1);
        writes_.setLastRow(lastRow_);
    }

private:
    lxw_workbook* workbook_;
    const Formats& formats_;
    BookWrites& writes_;
    lxw_worksheet* sheet_ = nullptr;
    int count_ = 0;
    lxw_row_t lastRow_ = 0;
};

double dayNumber(const QDate& date)
{
    return double(QDate(1899, 12, 30).daysTo(date));
}

// Writes the workbook to `fileName`, the library's own temporary files in
// `workFolder`, and reads it back to make sure it holds every row.
bool writeWorkbook(const TMeasurementStore& store, const TReportHeader& header, const QString& fileName,
                   const QString& workFolder, QString* error, qint64 rowsPerSheet, TJobProgress* progress)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QByteArray file = QDir::toNativeSeparators(fileName).toLocal8Bit();
    QByteArray folder = QDir::toNativeSeparators(workFolder).toLocal8Bit();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    options.tmpdir = folder.data();
    std::unique_ptr<lxw_workbook, WorkbookFree> workbook(workbook_new_opt(file.constData(), &options));
    if (!workbook)
        return fail(QStringLiteral("не удалось начать книгу"));
    BookWrites writes;
    const Formats formats(workbook.get());
    const QLocale& locale = store.loadLocale();
    const TStatistics statistics = ComputeStatistics(store);
    const QStringList values = StatisticsTexts(statistics, TCellFormatter(locale));
    writeSummary(workbook.get(), formats, ReportTitle(header),
                 summaryGroups(header, statistics, ComputeMetrology(store, header.limits), locale, formats), writes);

    DataSheets sheets(workbook.get(), formats, writes);
    lxw_worksheet* sheet = sheets.begin(TableHeaderRow);
    if (!sheet)
        return fail(writes.failure());

    // Rows are written in order: a constant-memory sheet keeps only the current one.
    writes.note(worksheet_write_blank(sheet, 0, 0, formats.bold));
    writes.note(worksheet_write_number(sheet, 0, 1, dayNumber(header.madeAt.date()), formats.boldDate));
    writes.note(worksheet_write_number(
        sheet, 0, 2, header.madeAt.time().msecsSinceStartOfDay() / 1000.0 / SecondsPerDayF, formats.boldTime));
    writes.note(worksheet_write_blank(sheet, 0, 3, formats.bold));
    writes.note(writeText(sheet, 0, 4, QStringLiteral("Прибор:"), formats.bold));
    writes.note(writeText(sheet, 0, 5, header.deviceLabel, formats.bold));

    const QStringList captions = StatisticsCaptions();
    auto statisticLine = [&](int index) { return captions[index] + QStringLiteral(": ") + values[index]; };
    writes.note(writeText(sheet, 2, 1, statisticLine(0), formats.centred));
    writes.note(writeText(sheet, 2, 4, statisticLine(2), formats.centred));
    writes.note(writeText(sheet, 3, 1, statisticLine(1), formats.centred));

    lxw_row_t row = TableHeaderRow;
    writeTableHeader(sheet, row, formats, writes);
    const qint64 rows = store.DataRowCount();
    if (progress)
        progress->start(reportProgressSteps(rows));
    for (qint64 index = 0; index < rows; ++index) {
        // A disk that filled up stops the report at once, not after the last row.
        if (index % TJobProgress::RowsPerReport == 0) {
            if (const QString failure = writes.failure(); !failure.isEmpty())
                return fail(failure);
        }
        if (!KeepGoing(progress, index))
            return fail(TJobProgress::cancelledReason());
        if (qint64(row) + 1 >= rowsPerSheet) {
            sheets.use(row);
            sheet = sheets.begin(0);
            if (!sheet)
                return fail(writes.failure());
            row = 0;
            writeTableHeader(sheet, row, formats, writes);
        }
        writeRow(sheet, ++row, store.rowValues(index), formats, writes);
    }
    sheets.use(row);
    // The signature follows the table after one empty row, on a sheet of its
    // own when that row would pass the sheet's last.
    lxw_row_t signatureRow = row + 2;
    if (qint64(signatureRow) >= rowsPerSheet) {
        sheet = sheets.begin(std::nullopt);
        if (!sheet)
            return fail(writes.failure());
        signatureRow = 0;
    }
    writes.note(writeText(sheet, signatureRow, 4, QStringLiteral("Метролог:_________________"), formats.centred));
    sheets.use(signatureRow);
    sheets.finish();
    if (const QString failure = writes.failure(); !failure.isEmpty())
        return fail(failure);

    std::optional<ZipWatch> zipping(std::in_place, fileName, rows, progress);
    errno = 0;
    const lxw_error closed = workbook_close(workbook.release());
    const int systemError = errno;
    zipping.reset();
    if (progress && progress->cancelled())
        return fail(TJobProgress::cancelledReason());
    if (closed != LXW_NO_ERROR)
        return fail(systemError != 0 ? SystemErrorReason(systemError, true) : workbookErrorText(closed));
    return CheckWorkbook(fileName, writes.expected(), error, {progress, 2 * rows, checkProgressSteps(rows)});
}

// The library prints English lines of its own on standard error when a write
// fails; the report says why in Russian instead, so meanwhile they go nowhere.
class QuietStandardError {
public:
    QuietStandardError()
        : saved_(::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0))
    {
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && nowhere >= 0)
            ::dup2(nowhere, STDERR_FILENO);
        if (nowhere >= 0)
            ::close(nowhere);
    }
    ~QuietStandardError()
    {
        if (saved_ < 0)
            return;
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_;
};

QString mebibytes(qint64 bytes)
{
    return QString::number((bytes + (1 << 20) - 1) >> 20);
}

}  // namespace

QString ReportTitle(const TReportHeader& header)
{
    return header.periodOnly ? QStringLiteral("Отчёт за выбранный период") : QStringLiteral("Отчёт за весь журнал");
}

qint64 SpreadsheetReportSpace(qint64 rows, qint64 rowsPerSheet)
{
    return FixedReportBytes + rows * (SheetXmlBytesPerRow + ZippedBytesPerRow)
        + std::min(rows, rowsPerSheet) * SheetXmlBytesPerRow;
}

bool BuildSpreadsheetReport(const TMeasurementStore& store, const TReportHeader& header, const QString& path,
                            QString* error, qint64 rowsPerSheet, TJobProgress* progress)
{
    FileSave save(path, progress);
    const QString fileName = save.openPath(error);
    if (fileName.isEmpty())
        return false;
    const qint64 needed = SpreadsheetReportSpace(store.DataRowCount(), rowsPerSheet);
    const qint64 available = QStorageInfo(save.workFolder()).bytesAvailable();
    if (available >= 0 && available < needed) {
        if (error) {
            *error = QStringLiteral("нет места на диске: отчёту нужно около %1 МБ, свободно %2 МБ")
                         .arg(mebibytes(needed), mebibytes(available));
        }
        return false;
    }
    bool written = false;
    {
        const QuietStandardError quiet;
        written = writeWorkbook(store, header, fileName, save.workFolder(), error, rowsPerSheet, progress);
    }
    return written && save.commit(error);
}
