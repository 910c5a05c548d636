#include "LoggerRequestsWait.h"
#include "settings/PageAction.h"

#include "device/RegisterMap.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "device/TDeviceLink.h"
#include "device/TLoggerRequests.h"
#include "settings/TGeneralPage.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TGeneralPageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsAreNamedAndFitTheWindow();
    void readShowsTheNumberAndLogsIt();
    void detectionStepsBuildTheExpectedLabel();
    void writeRejectsWhatIsNotAnInt32_data();
    void writeRejectsWhatIsNotAnInt32();
    void writeSendsOneTransaction_data();
    void writeSendsOneTransaction();
    void initialisationWritesTheDefaultImage();
    void digitKeyFilterLetsOnlyDigitsThrough();
    void logMemoryGivesWholeRecords_data();
    void logMemoryGivesWholeRecords();
    void silentLoggerLeavesTheFieldAlone();

private:
    QStringList messages() const;
    QList<int> commands() const;
    // Clicks the button and lets the action it starts end.
    void click(QPushButton* button);
    TDeviceIdentity identity();

    QTemporaryDir drive_;
    SimulatedBackend* backend_ = nullptr;
    std::shared_ptr<SimulatedLogger> logger_;
    std::unique_ptr<TLoggerRequests> requests_;
    std::unique_ptr<TGeneralPage> page_;
    QStringList lines_;
};

void TGeneralPageTest::init()
{
    auto backend = std::make_unique<SimulatedBackend>();
    backend_ = backend.get();
    logger_ = std::make_shared<SimulatedLogger>(drive_.path(), QByteArray(4096, '\x33'));
    backend_->plug(logger_);
    requests_ = std::make_unique<TLoggerRequests>(std::move(backend));
    QVERIFY(requestResult(*requests_, [](TDeviceLink& link) { return link.LoadHidLibrary(); }));
    QCOMPARE(requestResult(*requests_, [](TDeviceLink& link) { return link.detectionPass(); }),
             TDeviceLink::DetectionResult::Connected);
    logger_->clearRequests();
    lines_.clear();
    connect(requests_.get(), &TLoggerRequests::statusLogged, this,
            [this](const QString& line) { lines_.append(line); });
    page_ = std::make_unique<TGeneralPage>(*requests_);
    page_->show();
}

void TGeneralPageTest::cleanup()
{
    page_.reset();
    requests_.reset();
    logger_.reset();
}

QStringList TGeneralPageTest::messages() const
{
    QStringList result;
    for (const QString& line : lines_)
        result.append(line.section(QStringLiteral(" -> "), 1));
    return result;
}

void TGeneralPageTest::click(QPushButton* button)
{
    ActionWentThrough(*page_, [button] { QTest::mouseClick(button, Qt::LeftButton); });
}

TDeviceIdentity TGeneralPageTest::identity()
{
    return requestResult(*requests_, [](TDeviceLink& link) { return link.identity(); });
}

QList<int> TGeneralPageTest::commands() const
{
    QList<int> result;
    for (const TDeviceReport& request : logger_->requests())
        result.append(request.command());
    return result;
}

void TGeneralPageTest::controlsAreNamedAndFitTheWindow()
{
    const QStringList names{"Label16",          "EditDeviceNumber", "ButtonDeviceNumberRead",
                            "ButtonDeviceNumberWrite", "ButtonDeviceInit", "ButtonNumRecord"};
    for (const QString& name : names) {
        auto* control = page_->findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QVERIFY2(QRect(0, 0, 360, 250).contains(control->geometry()), qPrintable(name));
    }
    QCOMPARE(page_->Label16->text(), QString::fromUtf8("Номер прибора"));
    QCOMPARE(page_->EditDeviceNumber->accessibleName(), page_->Label16->text());
    QCOMPARE(page_->ButtonNumRecord->text(), QStringLiteral("Button1"));
    QCOMPARE(page_->ButtonDeviceInit->text(), QString::fromUtf8("Инициализировать"));
    QVERIFY(page_->ButtonNumRecord->x() > page_->width() / 2 && page_->ButtonNumRecord->y() < 20);
    QCOMPARE(page_->deviceControls().size(), 5);
    QVERIFY(!page_->deviceControls().contains(page_->Label16));
}

void TGeneralPageTest::readShowsTheNumberAndLogsIt()
{
    click(page_->ButtonDeviceNumberRead);
    QCOMPARE(page_->EditDeviceNumber->text(), QStringLiteral("123"));
    QCOMPARE(messages(), QStringList{QString::fromUtf8("Чтение номера прибора успешно выполнено")});

    logger_->setRegisterValue(RegDeviceNumber, -5);
    QVERIFY(ActionWentThrough(*page_, [this] { page_->ButtonDeviceNumberReadClick(); }));
    QCOMPARE(page_->EditDeviceNumber->text(), QStringLiteral("-5"));
}

// The steps the settings window's detection tick runs on a newly found logger.
void TGeneralPageTest::detectionStepsBuildTheExpectedLabel()
{
    const auto detectionPass = [](TDeviceLink& link) { return link.detectionPass(); };
    backend_->pull(logger_);
    QCOMPARE(requestResult(*requests_, detectionPass), TDeviceLink::DetectionResult::Lost);
    backend_->plug(logger_);
    QCOMPARE(requestResult(*requests_, detectionPass), TDeviceLink::DetectionResult::Connected);
    QVERIFY(ActionWentThrough(*page_, [this] { page_->ButtonDeviceNumberReadClick(); }));
    const qint64 before = backend_->nowMs();
    requestResult(*requests_, [](TDeviceLink& link) { link.sleep(500); });
    QCOMPARE(backend_->nowMs() - before, 500);
    requestResult(*requests_, [number = page_->EditDeviceNumber->text()](TDeviceLink& link) {
        link.completeIdentity(number);
    });

    QCOMPARE(identity().ExpectedLabel, QStringLiteral("2400123"));
    QCOMPARE(identity().PublishedSeries, 24);
    QCOMPARE(messages(), (QStringList{QString::fromUtf8("Подключенных приборов КОРВИ не обнаружено"),
                                      QString::fromUtf8("Обнаружен подключенный прибор КОРВИ 24-й серии"),
                                      QString::fromUtf8("Чтение номера прибора успешно выполнено")}));
}

void TGeneralPageTest::writeRejectsWhatIsNotAnInt32_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("beyond 32 bits") << QStringLiteral("4294967296");
    QTest::newRow("one past int32") << QStringLiteral("2147483648");
    QTest::newRow("letters") << QString::fromUtf8("12б");
}

void TGeneralPageTest::writeRejectsWhatIsNotAnInt32()
{
    QFETCH(QString, text);
    page_->EditDeviceNumber->setText(text);
    QString shown;
    QTimer::singleShot(0, this, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    QVERIFY(!ActionWentThrough(*page_, [this] { page_->ButtonDeviceNumberWriteClick(); }));
    const QString expected = text.isEmpty()
        ? QStringLiteral("Поле «Номер прибора» не заполнено: нужно целое число")
        : QStringLiteral("Поле «Номер прибора»: «%1» не целое число от -2147483648 до 2147483647").arg(text);
    QCOMPARE(shown, expected);
    QVERIFY(logger_->requests().isEmpty());
    QVERIFY(lines_.isEmpty());
}

void TGeneralPageTest::writeSendsOneTransaction_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("value");
    QTest::newRow("int32 max") << QStringLiteral("2147483647") << 2147483647;
    QTest::newRow("plain") << QStringLiteral("4567") << 4567;
    QTest::newRow("negative") << QStringLiteral("-12") << -12;
}

void TGeneralPageTest::writeSendsOneTransaction()
{
    QFETCH(QString, text);
    QFETCH(qint32, value);
    page_->EditDeviceNumber->setText(text);
    QVERIFY(ActionWentThrough(*page_, [this] { page_->ButtonDeviceNumberWriteClick(); }));
    QCOMPARE(commands(), (QList<int>{CmdUnlock, CmdWriteRegister, CmdLock}));
    QCOMPARE(logger_->requests()[1].field32(4), value);
    QCOMPARE(logger_->registerValue(RegDeviceNumber), value);
    QCOMPARE(messages(), QStringList{QString::fromUtf8("Запись номера прибора успешно выполнена")});
    // The expected label follows the new number only at the next detection.
    QCOMPARE(identity().ExpectedLabel, QString());
}

void TGeneralPageTest::initialisationWritesTheDefaultImage()
{
    page_->EditDeviceNumber->setText(QStringLiteral("555"));
    click(page_->ButtonDeviceInit);
    const QList<TDeviceReport>& requests = logger_->requests();
    QCOMPARE(requests.size(), 28);
    QCOMPARE(int(requests.first().command()), int(CmdUnlock));
    QCOMPARE(int(requests.last().command()), int(CmdLock));
    for (int reg = 0; reg < 26; ++reg) {
        const TDeviceReport& write = requests[reg + 1];
        QCOMPARE(int(write.command()), int(CmdWriteRegister));
        QCOMPARE(int(write.field16(2)), reg);
        QCOMPARE(write.field32(4), DefaultRegisterImage[reg]);
    }
    QCOMPARE(page_->EditDeviceNumber->text(), QStringLiteral("555"));
    QCOMPARE(messages(), QStringList{QString::fromUtf8("Инициализация прибора успешно выполнена")});

    click(page_->ButtonDeviceNumberRead);
    QCOMPARE(page_->EditDeviceNumber->text(), QStringLiteral("0"));
}

void TGeneralPageTest::digitKeyFilterLetsOnlyDigitsThrough()
{
    QLineEdit* edit = page_->EditDeviceNumber;
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("1a-,.2 "));
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString::fromUtf8("ж"), Qt::NoModifier);
    QTest::keyClick(edit, Qt::Key_3);
    QCOMPARE(edit->text(), QStringLiteral("123"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_9);
    QCOMPARE(edit->text(), QStringLiteral("192"));

    QGuiApplication::clipboard()->setText(QStringLiteral("777"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("192"));
}

void TGeneralPageTest::logMemoryGivesWholeRecords_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<qint64>("records");
    QTest::newRow("4096") << 4096 << qint64(256);
    QTest::newRow("20") << 20 << qint64(1);
    QTest::newRow("empty") << 0 << qint64(0);
}

void TGeneralPageTest::logMemoryGivesWholeRecords()
{
    QFETCH(int, bytes);
    QFETCH(qint64, records);
    logger_->setLog(QByteArray(bytes, '\x44'));
    QSignalSpy spy(page_.get(), &TGeneralPage::recordCountRead);
    click(page_->ButtonNumRecord);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().toLongLong(), records);
    QCOMPARE(messages(), QStringList{QString::fromUtf8("Чтение log mem %1").arg(bytes)});
    QVERIFY(ActionWentThrough(*page_, [this] { page_->ReadLogMemoryUsage(); }));
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.last().first().toLongLong(), records);
}

void TGeneralPageTest::silentLoggerLeavesTheFieldAlone()
{
    page_->EditDeviceNumber->setText(QStringLiteral("777"));
    logger_->setFault(SimulatedLogger::Fault::NoReply);
    QSignalSpy spy(page_.get(), &TGeneralPage::recordCountRead);

    QVERIFY(!ActionWentThrough(*page_, [this] { page_->ButtonDeviceNumberReadClick(); }));
    QVERIFY(!ActionWentThrough(*page_, [this] { page_->ButtonDeviceNumberWriteClick(); }));
    QVERIFY(!ActionWentThrough(*page_, [this] { page_->ButtonDeviceInitClick(); }));
    QVERIFY(!ActionWentThrough(*page_, [this] { page_->ReadLogMemoryUsage(); }));

    QCOMPARE(page_->EditDeviceNumber->text(), QStringLiteral("777"));
    QCOMPARE(spy.size(), 0);
    const QString noAnswer = QString::fromUtf8("ОШИБКА! Прибор не отвечает");
    QCOMPARE(messages(), (QStringList{noAnswer, noAnswer, noAnswer, noAnswer}));
}

QTEST_MAIN(TGeneralPageTest)
#include "TGeneralPageTest.moc"
