// The alarm's sound on an audio device of the test's own (PulseAudio's null
// sink, which plays in real time into nothing, by with-sound-server), and on
// a machine with no audio device at all, where only its silence can be seen.
#include "alerts/TAlarmSound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTest>
#include <QTimer>
#include <QWaveDecoder>

#include <gtest/gtest.h>

#include <cmath>
#include <span>

namespace {

using namespace std::chrono_literals;

QSoundEffect& effectOf(const TAlarmSound& sound)
{
    return *sound.findChild<QSoundEffect*>();
}

// The tone of samples, in Hz, from how often the wave crosses zero.
double toneOf(std::span<const qint16> samples, int sampleRate)
{
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    return crossings / 2.0 * sampleRate / double(samples.size());
}

// When the effect began to play, in ms from the watch's start.
struct PlayWatch {
    explicit PlayWatch(const QSoundEffect& effect)
    {
        QObject::connect(&effect, &QSoundEffect::playingChanged, &effect, [this, &effect] {
            if (effect.isPlaying())
                starts.append(sinceStart.elapsed());
        });
        sinceStart.start();
    }

    std::string startsText() const
    {
        QStringList texts;
        for (const qint64 start : starts)
            texts.append(QString::number(start));
        return texts.join(QLatin1Char(' ')).toStdString();
    }

    QElapsedTimer sinceStart;
    QList<qint64> starts;
};

TEST(AlarmSound, BeepIsAShortTwoToneWaveCompiledIn)
{
    const TAlarmSound sound;
    const QSoundEffect& effect = effectOf(sound);
    ASSERT_EQ(effect.source().scheme(), QStringLiteral("qrc"));
    QFile file(QLatin1Char(':') + effect.source().path());
    QWaveDecoder wave(&file);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_TRUE(wave.open(QIODevice::ReadOnly));

    const QAudioFormat format = wave.audioFormat();
    EXPECT_EQ(format.sampleFormat(), QAudioFormat::Int16);
    EXPECT_EQ(format.channelCount(), 1);
    EXPECT_EQ(format.sampleRate(), 22050);
    EXPECT_EQ(wave.duration(), 400);

    // Two tones of 0.2 s, the higher one first.
    const QByteArray pcm = wave.readAll();
    const std::span<const qint16> samples(reinterpret_cast<const qint16*>(pcm.constData()), pcm.size() / 2);
    ASSERT_EQ(samples.size(), 8820u);
    EXPECT_NEAR(toneOf(samples.first(4410), format.sampleRate()), 988, 10);
    EXPECT_NEAR(toneOf(samples.last(4410), format.sampleRate()), 740, 10);

    // The effect loads it too, ready to play.
    ASSERT_TRUE(QTest::qWaitFor([&] { return effect.status() != QSoundEffect::Loading; }, 5000));
    EXPECT_EQ(effect.status(), QSoundEffect::Ready);
}

TEST(AlarmSound, BeepsAtOnceAndEachPeriodUntilStopped)
{
    ASSERT_FALSE(QMediaDevices::audioOutputs().isEmpty()) << "run inside with-sound-server";
    constexpr qint64 Period = 2000;
    TAlarmSound sound(std::chrono::milliseconds{Period});
    const QSoundEffect& effect = effectOf(sound);
    ASSERT_TRUE(QTest::qWaitFor([&] { return effect.status() == QSoundEffect::Ready; }, 5000));
    PlayWatch watch(effect);

    sound.start();
    EXPECT_TRUE(sound.isSounding());
    QTest::qWait(1000);
    // A start while sounding adds no beep and keeps the period.
    sound.start();
    QTest::qWait(int(2 * Period));
    sound.stop();
    EXPECT_FALSE(sound.isSounding());
    EXPECT_FALSE(effect.isPlaying());
    QTest::qWait(int(1.5 * Period));

    // The n-th beep begins at n periods, give or take the device's latency
    // and the 5 % a period's timer may be off by.
    ASSERT_EQ(watch.starts.size(), 3) << "beeps began at " << watch.startsText();
    for (int n = 0; n < watch.starts.size(); ++n) {
        EXPECT_GE(watch.starts[n], n * Period * 95 / 100) << watch.startsText();
        EXPECT_LE(watch.starts[n], n * Period * 105 / 100 + 500) << watch.startsText();
    }
}

// Run with a sound server address that leads nowhere.
TEST(WithoutDevices, AlarmSoundGoesOnSilently)
{
    ASSERT_TRUE(QMediaDevices::audioOutputs().isEmpty());
    TAlarmSound sound(200ms);
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();

    sound.start();
    EXPECT_TRUE(sound.isSounding());
    QTest::qWait(1000);
    sound.stop();
    EXPECT_FALSE(sound.isSounding());
    // Five silent beeps later the event loop still turned as usual.
    EXPECT_GE(ticks, 50);
}

} // namespace
