#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class TChart;
class TFormMain;
class TFormSetting;
class TTagButton;

// The monitor window: the program's main window with the live chart, the
// logger button that opens the data viewer and the start/stop button.
class TFormRead : public QWidget {
    Q_OBJECT
public:
    static constexpr int TestModeTag = 788;

    explicit TFormRead(QWidget* parent = nullptr);

    // The windows created after this one; the monitor opens and closes them.
    void Attach(TFormSetting* formSetting, TFormMain* formMain);

    bool TestModeOn() const;

    TChart* ChartRead;
    QLabel* Label1;
    QLabel* Label2;
    TTagButton* ButtonReg;
    QPushButton* ButtonStartMon;

public slots:
    void ButtonRegClick();
    void ButtonStartMonClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormResize();

    TFormSetting* FormSetting = nullptr;
    TFormMain* FormMain = nullptr;
};
