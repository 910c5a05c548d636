#pragma once

#include "shell/TBackgroundSave.h"

#include <QObject>

#include <functional>

class QAction;
class QIODevice;
class TFormMain;
class TJobProgress;
class TUserDialogs;

// The data viewer's work with log files of its own: "Открыть файл..." loads a
// saved log without a logger, "*.log" keeps a copy of the shown log's records
// and "*.csv" writes its rows for other programs.
class TLogFileActions : public QObject {
    Q_OBJECT
public:
    // deviceLabel: the shown log's drive label, the stem of proposed names.
    TLogFileActions(TFormMain& formMain, TUserDialogs& dialogs, std::function<QString()> deviceLabel);

    QAction* N1_3Open;
    QAction* log1;
    QAction* csv1;

public slots:
    void N1_3OpenClick();
    void log1Click();
    void csv1Click();
    // Opens a saved log in the data viewer, or tells why it cannot.
    void OpenLog(const QString& path);

private:
    // Writes into the device on the data viewer's worker, from data of its own.
    using Writer = std::function<bool(QIODevice&, QString*, TJobProgress&)>;
    void SaveAs(const QString& extension, Writer write);
    QString NameStem() const;

    TFormMain& FormMain;
    TUserDialogs& Dialogs;
    std::function<QString()> DeviceLabel;
    TBackgroundSave Saver;
};
