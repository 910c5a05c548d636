#pragma once

#include <QFrame>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QScrollBar;
class QTimeEdit;

// The panel at the bottom of the chart (PanelFiltr): the scroll bar of the
// point window, the zoom buttons, the interval list and the period pickers.
// It only holds the controls; the chart page handles them.
class TChartFilterPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int PanelHeight = 70;

    explicit TChartFilterPanel(QWidget* parent = nullptr);

    // The scroll bar's place is the window layout's to decide.
    void placeScrollBar(int left, int width);

    QScrollBar* ScrollBarScroll;
    QLabel* LabelScale;
    QPushButton* ButtonZoomIn;
    QPushButton* ButtonZoomOut;
    QLabel* LabelRow;
    QComboBox* ComboBoxRow;
    QLabel* LabelFilter;
    QLabel* LabelFrom;
    QDateEdit* DateTimePickerDFStart;
    QTimeEdit* DateTimePickerTFStart;
    QLabel* LabelTo;
    QDateEdit* DateTimePickerDFStop;
    QTimeEdit* DateTimePickerTFStop;
    QPushButton* ButtonFiltr;
    QPushButton* ButtonFilterClear;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* controls_;
};
