#pragma once

#include "shell/TBackgroundSave.h"

#include <QObject>

#include <functional>

class QAction;
class TFormMain;
enum class TOutputKind;
class TUserDialogs;

// The data viewer's work with log files of its own: "Открыть файл..." loads a
// saved log without a logger, "*.log" keeps a copy of the shown log's records
// and "*.csv" writes its rows for other programs.
class TLogFileActions : public QObject {
    Q_OBJECT
public:
    // deviceLabel: the shown log's drive label, the stem of proposed names.
    TLogFileActions(TFormMain& formMain, TUserDialogs& dialogs, std::function<QString()> deviceLabel);

    QAction* openFileItem;
    QAction* logCopyItem;
    QAction* csvItem;

public slots:
    void chooseLogFile();
    // Opens a saved log in the data viewer, or tells why it cannot, once its load ended.
    void openLog(const QString& path);

private slots:
    void saveLogCopy();
    void saveCsv();

private:
    // Asks where to write the kind of file, then writes it on the data viewer's worker.
    void saveAs(TOutputKind kind);
    QString nameStem() const;

    TFormMain& formMain_;
    TUserDialogs& dialogs_;
    std::function<QString()> deviceLabel_;
    TBackgroundSave saver_;
};
