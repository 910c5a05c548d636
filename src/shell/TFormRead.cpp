#include "shell/TFormRead.h"

#include "chart/TChart.h"
#include "data/UserLimitsSettings.h"
#include "mail/MailSettings.h"
#include "monitor/AlarmSettings.h"
#include "monitor/TLiveMonitor.h"
#include "shell/LayoutRules.h"
#include "shell/TAcknowledgeDialog.h"
#include "shell/TAlarmDialog.h"
#include "shell/TAlarmGuard.h"
#include "shell/TLoggerConnection.h"
#include "shell/TMonitorStatusLine.h"
#include "shell/TTagButton.h"
#include "shell/TUserDialogs.h"
#include "shell/WindowLook.h"
#include "text/MessageText.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <tuple>

namespace {

const QColor AlarmColour(192, 0, 0);

} // namespace

TFormRead::TFormRead(TLoggerConnection& connection, const TUserLimitsHolder& limits, TUserDialogs& dialogs,
                     QWidget* parent)
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
    , ButtonAcknowledge(new QPushButton(QStringLiteral("Подтвердить..."), this))
    , alarms_(new TAlarmGuard(StoredAlarmSettings(*ProgramSettings()), StoredMailSettings(*ProgramSettings()), limits,
                              [&connection] { return connection.deviceLabel(); }, this))
    , limits_(limits)
    , dialogs_(dialogs)
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
    auto* statusRow = new QHBoxLayout;
    statusRow->setContentsMargins(0, 0, 6, 3);
    statusRow->addWidget(StatusLine, 1);
    statusRow->addWidget(ButtonAcknowledge, 0, Qt::AlignVCenter);
    layout->addLayout(statusRow);
    ButtonAcknowledge->setObjectName(QStringLiteral("ButtonAcknowledge"));
    ButtonAcknowledge->hide();

    Label1->setObjectName(QStringLiteral("Label1"));
    // A screen reader hears the value the label shows as its name.
    Label1->setAccessibleDescription(QStringLiteral("Влажность"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAccessibleDescription(QStringLiteral("Температура"));
    QFont valueFont(QStringLiteral("Tahoma"));
    valueFont.setPixelSize(21);
    for (QLabel* label : {Label1, Label2}) {
        label->setFont(valueFont);
        label->installEventFilter(this);
    }
    showAlarmingChannels({});
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
    connect(ButtonAcknowledge, &QPushButton::clicked, this, &TFormRead::ButtonAcknowledgeClick);

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
    connect(monitor_, &TLiveMonitor::measured, alarms_, &TAlarmGuard::take);
    alarms_->setObjectName(QStringLiteral("Alarms"));
    connect(alarms_, &TAlarmGuard::changed, this, &TFormRead::showAlarms);
    connect(alarms_, &TAlarmGuard::raised, this, &TFormRead::bringForward);
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
        {"Оповещения...", "ActionAlarms", &TFormRead::showAlarmSettings, true},
        {"Настройки...", "ActionSettings", &TFormRead::settingsRequested, false},
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
    loggerPresent_ = true;
    ButtonReg->setEnabled(true);
    ButtonStartMon->setEnabled(true);
}

// A running monitor goes on polling the lost logger: its silence is an
// alarm, and it shows the readings again once the logger is back.
void TFormRead::showLost()
{
    loggerPresent_ = false;
    ButtonReg->setEnabled(false);
    ButtonStartMon->setEnabled(running());
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
    alarms_->stop(QStringLiteral("наблюдение остановлено"));
}

bool TFormRead::running() const
{
    return ButtonStartMon->text() == QStringLiteral("Стоп");
}

void TFormRead::ButtonRegClick()
{
    emit viewerRequested();
}

void TFormRead::ButtonStartMonClick()
{
    if (!running()) {
        monitor_->start();
        ButtonStartMon->setText(QStringLiteral("Стоп"));
        return;
    }
    if (alarms_->settings().enabled
        && !dialogs_.confirm(this, QStringLiteral("Остановить наблюдение? Пока монитор остановлен, "
                                                  "тревоги не поднимаются.")))
        return;
    stopMonitor();
    // Without a logger the monitor cannot be started again until one is back.
    ButtonStartMon->setEnabled(loggerPresent_);
}

void TFormRead::showProblem(const QString& message)
{
    StatusLine->showFailure(MessageLine(message));
}

void TFormRead::setClock(const std::function<QDateTime()>& clock)
{
    monitor_->setClock(clock);
    alarms_->setClock(clock);
}

void TFormRead::showAlarms()
{
    const std::vector<TAlarm> standing = alarms_->standing();
    const QString line = alarms_->statusText();
    StatusLine->showAlarm(standing.empty() ? QString() : line, line);
    ButtonAcknowledge->setVisible(alarms_->unacknowledged());
    std::array<bool, 3> alarming{};
    for (const TAlarm& alarm : standing) {
        if (alarm.slot >= 0)
            alarming[size_t(alarm.slot)] = true;
    }
    showAlarmingChannels(alarming);
}

// Humidity blue on Label1, temperature red on Label2, each white on red while
// its channel's alarm stands; pressure has no label of its own. A disabled
// label keeps the platform's grey: its reading is stale.
void TFormRead::showAlarmingChannels(const std::array<bool, 3>& alarming)
{
    for (auto [label, slot, colour] : {std::tuple{Label1, 1, QColor(Qt::blue)}, std::tuple{Label2, 0, QColor(Qt::red)}}) {
        const bool alarm = alarming[size_t(slot)];
        QPalette palette = label->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            palette.setColor(group, QPalette::WindowText, alarm ? QColor(Qt::white) : colour);
        palette.setColor(QPalette::Window, AlarmColour);
        label->setPalette(palette);
        label->setAutoFillBackground(alarm);
    }
}

void TFormRead::bringForward()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    QApplication::alert(this);
}

void TFormRead::ButtonAcknowledgeClick()
{
    auto* dialog = new TAcknowledgeDialog(alarms_->statusText(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { alarms_->acknowledge(dialog->comment()); });
    dialog->open();
}

// One dialog for the program's run: its mail box may still be keeping a
// password in the secret store after OK.
void TFormRead::showAlarmSettings()
{
    if (!alarmDialog_) {
        alarmDialog_ = new TAlarmDialog(this);
        connect(alarmDialog_, &QDialog::accepted, this, [this] {
            StoreAlarmSettings(*ProgramSettings(), alarmDialog_->settings());
            alarms_->setSettings(alarmDialog_->settings());
            alarms_->setMailSettings(StoredMailSettings(*ProgramSettings()));
        });
        connect(alarmDialog_, &TAlarmDialog::passwordNotStored, this,
                [this](const QString& reason) { dialogs_.showError(this, reason); });
    }
    alarmDialog_->load(alarms_->settings(), StoredMailSettings(*ProgramSettings()));
    alarmDialog_->open();
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
    // Closing the monitor ends the program, the data viewer first; the trail
    // keeps that the alarms standing then were not seen to their end.
    alarms_->stop(QStringLiteral("программа закрыта"));
    emit closing();
    event->accept();
    QApplication::quit();
}
