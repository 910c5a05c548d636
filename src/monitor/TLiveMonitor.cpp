#include "monitor/TLiveMonitor.h"

#include "chart/TChart.h"
#include "device/TDeviceLink.h"
#include "text/FormatLocale.h"

#include <QLabel>
#include <QTime>
#include <QTimer>

#include <utility>

TLiveMonitor::TLiveMonitor(TDeviceLink& link, QTimer& timer2, TChart& chart, QLabel& label1, QLabel& label2)
    : Link(link)
    , Timer2(timer2)
    , ChartRead(chart)
    , Label1(label1)
    , Label2(label2)
{
    HumiditySeries = ChartRead.addSeries({QStringLiteral("Влажность, %"), QColor(0, 0, 255), 2}, &Humidity);
    TemperatureSeries = ChartRead.addSeries({QStringLiteral("Температура, °С"), QColor(255, 0, 0), 2}, &Temperature);
    ChartRead.setLeftRange(0, 100);
    ChartRead.setBottomAutomatic();

    // Single shot, re-armed at the end of each cycle: cycles never overlap.
    Timer2.setSingleShot(true);
    Timer2.setInterval(PollPeriodMs);
    connect(&Timer2, &QTimer::timeout, this, &TLiveMonitor::Timer2Timer);
}

void TLiveMonitor::Timer2Timer()
{
    Timer2.stop();
    const std::optional<TLiveReading> reading = Poll.ReadCycle(Link);
    if (reading) {
        if (std::exchange(LoggerSilent, false))
            emit answering();
        ShowReading(*reading);
    } else {
        ShowStale();
        if (!LoggerSilent) {
            // Once per silence; the detection tick notices a logger that is gone.
            LoggerSilent = true;
            Link.reportNotAnswering();
        }
    }
    Timer2.start();
}

void TLiveMonitor::ShowReading(const TLiveReading& reading)
{
    const QLocale locale = FormatLocale();
    LastHumidityText = TLivePoll::HumidityText(reading.humidity, locale);
    LastTemperatureText = TLivePoll::TemperatureText(reading.temperature, locale);
    LastReadingTime = locale.toString(QTime::currentTime(), LongTimeFormat(locale));
    for (auto [label, text] : {std::pair{&Label1, LastHumidityText}, std::pair{&Label2, LastTemperatureText}}) {
        label->setEnabled(true);
        label->setText(text);
        label->adjustSize();
    }

    Humidity.append(reading.humidity, LastReadingTime);
    Temperature.append(reading.temperature, LastReadingTime);
    const double last = double(Humidity.firstIndex() + Humidity.pointCount() - 1);
    ChartRead.setBottomRange(last - WindowPoints, last);
    ChartRead.update();
}

void TLiveMonitor::ShowStale()
{
    if (LastReadingTime.isEmpty())
        return;
    for (auto [label, text] : {std::pair{&Label1, LastHumidityText}, std::pair{&Label2, LastTemperatureText}}) {
        label->setEnabled(false);
        label->setText(QStringLiteral("%1 (%2)").arg(text, LastReadingTime));
        label->adjustSize();
    }
}
