#include "KorviTestMain.h"

#include "PdfChartAxis.h"
#include "SimulatedWindows.h"
#include "ViewerControls.h"

#include "chart/TChart.h"
#include "data/CellFormatter.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/RowSpanView.h"
#include "data/Timestamp.h"
#include "reports/DatedFileName.h"
#include "reports/Statistics.h"
#include "shell/TFormMain.h"
#include "shell/TReportActions.h"
#include "text/FormatLocale.h"
#include "views/TChartFilterPanel.h"
#include "views/TChartPage.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

// The PDF report from the data viewer's "Сохранить ..." menu, read back
// with poppler's tools: its text, its page count and its first page.
class PdfReportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void reportHoldsEveryStatisticsLineAsText();
    void firstPageShowsTheChartBelowTheLines();
    void aChartTooTallForTheRestOfThePageGoesOnToTheNext();
    void cancelledOrUnwritableWritesNothing();
    void pdfAndPrintLeaveOutTheCursor();
    void wholeLogReportChartsTheWholeLogWhateverTheWindowShows();
    void periodReportCoversOnlyThePeriodsRows();

private:
    // Marks a period with Shift+drag over the shown chart, then zooms in on it.
    void pickPeriodAndZoomIn();
    static QDateTime momentOf(qint64 seconds) { return QDateTime(DateOf(seconds), TimeOf(seconds)); }
    // The first page of a PDF at 60 dpi, below its first third (the header's clock moves).
    QImage lowerPageOf(const QString& path);
    QString inDrive(const QString& name) const { return simulation->drive.filePath(name); }
    QString savePdf();
    static QString run(const QString& program, const QStringList& arguments);

    std::unique_ptr<SimulatedWindows> simulation;
    TFormMain* viewer = nullptr;
    FakeDialogs* dialogs = nullptr;
};

void PdfReportTest::initTestCase()
{
    for (const char* tool : {"pdftotext", "pdfinfo", "pdftoppm"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QFAIL(qPrintable(QStringLiteral("%1 is missing: install poppler-utils (script/bootstrap does)")
                                 .arg(QLatin1String(tool))));
    }
}

void PdfReportTest::init()
{
    simulation = std::make_unique<SimulatedWindows>(
        LogGenerator(4).generate(200, TLogShape::Typical, QDateTime(QDate(2024, 2, 1), QTime(10, 0))));
    viewer = &simulation->loadIntoShownViewer();
    dialogs = simulation->dialogs;
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
}

void PdfReportTest::cleanup()
{
    simulation.reset();
}

QString PdfReportTest::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfReportTest::savePdf()
{
    const QString path = inDrive(QStringLiteral("report.pdf"));
    dialogs->answers = {path};
    simulation->windows->reports_->pdfReportItem->trigger();
    return finishBackgroundJob(*viewer) ? path : QString();
}

void PdfReportTest::reportHoldsEveryStatisticsLineAsText()
{
    QVERIFY(ViewerControls(*viewer).N2->actions().contains(simulation->windows->reports_->pdfReportItem));
    QCOMPARE(simulation->windows->reports_->pdfReportItem->text(), QStringLiteral("*.pdf"));
    const QString path = savePdf();
    QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
    QCOMPARE(dialogs->proposedNames, QStringList{DatedFileName(QDate::currentDate(), FormatLocale(), "pdf")});

    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const QRegularExpressionMatch match = pages.match(run(QStringLiteral("pdfinfo"), {path}));
    QVERIFY(match.hasMatch());
    QVERIFY(match.captured(1).toInt() >= 1);

    // Blanks between caption and value depend on the layout; compare without them.
    QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    const TMeasurementStore& store = viewer->store();
    const QStringList captions = StatisticsCaptions() + MetrologyCaptions(store.loadLocale());
    const QStringList values = StatisticsTexts(ComputeStatistics(store), TCellFormatter(store.loadLocale()))
                             + MetrologyTexts(store, store.loadLocale());
    QCOMPARE(captions.size(), 25);  // the twelve, the mean kinetic temperature and two lines per limit
    for (qsizetype line = 0; line < captions.size(); ++line) {
        const QString expected = QString(captions[line] + values[line]).remove(QRegularExpression(QStringLiteral("\\s")));
        QVERIFY2(text.contains(expected), qPrintable(expected));
    }
    for (const QString& expected : {QStringLiteral("Прибор:2400123"), QStringLiteral("Метролог:_________________")})
        QVERIFY2(text.contains(expected), qPrintable(expected));
    // The title line names the whole log, the device and the first and last row.
    const QString title = QString(QStringLiteral("Отчёт за весь журнал: прибор 2400123, ") + values[0]
                                  + QStringLiteral(" – ") + values[1])
                              .remove(QRegularExpression(QStringLiteral("\\s")));
    QVERIFY2(text.startsWith(title), qPrintable(text.left(200)));
}

void PdfReportTest::firstPageShowsTheChartBelowTheLines()
{
    const QString path = savePdf();
    QVERIFY(dialogs->errors.isEmpty());
    const QString stem = inDrive(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                                     QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                     QStringLiteral("1"), path, stem});
    QImage page;
    QVERIFY(page.load(stem + QStringLiteral("-1.png")));
    // A4 portrait at 60 dpi.
    QCOMPARE(page.size(), QSize(496, 702));
    const QString keep = qEnvironmentVariable("KORVI_KEEP_PDF_PAGE");
    if (!keep.isEmpty())
        page.save(keep);
    // The statistics in the page's top third are black text only; the chart's
    // coloured curves come below them.
    auto colouredIn = [&page](int top, int bottom) {
        int coloured = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const QColor colour = page.pixelColor(x, y);
                coloured += qAbs(colour.red() - colour.blue()) > 60 || qAbs(colour.green() - colour.blue()) > 60;
            }
        }
        return coloured;
    };
    QCOMPARE(colouredIn(0, page.height() / 3), 0);
    QVERIFY(colouredIn(page.height() / 3, page.height()) > 200);
}

void PdfReportTest::aChartTooTallForTheRestOfThePageGoesOnToTheNext()
{
    struct Case {
        const char* name;
        QSize chart;
        int pages;
    };
    const Case cases[] = {
        {"taller than what the statistics leave of the first page", {400, 500}, 2},
        // Shrunk to one page, whose foot it fills: the signature takes a third.
        {"taller than a page", {200, 1000}, 3},
    };
    for (const Case& c : cases) {
        ViewerControls(*viewer).ChartPage->Chart->resize(c.chart);
        const QString path = savePdf();
        QVERIFY(dialogs->errors.isEmpty());
        const QString info = run(QStringLiteral("pdfinfo"), {path});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\b").arg(c.pages))),
                 qPrintable(QString::fromLatin1(c.name) + '\n' + info));
        auto pageText = [&path](int page) {
            const QString number = QString::number(page);
            return run(QStringLiteral("pdftotext"),
                       {QStringLiteral("-f"), number, QStringLiteral("-l"), number, path, QStringLiteral("-")});
        };
        QVERIFY2(pageText(1).contains(QStringLiteral("Выходов ниже 21,6 %")), c.name);
        QVERIFY2(!pageText(1).contains(QStringLiteral("Давление, кПа")), c.name); // the chart's legend
        // The whole chart, down to its time axis, stands on the second page.
        QVERIFY2(pageText(2).contains(QStringLiteral("Давление, кПа")), c.name);
        QVERIFY2(pageText(2).contains(QStringLiteral("10:00:00\n01.02.2024")), qPrintable(pageText(2)));
        QVERIFY2(pageText(c.pages).contains(QStringLiteral("Метролог:")), c.name);
    }
}

void PdfReportTest::cancelledOrUnwritableWritesNothing()
{
    dialogs->answers = {QString()};
    simulation->windows->reports_->pdfReportItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(dialogs->errors.isEmpty());
    QCOMPARE(QDir(simulation->drive.path()).entryList({"*.pdf"}), QStringList());

    QFile blocker(inDrive(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = inDrive(QStringLiteral("blocker/out.pdf"));
    dialogs->answers = {path};
    simulation->windows->reports_->pdfReportItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(dialogs->errors.size(), 1);
    QVERIFY2(dialogs->errors[0].contains(path), qPrintable(dialogs->errors[0]));
    QVERIFY(!QFile::exists(path));
}

QImage PdfReportTest::lowerPageOf(const QString& path)
{
    const QString stem = path + QStringLiteral("-page");
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                                     QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                     QStringLiteral("1"), path, stem});
    QImage page;
    page.load(stem + QStringLiteral("-1.png"));
    return page.copy(0, page.height() / 3, page.width(), page.height() - page.height() / 3);
}

void PdfReportTest::pdfAndPrintLeaveOutTheCursor()
{
    const auto outputs = [this](const QString& stem) {
        dialogs->answers = {inDrive(stem + QStringLiteral("-report.pdf"))};
        simulation->windows->reports_->pdfReportItem->trigger();
        finishBackgroundJob(*viewer);
        dialogs->printToPdf = inDrive(stem + QStringLiteral("-print.pdf"));
        ViewerControls(*viewer).N1->trigger();
        return QList<QImage>{lowerPageOf(inDrive(stem + QStringLiteral("-report.pdf"))),
                             lowerPageOf(dialogs->printToPdf)};
    };
    const QList<QImage> plain = outputs(QStringLiteral("plain"));
    QVERIFY(!plain[0].isNull() && !plain[1].isNull());

    TChart& chart = *ViewerControls(*viewer).ChartPage->Chart;
    const QPoint inside = chart.plotRect().center();
    QMouseEvent move(QEvent::MouseMove, inside, chart.mapToGlobal(inside), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&chart, &move);
    QVERIFY(chart.model().cursorLine().has_value());
    const QList<QImage> withCursor = outputs(QStringLiteral("cursor"));
    QVERIFY(dialogs->errors.isEmpty());
    QCOMPARE(withCursor[0], plain[0]);
    QCOMPARE(withCursor[1], plain[1]);
}

void PdfReportTest::pickPeriodAndZoomIn()
{
    TChartPage& page = *ViewerControls(*viewer).ChartPage;
    TChart& chart = *page.Chart;
    const QRect plot = chart.plotRect();
    const QPoint from(plot.left() + plot.width() / 5, plot.center().y());
    const QPoint to(plot.left() + plot.width() * 3 / 5, plot.center().y());
    QTest::mousePress(&chart, Qt::LeftButton, Qt::ShiftModifier, from);
    QMouseEvent drag(QEvent::MouseMove, to, chart.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(&chart, &drag);
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::ShiftModifier, to);
    QTest::mouseClick(page.PanelFiltr->ButtonZoomIn, Qt::LeftButton);
}

// After a Shift+drag to a period and a zoom, "*.pdf" reports the whole log:
// its title and the chart's caption name the first and last row, and the
// chart's time axis runs from the first row on to the log's end.
void PdfReportTest::wholeLogReportChartsTheWholeLogWhateverTheWindowShows()
{
    pickPeriodAndZoomIn();
    const TRowSpanView* period = viewer->chartPeriod();
    QVERIFY(period);
    QVERIFY(ViewerControls(*viewer).ChartPage->Chart->bottomRange().span() < period->rowCount() - 1);
    const QString path = savePdf();
    QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));

    const TMeasurementStore& store = viewer->store();
    const QStringList values = StatisticsTexts(ComputeStatistics(store), TCellFormatter(store.loadLocale()));
    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    const QString span = values[0] + QStringLiteral(" – ") + values[1];
    QVERIFY2(text.contains(QStringLiteral("Отчёт за весь журнал: прибор 2400123, ") + span), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("График: ") + span), qPrintable(text));
    const QList<QDateTime> axis = PdfChartAxisMoments(path);
    QVERIFY(axis.size() >= 3);
    QCOMPARE(axis.first(), momentOf(store.rowValues(0).time));
    QVERIFY(axis.last() >= momentOf(store.rowValues(store.DataRowCount() * 3 / 5).time));
}

// "*.pdf (выбранный период)", beside the spreadsheet's period report: without
// a period it says how to choose one, as that report does; with one, its
// title, statistics, excursions and chart cover the period's rows only, the
// whole period charted though the window is zoomed in on part of it.
void PdfReportTest::periodReportCoversOnlyThePeriodsRows()
{
    QAction* periodPdf = simulation->windows->reports_->periodPdfReportItem;
    const QList<QAction*> items = ViewerControls(*viewer).N2->actions();
    const qsizetype at = items.indexOf(periodPdf);
    QVERIFY(at > 0);
    QCOMPARE(items[at - 1], simulation->windows->reports_->periodReportItem);
    QCOMPARE(periodPdf->text(), QStringLiteral("*.pdf (выбранный период)"));
    periodPdf->trigger();
    QCOMPARE(dialogs->errors, QStringList{"Период не выбран: задайте его на странице «Графики» и нажмите «Выбрать»"});
    QVERIFY(dialogs->proposedNames.isEmpty());
    dialogs->errors.clear();

    pickPeriodAndZoomIn();
    const TRowSpanView* period = viewer->chartPeriod();
    QVERIFY(period && period->rowCount() > 10);
    const qint64 first = period->rowValues(0).time;
    const qint64 last = period->rowValues(period->rowCount() - 1).time;
    const TMeasurementStore& store = viewer->store();
    qint64 inside = 0;
    for (qint64 row = 0; row < store.DataRowCount(); ++row)
        inside += store.rowValues(row).time >= first && store.rowValues(row).time <= last;
    QCOMPARE(inside, period->rowCount());
    QVERIFY(inside < store.DataRowCount());

    const QString path = inDrive(QStringLiteral("period.pdf"));
    dialogs->answers = {path};
    periodPdf->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
    QCOMPARE(dialogs->proposedNames.last(), DatedFileName(QDate::currentDate(), FormatLocale(), "pdf"));

    const TCellFormatter formatter(store.loadLocale());
    const QString span = formatter.timeText(first) + u' ' + formatter.dateText(first) + QStringLiteral(" – ")
                       + formatter.timeText(last) + u' ' + formatter.dateText(last);
    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    // The title is longer than a line of the page and wraps.
    QVERIFY2(QString(text).replace(u'\n', u' ').contains(QStringLiteral("Отчёт за выбранный период: прибор 2400123, ")
                                                          + span),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("График: ") + span), qPrintable(text));
    const QList<QDateTime> axis = PdfChartAxisMoments(path);
    QVERIFY(axis.size() >= 3);
    QCOMPARE(axis.first(), momentOf(first));
    QVERIFY(axis.last() <= momentOf(last));
    QVERIFY(axis.last() >= momentOf(period->rowValues(period->rowCount() * 3 / 5).time));
    // Labelled as the window labels a period: each point with its own moment, none twice.
    QVERIFY(std::adjacent_find(axis.begin(), axis.end()) == axis.end());

    // Every statistics and excursion line is the period's.
    TMeasurementStore periodRows;
    periodRows.showRecords(period->recordList());
    const QLocale& locale = store.loadLocale();
    const QStringList captions = StatisticsCaptions() + MetrologyCaptions(locale);
    const QStringList values = StatisticsTexts(ComputeStatistics(periodRows), formatter)
                             + MetrologyTexts(periodRows, locale);
    QCOMPARE(values[2], QString::number(inside));
    QString layoutText = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    layoutText.remove(QRegularExpression(QStringLiteral("\\s")));
    for (qsizetype line = 0; line < captions.size(); ++line) {
        const QString expected = QString(captions[line] + values[line]).remove(QRegularExpression(QStringLiteral("\\s")));
        QVERIFY2(layoutText.contains(expected), qPrintable(expected));
    }
}

KORVI_QTEST_MAIN(PdfReportTest)
#include "PdfReportTest.moc"
