#include "KorviTestMain.h"

#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "StatisticsControls.h"
#include "ViewerControls.h"

#include "chart/TChart.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/RowSpanView.h"
#include "data/UserLimitsHolder.h"
#include "data/UserLimitsSettings.h"
#include "reports/Statistics.h"
#include "shell/TFormStatistic.h"
#include "shell/TLimitsDialog.h"
#include "views/TChartFilterPanel.h"

#include <QDialogButtonBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>

// The user's limits: typed in "Пределы..." of the statistics window, taken
// from the logger's critical levels, kept between runs and used by the
// excursion lines, the reports and the chart's limit lines.
class LimitsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typedLimitsRenameAndRecountTheExcursionLines();
    void limitsAreKeptForTheNextWindowAndGoIntoTheReport();
    void theLoggersLevelsAreOfferedAfterARead();
    void levelsOutOfOrderOrNotNumbersAreRefusedWithTheReason();
    void tabAndReturnAsX11SendsThemMoveOnAndAccept();
    void pressureLevelsAreTypedKeptAndCounted();
    void chartLinesFollowTheLimitsAtOnceAndAfterARestart();
    void loggerLevelsStandInUntilTheUserChooses();
    void everyWindowReadsTheOneKeeper();

private:
    // The program's windows with a typical log loaded and the statistics window shown.
    void startProgram();
    TLimitsDialog* openDialog();
    // Empties the field with Backspace as X11 sends it, then types the text key by key.
    static void retype(QLineEdit* edit, const QString& text);
    QString metrologyCell(int row, int column) const;
    // Types the levels in "Пределы..." in the order of its fields (temperature,
    // humidity, pressure), as many as given, and accepts them with OK.
    void chooseLimits(const QStringList& levels);
    const TUserLimitsHolder& limits() const { return *simulation->windows->limits_; }
    // The end labels of the chart's limit lines and where they stand, in the chart's order.
    QStringList chartLimitLabels() const;
    QList<double> chartLimitLevels() const;

    std::unique_ptr<SimulatedWindows> simulation;
    TFormStatistic* statistics = nullptr;
};

void LimitsTest::init()
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("korvi-monitor"),
              QStringLiteral("korvi-monitor"))
        .clear();
    startProgram();
}

void LimitsTest::startProgram()
{
    simulation = std::make_unique<SimulatedWindows>(
        LogGenerator(4).generate(400, TLogShape::Typical, QDateTime(QDate(2024, 2, 1), QTime(10, 0))));
    simulation->loadIntoShownViewer();
    statistics = simulation->windows->formStatistic_.get();
    statistics->show();
    QVERIFY(QTest::qWaitForWindowExposed(statistics));
}

void LimitsTest::cleanup()
{
    simulation.reset();
}

TLimitsDialog* LimitsTest::openDialog()
{
    QTest::mouseClick(StatisticsControls(*statistics).ButtonLimits, Qt::LeftButton);
    auto* dialog = statistics->findChild<TLimitsDialog*>();
    if (dialog && !QTest::qWaitForWindowExposed(dialog))
        return nullptr;
    return dialog;
}

void LimitsTest::retype(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->end(false);
    while (!edit->text().isEmpty()) {
        QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        QApplication::sendEvent(edit, &backspace);
    }
    QTest::keyClicks(edit, text);
}

QString LimitsTest::metrologyCell(int row, int column) const
{
    return StatisticsControls(*statistics).StringGridMetrology->item(row, column)->text();
}

void LimitsTest::chooseLimits(const QStringList& levels)
{
    TLimitsDialog* dialog = openDialog();
    QVERIFY(dialog);
    const LimitsDialogControls controls(*dialog);
    const QList<QLineEdit*> edits{controls.EditTLimitMin,  controls.EditTLimitMax, controls.EditRHLimitMin,
                                  controls.EditRHLimitMax, controls.EditPLimitMin, controls.EditPLimitMax};
    for (int i = 0; i < levels.size(); ++i) {
        QVERIFY(edits[i]);
        retype(edits[i], levels[i]);
    }
    QTest::mouseClick(controls.Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());
}

QStringList LimitsTest::chartLimitLabels() const
{
    const TChart& chart = *ViewerControls(*simulation->windows->formMain_).ChartPage->Chart;
    QStringList labels;
    for (int series = TChartPage::SeriesP + 1; series < chart.model().seriesCount(); ++series)
        labels << chart.seriesStyle(series).endLabel;
    return labels;
}

QList<double> LimitsTest::chartLimitLevels() const
{
    const TChart& chart = *ViewerControls(*simulation->windows->formMain_).ChartPage->Chart;
    QList<double> levels;
    for (int series = TChartPage::SeriesP + 1; series < chart.model().seriesCount(); ++series)
        levels << chart.model().series(series).source->value(0).value_or(-1);
    return levels;
}

void LimitsTest::typedLimitsRenameAndRecountTheExcursionLines()
{
    QCOMPARE(metrologyCell(1, 0), QStringLiteral("Время выше 36,9 *С"));
    const QString aboveDefault = metrologyCell(2, 1);
    TLimitsDialog* dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(LimitsDialogControls(*dialog).EditTLimitMax->text(), QStringLiteral("36,9"));
    retype(LimitsDialogControls(*dialog).EditTLimitMin, QStringLiteral("2"));
    retype(LimitsDialogControls(*dialog).EditTLimitMax, QStringLiteral("8.5"));  // the point becomes the locale's comma
    retype(LimitsDialogControls(*dialog).EditRHLimitMin, QStringLiteral("35"));
    retype(LimitsDialogControls(*dialog).EditRHLimitMax, QStringLiteral("60"));
    QCOMPARE(LimitsDialogControls(*dialog).EditTLimitMax->text(), QStringLiteral("8,5"));
    QTest::mouseClick(LimitsDialogControls(*dialog).Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());

    const TUserLimits expected{20, 85, 350, 600};
    QCOMPARE(limits().limits(), expected);
    const QStringList captions{QStringLiteral("Время выше 8,5 *С"),  QStringLiteral("Выходов выше 8,5 *С"),
                               QStringLiteral("Время ниже 2,0 *С"),  QStringLiteral("Выходов ниже 2,0 *С"),
                               QStringLiteral("Время выше 60,0 %"),  QStringLiteral("Выходов выше 60,0 %"),
                               QStringLiteral("Время ниже 35,0 %"), QStringLiteral("Выходов ниже 35,0 %")};
    for (int line = 0; line < captions.size(); ++line)
        QCOMPARE(metrologyCell(line + 1, 0), captions[line]);
    // A typical log spends hours above 8.5 °C, where it never passed 36.9.
    QCOMPARE(aboveDefault, QStringLiteral("0"));
    QVERIFY2(metrologyCell(2, 1).toInt() > 0, qPrintable(metrologyCell(2, 1)));
}

void LimitsTest::limitsAreKeptForTheNextWindowAndGoIntoTheReport()
{
    TLimitsDialog* dialog = openDialog();
    QVERIFY(dialog);
    retype(LimitsDialogControls(*dialog).EditTLimitMin, QStringLiteral("-5"));
    retype(LimitsDialogControls(*dialog).EditTLimitMax, QStringLiteral("25,5"));
    QTest::mouseClick(LimitsDialogControls(*dialog).Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());

    TUserLimitsHolder nextRun(StoredUserLimits(*ProgramSettings()));
    TFormStatistic another(nullptr, simulation->windows->formMain_->store(), nextRun);
    const TUserLimits expected{-50, 255, LimitRHMin, LimitRHMax};
    QCOMPARE(nextRun.limits(), expected);
    QCOMPARE(StatisticsControls(another).StringGridMetrology->item(3, 0)->text(), QStringLiteral("Время ниже -5,0 *С"));

    const QString path = simulation->drive.filePath(QStringLiteral("report.xlsx"));
    simulation->dialogs->answers = {path};
    ViewerControls(*simulation->windows->formMain_).xls1->trigger();
    QVERIFY(finishBackgroundJob(*simulation->windows->formMain_));
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(DUMP_XLSX_SCRIPT), path});
    QVERIFY(reader.waitForFinished(60000));
    const QJsonObject summary =
        QJsonDocument::fromJson(reader.readAllStandardOutput()).array()[0].toObject()["cells"].toObject();
    QCOMPARE(summary["A18"].toObject()["value"].toString(), QStringLiteral("Нижний предел температуры, *С"));
    QCOMPARE(summary["B18"].toObject()["value"].toDouble(), -5.0);
    QCOMPARE(summary["B19"].toObject()["value"].toDouble(), 25.5);
    QCOMPARE(summary["B19"].toObject()["format"].toString(), QStringLiteral("0.0"));
    QCOMPARE(summary["A26"].toObject()["value"].toString(), QStringLiteral("Время выше 25,5 *С"));
}

void LimitsTest::theLoggersLevelsAreOfferedAfterARead()
{
    TLimitsDialog* dialog = openDialog();
    QVERIFY(dialog);
    QVERIFY(!LimitsDialogControls(*dialog).ButtonLoggerLevels->isEnabled());  // nothing read yet
    dialog->reject();
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());

    const int levels[] = {-15, 80, 300, 650};  // registers 35 to 38
    for (int index = 0; index < 4; ++index)
        simulation->logger->setRegisterValue(35 + index, levels[index]);
    TLoggerPage* page = SettingsControls(*simulation->windows->formSetting_).LoggerPage;
    QTest::mouseClick(page->ButtonLogReadAll, Qt::LeftButton);
    simulation->finishRequests();
    simulation->finishRequests();
    QCOMPARE(page->EditTLimitMin->text(), QStringLiteral("-1,5"));

    dialog = openDialog();
    QVERIFY(dialog);
    QVERIFY(LimitsDialogControls(*dialog).ButtonLoggerLevels->isEnabled());
    QCOMPARE(LimitsDialogControls(*dialog).ButtonLoggerLevels->text(), QStringLiteral("Использовать уровни прибора"));
    // The logger keeps no pressure levels: the pressure fields keep what was typed.
    const LimitsDialogControls controls(*dialog);
    QVERIFY(controls.EditPLimitMin);
    retype(controls.EditPLimitMin, QStringLiteral("95"));
    QTest::mouseClick(controls.ButtonLoggerLevels, Qt::LeftButton);
    const QStringList shown{controls.EditTLimitMin->text(),  controls.EditTLimitMax->text(),
                            controls.EditRHLimitMin->text(), controls.EditRHLimitMax->text(),
                            controls.EditPLimitMin->text(),  controls.EditPLimitMax->text()};
    QCOMPARE(shown, (QStringList{"-1,5", "8", "30", "65", "95", "106,7"}));
    QTest::mouseClick(controls.Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());
    const TUserLimits expected{-15, 80, 300, 650, 950, LimitPMax};
    QCOMPARE(limits().limits(), expected);
    QCOMPARE(metrologyCell(1, 0), QStringLiteral("Время выше 8,0 *С"));
}

void LimitsTest::levelsOutOfOrderOrNotNumbersAreRefusedWithTheReason()
{
    TLimitsDialog* dialog = openDialog();
    QVERIFY(dialog);
    // Letters and a second separator never reach the field.
    retype(LimitsDialogControls(*dialog).EditRHLimitMin, QStringLiteral("4a,5,b"));
    QCOMPARE(LimitsDialogControls(*dialog).EditRHLimitMin->text(), QStringLiteral("4,5"));
    QTest::keyClicks(LimitsDialogControls(*dialog).EditRHLimitMax, QStringLiteral("-"));  // no sign in a humidity field
    QCOMPARE(LimitsDialogControls(*dialog).EditRHLimitMax->text(), QStringLiteral("67,4"));

    retype(LimitsDialogControls(*dialog).EditTLimitMin, QStringLiteral("10"));
    retype(LimitsDialogControls(*dialog).EditTLimitMax, QStringLiteral("10"));
    QTest::mouseClick(LimitsDialogControls(*dialog).Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(LimitsDialogControls(*dialog).LabelProblem->text(), QStringLiteral("Нижний предел должен быть меньше верхнего"));

    retype(LimitsDialogControls(*dialog).EditTLimitMax, QStringLiteral("-"));
    QTest::mouseClick(LimitsDialogControls(*dialog).Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(LimitsDialogControls(*dialog).LabelProblem->text(), QStringLiteral("«-» — не число: введите уровень, например 8,0"));
    QCOMPARE(limits().limits(), TUserLimits{});

    dialog->reject();
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());
    QCOMPARE(limits().limits(), TUserLimits{});
    QCOMPARE(metrologyCell(1, 0), QStringLiteral("Время выше 36,9 *С"));
}

// Under X11 Tab and Return carry the characters 9 and 13; the fields' key
// rules let them through, so the user tabs to the next level and accepts
// with Return.
void LimitsTest::tabAndReturnAsX11SendsThemMoveOnAndAccept()
{
    TLimitsDialog* dialog = openDialog();
    QVERIFY(dialog);
    retype(LimitsDialogControls(*dialog).EditTLimitMin, QStringLiteral("2"));
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QApplication::sendEvent(LimitsDialogControls(*dialog).EditTLimitMin, &tab);
    QCOMPARE(QApplication::focusWidget(), LimitsDialogControls(*dialog).EditTLimitMax);
    retype(LimitsDialogControls(*dialog).EditTLimitMax, QStringLiteral("8"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(LimitsDialogControls(*dialog).EditTLimitMax, &enter);
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());
    QCOMPARE(limits().limits(), (TUserLimits{20, 80, LimitRHMin, LimitRHMax}));
}

// The pressure levels are typed like the others, in kPa with one decimal and
// no sign, checked in the order of the fields, kept in the settings file and
// counted in the statistics window's lines below those of humidity.
void LimitsTest::pressureLevelsAreTypedKeptAndCounted()
{
    TLimitsDialog* dialog = openDialog();
    QVERIFY(dialog);
    const LimitsDialogControls controls(*dialog);
    QVERIFY(controls.EditPLimitMin && controls.EditPLimitMax);
    QCOMPARE(controls.EditPLimitMin->text(), QStringLiteral("84"));
    QCOMPARE(controls.EditPLimitMax->text(), QStringLiteral("106,7"));
    retype(controls.EditPLimitMin, QStringLiteral("-1o01.5"));  // no sign, no letter
    QCOMPARE(controls.EditPLimitMin->text(), QStringLiteral("101,5"));
    retype(controls.EditPLimitMax, QStringLiteral("99,5"));
    QTest::mouseClick(controls.Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(controls.LabelProblem->text(), QStringLiteral("Нижний предел должен быть меньше верхнего"));

    // An empty field is named before the order of the levels is looked at.
    retype(controls.EditPLimitMin, QString());
    QTest::mouseClick(controls.Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(controls.LabelProblem->text(), QStringLiteral("«» — не число: введите уровень, например 8,0"));
    QCOMPARE(QApplication::focusWidget(), controls.EditPLimitMin);
    QCOMPARE(limits().limits(), TUserLimits{});

    retype(controls.EditPLimitMin, QStringLiteral("96,5"));
    retype(controls.EditPLimitMax, QStringLiteral("99,5"));
    QTest::mouseClick(controls.Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());

    const QSettings file(ProgramSettings()->fileName(), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("Limits/PressureMin")).toInt(), 965);
    QCOMPARE(file.value(QStringLiteral("Limits/PressureMax")).toInt(), 995);
    QCOMPARE(file.value(QStringLiteral("Limits/TemperatureMax")).toInt(), LimitTMax);

    const QStringList captions{QStringLiteral("Время выше 99,5 кПа"), QStringLiteral("Выходов выше 99,5 кПа"),
                               QStringLiteral("Время ниже 96,5 кПа"), QStringLiteral("Выходов ниже 96,5 кПа")};
    const TMeasurementStore& store = simulation->windows->formMain_->store();
    const QStringList figures = MetrologyTexts(store, store.loadLocale(), limits().limits());
    QCOMPARE(StatisticsControls(*statistics).StringGridMetrology->rowCount(), 13);
    for (int line = 0; line < captions.size(); ++line) {
        QCOMPARE(metrologyCell(9 + line, 0), captions[line]);
        QCOMPARE(metrologyCell(9 + line, 1), figures[9 + line]);
    }
    // The typical log's pressure wanders from 95.7 to 100.3 kPa, past both levels.
    QVERIFY2(metrologyCell(10, 1).toInt() > 0, qPrintable(metrologyCell(10, 1)));
    QVERIFY2(metrologyCell(12, 1).toInt() > 0, qPrintable(metrologyCell(12, 1)));
    QCOMPARE(chartLimitLabels().mid(0, 2), (QStringList{"P max 99,5", "P min 96,5"}));
}

// The lines and their labels move as OK is clicked, in a period too, and
// stand at the chosen levels in the next run's chart.
void LimitsTest::chartLinesFollowTheLimitsAtOnceAndAfterARestart()
{
    QCOMPARE(chartLimitLabels(),
             (QStringList{"P max 106,7", "P min 84,0", "RH max 67,4", "RH min 21,6", "t max 36,9", "t min 12,3"}));
    QCOMPARE(chartLimitLevels(), (QList<double>{106.7, 84.0, 67.4, 21.6, 36.9, 12.3}));

    chooseLimits({"2", "8,5", "35", "60", "99", "102,5"});
    QCOMPARE(chartLimitLabels(),
             (QStringList{"P max 102,5", "P min 99,0", "RH max 60,0", "RH min 35,0", "t max 8,5", "t min 2,0"}));
    QCOMPARE(chartLimitLevels(), (QList<double>{102.5, 99.0, 60.0, 35.0, 8.5, 2.0}));

    TChartPage& page = *ViewerControls(*simulation->windows->formMain_).ChartPage;
    QTest::mouseClick(page.PanelFiltr->ButtonFiltr, Qt::LeftButton);  // the pickers' period: the whole log
    QVERIFY(page.period());
    chooseLimits({"-1", "30", "20", "70", "95", "105"});
    const QStringList chosen{"P max 105,0", "P min 95,0", "RH max 70,0", "RH min 20,0", "t max 30,0", "t min -1,0"};
    QCOMPARE(chartLimitLabels(), chosen);
    QCOMPARE(chartLimitLevels(), (QList<double>{105.0, 95.0, 70.0, 20.0, 30.0, -1.0}));
    for (int series = TChartPage::SeriesP + 1; series < page.Chart->model().seriesCount(); ++series)
        QCOMPARE(page.Chart->model().series(series).source->pointCount(), page.period()->rowCount());

    simulation.reset();
    startProgram();
    QCOMPARE(chartLimitLabels(), chosen);
    QCOMPARE(chartLimitLevels(), (QList<double>{105.0, 95.0, 70.0, 20.0, 30.0, -1.0}));
    QCOMPARE(metrologyCell(1, 0), QStringLiteral("Время выше 30,0 *С"));
}

// Until the user chooses, the levels last read from the logger are the
// limits in use: on the chart, in the statistics and in the dialog; the
// user's choice then wins over a later read.
void LimitsTest::loggerLevelsStandInUntilTheUserChooses()
{
    const int levels[] = {-15, 80, 300, 650};  // registers 35 to 38
    for (int index = 0; index < 4; ++index)
        simulation->logger->setRegisterValue(35 + index, levels[index]);
    TLoggerPage* page = SettingsControls(*simulation->windows->formSetting_).LoggerPage;
    QTest::mouseClick(page->ButtonLogReadAll, Qt::LeftButton);
    simulation->finishRequests();

    QCOMPARE(chartLimitLabels(),
             (QStringList{"P max 106,7", "P min 84,0", "RH max 65,0", "RH min 30,0", "t max 8,0", "t min -1,5"}));
    QCOMPARE(metrologyCell(1, 0), QStringLiteral("Время выше 8,0 *С"));
    TLimitsDialog* dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(LimitsDialogControls(*dialog).EditTLimitMax->text(), QStringLiteral("8"));
    dialog->reject();
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());

    chooseLimits({"2", "8,5", "35", "60"});
    QTest::mouseClick(page->ButtonLogReadAll, Qt::LeftButton);
    simulation->finishRequests();
    QCOMPARE(chartLimitLabels(),
             (QStringList{"P max 106,7", "P min 84,0", "RH max 60,0", "RH min 35,0", "t max 8,5", "t min 2,0"}));
    QCOMPARE(limits().limits(), (TUserLimits{20, 85, 350, 600}));
}

// The monitor reads the same keeper as the chart, the statistics and the
// reports, and the pressure levels set there stand in the dialog and stay
// as they were when only the other levels are retyped.
void LimitsTest::everyWindowReadsTheOneKeeper()
{
    QCOMPARE(&simulation->windows->formRead_->userLimits(), &limits());
    TUserLimits withPressure{};
    withPressure.pressureMin = 950;
    withPressure.pressureMax = 1030;
    simulation->windows->limits_->setLimits(withPressure);
    chooseLimits({"2", "8,5", "35", "60"});
    QCOMPARE(limits().limits().pressureMin, 950);
    QCOMPARE(limits().limits().pressureMax, 1030);
    QCOMPARE(StoredUserLimits(*ProgramSettings()), std::optional<TUserLimits>(limits().limits()));
}

KORVI_QTEST_MAIN(LimitsTest)
#include "LimitsTest.moc"
