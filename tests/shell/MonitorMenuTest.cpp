#include "KorviTestMain.h"

#include "MonitorControls.h"
#include "SimulatedWindows.h"
#include "ViewerControls.h"

#include "data/LogGenerator.h"
#include "chart/TChart.h"
#include "data/MeasurementStore.h"
#include "shell/TFormRead.h"
#include "shell/TTagButton.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

// The monitor's everyday ways to the other windows, used with no logger
// plugged in, as the user clicks them.
class MonitorMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void settingsOpenInTwoClicksFromTheMenuButton();
    void contextMenuOffersTheSameItems();
    void viewerAndASavedLogWithoutALogger();
    void logNamedAtStartOpensInTheViewer();

private:
    QString writeLog(const QString& name);
    // Clicks the menu button, then `item` in the menu it pops up.
    void clickMenuItem(QAction* item);

    std::unique_ptr<SimulatedWindows> simulation;
    TApplicationWindows* windows = nullptr;
    TFormRead* monitor = nullptr;
    QToolButton* buttonMenu = nullptr;
    QMenu* menuMonitor = nullptr;
    QAction* actionViewer = nullptr;
    QAction* actionOpenFile = nullptr;
    QAction* actionSettings = nullptr;
};

void MonitorMenuTest::init()
{
    simulation = std::make_unique<SimulatedWindows>();
    windows = simulation->windows.get();
    monitor = windows->formRead_.get();
    windows->showMainWindow();
    buttonMenu = monitor->findChild<QToolButton*>(QStringLiteral("ButtonMenu"));
    menuMonitor = monitor->findChild<QMenu*>(QStringLiteral("MenuMonitor"));
    QVERIFY(buttonMenu && menuMonitor);
    actionViewer = menuMonitor->findChild<QAction*>(QStringLiteral("ActionViewer"));
    actionOpenFile = menuMonitor->findChild<QAction*>(QStringLiteral("ActionOpenFile"));
    actionSettings = menuMonitor->findChild<QAction*>(QStringLiteral("ActionSettings"));
    QVERIFY(actionViewer && actionOpenFile && actionSettings);
    QVERIFY(QTest::qWaitForWindowExposed(monitor));
}

void MonitorMenuTest::cleanup()
{
    simulation.reset();
}

QString MonitorMenuTest::writeLog(const QString& name)
{
    const QString path = simulation->drive.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(LogGenerator(3).generate(120, TLogShape::Typical, QDateTime(QDate(2024, 2, 1), QTime(9, 0))));
    return path;
}

void MonitorMenuTest::clickMenuItem(QAction* item)
{
    bool clicked = false;
    QTimer::singleShot(0, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu, menuMonitor);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        clicked = true;
    });
    QVERIFY(buttonMenu->isVisible());
    QTest::mouseClick(buttonMenu, Qt::LeftButton);
    QTRY_VERIFY(clicked);
}

void MonitorMenuTest::settingsOpenInTwoClicksFromTheMenuButton()
{
    QVERIFY(!windows->formSetting_->isVisible());
    QCOMPARE(buttonMenu->text(), QStringLiteral("Меню"));
    QCOMPARE(actionSettings->text(), QStringLiteral("Настройки..."));
    clickMenuItem(actionSettings);
    QVERIFY(windows->formSetting_->isVisible());
    // A second time brings it forward rather than hiding it.
    clickMenuItem(actionSettings);
    QVERIFY(windows->formSetting_->isVisible());
}

void MonitorMenuTest::contextMenuOffersTheSameItems()
{
    const QPoint inside = MonitorControls(*monitor).ChartRead->geometry().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside, monitor->mapToGlobal(inside));
    QApplication::sendEvent(MonitorControls(*monitor).ChartRead, &event);
    QTRY_VERIFY(menuMonitor->isVisible());
    QStringList texts;
    for (const QAction* action : menuMonitor->actions())
        if (!action->isSeparator())
            texts << action->text();
    QCOMPARE(texts, QStringList({QStringLiteral("Просмотр данных..."), QStringLiteral("Открыть файл..."),
                                 QStringLiteral("Оповещения..."), QStringLiteral("Настройки...")}));
    menuMonitor->hide();
}

void MonitorMenuTest::viewerAndASavedLogWithoutALogger()
{
    QVERIFY(!MonitorControls(*monitor).ButtonReg->isEnabled());
    clickMenuItem(actionViewer);
    TFormMain& viewer = *windows->formMain_;
    QVERIFY(viewer.isVisible());
    QCOMPARE(ViewerControls(viewer).StatusLine->text(), TFormMain::emptyViewerHint());
    viewer.hide();

    simulation->dialogs->answers = {writeLog(QStringLiteral("аптека.log"))};
    clickMenuItem(actionOpenFile);
    QVERIFY(finishBackgroundJob(viewer));
    QVERIFY(viewer.isVisible());
    QVERIFY(simulation->dialogs->errors.isEmpty());
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Регистратор данных - аптека.log"));
    QCOMPARE(windows->connection_->recordCount(), 120);
}

void MonitorMenuTest::logNamedAtStartOpensInTheViewer()
{
    TFormMain& viewer = *windows->formMain_;
    windows->openLog(writeLog(QStringLiteral("start.log")));
    QVERIFY(finishBackgroundJob(viewer));
    QVERIFY(viewer.isVisible());
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Регистратор данных - start.log"));
    QCOMPARE(windows->connection_->recordCount(), 120);

    const QString missing = simulation->drive.filePath(QStringLiteral("нет.log"));
    windows->openLog(missing);
    QVERIFY(finishBackgroundJob(viewer));
    QCOMPARE(simulation->dialogs->errors.size(), 1);
    QVERIFY2(simulation->dialogs->errors[0].startsWith(QStringLiteral("Не удалось открыть ") + missing),
             qPrintable(simulation->dialogs->errors[0]));
    QCOMPARE(windows->connection_->recordCount(), 120);
}

KORVI_QTEST_MAIN(MonitorMenuTest)
#include "MonitorMenuTest.moc"
