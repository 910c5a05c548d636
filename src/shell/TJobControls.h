#pragma once

#include <QObject>

class QBoxLayout;
class QProgressBar;
class QPushButton;
class QWidget;
class TBackgroundJob;

// A background job's progress bar and its "Отмена" in a window: shown while
// the job runs, the bar following its progress, the button cancelling it.
class TJobControls : public QObject {
    Q_OBJECT
public:
    TJobControls(TBackgroundJob& job, const char* barName, const char* cancelName, QWidget* window);

    // Puts the bar and the button at the end of a row of the window.
    void addTo(QBoxLayout& row) const;
    QPushButton* cancelButton() const { return cancel_; }

private:
    void showRunning(bool running);

    QProgressBar* bar_;
    QPushButton* cancel_;
};
