#pragma once

#include <QString>

class QWidget;

// Where the program asks the user for a file or tells of a failure. The
// windows reach the dialogs only through this, so tests answer them in
// place of a person.
class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;
    // Empty when the user cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& caption) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& proposedName, bool confirmOverwrite) = 0;
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
};

// The platform's own file dialogs and message box.
class TQtDialogs : public TUserDialogs {
public:
    QString OpenFileName(QWidget* parent, const QString& caption) override;
    QString SaveFileName(QWidget* parent, const QString& proposedName, bool confirmOverwrite) override;
    void ShowError(QWidget* parent, const QString& text) override;
};
