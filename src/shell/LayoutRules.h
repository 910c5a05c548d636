#pragma once

#include <QRect>
#include <QSize>

// Positions that the monitor window and the data viewer recompute on every
// resize. Pure arithmetic so the rules can be checked without a window;
// every division truncates toward zero, as the windows have always laid out.
namespace LayoutRules {

struct MonitorLayout {
    int controlsTop;
    int label1Left;
    int label2Left;
    int buttonRegLeft;
    int buttonStartMonLeft;
    int legendLeft;
};

// Rule A: `outerWidth` is the monitor window's frame width.
MonitorLayout monitorLayout(int outerWidth, int chartWidth, int chartHeight,
                            int label1Width, int label2Width, int buttonStartMonWidth);

struct ViewerLayout {
    QRect panelLoad;
    int tableColumnWidth;  // columns 0 to 5; column 6 stays 0 wide
    int scrollBarLeft;
    int scrollBarWidth;
    int legendLeft;
};

// Rule B: `outerSize` is the data viewer's frame size.
ViewerLayout viewerLayout(QSize outerSize, QSize panelLoadSize, int chartWidth);

}  // namespace LayoutRules
