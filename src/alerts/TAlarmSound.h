#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

class QSoundEffect;

// The alarm's sound: a short two-tone beep, at once and again every period
// while the alarm stands. Where the desktop has no audio device the beep is
// silent and all else goes on as usual.
class TAlarmSound : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultPeriod = std::chrono::seconds(10);

    explicit TAlarmSound(std::chrono::milliseconds period = DefaultPeriod, QObject* parent = nullptr);

    // Beeps now and every period from now on; nothing more while sounding.
    void start();
    // Ends a beep that is playing and the ones to come.
    void stop();
    bool isSounding() const;

private:
    QSoundEffect* effect_;
    QTimer repeat_;
};
