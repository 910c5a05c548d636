#include "KorviTestMain.h"

#include "SettingsWindowFixture.h"

#include "device/RegisterMap.h"
#include "device/SimulatedLogger.h"
#include "settings/TCalibrationPage.h"
#include "settings/TLoggerPage.h"
#include "settings/TWiFiPage.h"
#include "shell/SettingsControls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The pages "Температура", "Влажность" and "Давление" on the real settings window.
class CalibrationPagesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pagesFitTheirSheets();
    void singleReadShowsTheScaledRegister_data();
    void singleReadShowsTheScaledRegister();
    void singleAndPageWritesKeepTheirOwnRanges();
    void singleWritesRoundHalfToEven();
    void pageWritesAreOneTransaction();
    void conversionComesBeforeEveryCheck_data();
    void conversionComesBeforeEveryCheck();
    void onlyTheFirstRangeFaultIsLogged();
    void keyFiltersTurnDotsIntoTheLocaleSeparator();
    void keyFiltersLetDeleteAndBackspaceEditAsX11SendsThem();
    void defaultsComeBackWithoutAnExchange();
    void silentLoggerFillsNoField();
    void deviceControlsFollowTheConnection();

private:
    QLineEdit* edit(TCalibrationPage* page, const char* name) const;
    QPushButton* button(TCalibrationPage* page, const char* name) const;
    void show(QWidget* SettingsControls::*sheet);

    std::unique_ptr<SettingsWindowFixture> fixture;
    TFormSetting* settings = nullptr;
    SimulatedLogger* logger = nullptr;
};

void CalibrationPagesTest::init()
{
    fixture = std::make_unique<SettingsWindowFixture>(&SettingsControls::TabSheet4);
    settings = fixture->settings;
    logger = fixture->logger;
}

void CalibrationPagesTest::cleanup()
{
    fixture.reset();
}

void CalibrationPagesTest::show(QWidget* SettingsControls::*sheet)
{
    SettingsControls(*settings).PageControl->setCurrentWidget(SettingsControls(*settings).*sheet);
}

QLineEdit* CalibrationPagesTest::edit(TCalibrationPage* page, const char* name) const
{
    QLineEdit* found = page->edit(QString::fromLatin1(name));
    Q_ASSERT(found);
    return found;
}

QPushButton* CalibrationPagesTest::button(TCalibrationPage* page, const char* name) const
{
    QPushButton* found = page->button(QString::fromLatin1(name));
    Q_ASSERT(found);
    return found;
}

// Every control of the five laid-out pages lies inside its sheet at no less than the size
// its text needs.
void CalibrationPagesTest::pagesFitTheirSheets()
{
    const SettingsControls window(*settings);
    for (QWidget* sheet : {window.TabSheet1, window.TabSheet2, window.TabSheet4, window.TabSheet5, window.TabSheet6}) {
        window.PageControl->setCurrentWidget(sheet);
        QApplication::processEvents();
        const QList<QWidget*> controls = sheet->findChildren<QWidget*>();
        for (QWidget* control : controls) {
            if (!control->isVisible() || control->objectName().startsWith(QStringLiteral("qt_"))
                || !(qobject_cast<QLabel*>(control) || qobject_cast<QPushButton*>(control)
                                           || qobject_cast<QLineEdit*>(control)))
                continue;
            const QString name = sheet->objectName() + "/" + control->objectName() + " "
                + control->property("text").toString();
            const QRect onSheet(control->mapTo(sheet, QPoint(0, 0)), control->size());
            QVERIFY2(sheet->rect().contains(onSheet), qPrintable(name));
            QVERIFY2(control->width() >= control->minimumSizeHint().width(), qPrintable(name));
            QVERIFY2(control->height() >= control->minimumSizeHint().height(), qPrintable(name));
        }
    }
}

void CalibrationPagesTest::singleReadShowsTheScaledRegister_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("reg");
    QTest::addColumn<qint32>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    QTest::newRow("temperature offset") << 0 << "ButtonTempOffsetRead" << "EditTempOffset" << 10 << 5000
                                        << "0,05" << QString::fromUtf8("Чтение смещения для температуры успешно выполнено");
    QTest::newRow("temperature gain") << 0 << "ButtonTempSlopeRead" << "EditTempSlope" << 9 << 995 << "0,995"
                                      << QString::fromUtf8("Чтение усиления для температуры успешно выполнено");
    QTest::newRow("humidity offset") << 1 << "ButtonHumiOffsetRead" << "EditHumiOffset" << 25 << -12345
                                     << "-1,2345" << QString::fromUtf8("Чтение смещения для влажности успешно выполнено");
    QTest::newRow("humidity gain") << 1 << "ButtonHumiSlopeRead" << "EditHumiSlope" << 24 << 100 << "1"
                                   << QString::fromUtf8("Чтение усиления для влажности успешно выполнено");
    QTest::newRow("pressure offset") << 2 << "ButtonPressOffsetRead" << "EditPressOffset" << 27 << -7 << "-0,007"
                                     << QString::fromUtf8("Чтение смещения для давлениия успешно выполнено");
    QTest::newRow("pressure gain") << 2 << "ButtonPressSlopeRead" << "EditPressSlope" << 26 << 150 << "1,5"
                                   << QString::fromUtf8("Чтение усиления для давлениия успешно выполнено");
}

void CalibrationPagesTest::singleReadShowsTheScaledRegister()
{
    QFETCH(int, page);
    QFETCH(QString, button);
    QFETCH(QString, field);
    QFETCH(int, reg);
    QFETCH(qint32, value);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    const SettingsControls window(*settings);
    TCalibrationPage* pages[] = {window.TempPage, window.HumiPage, window.PressPage};
    logger->setRegisterValue(reg, value);
    fixture->click(pages[page]->button(button));
    QCOMPARE(pages[page]->edit(field)->text(), shown);
    QCOMPARE(fixture->commands(), QList<int>{CmdReadRegister});
    QCOMPARE(fixture->messages(), QStringList{message});
}

void CalibrationPagesTest::singleAndPageWritesKeepTheirOwnRanges()
{
    struct Case {
        const char* name;
        TCalibrationPage* page;
        const char* field;
        const char* text;
        const char* singleButton;
        const char* pageButton;
        int reg;
        qint32 value;
        const char* singleMessage; // what the single write logs
        const char* pageMessage; // what the page write logs
    };
    const Case cases[] = {
        {"temperature offset 20", SettingsControls(*settings).TempPage, "EditTempOffset", "20", "ButtonTempOffsetWrite",
         "ButtonTempWriteAll", RegTempOffset, 2000000, "ОШИБКА! Смещение для температуры задано неправильно",
         "Запись всех коэффициентов для температуры выполнена"},
        {"temperature gain 2", SettingsControls(*settings).TempPage, "EditTempSlope", "2", "ButtonTempSlopeWrite",
         "ButtonTempWriteAll", RegTempSlope, 2000, "ОШИБКА! Усиление для температуры задано неправильно",
         "Запись всех коэффициентов для температуры выполнена"},
        {"humidity gain 0", SettingsControls(*settings).HumiPage, "EditHumiSlope", "0", "ButtonHumiSlopeWrite",
         "ButtonHumiWriteAll", RegHumiSlope, 0, "Запись усиления для влажности успешно выполнена",
         "ОШИБКА! Усиление для влажности задано неправильно"},
    };
    for (const Case& c : cases) {
        c.page->showDefaults();
        logger->setRegisterValue(c.reg, 77);
        edit(c.page, c.field)->setText(QString::fromUtf8(c.text));

        SettingsControls(*settings).ListBox1->clear();
        logger->clearRequests();
        fixture->click(button(c.page, c.singleButton));
        const bool singleSent = !logger->requests().isEmpty();
        QVERIFY2(fixture->messages() == QStringList{QString::fromUtf8(c.singleMessage)}, c.name);
        if (singleSent) {
            QVERIFY2(fixture->commands() == (QList<int>{CmdUnlock, CmdWriteRegister, CmdLock}), c.name);
            QVERIFY2(logger->registerValue(c.reg) == c.value, c.name);
            logger->setRegisterValue(c.reg, 77);
        }

        SettingsControls(*settings).ListBox1->clear();
        logger->clearRequests();
        fixture->click(button(c.page, c.pageButton));
        const bool pageSent = !logger->requests().isEmpty();
        QVERIFY2(fixture->messages() == QStringList{QString::fromUtf8(c.pageMessage)}, c.name);
        QVERIFY2(singleSent != pageSent, c.name);
        QVERIFY2(logger->registerValue(c.reg) == (pageSent ? c.value : 77), c.name);
    }
}

void CalibrationPagesTest::singleWritesRoundHalfToEven()
{
    show(&SettingsControls::TabSheet5);
    const struct {
        const char* text;
        qint32 value;
    } cases[] = {{"0,125", 12}, {"0,375", 38}, {"0,135", 14}, {"2", 200}};
    for (const auto& c : cases) {
        edit(SettingsControls(*settings).HumiPage, "EditHumiSlope")->setText(QString::fromUtf8(c.text));
        fixture->click(button(SettingsControls(*settings).HumiPage, "ButtonHumiSlopeWrite"));
        QVERIFY2(logger->registerValue(RegHumiSlope) == c.value, c.text);
    }
    // The check is made on the rounded value: 0,0004 is gain 0, 0,0006 is gain 1.
    show(&SettingsControls::TabSheet4);
    SettingsControls(*settings).ListBox1->clear();
    for (const char* text : {"0,0004", "0,0006"}) {
        edit(SettingsControls(*settings).TempPage, "EditTempSlope")->setText(QString::fromUtf8(text));
        fixture->click(button(SettingsControls(*settings).TempPage, "ButtonTempSlopeWrite"));
    }
    QCOMPARE(fixture->messages(), (QStringList{QString::fromUtf8("ОШИБКА! Усиление для температуры задано неправильно"),
                                               QString::fromUtf8("Запись усиления для температуры успешно выполнена")}));
    QCOMPARE(logger->registerValue(RegTempSlope), 1);
}

void CalibrationPagesTest::pageWritesAreOneTransaction()
{
    const struct {
        TCalibrationPage* page;
        const char* writeAll;
        QList<int> registers;
    } cases[] = {
        {SettingsControls(*settings).TempPage, "ButtonTempWriteAll", {10, 9, 5, 6, 7, 8}},
        {SettingsControls(*settings).HumiPage, "ButtonHumiWriteAll", {25, 24, 16, 17, 18, 19, 20, 21, 22, 23}},
    };
    for (const auto& c : cases) {
        for (int reg = 0; reg < 26; ++reg)
            logger->setRegisterValue(reg, 12345);
        logger->clearRequests();
        c.page->showDefaults();
        fixture->click(button(c.page, c.writeAll));
        const QList<TDeviceReport>& requests = logger->requests();
        QCOMPARE(requests.size(), c.registers.size() + 2);
        QCOMPARE(int(requests.first().command()), int(CmdUnlock));
        QCOMPARE(int(requests.last().command()), int(CmdLock));
        for (int i = 0; i < c.registers.size(); ++i) {
            QCOMPARE(int(requests[i + 1].field16(2)), c.registers[i]);
            QCOMPARE(logger->registerValue(c.registers[i]), DefaultRegisterImage[c.registers[i]]);
        }
    }
}

void CalibrationPagesTest::conversionComesBeforeEveryCheck_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("texts"); // field name, text, ...
    QTest::addColumn<QString>("writeAll");
    QTest::addColumn<QString>("box");
    QTest::newRow("third out of range, fifth empty")
        << 0 << QStringList{"EditTempCoeffA1", "5", "EditTempCoeffC1", ""} << "ButtonTempWriteAll"
        << "Поле «С1» не заполнено: нужно число";
    QTest::newRow("lone minus") << 0 << QStringList{"EditTempOffset", "-"} << "ButtonTempWriteAll"
                                << "Поле «Смещение»: «-» не число";
    QTest::newRow("Alfa is an integer") << 0 << QStringList{"EditTempSlope", "9", "EditTempCoeffAlfa1", "1,5"}
                                        << "ButtonTempWriteAll"
                                        << "Поле «Alfa1»: «1,5» не целое число от -2147483648 до 2147483647";
    QTest::newRow("unfiltered A2") << 1 << QStringList{"EditHumiOffset", "99", "EditHumiCoeffA2", "abc"}
                                   << "ButtonHumiWriteAll" << "Поле «A2»: «abc» не число";
    QTest::newRow("single write") << 2 << QStringList{"EditPressOffset", ","} << "ButtonPressOffsetWrite"
                                  << "Поле «Смещение»: «,» не число";
}

void CalibrationPagesTest::conversionComesBeforeEveryCheck()
{
    QFETCH(int, page);
    QFETCH(QStringList, texts);
    QFETCH(QString, writeAll);
    QFETCH(QString, box);
    const SettingsControls window(*settings);
    TCalibrationPage* pages[] = {window.TempPage, window.HumiPage, window.PressPage};
    for (qsizetype i = 0; i < texts.size(); i += 2)
        pages[page]->edit(texts[i])->setText(texts[i + 1]);
    SettingsControls(*settings).PageControl->setCurrentWidget(pages[page]->parentWidget());
    QCOMPARE(SettingsWindowFixture::clickCollectingBoxes(pages[page]->button(writeAll)), QStringList{box});
    QVERIFY(logger->requests().isEmpty());
    QVERIFY(fixture->messages().isEmpty());
}

void CalibrationPagesTest::onlyTheFirstRangeFaultIsLogged()
{
    TCalibrationPage* page = SettingsControls(*settings).TempPage;
    edit(page, "EditTempSlope")->setText(QStringLiteral("3"));
    edit(page, "EditTempCoeffB1")->setText(QStringLiteral("-2"));
    fixture->click(button(page, "ButtonTempWriteAll"));
    QCOMPARE(fixture->messages(),
             QStringList{QString::fromUtf8("ОШИБКА ! Усиление для температуры заданно не правильно")});

    edit(page, "EditTempSlope")->setText(QStringLiteral("1"));
    fixture->click(button(page, "ButtonTempWriteAll"));
    QCOMPARE(fixture->messages().last(),
             QString::fromUtf8("ОШИБКА ! Коэффициент В для температуры задан не правильно"));
    // An offset beyond 32 bits is a range fault, not a typo.
    show(&SettingsControls::TabSheet5);
    edit(SettingsControls(*settings).HumiPage, "EditHumiOffset")->setText(QStringLiteral("1e9"));
    fixture->click(button(SettingsControls(*settings).HumiPage, "ButtonHumiOffsetWrite"));
    QCOMPARE(fixture->messages().last(), QString::fromUtf8("ОШИБКА! Смещение для влажности задано неправильно"));
    QVERIFY(logger->requests().isEmpty());
}

void CalibrationPagesTest::keyFiltersTurnDotsIntoTheLocaleSeparator()
{
    const struct {
        const char* field;
        const char* typed;
        const char* shown;
    } cases[] = {
        {"EditTempSlope", "0.9.5-", "0,95"},       // Decimal: one separator, no sign
        {"EditTempOffset", "-1,2-.5", "-1,25"},    // SignedDecimal: one sign, one separator
        {"EditTempCoeffC1", "3.0-", "30"},         // Digits only
        {"EditTempCoeffA1", "1a2", "12"},          // letters never pass
    };
    for (const auto& c : cases) {
        QLineEdit* field = edit(SettingsControls(*settings).TempPage, c.field);
        field->clear();
        QTest::keyClicks(field, QString::fromUtf8(c.typed));
        QVERIFY2(field->text() == QString::fromUtf8(c.shown), c.field);
    }
    QLineEdit* offset = edit(SettingsControls(*settings).TempPage, "EditTempOffset");
    offset->setCursorPosition(2);
    QTest::keyClick(offset, Qt::Key_Backspace);
    QCOMPARE(offset->text(), QStringLiteral("-,25"));
    // The minus sign passes wherever the caret is, once.
    offset->setText(QStringLiteral("7"));
    QTest::keyClicks(offset, QStringLiteral("-"));
    QCOMPARE(offset->text(), QStringLiteral("7-"));
    // The second coefficient set of the humidity page takes anything.
    QLineEdit* a2 = edit(SettingsControls(*settings).HumiPage, "EditHumiCoeffA2");
    a2->clear();
    QTest::keyClicks(a2, QStringLiteral("x.-"));
    QCOMPARE(a2->text(), QStringLiteral("x.-"));
}

// Under X11 Delete and Backspace carry the characters 127 and 8; every kind
// of field filter lets them edit.
void CalibrationPagesTest::keyFiltersLetDeleteAndBackspaceEditAsX11SendsThem()
{
    for (const char* name : {"EditTempSlope", "EditTempOffset", "EditTempCoeffC1"}) {
        QLineEdit* field = edit(SettingsControls(*settings).TempPage, name);
        field->setText(QStringLiteral("123"));
        field->setCursorPosition(0);
        QKeyEvent deleteKey(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
        QApplication::sendEvent(field, &deleteKey);
        QVERIFY2(field->text() == QStringLiteral("23"), name);
        field->setCursorPosition(2);
        QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        QApplication::sendEvent(field, &backspace);
        QVERIFY2(field->text() == QStringLiteral("2"), name);
    }
}

void CalibrationPagesTest::defaultsComeBackWithoutAnExchange()
{
    const QStringList tempDefaults{"0,05", "0,995", "0", "-0,0003", "30", "2"};
    const QStringList humiDefaults{"0", "1", "-1,5", "0,005", "17", "2", "0,9", "-0,001", "70", "2"};
    const char* tempFields[] = {"EditTempOffset", "EditTempSlope", "EditTempCoeffA1", "EditTempCoeffB1",
                                "EditTempCoeffC1", "EditTempCoeffAlfa1"};
    const char* humiFields[] = {"EditHumiOffset", "EditHumiSlope", "EditHumiCoeffA1", "EditHumiCoeffB1",
                                "EditHumiCoeffC1", "EditHumiCoeffAlfa1", "EditHumiCoeffA2", "EditHumiCoeffB2",
                                "EditHumiCoeffC2", "EditHumiCoeffAlfa2"};
    for (int reg = 5; reg <= 25; ++reg)
        logger->setRegisterValue(reg, 1);

    fixture->click(button(SettingsControls(*settings).TempPage, "ButtonTempReadAll"));
    QCOMPARE(edit(SettingsControls(*settings).TempPage, "EditTempOffset")->text(), QStringLiteral("0,00001"));
    QCOMPARE(logger->requests().size(), 6);
    logger->clearRequests();
    fixture->click(button(SettingsControls(*settings).TempPage, "ButtonTempDefault"));
    for (int i = 0; i < tempDefaults.size(); ++i)
        QCOMPARE(edit(SettingsControls(*settings).TempPage, tempFields[i])->text(), tempDefaults[i]);

    show(&SettingsControls::TabSheet5);
    fixture->click(button(SettingsControls(*settings).HumiPage, "ButtonHumiReadAll"));
    QCOMPARE(edit(SettingsControls(*settings).HumiPage, "EditHumiCoeffAlfa2")->text(), QStringLiteral("1"));
    QCOMPARE(logger->requests().size(), 10);
    logger->clearRequests();
    fixture->click(button(SettingsControls(*settings).HumiPage, "ButtonHumiDefault"));
    for (int i = 0; i < humiDefaults.size(); ++i)
        QCOMPARE(edit(SettingsControls(*settings).HumiPage, humiFields[i])->text(), humiDefaults[i]);

    QVERIFY(logger->requests().isEmpty());
    QCOMPARE(fixture->messages(),
             (QStringList{QString::fromUtf8("Чтение всех коэффициентов для температуры успешно выполнено"),
                          QString::fromUtf8("Чтения всех коэффициентов для влажности успешно выполнено")}));
    // The pressure page shows its fixed defaults from the start and has no page buttons.
    QCOMPARE(edit(SettingsControls(*settings).PressPage, "EditPressOffset")->text(), QStringLiteral("0,01"));
    QCOMPARE(edit(SettingsControls(*settings).PressPage, "EditPressSlope")->text(), QStringLiteral("2"));
    QCOMPARE(SettingsControls(*settings).PressPage->findChildren<QPushButton*>().size(), 4);
}

void CalibrationPagesTest::silentLoggerFillsNoField()
{
    logger->setFault(SimulatedLogger::Fault::NoReply, 3);
    fixture->click(button(SettingsControls(*settings).TempPage, "ButtonTempReadAll"));
    QCOMPARE(edit(SettingsControls(*settings).TempPage, "EditTempOffset")->text(), QStringLiteral("0,05"));
    fixture->click(button(SettingsControls(*settings).TempPage, "ButtonTempOffsetRead"));
    fixture->click(button(SettingsControls(*settings).TempPage, "ButtonTempWriteAll"));
    const QString noAnswer = QString::fromUtf8("ОШИБКА! Прибор не отвечает");
    QCOMPARE(fixture->messages(), (QStringList{noAnswer, noAnswer, noAnswer}));
}

void CalibrationPagesTest::deviceControlsFollowTheConnection()
{
    const QStringList names{
        "ButtonTempOffsetRead", "ButtonTempOffsetWrite", "ButtonTempSlopeRead", "ButtonTempSlopeWrite",
        "ButtonTempReadAll", "ButtonTempWriteAll", "ButtonTempDefault", "EditTempOffset", "EditTempSlope",
        "EditTempCoeffA1", "EditTempCoeffB1", "EditTempCoeffC1", "EditTempCoeffAlfa1", "EditHumiOffset",
        "EditHumiSlope", "EditHumiCoeffA1", "EditHumiCoeffB1", "EditHumiCoeffC1", "EditHumiCoeffAlfa1",
        "EditHumiCoeffA2", "EditHumiCoeffB2", "EditHumiCoeffC2", "EditHumiCoeffAlfa2", "ButtonHumiOffsetRead",
        "ButtonHumiOffsetWrite", "ButtonHumiSlopeRead", "ButtonHumiSlopeWrite", "ButtonHumiDefault",
        "ButtonHumiReadAll", "ButtonHumiWriteAll", "EditPressOffset", "EditPressSlope", "ButtonPressOffsetRead",
        "ButtonPressOffsetWrite", "ButtonPressSlopeRead", "ButtonPressSlopeWrite", "DateTimePickerTime",
        "DateTimePickerDate", "ButtonLogMemErase", "ButtonLogReadAll", "ButtonLogWriteAll", "EditNetName",
        "EditPassw", "MaskEditIPAddr", "MaskEditMask", "MaskEditGateway", "EditDeviceGroup", "EditDeviceName", "ComboBoxWiFiInterval", "ButtonWiFiDefault", "ButtonWiFiReadAll",
        "ButtonWiFiWriteAll"};
    const auto enabledStates = [&] {
        QList<bool> states;
        for (const QString& name : names) {
            const QList<QWidget*> found = settings->findChildren<QWidget*>(name);
            Q_ASSERT(found.size() == 1);
            states.append(found.first()->isEnabled());
        }
        return states;
    };
    QCOMPARE(enabledStates(), QList<bool>(names.size(), true));
    fixture->simulation->backend->pull(fixture->simulation->logger);
    fixture->simulation->detect();
    QCOMPARE(enabledStates(), QList<bool>(names.size(), false));
    QVERIFY(settings->findChild<QLabel*>(QStringLiteral("LabelKL"))->isEnabled());
    // What was read from the logger stays readable after it is gone.
    QVERIFY(settings->findChild<QLineEdit*>(QStringLiteral("EditTLimitMin"))->isEnabled());
}

KORVI_QTEST_MAIN(CalibrationPagesTest)
#include "CalibrationPagesTest.moc"
