#pragma once

#include "settings/PageAction.h"

#include "settings/TLoggerPage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// What the question before an erase showed; empty when none came.
struct EraseQuestionSeen {
    QString text;
    QString informativeText;
    QStringList buttons; // sorted
    QString defaultButton;
    bool wentThrough = false;
};

// Clicks "Очистить память" and answers the question it raises with the button
// captioned `answer`, then lets the request end.
inline EraseQuestionSeen AnswerEraseQuestion(TLoggerPage& page, const QString& answer)
{
    EraseQuestionSeen seen;
    QTimer::singleShot(0, &page, [&seen, answer] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (!box || !box->isVisible())
                continue;
            seen.text = box->text();
            seen.informativeText = box->informativeText();
            seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            QAbstractButton* chosen = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                seen.buttons.append(button->text());
                if (button->text() == answer)
                    chosen = button;
            }
            seen.buttons.sort();
            if (chosen)
                chosen->click();
            else
                box->reject();
        }
    });
    auto* button = page.findChild<QPushButton*>(QStringLiteral("ButtonLogMemErase"));
    seen.wentThrough = ActionWentThrough(page, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    return seen;
}
