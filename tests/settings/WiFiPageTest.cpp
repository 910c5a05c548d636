#include "KorviTestMain.h"

#include "SettingsWindowFixture.h"
#include "settings/PageAction.h"

#include "device/RegisterConversions.h"
#include "device/RegisterMap.h"
#include "settings/TWiFiPage.h"
#include "shell/SettingsControls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

// The page "Wi-Fi" on the real settings window.
class WiFiPageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultsAreWrittenInOneTransaction();
    void addressesAreSentWithoutBlanks();
    void checksRefuseInTheirOrder();
    void readFillsEveryFieldButTheGroup();
    void textFieldsHoldNoMoreThanTheirBytes();
    void silentLoggerFillsNothing();

private:
    QString registerText(int firstRegister, int bytes) const;

    std::unique_ptr<SettingsWindowFixture> fixture;
    TWiFiPage* page = nullptr;
    SimulatedLogger* logger = nullptr;
};

void WiFiPageTest::init()
{
    fixture = std::make_unique<SettingsWindowFixture>(&SettingsControls::TabSheet2);
    page = SettingsControls(*fixture->settings).WiFiPage;
    logger = fixture->logger;
}

void WiFiPageTest::cleanup()
{
    fixture.reset();
}

QString WiFiPageTest::registerText(int firstRegister, int bytes) const
{
    QList<qint32> values;
    for (int reg = firstRegister; reg < firstRegister + bytes / 4; ++reg)
        values.append(logger->registerValue(reg));
    return TextFromRegisters(values);
}

void WiFiPageTest::defaultsAreWrittenInOneTransaction()
{
    fixture->click(page->ButtonWiFiWriteAll);
    const QList<TDeviceReport>& requests = logger->requests();
    QCOMPARE(requests.size(), 39);
    QCOMPARE(int(requests.first().command()), int(CmdUnlock));
    QCOMPARE(int(requests.last().command()), int(CmdLock));
    QList<int> registers;
    for (int i = 1; i < 38; ++i)
        registers.append(requests[i].field16(2));
    QList<int> expected{45};
    for (int reg = 46; reg <= 73; ++reg)
        expected.append(reg);
    for (int reg = 78; reg <= 85; ++reg)
        expected.append(reg);
    QCOMPARE(registers, expected);
    // "esp" travels little-endian: bytes 4-7 of its report are 00 70 73 65.
    QCOMPARE(requests[2].field32(4), qint32(0x65737000));
    QCOMPARE(logger->registerValue(RegWiFiInterval), 6);
    QCOMPARE(registerText(RegNetName, 32), QStringLiteral("esp"));
    QCOMPARE(logger->registerValue(RegNetName + 1), 0);
    QCOMPARE(registerText(RegPassw, 32), QStringLiteral("lan90817263"));
    QCOMPARE(registerText(RegIPAddr, 16), QStringLiteral("192.168.1.101"));
    QCOMPARE(registerText(RegMask, 16), QStringLiteral("255.255.255.0"));
    QCOMPARE(registerText(RegGateway, 16), QStringLiteral("192.168.1.1"));
    QCOMPARE(registerText(RegDeviceName, 32), QStringLiteral("box"));
    QCOMPARE(fixture->messages(), QStringList{QString::fromUtf8("Запись настроек для Wi-Fi успешно выполнена")});
}

void WiFiPageTest::addressesAreSentWithoutBlanks()
{
    QCOMPARE(TWiFiPage::addressText(page->MaskEditIPAddr), QStringLiteral("192.168.1  .101"));
    // A group typed as a single digit: the dot typed after it moves on to the next group.
    page->MaskEditIPAddr->clear();
    page->MaskEditIPAddr->setCursorPosition(0);
    QTest::keyClicks(page->MaskEditIPAddr, QStringLiteral("192.168.1.101"));
    QCOMPARE(TWiFiPage::addressText(page->MaskEditIPAddr), QStringLiteral("192.168.1  .101"));
    page->MaskEditGateway->setText(QStringLiteral("10.0.0.255"));
    QVERIFY(ActionWentThrough(*page, [this] { page->ButtonWiFiWriteAllClick(); }));
    QCOMPARE(registerText(RegIPAddr, 16), QStringLiteral("192.168.1.101"));
    QCOMPARE(registerText(RegGateway, 16), QStringLiteral("10.0.0.255"));

    page->MaskEditMask->clear();
    QCOMPARE(TWiFiPage::addressText(page->MaskEditMask), QStringLiteral("   .   .   .   "));
    // Typed digits fill the groups; the dots stay where they are.
    page->MaskEditMask->setFocus();
    page->MaskEditMask->setCursorPosition(0);
    QTest::keyClicks(page->MaskEditMask, QStringLiteral("255255255000"));
    QCOMPARE(TWiFiPage::addressText(page->MaskEditMask), QStringLiteral("255.255.255.000"));
}

void WiFiPageTest::checksRefuseInTheirOrder()
{
    struct Case {
        const char* name;
        std::function<void(TWiFiPage*)> spoil;
        const char* message;
    };
    const Case cases[] = {
        {"no network name", [](TWiFiPage* p) { p->EditNetName->clear(); p->EditPassw->clear(); },
         "ОШИБКА! Название сети не заданно!"},
        {"no password", [](TWiFiPage* p) { p->EditPassw->clear(); p->EditDeviceName->clear(); },
         "ОШИБКА! Пароль сети не задан!"},
        {"group 256", [](TWiFiPage* p) { p->MaskEditIPAddr->setText("192.168.256.1"); p->MaskEditMask->clear(); },
         "ОШИБКА! IP адрес задан не корректно!"},
        {"blank group", [](TWiFiPage* p) { p->MaskEditMask->setText("255.255.   .0"); },
         "ОШИБКА! Маска задана не корректно!"},
        {"empty gateway", [](TWiFiPage* p) { p->MaskEditGateway->clear(); }, "ОШИБКА! Шлюз задан не корректно!"},
        {"empty group", [](TWiFiPage* p) { p->EditDeviceGroup->clear(); },
         "ОШИБКА! Группа устройства не заданна!"},
        {"empty device name", [](TWiFiPage* p) { p->EditDeviceName->clear(); },
         "ОШИБКА! Название устройства не заданно!"},
        {"character outside Windows-1251", [](TWiFiPage* p) { p->EditPassw->setText(QString::fromUtf8("ключ€✓")); },
         "ОШИБКА! Пароль сети содержит недопустимые символы!"},
        {"no interval", [](TWiFiPage* p) { p->ComboBoxWiFiInterval->setCurrentIndex(-1); },
         "ОШИБКА! Интервал опроса не выбран!"},
    };
    for (const Case& c : cases) {
        page->ShowWiFiDefaults();
        SettingsControls(*fixture->settings).ListBox1->clear();
        c.spoil(page);
        fixture->click(page->ButtonWiFiWriteAll);
        QVERIFY2(fixture->messages() == QStringList{QString::fromUtf8(c.message)}, c.name);
        QVERIFY2(logger->requests().isEmpty(), c.name);
    }
    // A blank name is not empty, and 255 is a group like any other.
    page->ShowWiFiDefaults();
    page->EditDeviceGroup->setText(QStringLiteral(" "));
    page->MaskEditIPAddr->setText(QStringLiteral("255.255.255.255"));
    page->EditNetName->setText(QString::fromUtf8("Сеть №1"));
    QVERIFY(ActionWentThrough(*page, [this] { page->ButtonWiFiWriteAllClick(); }));
    QCOMPARE(registerText(RegNetName, 32), QString::fromUtf8("Сеть №1"));
}

void WiFiPageTest::readFillsEveryFieldButTheGroup()
{
    const QString name32 = QString::fromUtf8("Длинное-имя-сети-ровно-32-симв.!");
    QCOMPARE(name32.size(), 32);
    page->EditNetName->setText(name32);
    page->EditDeviceName->setText(QStringLiteral("logger-7"));
    page->MaskEditIPAddr->setText(QStringLiteral("10.1.2.3"));
    page->ComboBoxWiFiInterval->setCurrentIndex(0);
    QVERIFY(ActionWentThrough(*page, [this] { page->ButtonWiFiWriteAllClick(); }));
    QCOMPARE(logger->registerValue(RegNetName + 7) & 0xFF, 0x21); // no zero byte left in the field

    page->ShowWiFiDefaults();
    page->EditDeviceGroup->setText(QStringLiteral("hall"));
    SettingsControls(*fixture->settings).ListBox1->clear();
    logger->clearRequests();
    fixture->click(page->ButtonWiFiReadAll);
    QCOMPARE(logger->requests().size(), 37);
    QCOMPARE(page->EditNetName->text(), name32);
    QCOMPARE(page->EditDeviceName->text(), QStringLiteral("logger-7"));
    QCOMPARE(page->MaskEditIPAddr->text(), QStringLiteral("10.1.2.3"));
    QCOMPARE(page->ComboBoxWiFiInterval->currentText(), QString::fromUtf8("1 минута"));
    QCOMPARE(page->EditDeviceGroup->text(), QStringLiteral("hall"));
    QVERIFY(fixture->messages().isEmpty());

    logger->setRegisterValue(RegWiFiInterval, 13);
    QVERIFY(ActionWentThrough(*page, [this] { page->ButtonWiFiReadAllClick(); }));
    QCOMPARE(page->ComboBoxWiFiInterval->currentIndex(), -1);
}

void WiFiPageTest::textFieldsHoldNoMoreThanTheirBytes()
{
    for (QLineEdit* edit : {page->EditNetName, page->EditPassw, page->EditDeviceName}) {
        edit->setText(QString(40, u'x'));
        QCOMPARE(edit->text().size(), 32);
    }
    page->MaskEditIPAddr->setText(QStringLiteral("1234.5.6.7"));
    QVERIFY(TWiFiPage::addressText(page->MaskEditIPAddr).size() <= 15);
}

void WiFiPageTest::silentLoggerFillsNothing()
{
    page->EditNetName->setText(QStringLiteral("kept"));
    logger->setFault(SimulatedLogger::Fault::NoReply, 20);
    QVERIFY(!ActionWentThrough(*page, [this] { page->ButtonWiFiReadAllClick(); }));
    QCOMPARE(page->EditNetName->text(), QStringLiteral("kept"));
    QCOMPARE(page->ComboBoxWiFiInterval->currentIndex(), 1);
    QVERIFY(!ActionWentThrough(*page, [this] { page->ButtonWiFiWriteAllClick(); }));
    const QString noAnswer = QString::fromUtf8("ОШИБКА! Прибор не отвечает");
    QCOMPARE(fixture->messages(), (QStringList{noAnswer, noAnswer}));
}

KORVI_QTEST_MAIN(WiFiPageTest)
#include "WiFiPageTest.moc"
