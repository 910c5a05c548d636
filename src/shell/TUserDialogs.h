#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QFileDialog;
class QPrinter;
class QSettings;
class QWidget;

// Where the program asks the user for a file or tells of a failure. The
// windows reach the dialogs only through this, so tests answer them in
// place of a person.
class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;
    // Empty when the user cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& proposedName, bool confirmOverwrite) = 0;
    // A file to save as one of several kinds, one filter a suffix (the
    // proposed name's first); replacing a file is confirmed.
    virtual QString saveFileNameOffering(QWidget* parent, const QString& proposedName, const QStringList& suffixes) = 0;
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // Asks before something that cannot be undone; true for "Да".
    virtual bool confirm(QWidget* parent, const QString& question) = 0;
    // Lets the user choose and set up a printer; false when cancelled.
    virtual bool setUpPrinter(QWidget* parent, QPrinter& printer) = 0;
};

// Qt's file, print and message dialogs; the file dialogs fit the kind of file
// and start in the folder last chosen, kept in `settings`.
class TQtDialogs : public TUserDialogs {
public:
    // The user's own settings of the program.
    TQtDialogs();
    explicit TQtDialogs(std::unique_ptr<QSettings> settings);
    ~TQtDialogs() override;

    QString openFileName(QWidget* parent, const QString& caption) override;
    QString saveFileName(QWidget* parent, const QString& proposedName, bool confirmOverwrite) override;
    QString saveFileNameOffering(QWidget* parent, const QString& proposedName, const QStringList& suffixes) override;
    void showError(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& question) override;
    bool setUpPrinter(QWidget* parent, QPrinter& printer) override;

private:
    // Shows the dialog; the chosen file, its folder remembered, or empty.
    QString chosenFile(QFileDialog& dialog);

    std::unique_ptr<QSettings> settings_;
};
