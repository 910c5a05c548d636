#include "shell/TMonitorStatusLine.h"

TMonitorStatusLine::TMonitorStatusLine(QWidget* parent)
    : QLabel(parent)
    , normalColour_(palette().color(QPalette::WindowText))
{
    setObjectName(QStringLiteral("StatusLine"));
    setAccessibleDescription(QStringLiteral("Состояние прибора"));
    setWordWrap(true);
    setContentsMargins(6, 3, 6, 3);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    showNoLogger();
}

void TMonitorStatusLine::showNoLogger()
{
    if (accessRefused_)
        return;
    showState(QStringLiteral("Прибор не найден: подключите его к порту USB"), false);
}

void TMonitorStatusLine::showConnected(const QString& label)
{
    accessRefused_ = false;
    showState(QStringLiteral("Прибор № %1 подключён").arg(label), false);
}

void TMonitorStatusLine::showAccessRefused()
{
    accessRefused_ = true;
    showState(QStringLiteral("ОШИБКА! Нет доступа к прибору. Установите правило udev из packaging/ "
                        "(sudo cmake --install build или копия 70-korvi-logger.rules в /etc/udev/rules.d/), "
                        "выполните udevadm control --reload-rules && udevadm trigger "
                        "и подключите прибор заново"),
         true);
}

void TMonitorStatusLine::showNotAnswering()
{
    showState(QStringLiteral("Прибор не отвечает"), true);
}

void TMonitorStatusLine::showFailure(const QString& text)
{
    showState(text, true);
}

void TMonitorStatusLine::showAlarm(const QString& text, const QString& after)
{
    alarm_ = text;
    if (!alarm_.isEmpty())
        paint(alarm_, true);
    else if (!after.isEmpty())
        paint(after, false);
    else
        paint(state_, stateFailure_);
}

void TMonitorStatusLine::showState(const QString& text, bool failure)
{
    state_ = text;
    stateFailure_ = failure;
    if (alarm_.isEmpty())
        paint(text, failure);
}

void TMonitorStatusLine::paint(const QString& text, bool failure)
{
    setText(text);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, failure ? QColor(Qt::red) : normalColour_);
    setPalette(colours);
}
