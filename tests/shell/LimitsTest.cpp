#include "KorviTestMain.h"

#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "StatisticsControls.h"
#include "ViewerControls.h"

#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "shell/TFormStatistic.h"
#include "shell/TLimitsDialog.h"

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
// excursion lines and the reports.
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

private:
    TLimitsDialog* openDialog();
    // Empties the field with Backspace as X11 sends it, then types the text key by key.
    static void retype(QLineEdit* edit, const QString& text);
    QString metrologyCell(int row, int column) const;

    std::unique_ptr<SimulatedWindows> simulation;
    TFormStatistic* statistics = nullptr;
};

void LimitsTest::init()
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("korvi-monitor"),
              QStringLiteral("korvi-monitor"))
        .clear();
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
    QCOMPARE(statistics->limits(), expected);
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

    TFormStatistic another(nullptr, simulation->windows->formMain_->store());
    const TUserLimits expected{-50, 255, LimitRHMin, LimitRHMax};
    QCOMPARE(another.limits(), expected);
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
    QCOMPARE(summary["B18"].toObject()["value"].toString(), QStringLiteral("-5,0"));
    QCOMPARE(summary["B19"].toObject()["value"].toString(), QStringLiteral("25,5"));
    QCOMPARE(summary["A24"].toObject()["value"].toString(), QStringLiteral("Время выше 25,5 *С"));
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
    QCOMPARE(page->EditTLimitMin->text(), QStringLiteral("-1,5"));

    dialog = openDialog();
    QVERIFY(dialog);
    QVERIFY(LimitsDialogControls(*dialog).ButtonLoggerLevels->isEnabled());
    QCOMPARE(LimitsDialogControls(*dialog).ButtonLoggerLevels->text(), QStringLiteral("Использовать уровни прибора"));
    QTest::mouseClick(LimitsDialogControls(*dialog).ButtonLoggerLevels, Qt::LeftButton);
    const QStringList shown{LimitsDialogControls(*dialog).EditTLimitMin->text(), LimitsDialogControls(*dialog).EditTLimitMax->text(),
                            LimitsDialogControls(*dialog).EditRHLimitMin->text(), LimitsDialogControls(*dialog).EditRHLimitMax->text()};
    QCOMPARE(shown, (QStringList{"-1,5", "8", "30", "65"}));
    QTest::mouseClick(LimitsDialogControls(*dialog).Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());
    const TUserLimits expected{-15, 80, 300, 650};
    QCOMPARE(statistics->limits(), expected);
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
    QCOMPARE(statistics->limits(), TUserLimits{});

    dialog->reject();
    QTRY_VERIFY(!statistics->findChild<TLimitsDialog*>());
    QCOMPARE(statistics->limits(), TUserLimits{});
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
    QCOMPARE(statistics->limits(), (TUserLimits{20, 80, LimitRHMin, LimitRHMax}));
}

KORVI_QTEST_MAIN(LimitsTest)
#include "LimitsTest.moc"
