#include "KorviTestMain.h"

#include "SettingsWindowFixture.h"
#include "settings/EraseQuestion.h"
#include "settings/PageAction.h"

#include "device/RegisterMap.h"
#include "settings/TLoggerPage.h"
#include "shell/SettingsControls.h"

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

    void settingsAreReadOnlyAndEmptyUntilRead();
    void writeSendsOnlyTheClock();
    void touchingAPickerStopsFollowingTheClock();
    void readShowsIntervalChannelsAndLevels();
    void intervalCodesMapToItems();
    void eraseAsksFirstAndErasesOnlyOnYes();
    void silentLoggerFillsNothing();

private:
    QList<Qt::CheckState> ticks() const;
    QLineEdit* value(const char* name) const { return page->findChild<QLineEdit*>(QString::fromLatin1(name)); }

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

// The page writes only the clock: what it shows of the logger's settings
// cannot be edited, and nothing is shown before the logger told it.
void LoggerPageTest::settingsAreReadOnlyAndEmptyUntilRead()
{
    for (const char* name : {"EditLogInterval", "EditTLimitMin", "EditTLimitMax", "EditRHLimitMin", "EditRHLimitMax"}) {
        QLineEdit* edit = value(name);
        QVERIFY2(edit && edit->isReadOnly() && edit->text().isEmpty(), name);
        QTest::keyClicks(edit, QStringLiteral("12"));
        QVERIFY2(edit->text().isEmpty(), name);
    }
    for (int i = 0; i < page->CheckListBoxOptionsRec->count(); ++i) {
        QListWidgetItem* item = page->CheckListBoxOptionsRec->item(i);
        QVERIFY(!item->data(Qt::CheckStateRole).isValid());
        QVERIFY(!(item->flags() & Qt::ItemIsUserCheckable));
    }
    QVERIFY(!page->findChild<QPushButton*>(QStringLiteral("ButtonLogDefault")));
    QVERIFY(SettingsControls(*settings).TimerDateTime->isActive());
    QCOMPARE(SettingsControls(*settings).TimerDateTime->interval(), 1000);
    QVERIFY(qAbs(QDateTime(page->DateTimePickerDate->date(), page->DateTimePickerTime->time())
                     .secsTo(QDateTime::currentDateTime())) < 5);

    // A read fills them; the ticks stay the logger's.
    logger->setRegisterValue(RegOptionsRec, 1);
    fixture->click(page->ButtonLogReadAll);
    QVERIFY(!value("EditLogInterval")->text().isEmpty());
    QVERIFY(!value("EditTLimitMin")->text().isEmpty());
    QCOMPARE(ticks(), (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Unchecked}));
    QTest::mouseClick(page->CheckListBoxOptionsRec->viewport(), Qt::LeftButton, {},
                      page->CheckListBoxOptionsRec->visualItemRect(page->CheckListBoxOptionsRec->item(1)).center());
    QTest::keyClick(page->CheckListBoxOptionsRec, Qt::Key_Space);
    QCOMPARE(ticks(), (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Unchecked}));
}

void LoggerPageTest::writeSendsOnlyTheClock()
{
    page->setClockSource([] { return QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58, 750)); });
    page->TimerDateTimeTimer();
    QVERIFY(SettingsControls(*settings).TimerDateTime->isActive());

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
    QCOMPARE(page->EditLogInterval->text(), QString::fromUtf8("5 минут"));
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
        const char* shown;
    } cases[] = {{2, "1 секунда"}, {7, "5 минут"},           {12, "10 часа"},
                 {13, "неизвестный код 13"}, {1, "неизвестный код 1"}, {-5, "неизвестный код -5"}};
    for (const auto& c : cases) {
        logger->setRegisterValue(RegLogInterval, c.code);
        QVERIFY(ActionWentThrough(*page, [this] { page->ButtonLogReadAllClick(); }));
        QCOMPARE(page->EditLogInterval->text(), QString::fromUtf8(c.shown));
    }
}

// Erasing cannot be undone: the page asks first, naming the logger, and only
// "Да" erases; each answer ends with a line that says what became of the log.
// The firmware takes longer to erase than to answer anything else; the status
// list says what runs meanwhile.
void LoggerPageTest::eraseAsksFirstAndErasesOnlyOnYes()
{
    const QString label = fixture->simulation->windows->connection_->deviceLabel();
    QVERIFY(!label.isEmpty());
    const QByteArray log = logger->log();
    QVERIFY(!log.isEmpty());

    const EraseQuestionSeen no = AnswerEraseQuestion(*page, QStringLiteral("Нет"));
    QVERIFY2(no.text.contains(label), qPrintable(no.text));
    QCOMPARE(no.defaultButton, QStringLiteral("Нет"));
    QCOMPARE(no.buttons, (QStringList{"Да", "Нет", "Сначала прочитать"}));
    QVERIFY2(no.informativeText.contains(QStringLiteral("Архив не ведётся")), qPrintable(no.informativeText));
    QVERIFY(!no.wentThrough);
    QVERIFY(logger->requests().isEmpty());
    QCOMPARE(logger->log(), log);
    QCOMPARE(fixture->messages(), QStringList{"Очистка памяти отменена, журнал остался в даталоггере"});

    // Enter takes the default.
    SettingsControls(*settings).ListBox1->clear();
    QTimer::singleShot(0, page, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Return);
    });
    QVERIFY(!ActionWentThrough(*page, [this] { QTest::mouseClick(page->ButtonLogMemErase, Qt::LeftButton); }));
    QVERIFY(logger->requests().isEmpty());

    SettingsControls(*settings).ListBox1->clear();
    const EraseQuestionSeen yes = AnswerEraseQuestion(*page, QStringLiteral("Да"));
    QVERIFY(yes.wentThrough);
    QCOMPARE(fixture->commands(), QList<int>{CmdEraseLogMemory});
    QVERIFY(logger->log().isEmpty());
    QCOMPARE(fixture->messages(), (QStringList{"Очистка памяти...", "Память даталоггера очищена"}));
}

void LoggerPageTest::silentLoggerFillsNothing()
{
    logger->setRegisterValue(RegLogInterval, 9);
    logger->setFault(SimulatedLogger::Fault::NoReply, 4);
    QVERIFY(!ActionWentThrough(*page, [this] { page->ButtonLogReadAllClick(); }));
    QVERIFY(page->EditLogInterval->text().isEmpty());
    QVERIFY(page->EditTLimitMin->text().isEmpty());
    QVERIFY(!ActionWentThrough(*page, [this] { page->ButtonLogWriteAllClick(); }));
    QVERIFY(!AnswerEraseQuestion(*page, QStringLiteral("Да")).wentThrough);
    const QString noAnswer = QString::fromUtf8("ОШИБКА! Прибор не отвечает");
    QCOMPARE(fixture->messages(), (QStringList{noAnswer, noAnswer, QString::fromUtf8("Очистка памяти..."), noAnswer}));
}

KORVI_QTEST_MAIN(LoggerPageTest)
#include "LoggerPageTest.moc"
