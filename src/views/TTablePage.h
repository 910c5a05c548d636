#pragma once

#include "views/BoundEditRules.h"

#include <QWidget>

class QDateEdit;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class TMeasurementStore;
class TRowTableModel;
class TVirtualGrid;

// The data viewer's "Таблица" page: the measurement table and, below it, the
// filter panel that narrows the table to a period and to temperature and
// humidity bounds. Filtering never changes the store, only what this page shows.
class TTablePage : public QWidget {
    Q_OBJECT
public:
    explicit TTablePage(const TMeasurementStore& store, QWidget* parent = nullptr);

    // The loader's part for this page, after every load: every row in the
    // table, the loaded period in the pickers, the panel usable only with data.
    // The edits keep their texts.
    void storeLoaded();

    TVirtualGrid* StringGridFiltr;
    QFrame* PanelSFiltr;
    QLabel* LabelFilter;
    QLabel* LabelByValues;
    QLabel* LabelByPeriod;
    QLineEdit* EditTMax;
    QLineEdit* EditTMin;
    QLineEdit* EditRHMax;
    QLineEdit* EditRHMin;
    QDateEdit* DateTimePickerDFStartS;
    QTimeEdit* DateTimePickerTFStartS;
    QDateEdit* DateTimePickerDFStopS;
    QTimeEdit* DateTimePickerTFStopS;
    QPushButton* ButtonFiltrS;
    QPushButton* ButtonFilterClearS;

public slots:
    // Also called straight, as a disabled button cannot be clicked.
    void ButtonFiltrSClick();

private slots:
    void ButtonFilterClearSClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGrid();
    void buildPanel();
    QLineEdit* newBoundEdit(const QString& name, const TBoundRange& range);
    // The key rule shared by the four bound edits; true when the key is consumed.
    bool editBoundKeyPress(QLineEdit& edit, const QKeyEvent& event);
    // The range rule shared by the four bound edits.
    void editBoundChange(QLineEdit& edit, const TBoundRange& range);
    void showPeriodBounds();
    void setPanelEnabled(bool enabled);

    const TMeasurementStore& store_;
    TRowTableModel* rows_;
};
