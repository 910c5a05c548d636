#include "KorviTestMain.h"

#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "settings/PageAction.h"

#include "device/RegisterMap.h"
#include "device/TDeviceLink.h"
#include "settings/TCalibrationPage.h"
#include "settings/TGeneralPage.h"
#include "shell/TFormMain.h"
#include "shell/TFormRead.h"
#include "shell/TFormSetting.h"
#include "shell/TTagButton.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <memory>

// Detection as the settings window runs it, with a simulated logger that the
// tests plug in and pull out between ticks.
class DeviceDetectionTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void noLoggerAtStartGivesOneAbsenceLine();
    void pluggingInAnnouncesReadsTheNumberAndBuildsTheLabel();
    void pullingOutDisablesTheLoggersControlsAndThePollGoesOn();
    void seriesDecidesTheLimitLines_data();
    void seriesDecidesTheLimitLines();
    void silentLoggerGivesOneErrorLineAndNoSuccess();
    void loggerSilentAtDetectionDoesNotTakeTheLastNumber();
    void testModeSurvivesConnectionAndLoss();
    void numberAnsweredLateIsAskedAgainAndNotTakenForTheNextRead();

private:
    QStringList messages() const;
    void tick();

    std::unique_ptr<SimulatedWindows> simulation;
    SimulatedBackend* backend = nullptr;
    SimulatedLogger* logger = nullptr;
    TApplicationWindows* windows = nullptr;
    TFormSetting* settings = nullptr;
};

void DeviceDetectionTest::init()
{
    simulation = std::make_unique<SimulatedWindows>();
    backend = simulation->backend;
    logger = simulation->logger.get();
    windows = simulation->windows.get();
    settings = windows->formSetting_.get();
}

void DeviceDetectionTest::cleanup()
{
    simulation.reset();
}

// The status lines without their time stamps.
QStringList DeviceDetectionTest::messages() const
{
    QStringList result;
    for (int row = 0; row < SettingsControls(*settings).ListBox1->count(); ++row)
        result << SettingsControls(*settings).ListBox1->item(row)->text().section(QStringLiteral(" -> "), 1);
    return result;
}

void DeviceDetectionTest::tick()
{
    simulation->detect();
}

void DeviceDetectionTest::noLoggerAtStartGivesOneAbsenceLine()
{
    QTRY_COMPARE_WITH_TIMEOUT(SettingsControls(*settings).ListBox1->count(), 1, 1000);
    const QString line = SettingsControls(*settings).ListBox1->item(0)->text();
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d -> ")).match(line).hasMatch(),
             qPrintable(line));
    tick();
    tick();
    QCOMPARE(messages(), QStringList{QStringLiteral("Подключенных приборов КОРВИ не обнаружено")});
    QCOMPARE(SettingsControls(*settings).ListBox1->currentRow(), 0);
    const QTimer* timer1 = windows->connection_->findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer1->isActive());
    QCOMPARE(timer1->interval(), TLoggerConnection::DetectionPeriodMs);
}

void DeviceDetectionTest::pluggingInAnnouncesReadsTheNumberAndBuildsTheLabel()
{
    tick();
    backend->plug(simulation->logger);
    tick();
    tick();
    QCOMPARE(messages(), (QStringList{QStringLiteral("Подключенных приборов КОРВИ не обнаружено"),
                                      QStringLiteral("Обнаружен подключенный прибор КОРВИ 24-й серии"),
                                      QStringLiteral("Чтение номера прибора успешно выполнено")}));
    QCOMPARE(SettingsControls(*settings).ListBox1->currentRow(), 2);
    QCOMPARE(SettingsControls(*settings).GeneralPage->EditDeviceNumber->text(), QStringLiteral("123"));
    QCOMPARE(windows->connection_->identity().ExpectedLabel, QStringLiteral("2400123"));
    QCOMPARE(windows->connection_->identity().PublishedSeries, 24);
    QVERIFY(SettingsControls(*settings).GeneralPage->ButtonDeviceInit->isEnabled());
    QVERIFY(SettingsControls(*settings).GeneralPage->EditDeviceNumber->isEnabled());
    QVERIFY(simulation->monitorControls().ButtonReg->isEnabled());
    QVERIFY(simulation->monitorControls().ButtonStartMon->isEnabled());
}

void DeviceDetectionTest::pullingOutDisablesTheLoggersControlsAndThePollGoesOn()
{
    backend->plug(simulation->logger);
    tick();
    simulation->pollTimer()->start(2000);
    simulation->monitorControls().ButtonStartMon->setText(QStringLiteral("Стоп"));

    backend->pull(simulation->logger);
    tick();
    tick();
    QCOMPARE(messages().count(QStringLiteral("Подключенных приборов КОРВИ не обнаружено")), 1);
    QCOMPARE(messages().last(), QStringLiteral("Подключенных приборов КОРВИ не обнаружено"));
    QVERIFY(!SettingsControls(*settings).GeneralPage->ButtonDeviceNumberRead->isEnabled());
    QVERIFY(!simulation->monitorControls().ButtonReg->isEnabled());
    // The running poll goes on, to tell of a silent logger; only its own "Стоп" ends it.
    QVERIFY(simulation->monitorControls().ButtonStartMon->isEnabled());
    QCOMPARE(simulation->monitorControls().ButtonStartMon->text(), QStringLiteral("Стоп"));
    QVERIFY(simulation->pollTimer()->isActive());
    // The label stays that of the last detection until a logger is detected anew.
    QCOMPARE(windows->connection_->identity().ExpectedLabel, QStringLiteral("2400123"));
}

void DeviceDetectionTest::seriesDecidesTheLimitLines_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("limitLines");
    QTest::addColumn<QString>("label");
    QTest::newRow("series 23") << QStringLiteral("17F00001") << false << QStringLiteral("2300123");
    QTest::newRow("series 24") << QStringLiteral("18F00001") << true << QStringLiteral("2400123");
    QTest::newRow("series 42") << QStringLiteral("2A000001") << true << QStringLiteral("4200123");
}

void DeviceDetectionTest::seriesDecidesTheLimitLines()
{
    QFETCH(QString, serial);
    QFETCH(bool, limitLines);
    QFETCH(QString, label);
    windows->formMain_->showLimitSeries(!limitLines);
    logger->setSerialNumber(serial);
    backend->plug(simulation->logger);
    tick();
    QCOMPARE(windows->formMain_->limitSeriesShown(), limitLines);
    QCOMPARE(windows->connection_->identity().ExpectedLabel, label);
}

void DeviceDetectionTest::silentLoggerGivesOneErrorLineAndNoSuccess()
{
    backend->plug(simulation->logger);
    tick();
    const int before = SettingsControls(*settings).ListBox1->count();
    SettingsControls(*settings).GeneralPage->EditDeviceNumber->setText(QStringLiteral("777"));
    logger->setFault(SimulatedLogger::Fault::NoReply);
    const qint64 start = backend->nowMs();
    SettingsControls(*settings).GeneralPage->ButtonDeviceNumberRead->click();
    simulation->finishRequests();
    QVERIFY(backend->nowMs() - start <= TDeviceLink::ReplyTimeoutMs + TDeviceLink::LateReplyGraceMs + 100);
    QCOMPARE(messages().mid(before), QStringList{QStringLiteral("ОШИБКА! Прибор не отвечает")});
    QCOMPARE(SettingsControls(*settings).GeneralPage->EditDeviceNumber->text(), QStringLiteral("777"));
}

void DeviceDetectionTest::loggerSilentAtDetectionDoesNotTakeTheLastNumber()
{
    logger->setRegisterValue(RegDeviceNumber, 123);
    backend->plug(simulation->logger);
    tick();
    QCOMPARE(SettingsControls(*settings).GeneralPage->EditDeviceNumber->text(), QStringLiteral("123"));
    backend->pull(simulation->logger);
    tick();

    // Another number, and no answer when detection asks for it.
    logger->setRegisterValue(RegDeviceNumber, 456);
    logger->setFault(SimulatedLogger::Fault::NoReply);
    backend->plug(simulation->logger);
    const int before = SettingsControls(*settings).ListBox1->count();
    tick();
    QCOMPARE(messages().mid(before).filter(QStringLiteral("ОШИБКА!")).size(), 1);
    QCOMPARE(SettingsControls(*settings).GeneralPage->EditDeviceNumber->text(), QString());
    QVERIFY(!windows->connection_->identity().ExpectedLabel.endsWith(QStringLiteral("00123")));
}

void DeviceDetectionTest::testModeSurvivesConnectionAndLoss()
{
    QTest::keyClick(windows->formRead_.get(), Qt::Key_F9, Qt::ShiftModifier);
    backend->plug(simulation->logger);
    tick();
    backend->pull(simulation->logger);
    tick();
    QCOMPARE(simulation->monitorControls().ButtonReg->Tag, TFormRead::TestModeTag);
    QVERIFY(!simulation->monitorControls().ButtonReg->isEnabled());
}

// The logger answers the number read of its detection only after the time
// limit: that reply must not fill the next field read, and the next tick asks
// for the number again, so the drive label gets it without a replug.
void DeviceDetectionTest::numberAnsweredLateIsAskedAgainAndNotTakenForTheNextRead()
{
    logger->setRegisterValue(RegDeviceNumber, 1000);
    logger->setRegisterValue(RegTempOffset, 1010);
    // Later than the time limit and the settling pause after detection together.
    logger->setLateReplyDelay(1800);
    logger->setFault(SimulatedLogger::Fault::LateReply);
    backend->plug(simulation->logger);
    const int before = SettingsControls(*settings).ListBox1->count();
    tick();
    QCOMPARE(messages().mid(before).filter(QStringLiteral("ОШИБКА!")).size(), 1);
    QCOMPARE(SettingsControls(*settings).GeneralPage->EditDeviceNumber->text(), QString());

    logger->setFault(SimulatedLogger::Fault::None);
    auto* offset = settings->findChild<QLineEdit*>(QStringLiteral("EditTempOffset"));
    QVERIFY(offset);
    TCalibrationPage& page = *SettingsControls(*settings).TempPage;
    QVERIFY(ActionWentThrough(page, [&page] { page.readOne(0); }));
    QCOMPARE(offset->text(), QStringLiteral("0,0101"));

    tick();
    QCOMPARE(SettingsControls(*settings).GeneralPage->EditDeviceNumber->text(), QStringLiteral("1000"));
    QCOMPARE(windows->connection_->identity().ExpectedLabel, logger->volumeLabel());
    const int after = SettingsControls(*settings).ListBox1->count();
    tick();
    QCOMPARE(SettingsControls(*settings).ListBox1->count(), after);
}

KORVI_QTEST_MAIN(DeviceDetectionTest)
#include "DeviceDetectionTest.moc"
