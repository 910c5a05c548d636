#pragma once

#include "chart/ChartSeriesSource.h"

#include <QColor>
#include <QString>

// How a line series looks and where it sits.
struct TChartSeriesStyle {
    QString title;
    QColor color = Qt::black;
    int width = 1;
    Qt::PenStyle penStyle = Qt::SolidLine;
    TChartAxisSide axis = TChartAxisSide::Left;
    bool inLegend = true;
    // A short name drawn at the line's right end inside the plot, in its colour; none when empty.
    QString endLabel = {};
};

// A series of the chart: its look, the points it reads and whether it is shown.
struct TChartSeries {
    TChartSeriesStyle style;
    const ChartSeriesSource* source = nullptr;
    bool visible = true;

    bool hasPoints() const { return source && source->pointCount() > 0; }
};
