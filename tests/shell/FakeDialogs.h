#pragma once

#include "shell/TUserDialogs.h"

#include <QStringList>

// Answers the program's dialogs as a test tells it and remembers what the
// program asked and said.
class FakeDialogs : public TUserDialogs {
public:
    QString OpenFileName(QWidget*, const QString&) override { return nextAnswer(); }
    QString SaveFileName(QWidget*, const QString& proposedName, bool) override
    {
        proposedNames.append(proposedName);
        return nextAnswer();
    }
    void ShowError(QWidget*, const QString& text) override { errors.append(text); }

    QStringList answers;  // file names to give, in order; empty: cancelled
    QStringList proposedNames;
    QStringList errors;

private:
    QString nextAnswer() { return answers.isEmpty() ? QString() : answers.takeFirst(); }
};
