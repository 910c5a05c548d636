#include "KorviTestMain.h"

#include "ArchiveEngines.h"
#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "StatisticsControls.h"
#include "ViewerControls.h"
#include "settings/EraseQuestion.h"

#include "archive/TArchiveKeeper.h"
#include "data/LogGenerator.h"
#include "device/RegisterMap.h"
#include "reports/OutputFormats.h"
#include "shell/TFormStatistic.h"
#include "shell/TLimitsDialog.h"
#include "views/TChartFilterPanel.h"
#include "views/TChartPage.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTimeEdit>

Q_DECLARE_METATYPE(TOutputKind)

// What the user does with a log, a logger or the limits goes into the
// archive's trail once it was done: a log's outputs on the log's entry, the
// rest under the logger's label or none; what failed or was refused, nowhere.
class RecordedActionsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void eachFileOfTheViewerIsNotedOnTheLogsEntry_data();
    void eachFileOfTheViewerIsNotedOnTheLogsEntry();
    void aPrintIsNotedWithItsPrinter();
    void aFailedOrCancelledOutputIsNotNoted();
    void aChangeOfTheLimitsIsNotedFromOldToNew();
    void writesToTheLoggerAreNotedUnderItsLabel();
    void refusedOrFailedWritesAreNotNoted();

private:
    // The trail, newest first, once its newest event is one `wanted`; as it
    // stands after a while when none comes.
    std::vector<TArchiveEvent> trailUntil(const std::function<bool(const TArchiveEvent& newest)>& wanted);
    std::vector<TArchiveEvent> trailEndingWith(const QString& detail)
    {
        return trailUntil([&detail](const TArchiveEvent& newest) { return newest.detail == detail; });
    }
    // The newest event, as trailEndingWith waits for it.
    TArchiveEvent noted(const QString& detail) { return trailEndingWith(detail).at(0); }
    void chooseLimits(const QStringList& levels);
    static void retype(QLineEdit* edit, const QString& text);
    SettingsControls settingsControls() const { return SettingsControls(*simulation->windows->formSetting_); }

    std::unique_ptr<ScratchArchive> scratch;
    std::unique_ptr<SimulatedWindows> simulation;
    std::unique_ptr<TArchive> reader;
    QTemporaryDir folder;
    TFormMain* viewer = nullptr;
    qint64 entryId = 0;
    QString loggerLabel;
};

void RecordedActionsTest::init()
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("korvi-monitor"),
              QStringLiteral("korvi-monitor"))
        .clear();
    scratch = std::make_unique<ScratchArchive>(TArchiveLocation::Engine::Sqlite);
    simulation = std::make_unique<SimulatedWindows>(
        LogGenerator(9).generate(300, TLogShape::Typical, QDateTime(QDate(2024, 5, 1), QTime(8, 0))), QString(),
        scratch->location());
    QSignalSpy kept(simulation->windows->archive_.get(), &TArchiveKeeper::kept);
    viewer = &simulation->loadIntoShownViewer();
    QVERIFY(kept.wait(10000));
    entryId = kept.first().at(0).toLongLong();
    loggerLabel = simulation->windows->connection_->deviceLabel();
    QCOMPARE(loggerLabel, simulation->logger->volumeLabel());
    reader = scratch->open();
    QVERIFY(reader);
}

void RecordedActionsTest::cleanup()
{
    reader.reset();
    simulation.reset();
    scratch.reset();
}

std::vector<TArchiveEvent>
RecordedActionsTest::trailUntil(const std::function<bool(const TArchiveEvent& newest)>& wanted)
{
    std::vector<TArchiveEvent> trail;
    const bool came = QTest::qWaitFor(
        [&] {
            QString error;
            trail = reader->trail({}, &error);
            return !trail.empty() && wanted(trail.front());
        },
        10000);
    if (!came)
        qWarning("the trail did not get the event waited for");
    return trail;
}

void RecordedActionsTest::eachFileOfTheViewerIsNotedOnTheLogsEntry_data()
{
    QTest::addColumn<TOutputKind>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("format");
    QTest::newRow("*.log") << TOutputKind::RawLog << "копия.log" << "log";
    QTest::newRow("*.csv") << TOutputKind::Csv << "rows.csv" << "csv";
    QTest::newRow("*.xls") << TOutputKind::Spreadsheet << "report.xlsx" << "xlsx";
    QTest::newRow("*.xls (выбранный период)") << TOutputKind::PeriodSpreadsheet << "period.xlsx" << "xlsx";
    QTest::newRow("*.pdf (выбранный период)") << TOutputKind::PeriodPdf << "period.pdf" << "pdf";
    QTest::newRow("*.pdf") << TOutputKind::Pdf << "report.pdf" << "pdf";
    QTest::newRow("*.bmp") << TOutputKind::Bitmap << "chart.bmp" << "bmp";
}

// Each item of "Сохранить ...", as the user picks it; the period reports of
// the period "Выбрать" chose on the chart page.
void RecordedActionsTest::eachFileOfTheViewerIsNotedOnTheLogsEntry()
{
    QFETCH(TOutputKind, kind);
    QFETCH(QString, name);
    QFETCH(QString, format);
    QTest::mouseClick(ViewerControls(*viewer).ChartPage->PanelFiltr->ButtonFiltr, Qt::LeftButton);
    const QString path = folder.filePath(name);
    simulation->dialogs->answers = {path};
    viewer->saveMenuAction(kind)->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY2(simulation->dialogs->errors.isEmpty(), qPrintable(simulation->dialogs->errors.join('\n')));
    QVERIFY(QFile::exists(path));

    const std::vector<TArchiveEvent> trail = trailEndingWith(format + ' ' + path);
    QCOMPARE(trail.size(), size_t(2)); // the download, then the file
    QCOMPARE(trail[0].detail, format + ' ' + path);
    QCOMPARE(trail[0].kind, TArchiveEventKind::Export);
    QCOMPARE(trail[0].entryId, entryId);
    QCOMPARE(trail[0].label, loggerLabel);
}

void RecordedActionsTest::aPrintIsNotedWithItsPrinter()
{
    simulation->dialogs->printToPdf = folder.filePath(QStringLiteral("printed.pdf"));
    ViewerControls(*viewer).N1->trigger();
    QVERIFY(simulation->dialogs->errors.isEmpty());
    const TArchiveEvent print = noted(QStringLiteral("печать ") + simulation->dialogs->printToPdf);
    QCOMPARE(print.detail, QStringLiteral("печать ") + simulation->dialogs->printToPdf);
    QCOMPARE(print.kind, TArchiveEventKind::Export);
    QCOMPARE(print.entryId, entryId);
}

// Cancelled dialogs and a folder that is not there write nothing and note
// nothing; the save after them is the first output the trail holds.
void RecordedActionsTest::aFailedOrCancelledOutputIsNotNoted()
{
    ViewerControls(*viewer).xls1->trigger(); // the save dialog cancelled
    ViewerControls(*viewer).N1->trigger();   // the printer dialog cancelled
    simulation->dialogs->answers = {folder.filePath(QStringLiteral("нет/report.xlsx"))};
    ViewerControls(*viewer).xls1->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(simulation->dialogs->errors.size(), 1);

    const QString path = folder.filePath(QStringLiteral("rows.csv"));
    simulation->dialogs->answers = {path};
    viewer->saveMenuAction(TOutputKind::Csv)->trigger();
    QVERIFY(finishBackgroundJob(*viewer));
    const std::vector<TArchiveEvent> trail = trailEndingWith(QStringLiteral("csv ") + path);
    QCOMPARE(trail.size(), size_t(2));
    QCOMPARE(trail[0].detail, QStringLiteral("csv ") + path);
    QCOMPARE(trail[1].kind, TArchiveEventKind::Download);
}

void RecordedActionsTest::retype(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->end(false);
    while (!edit->text().isEmpty()) {
        QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        QApplication::sendEvent(edit, &backspace);
    }
    QTest::keyClicks(edit, text);
}

// Types the six levels of "Пределы..." (empty: left as shown) and accepts them with OK.
void RecordedActionsTest::chooseLimits(const QStringList& levels)
{
    TFormStatistic& statistics = *simulation->windows->formStatistic_;
    QTest::mouseClick(StatisticsControls(statistics).ButtonLimits, Qt::LeftButton);
    auto* dialog = statistics.findChild<TLimitsDialog*>();
    QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
    const LimitsDialogControls controls(*dialog);
    const QList<QLineEdit*> edits = {controls.EditTLimitMin,  controls.EditTLimitMax, controls.EditRHLimitMin,
                                     controls.EditRHLimitMax, controls.EditPLimitMin, controls.EditPLimitMax};
    for (qsizetype field = 0; field < levels.size(); ++field) {
        if (!levels[field].isEmpty())
            retype(edits[field], levels[field]);
    }
    QTest::mouseClick(controls.Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!statistics.findChild<TLimitsDialog*>());
}

// An OK that keeps the limits notes nothing; each change names the
// channels it moved, in the program's number format, and no log.
void RecordedActionsTest::aChangeOfTheLimitsIsNotedFromOldToNew()
{
    simulation->windows->formStatistic_->show();
    QVERIFY(QTest::qWaitForWindowExposed(simulation->windows->formStatistic_.get()));
    chooseLimits({});
    chooseLimits({QStringLiteral("2"), QStringLiteral("8")});
    const QString temperature = QStringLiteral("t: 12,3…36,9 → 2,0…8,0 °C");
    const std::vector<TArchiveEvent> trail = trailEndingWith(temperature);
    QCOMPARE(trail.size(), size_t(2));
    QCOMPARE(trail[0].detail, temperature);
    QCOMPARE(trail[0].kind, TArchiveEventKind::LimitsChange);
    QCOMPARE(trail[0].entryId, 0);
    QCOMPARE(trail[0].label, QString());

    chooseLimits({{}, {}, QStringLiteral("30"), QStringLiteral("60"), QStringLiteral("90"), QStringLiteral("105")});
    const QString both = QStringLiteral("RH: 21,6…67,4 → 30,0…60,0 %; P: 84,0…106,7 → 90,0…105,0 кПа");
    QCOMPARE(noted(both).detail, both);
}

// Each kind of write through its page, as the user clicks it: what the
// logger held, where the page knew, and holds now; never the Wi-Fi password.
void RecordedActionsTest::writesToTheLoggerAreNotedUnderItsLabel()
{
    const SettingsControls settings = settingsControls();
    for (QWidget* page : simulation->windows->formSetting_->servicePages())
        simulation->windows->formSetting_->setPageVisible(page, true);
    const auto expectNoted = [this](TArchiveEventKind kind, const QString& detail) {
        const TArchiveEvent event = noted(detail);
        QCOMPARE(event.detail, detail);
        QCOMPARE(event.kind, kind);
        QCOMPARE(event.label, loggerLabel);
        QCOMPARE(event.entryId, 0);
    };

    TGeneralPage& general = *settings.GeneralPage;
    const QString detectedNumber = QString::number(simulation->logger->registerValue(RegDeviceNumber));
    QCOMPARE(general.EditDeviceNumber->text(), detectedNumber);
    retype(general.EditDeviceNumber, QStringLiteral("456"));
    QVERIFY(ActionWentThrough(general, [&] { QTest::mouseClick(general.ButtonDeviceNumberWrite, Qt::LeftButton); }));
    expectNoted(TArchiveEventKind::LoggerNumber, QStringLiteral("Номер прибора: %1 → 456").arg(detectedNumber));

    // Never read: unknown before; read, then written: each value from what was read.
    TCalibrationPage& temperature = *settings.TempPage;
    retype(temperature.edit(QStringLiteral("EditTempOffset")), QStringLiteral("0,5"));
    QVERIFY(ActionWentThrough(temperature, [&] {
        QTest::mouseClick(temperature.button(QStringLiteral("ButtonTempOffsetWrite")), Qt::LeftButton);
    }));
    expectNoted(TArchiveEventKind::LoggerCalibration,
                QStringLiteral("Температура — Смещение: было неизвестно → 0,5"));
    QVERIFY(ActionWentThrough(temperature, [&] {
        QTest::mouseClick(temperature.button(QStringLiteral("ButtonTempReadAll")), Qt::LeftButton);
    }));
    const QString slope = temperature.edit(QStringLiteral("EditTempSlope"))->text();
    retype(temperature.edit(QStringLiteral("EditTempOffset")), QStringLiteral("0,25"));
    QVERIFY(ActionWentThrough(temperature, [&] {
        QTest::mouseClick(temperature.button(QStringLiteral("ButtonTempWriteAll")), Qt::LeftButton);
    }));
    const QString page = QStringLiteral("Температура — Смещение: 0,5 → 0,25; Усиление: %1 → %1; ").arg(slope);
    const TArchiveEvent wholePage =
        trailUntil([&page](const TArchiveEvent& newest) { return newest.detail.startsWith(page); }).at(0);
    QVERIFY2(wholePage.detail.startsWith(page), qPrintable(wholePage.detail));
    QCOMPARE(wholePage.kind, TArchiveEventKind::LoggerCalibration);
    QCOMPARE(wholePage.detail.count(QStringLiteral(" → ")), 6); // every field of the page
    QVERIFY2(!wholePage.detail.contains(QStringLiteral("неизвестно")), qPrintable(wholePage.detail));

    // The initialisation writes the defaults, which the page then knows.
    QVERIFY(ActionWentThrough(general, [&] { QTest::mouseClick(general.ButtonDeviceInit, Qt::LeftButton); }));
    expectNoted(TArchiveEventKind::LoggerCalibration,
                QStringLiteral("Инициализация: номер прибора и калибровка температуры и влажности записаны "
                               "значениями по умолчанию"));
    QVERIFY(ActionWentThrough(temperature, [&] {
        QTest::mouseClick(temperature.button(QStringLiteral("ButtonTempOffsetWrite")), Qt::LeftButton);
    }));
    expectNoted(TArchiveEventKind::LoggerCalibration, QStringLiteral("Температура — Смещение: 0,05 → 0,25"));

    TLoggerPage& logger = *settings.LoggerPage;
    logger.DateTimePickerDate->setDate(QDate(2025, 3, 4));
    logger.DateTimePickerTime->setTime(QTime(5, 6, 7));
    QVERIFY(ActionWentThrough(logger, [&] { QTest::mouseClick(logger.ButtonLogWriteAll, Qt::LeftButton); }));
    expectNoted(TArchiveEventKind::LoggerClock, QStringLiteral("Часы установлены на 04.03.2025 05:06:07"));

    TWiFiPage& wifi = *settings.WiFiPage;
    const QString password = QStringLiteral("Zx-parol-4471");
    wifi.ShowWiFiDefaults();
    retype(wifi.EditPassw, password);
    QVERIFY(ActionWentThrough(wifi, [&] { QTest::mouseClick(wifi.ButtonWiFiWriteAll, Qt::LeftButton); }));
    expectNoted(TArchiveEventKind::LoggerWiFi,
                QStringLiteral("Логгер: box; интервал опроса: %1; сеть: esp; IP адрес: 192.168.1.101; "
                               "маска: 255.255.255.0; шлюз: 192.168.1.1")
                    .arg(wifi.ComboBoxWiFiInterval->currentText()));

    QVERIFY(AnswerEraseQuestion(logger, QStringLiteral("Да")).wentThrough);
    expectNoted(TArchiveEventKind::LoggerErase, QStringLiteral("Память даталоггера очищена"));

    QString error;
    for (const TArchiveEvent& event : reader->trail({}, &error))
        QVERIFY2(!event.detail.contains(password), qPrintable(event.detail));
}

// A value out of range, a page that does not check out, an erase answered
// "Нет" and a logger that does not answer: nothing is noted.
void RecordedActionsTest::refusedOrFailedWritesAreNotNoted()
{
    const SettingsControls settings = settingsControls();
    TCalibrationPage& temperature = *settings.TempPage;
    retype(temperature.edit(QStringLiteral("EditTempOffset")), QStringLiteral("99"));
    QVERIFY(!ActionWentThrough(temperature, [&] {
        QTest::mouseClick(temperature.button(QStringLiteral("ButtonTempOffsetWrite")), Qt::LeftButton);
    }));
    TWiFiPage& wifi = *settings.WiFiPage;
    wifi.ShowWiFiDefaults();
    wifi.EditNetName->clear();
    QVERIFY(!ActionWentThrough(wifi, [&] { QTest::mouseClick(wifi.ButtonWiFiWriteAll, Qt::LeftButton); }));
    QVERIFY(!AnswerEraseQuestion(*settings.LoggerPage, QStringLiteral("Нет")).wentThrough);
    TGeneralPage& general = *settings.GeneralPage;
    const qint32 number = simulation->logger->registerValue(RegDeviceNumber);
    retype(general.EditDeviceNumber, QStringLiteral("456"));
    simulation->logger->setFault(SimulatedLogger::Fault::NoReply);
    QVERIFY(!ActionWentThrough(general, [&] { QTest::mouseClick(general.ButtonDeviceNumberWrite, Qt::LeftButton); }));
    simulation->logger->setFault(SimulatedLogger::Fault::None);

    // Then one that goes through, to know the trail holds all that was noted before.
    retype(general.EditDeviceNumber, QStringLiteral("457"));
    QVERIFY(ActionWentThrough(general, [&] { QTest::mouseClick(general.ButtonDeviceNumberWrite, Qt::LeftButton); }));
    const std::vector<TArchiveEvent> trail = trailEndingWith(QStringLiteral("Номер прибора: %1 → 457").arg(number));
    QCOMPARE(trail.size(), size_t(2));
    QCOMPARE(trail[1].kind, TArchiveEventKind::Download);
}

KORVI_QTEST_MAIN(RecordedActionsTest)
#include "RecordedActionsTest.moc"
