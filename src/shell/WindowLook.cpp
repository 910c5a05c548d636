#include "shell/WindowLook.h"

#include <QGuiApplication>
#include <QDateEdit>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace WindowLook {

void applyWhiteBackground(QWidget* window)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void centreOn(QWidget* window, const QWidget* anchor)
{
    QRect frame = window->frameGeometry();
    frame.moveCenter(anchor->frameGeometry().center());
    window->move(frame.topLeft());
}

QDateEdit* datePicker(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* picker = new QDateEdit(QDate::currentDate(), parent);
    picker->setObjectName(name);
    picker->setAccessibleName(accessibleName);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    return picker;
}

}  // namespace WindowLook
