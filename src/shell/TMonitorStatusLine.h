#pragma once

#include <QLabel>

// The monitor's line below the chart: what the program knows of the logger
// right now, in the user's words, with the one hint that helps when access
// to the logger is refused.
class TMonitorStatusLine : public QLabel {
    Q_OBJECT
public:
    explicit TMonitorStatusLine(QWidget* parent = nullptr);

public slots:
    // Keeps a refusal shown: a logger that cannot be opened is also one not found.
    void showNoLogger();
    void showConnected(const QString& label);
    void showAccessRefused();
    void showNotAnswering();
    // A failure of the program's own, in red until the state next changes.
    void showFailure(const QString& text);
    // While alarms stand their line stays shown, red, over the logger's
    // state; an empty text gives the line back to the state, or to `after`
    // (the norm restored) until the state next changes.
    void showAlarm(const QString& text, const QString& after = {});

private:
    void showState(const QString& text, bool failure);
    void paint(const QString& text, bool failure);

    QColor normalColour_;
    bool accessRefused_ = false;
    QString alarm_;
    QString state_;
    bool stateFailure_ = false;
};
