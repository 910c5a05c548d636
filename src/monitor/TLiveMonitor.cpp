#include "monitor/TLiveMonitor.h"

#include "chart/TChart.h"
#include "device/TDeviceLink.h"
#include "device/TLoggerRequests.h"
#include "text/FormatLocale.h"

#include <QLabel>
#include <QTime>
#include <QTimer>

#include <utility>

TLiveMonitor::TLiveMonitor(TLoggerRequests& requests, QTimer& timer2, TChart& chart, QLabel& label1,
                           QLabel& label2)
    : requests_(requests)
    , Timer2(timer2)
    , ChartRead(chart)
    , Label1(label1)
    , Label2(label2)
{
    humiditySeries_ = ChartRead.addSeries({QStringLiteral("Влажность, %"), QColor(0, 0, 255), 2}, &humidity_);
    temperatureSeries_ = ChartRead.addSeries({QStringLiteral("Температура, °С"), QColor(255, 0, 0), 2}, &temperature_);
    ChartRead.setLeftRange(0, 100);
    ChartRead.setBottomAutomatic();

    // Single shot, re-armed at the end of each cycle: cycles never overlap.
    Timer2.setSingleShot(true);
    Timer2.setInterval(PollPeriodMs);
    connect(&Timer2, &QTimer::timeout, this, &TLiveMonitor::Timer2Timer);
}

void TLiveMonitor::start()
{
    Timer2.start();
}

void TLiveMonitor::stop()
{
    rearmAfterCycle_ = false;
    Timer2.stop();
}

void TLiveMonitor::Timer2Timer()
{
    Timer2.stop();
    rearmAfterCycle_ = true;
    requests_.run(this, &TLivePoll::readChannels,
                  [this](const std::optional<TLivePoll::RawChannels>& raw) { cycleEnded(raw); });
}

void TLiveMonitor::cycleEnded(const std::optional<TLivePoll::RawChannels>& raw)
{
    TLiveMeasurement measurement{clock_(), {}};
    if (raw) {
        if (std::exchange(loggerSilent_, false))
            emit answering();
        const TLiveReading reading = poll_.accept(*raw);
        measurement.tenths = reading.measuredTenths;
        showReading(reading);
    } else {
        showStale();
        if (!loggerSilent_) {
            // Once per silence; the detection tick notices a logger that is gone.
            loggerSilent_ = true;
            requests_.send([](TDeviceLink& link) { link.reportNotAnswering(); });
        }
    }
    if (std::exchange(rearmAfterCycle_, false))
        Timer2.start();
    emit measured(measurement);
}

void TLiveMonitor::showReading(const TLiveReading& reading)
{
    const QLocale locale = FormatLocale();
    lastHumidityText_ = TLivePoll::humidityText(reading.humidity, locale);
    lastTemperatureText_ = TLivePoll::temperatureText(reading.temperature, locale);
    lastReadingTime_ = locale.toString(QTime::currentTime(), LongTimeFormat(locale));
    for (auto [label, text] : {std::pair{&Label1, lastHumidityText_}, std::pair{&Label2, lastTemperatureText_}}) {
        label->setEnabled(true);
        label->setText(text);
        label->adjustSize();
    }

    humidity_.append(reading.humidity, lastReadingTime_);
    temperature_.append(reading.temperature, lastReadingTime_);
    const double last = double(humidity_.firstIndex() + humidity_.pointCount() - 1);
    ChartRead.setBottomRange(last - WindowPoints, last);
    ChartRead.update();
}

void TLiveMonitor::showStale()
{
    if (lastReadingTime_.isEmpty())
        return;
    for (auto [label, text] : {std::pair{&Label1, lastHumidityText_}, std::pair{&Label2, lastTemperatureText_}}) {
        label->setEnabled(false);
        label->setText(QStringLiteral("%1 (%2)").arg(text, lastReadingTime_));
        label->adjustSize();
    }
}
