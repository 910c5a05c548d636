#include "KorviTestMain.h"

#include "SettingsWindowFixture.h"
#include "settings/PageAction.h"

#include "device/RegisterMap.h"
#include "settings/TLoggerPage.h"
#include "shell/SettingsControls.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimeEdit>

// The page "Даталоггер" on the real settings window.
class LoggerPageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultsAtCreation();
    void writeSendsOnlyTheClock();
    void touchingAPickerStopsFollowingTheClock();
    void readShowsIntervalChannelsAndLevels();
    void intervalCodesMapToItems();
    void eraseIsOneReportAndOneLineWhileItRuns();
    void silentLoggerFillsNothing();

private:
    QList<Qt::CheckState> ticks() const;

    std::unique_ptr<SettingsWindowFixture> fixture;
    TFormSetting* settings = nullptr;
    TLoggerPage* page = nullptr;
    SimulatedLogger* logger = nullptr;
};

void LoggerPageTest::init()
{
    fixture = std::make_unique<SettingsWindowFixture>(&SettingsControls::TabSheet1);
    settings = fixture->settings;
    page = SettingsControls(*settings).LoggerPage;
    logger = fixture->logger;
}

void LoggerPageTest::cleanup()
{
    fixture.reset();
}

QList<Qt::CheckState> LoggerPageTest::ticks() const
{
    QList<Qt::CheckState> states;
    for (int i = 0; i < page->CheckListBoxOptionsRec->count(); ++i)
        states.append(page->CheckListBoxOptionsRec->item(i)->checkState());
    return states;
}

void LoggerPageTest::defaultsAtCreation()
{
    QCOMPARE(page->ComboBoxLogInterval->count(), 12);
    QCOMPARE(page->ComboBoxLogInterval->currentText(), QString::fromUtf8("1 секунда"));
    QCOMPARE(ticks(), (QList<Qt::CheckState>{Qt::Checked, Qt::Checked, Qt::Unchecked}));
    QCOMPARE(page->EditTLimitMin->text(), QStringLiteral("-29,5"));
    QCOMPARE(page->EditTLimitMax->text(), QStringLiteral("55,7"));
    QCOMPARE(page->EditRHLimitMin->text(), QStringLiteral("5,5"));
    QCOMPARE(page->EditRHLimitMax->text(), QStringLiteral("99,2"));
    QVERIFY(SettingsControls(*settings).TimerDateTime->isActive());
    QCOMPARE(SettingsControls(*settings).TimerDateTime->interval(), 1000);
    QVERIFY(qAbs(QDateTime(page->DateTimePickerDate->date(), page->DateTimePickerTime->time())
                     .secsTo(QDateTime::currentDateTime())) < 5);

    page->ComboBoxLogInterval->setCurrentIndex(7);
    page->EditTLimitMin->setText(QStringLiteral("1"));
    fixture->click(page->ButtonLogDefault);
    QCOMPARE(page->ComboBoxLogInterval->currentIndex(), 0);
    QCOMPARE(page->EditTLimitMin->text(), QStringLiteral("-29,5"));
    QVERIFY(logger->requests().isEmpty());
}

void LoggerPageTest::writeSendsOnlyTheClock()
{
    page->setClockSource([] { return QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58, 750)); });
    page->TimerDateTimeTimer();
    QVERIFY(SettingsControls(*settings).TimerDateTime->isActive());
    page->ComboBoxLogInterval->setCurrentIndex(5);
    page->CheckListBoxOptionsRec->item(2)->setCheckState(Qt::Checked);
    page->EditRHLimitMax->setText(QStringLiteral("80"));

    fixture->click(page->ButtonLogWriteAll);
    QCOMPARE(fixture->commands(), QList<int>{CmdSetClock});
    const TDeviceReport& request = logger->requests().first();
    QList<int> clockBytes;
    for (int offset = 2; offset <= 8; ++offset)
        clockBytes.append(request.field8(offset));
    QCOMPARE(clockBytes, (QList<int>{58, 59, 23, 7, 31, 12, 23}));
    QCOMPARE(fixture->messages(), QStringList{QString::fromUtf8("Запись настроек для даталоггера успешно выполнена")});
    QCOMPARE(logger->clock(fixture->simulation->backend->nowMs()).date(), QDate(2023, 12, 31));
}

void LoggerPageTest::touchingAPickerStopsFollowingTheClock()
{
    const QDateTime first(QDate(2024, 3, 1), QTime(10, 0, 0));
    QDateTime now = first;
    page->setClockSource([&now] { return now; });
    page->TimerDateTimeTimer();
    QVERIFY(SettingsControls(*settings).TimerDateTime->isActive());

    // Each way of touching: a click on either picker, a change of either.
    const std::function<void()> touches[] = {
        [this] { QTest::mouseClick(page->DateTimePickerDate, Qt::LeftButton, {}, QPoint(5, 5)); },
        [this] { QTest::mouseClick(page->DateTimePickerTime, Qt::LeftButton, {}, QPoint(5, 5)); },
        [this] { page->DateTimePickerTime->setTime(QTime(8, 30, 0)); },
        [this] { page->DateTimePickerDate->setDate(QDate(2025, 1, 2)); },
    };
    for (const auto& touch : touches) {
        SettingsControls(*settings).TimerDateTime->start();
        touch();
        QVERIFY(!SettingsControls(*settings).TimerDateTime->isActive());
    }
    page->DateTimePickerTime->setTime(QTime(8, 30, 0));
    page->DateTimePickerDate->setDate(QDate(2025, 1, 2));
    settings->hide();
    settings->show();
    now = first.addSecs(3600);
    QTest::qWait(1100);
    QCOMPARE(page->DateTimePickerTime->time(), QTime(8, 30, 0));
    QCOMPARE(page->DateTimePickerDate->date(), QDate(2025, 1, 2));
}

void LoggerPageTest::readShowsIntervalChannelsAndLevels()
{
    logger->setRegisterValue(RegLogInterval, 7);
    logger->setRegisterValue(RegOptionsRec, 5);
    logger->setRegisterValue(RegTLimitMin, -295);
    logger->setRegisterValue(RegTLimitMax, 400);
    logger->setRegisterValue(RegRHLimitMin, 1);
    logger->setRegisterValue(RegRHLimitMax, 1000);
    fixture->click(page->ButtonLogReadAll);

    QList<int> registers;
    for (const TDeviceReport& request : logger->requests())
        registers.append(request.field16(2));
    QCOMPARE(registers, (QList<int>{30, 31, 35, 36, 37, 38}));
    QCOMPARE(page->ComboBoxLogInterval->currentText(), QString::fromUtf8("5 минут"));
    QCOMPARE(ticks(), (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
    QCOMPARE(page->EditTLimitMin->text(), QStringLiteral("-29,5"));
    QCOMPARE(page->EditTLimitMax->text(), QStringLiteral("40"));
    QCOMPARE(page->EditRHLimitMin->text(), QStringLiteral("0,1"));
    QCOMPARE(page->EditRHLimitMax->text(), QStringLiteral("100"));
    QVERIFY(fixture->messages().isEmpty());
}

void LoggerPageTest::intervalCodesMapToItems()
{
    const struct {
        qint32 code;
        int index;
    } cases[] = {{2, 0}, {7, 5}, {12, 10}, {13, -1}, {1, -1}, {-5, -1}};
    for (const auto& c : cases) {
        page->ComboBoxLogInterval->setCurrentIndex(3);
        logger->setRegisterValue(RegLogInterval, c.code);
        QVERIFY(ActionWentThrough(*page, [this] { page->ButtonLogReadAllClick(); }));
        QVERIFY2(page->ComboBoxLogInterval->currentIndex() == c.index, qPrintable(QString::number(c.code)));
    }
    QCOMPARE(page->ComboBoxLogInterval->itemText(10), QString::fromUtf8("10 часа"));
}

// The firmware takes longer to erase than to answer anything else; the
// status list says what runs meanwhile.
void LoggerPageTest::eraseIsOneReportAndOneLineWhileItRuns()
{
    QVERIFY(!logger->log().isEmpty());
    fixture->click(page->ButtonLogMemErase);
    QCOMPARE(fixture->commands(), QList<int>{CmdEraseLogMemory});
    QVERIFY(logger->log().isEmpty());
    QCOMPARE(fixture->messages(), QStringList{QString::fromUtf8("Очистка памяти...")});
}

void LoggerPageTest::silentLoggerFillsNothing()
{
    logger->setRegisterValue(RegLogInterval, 9);
    logger->setFault(SimulatedLogger::Fault::NoReply, 4);
    QVERIFY(!ActionWentThrough(*page, [this] { page->ButtonLogReadAllClick(); }));
    QCOMPARE(page->ComboBoxLogInterval->currentIndex(), 0);
    QCOMPARE(page->EditTLimitMin->text(), QStringLiteral("-29,5"));
    QVERIFY(!ActionWentThrough(*page, [this] { page->ButtonLogWriteAllClick(); }));
    QVERIFY(!ActionWentThrough(*page, [this] { page->ButtonLogMemEraseClick(); }));
    const QString noAnswer = QString::fromUtf8("ОШИБКА! Прибор не отвечает");
    QCOMPARE(fixture->messages(), (QStringList{noAnswer, noAnswer, QString::fromUtf8("Очистка памяти..."), noAnswer}));
}

KORVI_QTEST_MAIN(LoggerPageTest)
#include "LoggerPageTest.moc"
