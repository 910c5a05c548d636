#pragma once

#include <QtGlobal>

// What the window of points drives: the chart's bottom axis, set one end at a
// time, and the scroll bar whose position is the window start. A scroll bar
// answers a clamp or a program-set position that moves it by calling
// TChartWindow::ScrollBarScrollChange, as the real one does through its signal.
class TChartWindowTarget
{
public:
    virtual ~TChartWindowTarget() = default;
    virtual double axisMinimum() const = 0;
    virtual double axisMaximum() const = 0;
    // Each refuses a value that would put the maximum below the minimum.
    virtual void setAxisMinimum(double value) = 0;
    virtual void setAxisMaximum(double value) = 0;
    virtual void setScrollMaximum(int maximum) = 0;
    virtual void setScrollPosition(int position) = 0;
};

// The first and last points the chart shows, in point indices, and the rules
// by which the zoom buttons, the scroll bars and mouse panning move them.
class TChartWindow
{
public:
    static constexpr qint32 ZoomStep = 1;
    static constexpr qint32 MinWidthDivisor = 4;

    // Arguments of ResetWindow for a load of `rows` data rows and for a period of `points` points.
    struct TReset {
        qint32 lastIndex = 0;
        qint32 width = 0;
        qint32 scrollMaximum = 0;
    };
    static TReset afterLoad(qint64 rows);
    static TReset afterPeriod(qint64 points);
    // The left edge of a window `width` wide that keeps anchor where it
    // stands on the axis now (in the middle of an axis of no width).
    static double leftEdgeAround(double axisMin, double axisMax, double anchor, double width);

    explicit TChartWindow(TChartWindowTarget& target);

    void ResetWindow(qint32 lastIndex, qint32 width, qint32 scrollMaximum);
    void ResetWindow(const TReset& reset) { ResetWindow(reset.lastIndex, reset.width, reset.scrollMaximum); }
    void ApplyWindow();

    void zoomIn();
    void zoomOut();
    // Scales the width by factor (at least one point either way) within
    // MinWidth..MaxWidth, keeping the bottom-axis value anchor where it is on
    // the axis unless an end of the data stops the window.
    void zoomAround(double anchor, double factor);
    void ScrollBarScrollChange(int position);
    void ScrollBarScaleChange(int position);

    void mouseDown();
    // Runs after the cursor readout and before the chart's own pan step.
    void mouseMove();
    void mouseUp();

    qint32 LastIndex() const { return lastIndex_; }
    qint32 MinWidth() const { return minWidth_; }
    qint32 MaxWidth() const { return maxWidth_; }
    qint32 Width() const { return width_; }
    qint32 Start() const { return start_; }
    qint32 End() const { return end_; }
    bool Panning() const { return panning_; }

private:
    // Moves the axis one end at a time in the order that never leaves a
    // maximum below the minimum.
    void setAxis(double minimum, double maximum);
    // Puts the axis back inside the data when a drag took it past either end.
    bool snapIntoData();
    void resizeTo(qint32 width);

    TChartWindowTarget& target_;
    qint32 lastIndex_ = 0;
    qint32 minWidth_ = 0;
    qint32 maxWidth_ = 0;
    qint32 width_ = 0;
    qint32 start_ = 0;
    qint32 end_ = 0;
    bool panning_ = false;
};
