#include "shell/LayoutRules.h"

namespace LayoutRules {

MonitorLayout monitorLayout(int outerWidth, int chartWidth, int chartHeight,
                            int label1Width, int label2Width, int buttonStartMonWidth)
{
    MonitorLayout layout{};
    layout.controlsTop = chartHeight - 30;
    layout.label1Left = outerWidth / 2 - (label1Width + label2Width + 70) / 2 - 10;
    layout.label2Left = layout.label1Left + label1Width + 70;
    layout.buttonRegLeft = 4;
    layout.buttonStartMonLeft = outerWidth - buttonStartMonWidth - 20;
    layout.legendLeft = (chartWidth - 270) / 2;
    return layout;
}

ViewerLayout viewerLayout(QSize outerSize, QSize panelLoadSize, int chartWidth)
{
    const int w = outerSize.width();
    const int h = outerSize.height();
    ViewerLayout layout{};
    layout.panelLoad = QRect((w - panelLoadSize.width()) / 2,
                             (h - panelLoadSize.height() - 70) / 2,
                             panelLoadSize.width(), panelLoadSize.height());
    layout.tableColumnWidth = (w - 52) / 6;
    layout.scrollBarLeft = 45;
    layout.scrollBarWidth = chartWidth - layout.scrollBarLeft - 45;
    layout.legendLeft = (chartWidth - 390) / 2;
    return layout;
}

}  // namespace LayoutRules
