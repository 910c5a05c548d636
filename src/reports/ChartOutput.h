#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

class QIODevice;
class QPrinter;
class TChart;

// The rectangle of a printed page the chart is drawn into, keeping its
// on-screen proportions: 15 % margins on the long side, the rest centred.
// `page` is the printable area in printer dots; `dpiRatio` the printer's
// horizontal resolution divided by its vertical one.
QRect ChartPrintRect(QSize chart, QSize page, double dpiRatio);

// The size the chart has on screen. A chart whose page was never shown
// (before any load) has not been laid out yet: its hidden ancestors are
// shown for a moment, with no event loop in between, so the window's
// layouts give it that size without anything being painted.
QSize ChartScreenSize(const TChart& chart);

// The chart as shown, at its on-screen size, on a white background, with
// the data only: no cursor line and no legend check boxes.
QImage ChartImage(const TChart& chart);

// The chart's image as a Windows bitmap; answers whether all of it was
// written, `error` says why not. Needs no widget, so a worker may write it.
bool WriteBitmap(const QImage& image, QIODevice& device, QString* error);

// Prints the chart, data only, as one page on an already set-up printer;
// the job is titled "Chart". Answers whether the printer accepted it.
bool PrintChart(const TChart& chart, QPrinter& printer);
