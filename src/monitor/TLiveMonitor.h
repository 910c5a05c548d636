#pragma once

#include "chart/TListSeriesSource.h"
#include "monitor/TLivePoll.h"

#include <QDateTime>
#include <QObject>

#include <functional>

class QLabel;
class QTimer;
class TChart;
class TLoggerRequests;

// The monitor window's live chart and value labels, fed by the poll cycle
// that the monitor's Timer2 runs while the monitor is started. A cycle is a
// request on the logger's thread; the chart goes on drawing meanwhile.
class TLiveMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int PollPeriodMs = 2000;
    // The bottom axis shows the newest point and the 150 before it.
    static constexpr int WindowPoints = 150;
    // A day of cycles; older points are dropped while the indices keep counting.
    static constexpr qint64 KeptPoints = 43200;

    TLiveMonitor(TLoggerRequests& requests, QTimer& timer2, TChart& chart, QLabel& label1, QLabel& label2);

    // Polls every PollPeriodMs, the first cycle one period from now, until stopped.
    void start();
    // A cycle still running shows its reading but arms no other.
    void stop();

    int Series1() const { return humiditySeries_; }
    int Series2() const { return temperatureSeries_; }
    const TListSeriesSource& humidityPoints() const { return humidity_; }
    const TListSeriesSource& temperaturePoints() const { return temperature_; }

    // What dates each cycle's measurement: the wall clock, or a test's virtual one.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

signals:
    // A cycle read the logger after one that failed: it answers again.
    void answering();
    // Every cycle's end, answered or not, with what the logger measured.
    void measured(const TLiveMeasurement& measurement);

public slots:
    // Asks the logger for one cycle.
    void Timer2Timer();

private:
    void cycleEnded(const std::optional<TLivePoll::RawChannels>& raw);
    void showReading(const TLiveReading& reading);
    // After a failed cycle the labels keep the last good values, greyed and
    // with the time they were read, until a cycle succeeds.
    void showStale();

    TLoggerRequests& requests_;
    QTimer& Timer2;
    TChart& ChartRead;
    QLabel& Label1;
    QLabel& Label2;
    TLivePoll poll_;
    TListSeriesSource humidity_{KeptPoints};
    TListSeriesSource temperature_{KeptPoints};
    int humiditySeries_;
    int temperatureSeries_;
    // Each cycle arms the next as it ends, unless stopped meanwhile.
    bool rearmAfterCycle_ = false;
    bool loggerSilent_ = false;
    QString lastHumidityText_;
    QString lastTemperatureText_;
    QString lastReadingTime_;
    std::function<QDateTime()> clock_ = &QDateTime::currentDateTime;
};
