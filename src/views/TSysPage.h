#pragma once

#include <QWidget>

class QAbstractItemModel;
class QPlainTextEdit;
class QPushButton;
class TDumpLogModel;
class TVirtualGrid;
struct TLoadResult;

// The service page "Sys": the loader's working lists, its dump of every valid
// record, the row table, and the button that runs a load directly.
class TSysPage : public QWidget {
    Q_OBJECT
public:
    TSysPage(QAbstractItemModel& rowTable, QWidget* parent = nullptr);

    void showLoad(const TLoadResult& result);

    QPlainTextEdit* MemoDisc;
    QPlainTextEdit* MemoFile;
    QPlainTextEdit* MemoFileRes;
    TVirtualGrid* Memo4;
    QPushButton* Go;
    TVirtualGrid* StringGrid;

private:
    TDumpLogModel* dumpModel_;
};
