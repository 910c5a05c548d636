#pragma once

#include "reports/SpreadsheetReport.h"
#include "shell/TBackgroundSave.h"

#include <QObject>

#include <functional>

class QAction;
class TFormMain;
class TUserDialogs;

// The ways the loaded data leave the program besides log files: the
// spreadsheet report ("*.xls"), the PDF report ("*.pdf"), the chart as a
// bitmap ("*.bmp") and the printed chart ("Печать").
class TReportActions : public QObject {
    Q_OBJECT
public:
    // deviceLabel: the connected logger's drive label, printed in the report's header.
    TReportActions(TFormMain& formMain, TUserDialogs& dialogs, std::function<QString()> deviceLabel);

    QAction* pdf1;

public slots:
    void xls1Click();
    void pdf1Click();
    void bmp1Click();
    void N1Click();

private:
    QString AskForFile(const QString& extension);
    TReportHeader Header() const;

    TFormMain& FormMain;
    TUserDialogs& Dialogs;
    std::function<QString()> DeviceLabel;
    TBackgroundSave Saver;
};
