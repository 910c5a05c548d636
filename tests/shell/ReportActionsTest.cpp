#include "KorviTestMain.h"

#include "FileFaults.h"
#include "SimulatedWindows.h"
#include "ViewerControls.h"

#include "chart/TChart.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"
#include "reports/ChartOutput.h"
#include "reports/DatedFileName.h"
#include "reports/OutputFormats.h"
#include "reports/PdfReport.h"
#include "shell/FileDialogSetup.h"
#include "shell/TApplicationWindows.h"
#include "shell/TFormMain.h"
#include "shell/TLogFileActions.h"
#include "shell/TReportActions.h"
#include "views/TChartFilterPanel.h"
#include "views/TChartPage.h"

#include <QAction>
#include <QDateEdit>
#include <QTimeEdit>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QTabWidget>

// The spreadsheet report, the chart bitmap and the print from the data
// viewer's menu, with the dialogs answered by the test.
class ReportActionsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void reportIsWrittenUnderTheDatedNameWithTheDeviceLabel();
    void aLogOpenedFromAFileIsReportedUnderItsFileName();
    void aPeriodReportHoldsOnlyTheChosenPeriodsRows();
    void cancellingWritesNothing();
    void unwritableFolderShowsTheErrorAndKeepsTheData();
    void bitmapIsTheChartAtItsSizeOnWhite();
    void printGivesOnePage();
    void bitmapLeavesOutTheCursorAndTheCheckBoxes();
    void bitmapBeforeAnyLoadHasTheChartsScreenSize();
    void fullDiskKeepsEveryOldFile();
    void writersNoticeADeviceFillingUp();
    void theSaveMenuAndItsDialogsComeFromTheFormats();

private:
    QImage saveBitmap(const QString& name);
    // Saves a spreadsheet report through the menu and reads it back, one JSON object a sheet.
    QJsonArray saveReport(const QString& name, QAction* action = nullptr);
    QString inDrive(const QString& name) const { return simulation->drive.filePath(name); }

    std::unique_ptr<SimulatedWindows> simulation;
    TFormMain* viewer = nullptr;
    FakeDialogs* dialogs = nullptr;
};

void ReportActionsTest::init()
{
    simulation = std::make_unique<SimulatedWindows>(
        LogGenerator(4).generate(200, TLogShape::Typical, QDateTime(QDate(2024, 2, 1), QTime(10, 0))));
    viewer = &simulation->loadIntoShownViewer();
    dialogs = simulation->dialogs;
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
}

void ReportActionsTest::cleanup()
{
    simulation.reset();
}

void ReportActionsTest::reportIsWrittenUnderTheDatedNameWithTheDeviceLabel()
{
    const QString path = inDrive(QStringLiteral("report.xlsx"));
    dialogs->answers = {path};
    ViewerControls(*viewer).xls1->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
    QCOMPARE(dialogs->proposedNames, QStringList{DatedFileName(QDate::currentDate(), QLocale(), "xlsx")});
    // The proposed name is the same all day: a second report asks before replacing the first.
    QCOMPARE(dialogs->overwriteConfirmed, QList<bool>{true});
    QCOMPARE(ViewerControls(*viewer).StatusLine->text(),
             QStringLiteral("Сохранено: ") + QDir::toNativeSeparators(path));

    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(DUMP_XLSX_SCRIPT), path});
    QVERIFY(reader.waitForFinished(60000));
    const QJsonObject cells = QJsonDocument::fromJson(reader.readAllStandardOutput()).array()[1].toObject()["cells"].toObject();
    QCOMPARE(cells["F1"].toObject()["value"].toString(), QStringLiteral("2400123"));
    const int lastRow = int(viewer->store().DataRowCount()) + 6;
    QCOMPARE(cells[QStringLiteral("A%1").arg(lastRow)].toObject()["value"].toInt(), lastRow - 6);
}

QJsonArray ReportActionsTest::saveReport(const QString& name, QAction* action)
{
    const QString path = inDrive(name);
    dialogs->answers = {path};
    (action ? action : ViewerControls(*viewer).xls1)->trigger();
    if (!finishBackgroundJob(*viewer))
        qWarning() << "the report's save did not end";
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(DUMP_XLSX_SCRIPT), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        qWarning() << reader.readAllStandardError();
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
}

// With the logger still plugged in, a log opened from a file is no log of
// that logger: the report names the file, on the data sheet and the summary.
void ReportActionsTest::aLogOpenedFromAFileIsReportedUnderItsFileName()
{
    const QString file = inDrive(QStringLiteral("склад 3.log"));
    QVERIFY(QFile::copy(inDrive(QStringLiteral("data.log")), file));
    const QString failure = openLogFileWaiting(*viewer, file);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const QJsonArray sheets = saveReport(QStringLiteral("report.xlsx"));
    QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
    QCOMPARE(sheets.size(), 2);
    const QJsonObject summary = sheets[0].toObject()["cells"].toObject();
    const QJsonObject data = sheets[1].toObject()["cells"].toObject();
    QCOMPARE(summary["A3"].toObject()["value"].toString(), QStringLiteral("Прибор"));
    QCOMPARE(summary["B3"].toObject()["value"].toString(), QStringLiteral("склад 3.log"));
    QCOMPARE(data["F1"].toObject()["value"].toString(), QStringLiteral("склад 3.log"));
}

// "Выбрать" on the chart page, then the period's report: the summary says so
// and counts, and the data sheet holds, exactly the rows of the period.
void ReportActionsTest::aPeriodReportHoldsOnlyTheChosenPeriodsRows()
{
    QAction* periodReport = simulation->windows->reports_->periodReportItem;
    QVERIFY(ViewerControls(*viewer).N2->actions().contains(periodReport));
    QCOMPARE(periodReport->text(), QStringLiteral("*.xls (выбранный период)"));
    periodReport->trigger();  // no period chosen yet
    QCOMPARE(dialogs->errors, QStringList{"Период не выбран: задайте его на странице «Графики» и нажмите «Выбрать»"});
    QVERIFY(dialogs->proposedNames.isEmpty());
    dialogs->errors.clear();

    const TMeasurementStore& store = viewer->store();
    const qint64 from = store.rowValues(30).time;
    const qint64 to = store.rowValues(120).time;
    TChartFilterPanel* panel = ViewerControls(*viewer).ChartPage->PanelFiltr;
    panel->DateTimePickerDFStart->setDate(DateOf(from));
    panel->DateTimePickerTFStart->setTime(TimeOf(from));
    panel->DateTimePickerDFStop->setDate(DateOf(to));
    panel->DateTimePickerTFStop->setTime(TimeOf(to));
    QTest::mouseClick(panel->ButtonFiltr, Qt::LeftButton);
    QList<qint64> inside;
    for (qint64 row = 0; row < store.DataRowCount(); ++row) {
        if (const qint64 time = store.rowValues(row).time; time >= from && time <= to)
            inside.append(time);
    }
    QVERIFY(inside.size() > 50 && inside.size() < store.DataRowCount());

    const QJsonArray sheets = saveReport(QStringLiteral("period.xlsx"), periodReport);
    QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
    QCOMPARE(sheets.size(), 2);
    const QJsonObject summary = sheets[0].toObject()["cells"].toObject();
    QCOMPARE(summary["A1"].toObject()["value"].toString(), QStringLiteral("Отчёт за выбранный период"));
    QCOMPARE(summary["A7"].toObject()["value"].toString(), QStringLiteral("Количество измерений"));
    QCOMPARE(summary["B7"].toObject()["value"].toInt(), inside.size());
    QCOMPARE(summary["B7"].toObject()["format"].toString(), QStringLiteral("0"));
    const QJsonObject data = sheets[1].toObject()["cells"].toObject();
    const int lastRow = 6 + int(inside.size());
    auto momentIn = [&data](int row) {
        return data[QStringLiteral("B%1").arg(row)].toObject()["value"].toString().left(10) + u' '
             + data[QStringLiteral("C%1").arg(row)].toObject()["value"].toString();
    };
    auto moment = [](qint64 time) {
        return DateOf(time).toString(Qt::ISODate) + u' ' + TimeOf(time).toString(QStringLiteral("HH:mm:ss"));
    };
    QCOMPARE(momentIn(7), moment(inside.first()));
    QCOMPARE(momentIn(lastRow), moment(inside.last()));
    QVERIFY(data[QStringLiteral("A%1").arg(lastRow + 1)].toObject().isEmpty());
    QCOMPARE(data[QStringLiteral("E%1").arg(lastRow + 2)].toObject()["value"].toString(),
             QStringLiteral("Метролог:_________________"));

    const QJsonArray whole = saveReport(QStringLiteral("whole.xlsx"));
    QCOMPARE(whole[0].toObject()["cells"].toObject()["A1"].toObject()["value"].toString(),
             QStringLiteral("Отчёт за весь журнал"));
}

void ReportActionsTest::cancellingWritesNothing()
{
    dialogs->answers = {QString()};
    ViewerControls(*viewer).xls1->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    dialogs->answers = {QString()};
    ViewerControls(*viewer).bmp1->trigger();
    ViewerControls(*viewer).N1->trigger();  // no printer chosen
    QCOMPARE(dialogs->proposedNames.size(), 2);
    QCOMPARE(dialogs->overwriteConfirmed, (QList<bool>{true, true}));
    QVERIFY(dialogs->errors.isEmpty());
    QCOMPARE(QDir(simulation->drive.path()).entryList({"*.xlsx", "*.bmp", "*.pdf"}), QStringList());
}

void ReportActionsTest::unwritableFolderShowsTheErrorAndKeepsTheData()
{
    const qint64 rows = viewer->store().DataRowCount();
    // A "folder" that is a file: no one, root included, can write below it.
    QFile blocker(inDrive(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ViewerControls window(*viewer);
    for (QAction* action : {window.xls1, window.bmp1}) {
        const QString path = inDrive(QStringLiteral("blocker/out.") + (action == window.xls1 ? "xlsx" : "bmp"));
        dialogs->answers = {path};
        dialogs->errors.clear();
        action->trigger();
        QVERIFY(finishBackgroundJob(*viewer));
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY2(dialogs->errors[0].contains(path), qPrintable(dialogs->errors[0]));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!ViewerControls(*viewer).StatusLine->text().contains(QStringLiteral("Сохранено")));
    }
    QCOMPARE(viewer->store().DataRowCount(), rows);
}

void ReportActionsTest::bitmapIsTheChartAtItsSizeOnWhite()
{
    const QString path = inDrive(QStringLiteral("chart.bmp"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older file of the same name");
    old.close();

    dialogs->answers = {path};
    ViewerControls(*viewer).bmp1->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(dialogs->errors.isEmpty());
    QCOMPARE(dialogs->proposedNames.value(0), DatedFileName(QDate::currentDate(), QLocale(), "bmp"));
    QCOMPARE(ViewerControls(*viewer).StatusLine->text(),
             QStringLiteral("Сохранено: ") + QDir::toNativeSeparators(path));
    QImage image;
    QVERIFY(image.load(path, "BMP"));
    const TChart& chart = *ViewerControls(*viewer).ChartPage->Chart;
    QCOMPARE(image.size(), chart.size());
    QCOMPARE(image.pixelColor(1, 1), QColor(Qt::white));
    // Something of the curves, axes and legend was drawn.
    int coloured = 0;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            coloured += image.pixelColor(x, y) != QColor(Qt::white);
    QVERIFY(coloured > 100);
}

void ReportActionsTest::printGivesOnePage()
{
    dialogs->printToPdf = inDrive(QStringLiteral("chart.pdf"));
    ViewerControls(*viewer).N1->trigger();
    QVERIFY(dialogs->errors.isEmpty());
    QFile pdf(dialogs->printToPdf);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 1);
    // The job's title, in the document information as UTF-16.
    QVERIFY(bytes.contains(QByteArray("\0C\0h\0a\0r\0t", 10)));
}

QImage ReportActionsTest::saveBitmap(const QString& name)
{
    const QString path = inDrive(name);
    dialogs->answers = {path};
    ViewerControls(*viewer).bmp1->trigger();
    finishBackgroundJob(*viewer);
    QImage image;
    image.load(path, "BMP");
    return image;
}

void ReportActionsTest::bitmapLeavesOutTheCursorAndTheCheckBoxes()
{
    TChartPage& page = *ViewerControls(*viewer).ChartPage;
    const QImage plain = saveBitmap(QStringLiteral("plain.bmp"));
    QVERIFY(!plain.isNull());

    const QPoint inside = page.Chart->plotRect().center();
    QMouseEvent move(QEvent::MouseMove, inside, page.Chart->mapToGlobal(inside), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(page.Chart, &move);
    QVERIFY(page.TrackingLabel()->isVisible());
    QVERIFY(page.Chart->model().cursorLine().has_value());
    QCOMPARE(saveBitmap(QStringLiteral("cursor.bmp")), plain);

    // The legend keeps its colour marks and titles, without the boxes' grey frames.
    const QRect legend = page.Chart->legendRect();
    int boxFrame = 0;
    int curveColour = 0;
    for (int y = legend.top(); y <= legend.bottom(); ++y) {
        for (int x = legend.left(); x <= legend.right(); ++x) {
            boxFrame += plain.pixelColor(x, y) == QColor(96, 96, 96);
            curveColour += plain.pixelColor(x, y) == QColor(0, 0, 255);
        }
    }
    QCOMPARE(boxFrame, 0);
    QVERIFY(curveColour > 0);
}

void ReportActionsTest::bitmapBeforeAnyLoadHasTheChartsScreenSize()
{
    simulation = std::make_unique<SimulatedWindows>(
        LogGenerator(4).generate(200, TLogShape::Typical, QDateTime(QDate(2024, 2, 1), QTime(10, 0))));
    viewer = simulation->windows->formMain_.get();
    dialogs = simulation->dialogs;
    viewer->resize(900, 600);
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    QVERIFY(ViewerControls(*viewer).PageControlData->isHidden());

    const QImage empty = saveBitmap(QStringLiteral("empty.bmp"));
    QVERIFY(dialogs->errors.isEmpty());
    QVERIFY(ViewerControls(*viewer).PageControlData->isHidden());
    QCOMPARE(empty.pixelColor(empty.width() / 2, empty.height() / 2), QColor(Qt::white));

    simulation->connectLogger();
    viewer->BeginLoad();
    viewer->TimerLoadTimer();
    QVERIFY(finishBackgroundJob(*viewer));
    QCoreApplication::processEvents();
    QVERIFY(ViewerControls(*viewer).ChartPage->Chart->isVisible());
    QVERIFY(ViewerControls(*viewer).ChartPage->Chart->width() > 600);
    QCOMPARE(empty.size(), ViewerControls(*viewer).ChartPage->Chart->size());
}

// Each report written on a disk that fills up: the error box names the real
// reason and the earlier file of the same name stays as it was.
void ReportActionsTest::fullDiskKeepsEveryOldFile()
{
    FullTmpfs disk(1024);
    if (!disk.mounted())
        QSKIP(qPrintable(disk.whyNot()));
    struct Save {
        QAction* action;
        QString name;
        QString reason; // the report measures the room it needs before it starts
    };
    const QList<Save> saves = {
        {ViewerControls(*viewer).xls1, QStringLiteral("report.xlsx"), QStringLiteral("нет места на диске: отчёту нужно")},
        {ViewerControls(*viewer).bmp1, QStringLiteral("chart.bmp"), QStringLiteral("нет места на диске")},
        {simulation->windows->reports_->pdfReportItem, QStringLiteral("report.pdf"), QStringLiteral("нет места на диске")},
        {simulation->windows->logFiles_->logCopyItem, QStringLiteral("copy.log"), QStringLiteral("нет места на диске")},
        {simulation->windows->logFiles_->csvItem, QStringLiteral("rows.csv"), QStringLiteral("нет места на диске")},
    };
    for (const Save& save : saves)
        disk.place(save.name, "the earlier " + save.name.toUtf8());
    disk.fill();
    for (const Save& save : saves) {
        dialogs->errors.clear();
        dialogs->answers = {disk.filePath(save.name)};
        save.action->trigger();
        QVERIFY(finishBackgroundJob(*viewer));
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY2(dialogs->errors[0].contains(save.reason), qPrintable(dialogs->errors[0]));
        QFile kept(disk.filePath(save.name));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), "the earlier " + save.name.toUtf8());
    }
    QStringList names;
    for (const Save& save : saves)
        names.append(save.name);
    QCOMPARE(disk.strayFiles(names), QStringList());
}

// The PDF painter and the image writer do not look at their writes; the
// report does, whether the device fills up at once or half-way.
void ReportActionsTest::writersNoticeADeviceFillingUp()
{
    const TChart& chart = *ViewerControls(*viewer).ChartPage->Chart;
    for (qint64 capacity : {qint64(0), qint64(100), qint64(20000)}) {
        FullDiskDevice pdf(capacity);
        QString error;
        QVERIFY2(!WritePdfReport(viewer->store(), chart, {QDateTime::currentDateTime(), QStringLiteral("2400123")}, pdf,
                                 &error),
                 qPrintable(QString::number(capacity)));
        QVERIFY(!error.isEmpty());
        FullDiskDevice bitmap(capacity);
        error.clear();
        QVERIFY2(!WriteBitmap(ChartImage(chart), bitmap, &error), qPrintable(QString::number(capacity)));
        QVERIFY(!error.isEmpty());
    }
}

// "Сохранить ..." holds one item per output format, in their order, each
// asking for a name with the format's suffix, whose filter the dialog shows.
void ReportActionsTest::theSaveMenuAndItsDialogsComeFromTheFormats()
{
    QTest::mouseClick(ViewerControls(*viewer).ChartPage->PanelFiltr->ButtonFiltr, Qt::LeftButton);  // a period
    const QList<QAction*> items = ViewerControls(*viewer).N2->actions();
    const std::vector<TOutputFormat>& formats = OutputFormats();
    QCOMPARE(items.size(), qsizetype(formats.size()));
    QCOMPARE(items[0]->text(), QStringLiteral("*.log"));
    for (size_t i = 0; i < formats.size(); ++i) {
        const TOutputFormat& format = formats[i];
        QCOMPARE(items[qsizetype(i)]->text(), format.caption);
        QCOMPARE(items[qsizetype(i)]->objectName(), format.actionName);
        QCOMPARE(viewer->saveMenuAction(format.kind), items[qsizetype(i)]);
        dialogs->proposedNames.clear();
        items[qsizetype(i)]->trigger();  // and cancelled
        QCOMPARE(dialogs->proposedNames.size(), 1);
        QCOMPARE(QFileInfo(dialogs->proposedNames[0]).suffix(), format.suffix);
        QCOMPARE(FileDialogSetup::NameFilters(format.suffix).value(0), format.filter);
    }
    QVERIFY(dialogs->errors.isEmpty());
}

KORVI_QTEST_MAIN(ReportActionsTest)
#include "ReportActionsTest.moc"
