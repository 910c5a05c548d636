#include "alerts/TAlarmSound.h"

#include <QSoundEffect>
#include <QUrl>

TAlarmSound::TAlarmSound(std::chrono::milliseconds period, QObject* parent)
    : QObject(parent)
    , effect_(new QSoundEffect(this))
{
    // The beep, compiled in, is loaded once in the background and plays from memory.
    effect_->setSource(QUrl(QStringLiteral("qrc:/alerts/AlarmBeep.wav")));
    repeat_.setInterval(period);
    connect(&repeat_, &QTimer::timeout, effect_, &QSoundEffect::play);
}

void TAlarmSound::start()
{
    if (repeat_.isActive())
        return;
    effect_->play();
    repeat_.start();
}

void TAlarmSound::stop()
{
    repeat_.stop();
    effect_->stop();
}

bool TAlarmSound::isSounding() const
{
    return repeat_.isActive();
}
