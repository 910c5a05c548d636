#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

class QPrinter;
class TChart;

// The rectangle of a printed page the chart is drawn into, keeping its
// on-screen proportions: 15 % margins on the long side, the rest centred.
// `page` is the printable area in printer dots; `dpiRatio` the printer's
// horizontal resolution divided by its vertical one.
QRect ChartPrintRect(QSize chart, QSize page, double dpiRatio);

// The chart as shown, at its on-screen size, on a white background.
QImage ChartImage(const TChart& chart);

// Prints the chart as one page on an already set-up printer; the job is
// titled "Chart". Answers whether the printer accepted it.
bool PrintChart(const TChart& chart, QPrinter& printer);
