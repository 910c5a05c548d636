#include "KorviTestMain.h"

#include "MonitorControls.h"
#include "SimulatedWindows.h"

#include "shell/TFormRead.h"

#include <QLabel>

// The monitor's status line through a day with the simulated logger: none,
// plugged in, silent, refused, pulled out; each step as detection and the
// poll report it.
class MonitorStatusLineTest : public QObject {
    Q_OBJECT

private slots:
    void followsTheLoggerThroughItsStates();
};

void MonitorStatusLineTest::followsTheLoggerThroughItsStates()
{
    SimulatedWindows simulation;
    QWidget& monitor = *simulation.windows->formRead_;
    monitor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&monitor));
    const auto* line = monitor.findChild<QLabel*>(QStringLiteral("StatusLine"));
    QVERIFY(line);
    const MonitorControls controls(monitor);
    QVERIFY(line->isVisible());
    QVERIFY2(line->geometry().top() >= controls.ChartRead->geometry().bottom(), "the line is below the chart");
    const QColor normal = line->palette().color(QPalette::WindowText);

    const QString notFound = QStringLiteral("Прибор не найден: подключите его к порту USB");
    TLoggerConnection& connection = *simulation.windows->connection_;
    simulation.detect();
    QCOMPARE(line->text(), notFound);

    simulation.connectLogger();
    const QString connected = QStringLiteral("Прибор № %1 подключён").arg(connection.deviceLabel());
    QVERIFY(!connection.deviceLabel().isEmpty());
    QCOMPARE(line->text(), connected);

    TLiveMonitor& live = simulation.liveMonitor();
    live.Timer2Timer();
    simulation.finishRequests();
    simulation.logger->setFault(SimulatedLogger::Fault::NoReply);
    live.Timer2Timer();
    simulation.finishRequests();
    QCOMPARE(line->text(), QStringLiteral("Прибор не отвечает"));
    QCOMPARE(line->palette().color(QPalette::WindowText), QColor(Qt::red));
    simulation.logger->setFault(SimulatedLogger::Fault::None);
    live.Timer2Timer();
    simulation.finishRequests();
    QCOMPARE(line->text(), connected);
    QCOMPARE(line->palette().color(QPalette::WindowText), normal);

    simulation.backend->pull(simulation.logger);
    simulation.detect();
    QCOMPARE(line->text(), notFound);

    simulation.logger->setAccessDenied(true);
    simulation.backend->plug(simulation.logger);
    simulation.detect();
    QVERIFY2(line->text().startsWith(QStringLiteral("ОШИБКА! Нет доступа к прибору")), qPrintable(line->text()));
    QVERIFY(line->text().contains(QStringLiteral("udev")));
    QVERIFY(line->text().contains(QStringLiteral("packaging/")));
    simulation.detect();  // still refused: the hint stays
    QVERIFY(line->text().startsWith(QStringLiteral("ОШИБКА! Нет доступа к прибору")));

    simulation.logger->setAccessDenied(false);
    simulation.detect();
    QCOMPARE(line->text(), connected);
    simulation.backend->pull(simulation.logger);
    simulation.detect();
    QCOMPARE(line->text(), notFound);
}

KORVI_QTEST_MAIN(MonitorStatusLineTest)
#include "MonitorStatusLineTest.moc"
