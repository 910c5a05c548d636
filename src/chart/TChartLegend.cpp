#include "chart/TChartLegend.h"

#include <QPainter>

#include <cmath>

namespace {
constexpr int Padding = 5;
constexpr int BoxSize = 12;
constexpr int SampleWidth = 20;
constexpr int Gap = 4;
constexpr int EntryGap = 12;
constexpr double CornerRadius = 6;

// An empty box, ticked when the series is shown.
void paintBox(QPainter& painter, const QRect& area, bool ticked)
{
    painter.setPen(QColor(96, 96, 96));
    painter.setBrush(Qt::white);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    if (!ticked)
        return;
    painter.setPen(QPen(Qt::black, 2));
    const QRect box = area.adjusted(3, 3, -3, -3);
    const QPoint corner(box.left() + box.width() / 3, box.bottom());
    painter.drawLine(QPoint(box.left(), box.center().y()), corner);
    painter.drawLine(corner, box.topRight());
}

} // namespace

TChartLegend::TChartLegend(const TChartModel& model, const QFontMetricsF& metrics, TChartPaintMode mode)
    : model_(model)
{
    if (!model.isLegendVisible())
        return;
    const QPoint origin = model.legendPosition();
    const int rowHeight = std::max(BoxSize, int(std::ceil(metrics.height())));
    int x = origin.x() + Padding;
    const int y = origin.y() + Padding;
    const bool withBoxes = mode == TChartPaintMode::Screen;
    for (int index = 0; index < model.seriesCount(); ++index) {
        const TChartSeriesStyle& style = model.series(index).style;
        if (!style.inLegend)
            continue;
        Entry entry;
        entry.series = index;
        if (withBoxes)
            entry.box = QRect(x, y + (rowHeight - BoxSize) / 2, BoxSize, BoxSize);
        entry.sample = QRect(withBoxes ? entry.box.right() + 1 + Gap : x, y, SampleWidth, rowHeight);
        const int textWidth = int(std::ceil(metrics.horizontalAdvance(style.title)));
        entry.text = QRect(entry.sample.right() + 1 + Gap, y, textWidth, rowHeight);
        entry.area = QRect(QPoint(x, y), entry.text.bottomRight());
        entries_.push_back(entry);
        x = entry.text.right() + 1 + EntryGap;
    }
    if (entries_.empty())
        return;
    rect_ = QRect(origin, QPoint(entries_.back().text.right() + Padding, y + rowHeight - 1 + Padding));
}

int TChartLegend::seriesAt(QPoint point) const
{
    for (const Entry& entry : entries_) {
        if (entry.area.contains(point))
            return entry.series;
    }
    return -1;
}

QRect TChartLegend::entryRect(int series) const
{
    for (const Entry& entry : entries_) {
        if (entry.series == series)
            return entry.area;
    }
    return {};
}

void TChartLegend::paint(QPainter& painter) const
{
    if (entries_.empty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Background);
    painter.drawRoundedRect(rect_, CornerRadius, CornerRadius);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Entry& entry : entries_) {
        const TChartSeries& series = model_.series(entry.series);
        if (!entry.box.isEmpty())
            paintBox(painter, entry.box, series.visible);
        const int sampleY = entry.sample.center().y();
        painter.setPen(QPen(series.style.color, series.style.width, series.style.penStyle));
        painter.drawLine(entry.sample.left(), sampleY, entry.sample.right(), sampleY);
        painter.setPen(Qt::black);
        painter.drawText(entry.text, Qt::AlignLeft | Qt::AlignVCenter, series.style.title);
    }
    painter.restore();
}
