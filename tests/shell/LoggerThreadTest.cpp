#include "KorviTestMain.h"

#include "FakeDialogs.h"
#include "MonitorControls.h"
#include "SettingsControls.h"

#include "data/FolderVolumeSource.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "device/TDeviceLink.h"
#include "device/TLoggerRequests.h"
#include "shell/TApplicationWindows.h"
#include "shell/TFormRead.h"
#include "shell/TFormSetting.h"
#include "shell/TLoggerConnection.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// The windows on a logger that never answers, in real time: its exchanges
// run on the logger's thread while every window goes on.
class LoggerThreadTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aWriteToASilentLoggerGreysItsPageAndLeavesTheWindowsFree();
    void quittingWhileARequestRunsWaitsOnlyForThatOne();

private:
    QStringList errorLines() const;

    QTemporaryDir drive;
    std::shared_ptr<SimulatedLogger> logger;
    std::unique_ptr<TApplicationWindows> windows;
    std::optional<SettingsControls> settings;
};

void LoggerThreadTest::init()
{
    logger = std::make_shared<SimulatedLogger>(drive.path(), QByteArray(160, '\0'));
    auto backend = std::make_unique<SimulatedBackend>(SimulatedBackend::TimeMode::Real);
    backend->plug(logger);
    auto volumes = std::make_unique<FolderVolumeSource>();
    volumes->addFolder(drive.path(), logger->volumeLabel());
    windows = std::make_unique<TApplicationWindows>(
        TPlatform{std::move(backend), std::move(volumes), std::make_unique<FakeDialogs>()});
    settings.emplace(*windows->formSetting_);
    for (QWidget* page : windows->formSetting_->servicePages())
        windows->formSetting_->setPageVisible(page, true);
    windows->formSetting_->show();
    // The first detection tick comes on its own.
    QTRY_VERIFY_WITH_TIMEOUT(settings->GeneralPage->ButtonDeviceNumberRead->isEnabled(), 5000);
    QTRY_VERIFY(windows->connection_->requests().isIdle());
    logger->setFault(SimulatedLogger::Fault::NoReply);
    logger->clearRequests();
}

void LoggerThreadTest::cleanup()
{
    settings.reset();
    windows.reset();
    logger.reset();
}

QStringList LoggerThreadTest::errorLines() const
{
    QStringList lines;
    for (int row = 0; row < settings->ListBox1->count(); ++row) {
        if (settings->ListBox1->item(row)->text().contains(QStringLiteral("ОШИБКА!")))
            lines << settings->ListBox1->item(row)->text().section(QStringLiteral(" -> "), 1);
    }
    return lines;
}

void LoggerThreadTest::aWriteToASilentLoggerGreysItsPageAndLeavesTheWindowsFree()
{
    TCalibrationPage& page = *settings->TempPage;
    settings->PageControl->setCurrentWidget(settings->TabSheet4);
    QPushButton* writeAll = page.button(QStringLiteral("ButtonTempWriteAll"));
    QSignalSpy finished(&page, &TDevicePage::requestFinished);
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(10);
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start();

    QElapsedTimer click;
    click.start();
    QTest::mouseClick(writeAll, Qt::LeftButton);
    // The click is back at once, the write still waiting for the logger.
    QVERIFY2(click.elapsed() < TDeviceLink::ReplyTimeoutMs, qPrintable(QString::number(click.elapsed())));
    QVERIFY(page.requestRunning());
    for (const char* name : {"ButtonTempWriteAll", "ButtonTempReadAll", "ButtonTempOffsetWrite"})
        QVERIFY2(!page.button(QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(!page.edit(QStringLiteral("EditTempOffset"))->isEnabled());
    // The status list says what runs, below every line logged meanwhile.
    QCOMPARE(settings->ListBox1->item(settings->ListBox1->count() - 1)->text(),
             QStringLiteral("Выполняется: Запись всех коэффициентов…"));
    // Only the page that asks is greyed; the monitor and the other pages go on.
    QVERIFY(settings->WiFiPage->ButtonWiFiReadAll->isEnabled());
    const MonitorControls monitor(*windows->formRead_);
    QVERIFY(monitor.ButtonStartMon->isEnabled());
    QTest::mouseClick(monitor.ButtonStartMon, Qt::LeftButton);
    QCOMPARE(monitor.ButtonStartMon->text(), QStringLiteral("Стоп"));
    static_cast<FakeDialogs&>(*windows->dialogs_).confirms = true; // "Остановить наблюдение?"
    QTest::mouseClick(monitor.ButtonStartMon, Qt::LeftButton);
    QCOMPARE(monitor.ButtonStartMon->text(), QStringLiteral("Старт"));

    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first().first().toBool(), false);
    // Unlock and lock each waited a second for nothing and a second for a late reply.
    QVERIFY2(click.elapsed() >= 4 * TDeviceLink::ReplyTimeoutMs, qPrintable(QString::number(click.elapsed())));
    QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks)));
    QVERIFY(writeAll->isEnabled());
    QVERIFY(page.edit(QStringLiteral("EditTempOffset"))->isEnabled());
    QCOMPARE(errorLines(), QStringList{QStringLiteral("ОШИБКА! Прибор не отвечает")});
    QVERIFY(settings->ListBox1->findItems(QStringLiteral("Выполняется"), Qt::MatchStartsWith).isEmpty());
    QVERIFY(settings->ListBox1->item(settings->ListBox1->count() - 1)->text().endsWith(QStringLiteral("не отвечает")));
    QCOMPARE(logger->requests().size(), 2);
}

void LoggerThreadTest::quittingWhileARequestRunsWaitsOnlyForThatOne()
{
    // A read of a silent logger takes two seconds, less than the end waits.
    QTest::mouseClick(settings->GeneralPage->ButtonDeviceNumberRead, Qt::LeftButton);
    QTest::mouseClick(settings->WiFiPage->ButtonWiFiReadAll, Qt::LeftButton);
    // The erase, asked and answered "Да", queues behind the read.
    QTimer::singleShot(0, settings->LoggerPage, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == QStringLiteral("Да"))
                    button->click();
            }
        }
    });
    settings->LoggerPage->ButtonLogMemEraseClick();
    // The logger's thread has taken the read by then.
    QTest::qWait(200);
    settings.reset();
    QElapsedTimer ending;
    ending.start();
    windows.reset();
    QVERIFY2(ending.elapsed() < TLoggerRequests::ExitWaitMs, qPrintable(QString::number(ending.elapsed())));
    // The read ran to its end; the requests queued behind it never reached the logger.
    QCOMPARE(logger->requests().size(), 1);
}

KORVI_QTEST_MAIN(LoggerThreadTest)
#include "LoggerThreadTest.moc"
