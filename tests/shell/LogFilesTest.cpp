#include "KorviTestMain.h"

#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "ViewerControls.h"

#include "data/LoadTexts.h"
#include "data/Loader.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/RowTexts.h"
#include "shell/TBackgroundJob.h"
#include "shell/TFormMain.h"
#include "reports/OutputFormats.h"
#include "shell/TLogFileActions.h"
#include "views/TSysPage.h"
#include "views/TTablePage.h"
#include "views/TVirtualGrid.h"

#include <QAction>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QBuffer>
#include <QImage>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>

#include <thread>

#include <sys/stat.h>

// Logs without the logger: opening a saved log from the menu and keeping a
// copy or a CSV of the shown one, with the file dialogs answered by the test.
class LogFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openedFileIsShownWithoutALogger();
    void savedCopyOpensAsTheSameLog();
    void csvIsWrittenUnderTheProposedName();
    void failuresAreShownAndChangeNothing();
    void aFileWithoutLogRecordsIsRefusedAndTheViewStays();
    void emptyViewerHintsAndADroppedLogOpens();
    void theProgramsOwnChartIsRefusedWhereverItComesIn();
    void aRefusalOnABlankViewerKeepsItsHint();
    void freeMemoryIsShownOnlyForTheLoggersLog();
    void savingWithNothingLoadedIsRefused();
    void recordsLeftOutAreSaidInTheStatusList();
    void aLogThatFailsPartWayIsRefusedAndTheViewStays();
    void aPipeWhoseReaderLeavesIsAnErrorAndTheWindowsStay();
    void closingTheWindowsEndsASaveIntoAnUnreadPipe();

private:
    QString writeLog(const QString& name, const QByteArray& bytes);

    std::unique_ptr<SimulatedWindows> simulation;
    TFormMain* viewer = nullptr;
    TLogFileActions* files = nullptr;
    FakeDialogs* dialogs = nullptr;
    QByteArray log;
};

void LogFilesTest::init()
{
    simulation = std::make_unique<SimulatedWindows>();
    viewer = simulation->windows->formMain_.get();
    files = simulation->windows->logFiles_;
    dialogs = simulation->dialogs;
    log = LogGenerator(9).generate(300, TLogShape::Typical, QDateTime(QDate(2023, 12, 1), QTime(7, 30)));
}

void LogFilesTest::cleanup()
{
    simulation.reset();
}

QString LogFilesTest::writeLog(const QString& name, const QByteArray& bytes)
{
    const QString path = simulation->drive.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void LogFilesTest::openedFileIsShownWithoutALogger()
{
    QCOMPARE(files->openFileItem->text(), QStringLiteral("Открыть файл..."));
    const QList<QAction*> sourceItems = ViewerControls(*viewer).N1Source->actions();
    QVERIFY(sourceItems.indexOf(files->openFileItem) > sourceItems.indexOf(ViewerControls(*viewer).N1_2Separator));

    dialogs->answers = {writeLog(QStringLiteral("склад.bin"), log)};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(dialogs->errors.isEmpty());
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Регистратор данных - склад.bin"));
    QVERIFY(!ViewerControls(*viewer).PageControlData->isHidden());
    QCOMPARE(simulation->windows->connection_->recordCount(), 300);
    QVERIFY(viewer->store().DataRowCount() >= 300);
    QCOMPARE(ViewerControls(*viewer).SysPage->StringGrid->model()->rowCount(), int(viewer->store().DataRowCount()));
    QCOMPARE(viewer->tableRowCount(), viewer->store().DataRowCount() + 1);
}

void LogFilesTest::savedCopyOpensAsTheSameLog()
{
    simulation->logger->setLog(log);
    simulation->connectLogger();
    QVERIFY(loadFromLogger(*viewer));
    const qint64 rows = viewer->store().DataRowCount();
    const QString lastTime = TRowTexts(viewer->store()).cellText(rows - 1, 2);

    const QString copy = simulation->drive.filePath(QStringLiteral("copy.log"));
    dialogs->answers = {copy};
    files->logCopyItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(dialogs->errors.isEmpty());
    QVERIFY(dialogs->proposedNames.value(0).startsWith(QStringLiteral("2400123_2023-12-0")));
    QVERIFY(dialogs->proposedNames.value(0).endsWith(QStringLiteral(".log")));
    QCOMPARE(QFile(copy).size(), log.size());

    dialogs->answers = {copy};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(viewer->store().DataRowCount(), rows);
    QCOMPARE(TRowTexts(viewer->store()).cellText(rows - 1, 2), lastTime);

    dialogs->answers = {QString()};  // cancelled: nothing asked of the file system
    files->logCopyItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(dialogs->proposedNames.value(1).startsWith(QStringLiteral("copy_")));
    QVERIFY(dialogs->errors.isEmpty());
}

void LogFilesTest::csvIsWrittenUnderTheProposedName()
{
    dialogs->answers = {writeLog(QStringLiteral("a.log"), log), simulation->drive.filePath(QStringLiteral("a.csv"))};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    files->csvItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(dialogs->proposedNames.value(0).endsWith(QStringLiteral(".csv")));
    QFile csv(simulation->drive.filePath(QStringLiteral("a.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll().count('\n'), viewer->store().DataRowCount() + 1);
    QCOMPARE(ViewerControls(*viewer).StatusLine->text(),
             QStringLiteral("Сохранено: ") + QDir::toNativeSeparators(simulation->drive.filePath(QStringLiteral("a.csv"))));
}

void LogFilesTest::failuresAreShownAndChangeNothing()
{
    dialogs->answers = {writeLog(QStringLiteral("a.log"), log)};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    const qint64 rows = viewer->store().DataRowCount();

    dialogs->answers = {simulation->drive.filePath(QStringLiteral("missing.log"))};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(dialogs->errors.size(), 1);
    QVERIFY(dialogs->errors[0].contains(QStringLiteral("missing.log")));
    QVERIFY2(dialogs->errors[0].endsWith(QStringLiteral("файл не найден")), qPrintable(dialogs->errors[0]));
    QCOMPARE(viewer->store().DataRowCount(), rows);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Регистратор данных - a.log"));

    dialogs->answers = {simulation->drive.filePath(QStringLiteral("no/such/folder/b.csv"))};
    files->csvItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(dialogs->errors.size(), 2);
    QVERIFY(dialogs->errors[1].contains(QStringLiteral("b.csv")));
    QVERIFY2(dialogs->errors[1].endsWith(QStringLiteral("папка не существует")), qPrintable(dialogs->errors[1]));
    QVERIFY(!ViewerControls(*viewer).StatusLine->text().contains(QStringLiteral("Сохранено")));
}

// A drive that fails part-way through the log (the test runs with the
// failing-reads library preloaded): the reason in a box, the log shown before
// stays, and nothing is handed to the archive.
void LogFilesTest::aLogThatFailsPartWayIsRefusedAndTheViewStays()
{
    if (!qEnvironmentVariable("LD_PRELOAD").contains(QStringLiteral("failing_reads")))
        QSKIP("run without the failing-reads library (ctest preloads it)");
    dialogs->answers = {writeLog(QStringLiteral("a.log"), log)};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    const qint64 rows = viewer->store().DataRowCount();
    QVERIFY(rows > 0);
    const QString failing = writeLog(QStringLiteral("b.log"), LogGenerator(8).generate(5000, TLogShape::Typical,
                                                                                       QDateTime(QDate(2024, 1, 1), QTime(0, 0))));
    qputenv("KORVI_FAILING_FILE", QFile::encodeName(failing));
    qputenv("KORVI_FAILING_AFTER", "40000");
    const auto healed = qScopeGuard([] { qunsetenv("KORVI_FAILING_FILE"); });
    QSignalSpy archived(viewer, &TFormMain::logsRead);
    dialogs->answers = {failing};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(dialogs->errors.size(), 1);
    QCOMPARE(dialogs->errors[0], QStringLiteral("Не удалось прочитать %1: ошибка ввода-вывода").arg(failing));
    QCOMPARE(viewer->store().DataRowCount(), rows);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Регистратор данных - a.log"));
    QCOMPARE(archived.count(), 0);
}

// A CSV saved into a pipe whose reader takes a little and goes away: an
// error box with the reason, and every window goes on.
void LogFilesTest::aPipeWhoseReaderLeavesIsAnErrorAndTheWindowsStay()
{
    const QString fifo = simulation->drive.filePath(QStringLiteral("rows.csv"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    dialogs->answers = {writeLog(QStringLiteral("a.log"), LogGenerator(9).generate(20000, TLogShape::Typical,
                                                                                   QDateTime(QDate(2023, 12, 1), QTime(7, 30)))),
                        fifo};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    std::thread reader([&fifo] {
        QFile pipe(fifo);
        if (pipe.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            char head[100];
            pipe.read(head, sizeof head);
        }
    });
    files->csvItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    reader.join();
    QCOMPARE(dialogs->errors.size(), 1);
    QVERIFY2(dialogs->errors[0].endsWith(QStringLiteral(": канал закрыт")), qPrintable(dialogs->errors[0]));
    QCOMPARE(ViewerControls(*viewer).StatusLine->text(), dialogs->errors[0]);

    const QString file = simulation->drive.filePath(QStringLiteral("rows-again.csv"));
    dialogs->answers = {file};
    files->csvItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(ViewerControls(*viewer).StatusLine->text(), QStringLiteral("Сохранено: ") + QDir::toNativeSeparators(file));
}

// Nobody ever opens the pipe to read: closing the windows ends the save, so
// the program can end.
void LogFilesTest::closingTheWindowsEndsASaveIntoAnUnreadPipe()
{
    const QString fifo = simulation->drive.filePath(QStringLiteral("rows.csv"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    dialogs->answers = {writeLog(QStringLiteral("a.log"), log), fifo};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    files->csvItem->trigger();
    QVERIFY(viewer->backgroundJob().isRunning());
    QTest::qWait(200);
    QVERIFY(viewer->backgroundJob().isRunning());
    QElapsedTimer closing;
    closing.start();
    simulation.reset();
    QVERIFY2(closing.elapsed() < TBackgroundJob::ExitWaitMs / 2, qPrintable(QString::number(closing.elapsed())));
}

// A drag that enters the window and is dropped there; false when the window refused it.
static bool dropOn(QWidget& window, QMimeData& data)
{
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return drop.isAccepted();
}

void LogFilesTest::emptyViewerHintsAndADroppedLogOpens()
{
    viewer->show();
    QCOMPARE(ViewerControls(*viewer).StatusLine->text(), TFormMain::emptyViewerHint());
    QVERIFY(ViewerControls(*viewer).StatusLine->isVisible());
    QVERIFY(viewer->acceptDrops());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(writeLog(QStringLiteral("перетащен.log"), log))});
    QVERIFY(dropOn(*viewer, data));
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(dialogs->errors.isEmpty());
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Регистратор данных - перетащен.log"));
    QCOMPARE(simulation->windows->connection_->recordCount(), 300);
    QVERIFY(ViewerControls(*viewer).StatusLine->text().isEmpty());

    // A file gone before the drop is refused with its name; the shown log stays.
    data.setUrls({QUrl::fromLocalFile(simulation->drive.filePath(QStringLiteral("пусто.log")))});
    QVERIFY(dropOn(*viewer, data));
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(dialogs->errors.size(), 1);
    QVERIFY(dialogs->errors[0].contains(QStringLiteral("пусто.log")));
    QCOMPARE(simulation->windows->connection_->recordCount(), 300);
}

// The chart the viewer saves is no log: opened from the menu or dropped it
// is refused, the status line gives back what it said and the shown log
// stays; a log with invalid records between valid ones opens.
void LogFilesTest::theProgramsOwnChartIsRefusedWhereverItComesIn()
{
    viewer->show();
    dialogs->answers = {writeLog(QStringLiteral("a.log"), log)};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    const QString chart = simulation->drive.filePath(QStringLiteral("chart.bmp"));
    dialogs->answers = {chart};
    ViewerControls(*viewer).bmp1->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
    QVERIFY(QFileInfo(chart).size() > 100000);
    const qint64 rows = viewer->store().DataRowCount();
    const QString status = ViewerControls(*viewer).StatusLine->text();
    QCOMPARE(status, QStringLiteral("Сохранено: ") + QDir::toNativeSeparators(chart));

    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(chart)});
    const std::function<void()> waysIn[] = {
        [&] {
            dialogs->answers = {chart};
            files->openFileItem->trigger();
        },
        [&] { QVERIFY(dropOn(*viewer, dropped)); },
    };
    for (const auto& openChart : waysIn) {
        dialogs->errors.clear();
        openChart();
        QVERIFY(finishBackgroundJob(*viewer));
        QCOMPARE(dialogs->errors, QStringList{NotALogText(QStringLiteral("chart.bmp"))});
        QCOMPARE(ViewerControls(*viewer).StatusLine->text(), status);
        QCOMPARE(viewer->store().DataRowCount(), rows);
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Регистратор данных - a.log"));
    }

    QByteArray gaps = log;
    for (qsizetype record = 1; record * 16 < gaps.size(); record += 4)
        gaps[record * 16 + 5] = char(0); // day 0
    dialogs->errors.clear();
    dialogs->answers = {writeLog(QStringLiteral("gaps.log"), gaps)};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(dialogs->errors.isEmpty());
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Регистратор данных - gaps.log"));
    QVERIFY(viewer->store().DataRowCount() > 0 && viewer->store().DataRowCount() < rows);
}

// `korvi-monitor report.pdf`: the viewer opens, the file is refused, and the
// viewer is as blank as before, with its hint.
void LogFilesTest::aRefusalOnABlankViewerKeepsItsHint()
{
    const QString report = writeLog(QStringLiteral("report.pdf"),
                                    QByteArray("%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
                                               "trailer << /Root 1 0 R >>\n%%EOF\n"));
    simulation->windows->openLog(report);
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(dialogs->errors, QStringList{NotALogText(QStringLiteral("report.pdf"))});
    QVERIFY(viewer->isVisible());
    QCOMPARE(ViewerControls(*viewer).StatusLine->text(), TFormMain::emptyViewerHint());
    QVERIFY(ViewerControls(*viewer).PageControlData->isHidden());
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Регистратор данных"));
}

// The logger's free memory is no figure of a log opened from a file.
void LogFilesTest::freeMemoryIsShownOnlyForTheLoggersLog()
{
    viewer->show();
    const QAction& freeMemory = *ViewerControls(*viewer).N3;
    QVERIFY(!freeMemory.isVisible());

    simulation->logger->setLog(log);
    simulation->connectLogger();
    QVERIFY(loadFromLogger(*viewer));
    QVERIFY(freeMemory.isVisible());
    QCOMPARE(freeMemory.text(), QStringLiteral("Свободно: 99%"));

    dialogs->answers = {writeLog(QStringLiteral("a.log"), log)};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(dialogs->errors.isEmpty());
    QVERIFY(!freeMemory.isVisible());

    QVERIFY(loadFromLogger(*viewer));
    QVERIFY(freeMemory.isVisible());
}

// With nothing loaded, "Сохранить ..." asks for no file and writes no log,
// rows or report: it says why.
void LogFilesTest::savingWithNothingLoadedIsRefused()
{
    viewer->show();
    const QString status = ViewerControls(*viewer).StatusLine->text();
    for (QAction* save : ViewerControls(*viewer).N2->actions()) {
        // The period report asks for a period first; the chart's picture is the empty chart shown.
        if (save == viewer->saveMenuAction(TOutputKind::PeriodSpreadsheet)
            || save == viewer->saveMenuAction(TOutputKind::PeriodPdf)
            || save == viewer->saveMenuAction(TOutputKind::Bitmap))
            continue;
        const QString path = simulation->drive.filePath(save->objectName() + QStringLiteral(".out"));
        dialogs->errors.clear();
        dialogs->answers = {path};
        save->trigger();
        QVERIFY(finishBackgroundJob(*viewer));
        QCOMPARE(dialogs->errors, QStringList{QStringLiteral("Нечего сохранять: не загружен журнал с измерениями")});
        QVERIFY2(dialogs->proposedNames.isEmpty(), qPrintable(save->objectName()));
        QVERIFY2(!QFile::exists(path), qPrintable(path));
        QCOMPARE(ViewerControls(*viewer).StatusLine->text(), status);
    }
}

// Joined logs longer than the store holds: the status list and the data
// viewer's status line say how many records were left out, and the Sys
// page's dump has the same line.
void LogFilesTest::recordsLeftOutAreSaidInTheStatusList()
{
    const qint64 leftOut = 1000;
    QByteArray bytes;
    bytes.reserve((LoadRecordLimit + leftOut) * 16);
    while (bytes.size() < (LoadRecordLimit + leftOut) * 16)
        bytes += log;
    bytes.truncate((LoadRecordLimit + leftOut) * 16);
    dialogs->answers = {writeLog(QStringLiteral("joined.log"), bytes)};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(dialogs->errors.isEmpty());
    // The line goes through the logger's thread, after its other lines.
    simulation->finishRequests();
    const QListWidget& status = *SettingsControls(*simulation->windows->formSetting_).ListBox1;
    const QString line = LeftOutRecordsText(leftOut, LoadRecordLimit);
    QVERIFY2(status.item(status.count() - 1)->text().endsWith(QStringLiteral(" -> ") + line),
             qPrintable(status.item(status.count() - 1)->text()));
    QCOMPARE(ViewerControls(*viewer).StatusLine->text(), line);
    QCOMPARE(simulation->windows->connection_->recordCount(), LoadRecordLimit);

    // A load that leaves nothing out clears the line.
    dialogs->answers = {writeLog(QStringLiteral("short.log"), log)};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(ViewerControls(*viewer).StatusLine->text(), QString());
}

void LogFilesTest::aFileWithoutLogRecordsIsRefusedAndTheViewStays()
{
    dialogs->answers = {writeLog(QStringLiteral("a.log"), log)};
    files->openFileItem->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    const qint64 rows = viewer->store().DataRowCount();

    QByteArray picture;
    QBuffer pictureFile(&picture);
    pictureFile.open(QIODevice::WriteOnly);
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(&pictureFile, "PNG"));
    const std::pair<QString, QByteArray> notLogs[] = {
        {QStringLiteral("снимок.png"), picture},
        {QStringLiteral("empty.log"), QByteArray()},
        {QStringLiteral("notes.txt"), QStringLiteral("Журнал поверки за декабрь\nвсё в порядке\n").toUtf8()},
    };
    for (const auto& [name, bytes] : notLogs) {
        dialogs->errors.clear();
        dialogs->answers = {writeLog(name, bytes)};
        files->openFileItem->trigger();
        QVERIFY(finishBackgroundJob(*viewer));
        QCOMPARE(dialogs->errors, QStringList{QStringLiteral("В файле %1 нет записей журнала прибора").arg(name)});
        QCOMPARE(viewer->store().DataRowCount(), rows);
        QCOMPARE(viewer->tableRowCount(), rows + 1);
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Регистратор данных - a.log"));
        QVERIFY(ViewerControls(*viewer).TablePage->ButtonFiltrS->isEnabled());
    }
}

KORVI_QTEST_MAIN(LogFilesTest)
#include "LogFilesTest.moc"
