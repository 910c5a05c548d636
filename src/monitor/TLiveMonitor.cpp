#include "monitor/TLiveMonitor.h"

#include "chart/TChart.h"
#include "device/TDeviceLink.h"
#include "text/FormatLocale.h"

#include <QLabel>
#include <QTime>
#include <QTimer>

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
        LoggerSilent = false;
        ShowReading(*reading);
    } else if (!LoggerSilent) {
        // Once per silence; the detection tick notices a logger that is gone.
        LoggerSilent = true;
        Link.reportNotAnswering();
    }
    Timer2.start();
}

void TLiveMonitor::ShowReading(const TLiveReading& reading)
{
    const QLocale locale = FormatLocale();
    Label1.setText(TLivePoll::HumidityText(reading.humidity, locale));
    Label1.adjustSize();
    Label2.setText(TLivePoll::TemperatureText(reading.temperature, locale));
    Label2.adjustSize();

    Humidity.append(reading.humidity, locale.toString(QTime::currentTime(), LongTimeFormat(locale)));
    Temperature.append(reading.temperature, locale.toString(QTime::currentTime(), LongTimeFormat(locale)));
    const double last = double(Humidity.firstIndex() + Humidity.pointCount() - 1);
    ChartRead.setBottomRange(last - WindowPoints, last);
    ChartRead.update();
}
