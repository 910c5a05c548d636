#include "views/TChartWindow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

qint32 clampedPoints(qint64 points)
{
    return qint32(std::clamp<qint64>(points, 0, std::numeric_limits<qint32>::max()));
}

} // namespace

TChartWindow::TReset TChartWindow::afterLoad(qint64 rows)
{
    TReset reset;
    reset.lastIndex = clampedPoints(rows) - 1;
    reset.width = reset.lastIndex / MinWidthDivisor;
    // A scroll bar's maximum may not fall to its minimum 0.
    const qint32 room = reset.lastIndex - reset.width;
    reset.scrollMaximum = room > 0 ? room : 1;
    return reset;
}

TChartWindow::TReset TChartWindow::afterPeriod(qint64 points)
{
    const qint32 lastIndex = clampedPoints(points) - 1;
    return TReset{lastIndex, lastIndex, lastIndex};
}

double TChartWindow::leftEdgeAround(double axisMin, double axisMax, double anchor, double width)
{
    const double span = axisMax - axisMin;
    const double share = span > 0 ? std::clamp((anchor - axisMin) / span, 0.0, 1.0) : 0.5;
    return anchor - share * width;
}

TChartWindow::TChartWindow(TChartWindowTarget& target)
    : target_(target)
{
}

void TChartWindow::ResetWindow(qint32 lastIndex, qint32 width, qint32 scrollMaximum)
{
    lastIndex_ = lastIndex;
    minWidth_ = lastIndex_ / MinWidthDivisor;
    maxWidth_ = lastIndex_;
    width_ = width;
    start_ = 0;
    end_ = width_;
    ApplyWindow();
    target_.setScrollMaximum(scrollMaximum);
}

void TChartWindow::ApplyWindow()
{
    setAxis(start_, end_);
}

void TChartWindow::setAxis(double minimum, double maximum)
{
    if (maximum < target_.axisMinimum()) {
        target_.setAxisMinimum(minimum);
        target_.setAxisMaximum(maximum);
    } else {
        target_.setAxisMaximum(maximum);
        target_.setAxisMinimum(minimum);
    }
}

void TChartWindow::zoomIn()
{
    if (width_ - ZoomStep < minWidth_)
        return;
    resizeTo(width_ - ZoomStep);
}

void TChartWindow::zoomOut()
{
    if (width_ + ZoomStep > maxWidth_)
        return;
    resizeTo(width_ + ZoomStep);
}

void TChartWindow::zoomAround(double anchor, double factor)
{
    qint32 width = qint32(std::clamp(std::lround(width_ * factor), 0L, long(std::numeric_limits<qint32>::max())));
    if (width == width_)
        width += factor < 1 ? -1 : 1;
    width = std::clamp(width, minWidth_, maxWidth_);
    if (width == width_)
        return;
    const double left = std::clamp(leftEdgeAround(target_.axisMinimum(), target_.axisMaximum(), anchor, width), 0.0,
                                   double(lastIndex_ - width));
    const auto start = qint32(std::lround(left));
    width_ = width;
    target_.setScrollMaximum(lastIndex_ - width_);
    target_.setScrollPosition(start);
    start_ = start;
    end_ = start_ + width_;
    // The window's ends are whole points; the axis keeps the anchor exactly under the pointer.
    setAxis(left, left + width_);
}

// The left edge stays; a scroll bar beyond its new maximum pulls the window
// back to end on the last point.
void TChartWindow::resizeTo(qint32 width)
{
    width_ = width;
    end_ = start_ + width_;
    ApplyWindow();
    target_.setScrollMaximum(lastIndex_ - width_);
}

void TChartWindow::ScrollBarScrollChange(int position)
{
    if (qint64(position) + width_ < lastIndex_) {
        start_ = position;
        end_ = position + width_;
    } else {
        end_ = lastIndex_;
        start_ = lastIndex_ - width_;
    }
    ApplyWindow();
}

void TChartWindow::ScrollBarScaleChange(int position)
{
    resizeTo(position);
}

void TChartWindow::mouseDown()
{
    panning_ = true;
}

void TChartWindow::mouseMove()
{
    if (!panning_ || snapIntoData())
        return;
    start_ = qint32(target_.axisMinimum());
    end_ = qint32(target_.axisMaximum());
    // Moving the scroll bar runs the scroll rule, which puts the axis on whole points.
    target_.setScrollPosition(end_ - width_);
}

void TChartWindow::mouseUp()
{
    panning_ = false;
    snapIntoData();
}

// Only the axis moves here: Start, End and the scroll bar keep their values
// until the next move inside the data. The right edge has one point of slack.
bool TChartWindow::snapIntoData()
{
    if (target_.axisMinimum() < 0) {
        setAxis(0, width_);
        return true;
    }
    if (target_.axisMaximum() > lastIndex_ + 1.0) {
        setAxis(lastIndex_ - width_, lastIndex_);
        return true;
    }
    return false;
}
