#include "shell/TFormRead.h"

#include "chart/TChart.h"
#include "monitor/TLiveMonitor.h"
#include "shell/LayoutRules.h"
#include "shell/TLoggerConnection.h"
#include "shell/TMonitorStatusLine.h"
#include "shell/TTagButton.h"
#include "shell/WindowLook.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

TFormRead::TFormRead(TLoggerConnection& connection, const TUserLimitsHolder& limits, QWidget* parent)
    : QWidget(parent)
    , ChartRead(new TChart(this))
    , Label1(new QLabel(QStringLiteral("          "), ChartRead))
    , Label2(new QLabel(QStringLiteral("          "), ChartRead))
    , ButtonReg(new TTagButton(QStringLiteral("Регистратор"), ChartRead))
    , ButtonStartMon(new QPushButton(QStringLiteral("Старт"), ChartRead))
    , Timer2(new QTimer(this))
    , monitor_(new TLiveMonitor(connection.requests(), *Timer2, *ChartRead, *Label1, *Label2))
    , ButtonMenu(new QToolButton(ChartRead))
    , MenuMonitor(new QMenu(this))
    , StatusLine(new TMonitorStatusLine(this))
    , limits_(limits)
{
    setObjectName(QStringLiteral("FormRead"));
    setWindowTitle(QStringLiteral("KORVI USB Монитор v1.0"));
    WindowLook::applyWhiteBackground(this);
    resize(584, 361);

    ChartRead->setObjectName(QStringLiteral("ChartRead"));
    ChartRead->setAccessibleName(QStringLiteral("График текущих измерений"));
    ChartRead->setMargins(QMargins(16, 32, 16, 32));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ChartRead, 1);
    layout->addWidget(StatusLine);

    Label1->setObjectName(QStringLiteral("Label1"));
    // A screen reader hears the value the label shows as its name.
    Label1->setAccessibleDescription(QStringLiteral("Влажность"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAccessibleDescription(QStringLiteral("Температура"));
    QFont valueFont(QStringLiteral("Tahoma"));
    valueFont.setPixelSize(21);
    for (auto [label, colour] : {std::pair{Label1, QColor(Qt::blue)}, std::pair{Label2, QColor(Qt::red)}}) {
        label->setFont(valueFont);
        // A disabled label keeps the platform's grey: its reading is stale.
        QPalette palette = label->palette();
        palette.setColor(QPalette::Active, QPalette::WindowText, colour);
        palette.setColor(QPalette::Inactive, QPalette::WindowText, colour);
        label->setPalette(palette);
        label->installEventFilter(this);
    }
    ButtonReg->setObjectName(QStringLiteral("ButtonReg"));
    ButtonStartMon->setObjectName(QStringLiteral("ButtonStartMon"));
    for (QWidget* control : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                             static_cast<QWidget*>(ButtonReg), static_cast<QWidget*>(ButtonStartMon)})
        control->adjustSize();
    ButtonReg->setEnabled(false);
    ButtonStartMon->setEnabled(false);

    buildMenu();

    connect(ButtonReg, &QPushButton::clicked, this, &TFormRead::ButtonRegClick);
    connect(ButtonStartMon, &QPushButton::clicked, this, &TFormRead::ButtonStartMonClick);

    Timer2->setObjectName(QStringLiteral("Timer2"));
    monitor_->setObjectName(QStringLiteral("Monitor"));
    monitor_->setParent(this);
    connect(&connection, &TLoggerConnection::detected, this, &TFormRead::showConnected);
    connect(&connection, &TLoggerConnection::lost, this, &TFormRead::showLost);
    connect(&connection, &TLoggerConnection::testModeChanged, this, &TFormRead::showTestMode);
    connect(&connection, &TLoggerConnection::lost, StatusLine, &TMonitorStatusLine::showNoLogger);
    connect(&connection, &TLoggerConnection::accessRefused, StatusLine, &TMonitorStatusLine::showAccessRefused);
    connect(&connection, &TLoggerConnection::notAnswering, StatusLine, &TMonitorStatusLine::showNotAnswering);
    const auto showConnectedLogger = [this, &connection] { StatusLine->showConnected(connection.deviceLabel()); };
    connect(&connection, &TLoggerConnection::detected, StatusLine, showConnectedLogger);
    connect(monitor_, &TLiveMonitor::answering, StatusLine, showConnectedLogger);
    connect(monitor_, &TLiveMonitor::measured, this, &TFormRead::measured);
    WindowLook::centreOnScreen(this);
}

void TFormRead::buildMenu()
{
    MenuMonitor->setObjectName(QStringLiteral("MenuMonitor"));
    const struct {
        const char* text;
        const char* objectName;
        void (TFormRead::*request)();
        bool separatorBefore;
    } items[] = {
        {"Просмотр данных...", "ActionViewer", &TFormRead::viewerRequested, false},
        {"Открыть файл...", "ActionOpenFile", &TFormRead::openFileRequested, false},
        {"Настройки...", "ActionSettings", &TFormRead::settingsRequested, true},
    };
    for (const auto& item : items) {
        if (item.separatorBefore)
            MenuMonitor->addSeparator();
        QAction* action = MenuMonitor->addAction(QString::fromUtf8(item.text));
        action->setObjectName(QString::fromLatin1(item.objectName));
        connect(action, &QAction::triggered, this, item.request);
    }

    ButtonMenu->setObjectName(QStringLiteral("ButtonMenu"));
    ButtonMenu->setText(QStringLiteral("Меню"));
    ButtonMenu->setMenu(MenuMonitor);
    ButtonMenu->setPopupMode(QToolButton::InstantPopup);
    ButtonMenu->adjustSize();
    ButtonMenu->move(8, 5);
}

void TFormRead::showConnected()
{
    ButtonReg->setEnabled(true);
    ButtonStartMon->setEnabled(true);
}

void TFormRead::showLost()
{
    stopMonitor();
    ButtonReg->setEnabled(false);
    ButtonStartMon->setEnabled(false);
}

// The button stays enabled in test mode, logger or not; leaving the mode disables it.
void TFormRead::showTestMode(bool on)
{
    ButtonReg->setEnabled(on);
    ButtonReg->Tag = on ? TestModeTag : 0;
}

void TFormRead::stopMonitor()
{
    monitor_->stop();
    ButtonStartMon->setText(QStringLiteral("Старт"));
}

void TFormRead::ButtonRegClick()
{
    emit viewerRequested();
    stopMonitor();
}

void TFormRead::ButtonStartMonClick()
{
    if (ButtonStartMon->text() == QStringLiteral("Старт")) {
        monitor_->start();
        ButtonStartMon->setText(QStringLiteral("Стоп"));
    } else {
        stopMonitor();
    }
}

void TFormRead::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

// The value labels stay centred as their texts grow and shrink.
bool TFormRead::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && (watched == Label1 || watched == Label2))
        FormResize();
    return QWidget::eventFilter(watched, event);
}

void TFormRead::FormResize()
{
    const LayoutRules::MonitorLayout at = LayoutRules::monitorLayout(
        frameGeometry().width(), ChartRead->width(), ChartRead->height(),
        Label1->width(), Label2->width(), ButtonStartMon->width());
    Label1->move(at.label1Left, at.controlsTop);
    Label2->move(at.label2Left, at.controlsTop);
    ButtonReg->move(at.buttonRegLeft, at.controlsTop);
    ButtonStartMon->move(at.buttonStartMonLeft, at.controlsTop);
    ChartRead->setLegendPosition(QPoint(at.legendLeft, 5));
}

void TFormRead::contextMenuEvent(QContextMenuEvent* event)
{
    MenuMonitor->popup(event->globalPos());
}

void TFormRead::closeEvent(QCloseEvent* event)
{
    // Closing the monitor ends the program, the data viewer first.
    emit closing();
    event->accept();
    QCoreApplication::quit();
}
