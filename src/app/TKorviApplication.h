#pragma once

#include <QApplication>

// The application object: the program's font, and the error box for an error
// that escapes an event handler; the program goes on after the box is closed.
class TKorviApplication : public QApplication {
    Q_OBJECT
public:
    TKorviApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    static void ShowErrorBox(const QString& message);
};
