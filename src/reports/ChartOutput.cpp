#include "reports/ChartOutput.h"

#include "chart/TChart.h"
#include "data/FileSave.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImageWriter>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace {

// Margin in percent of the short side's page length: what is left of it
// once the chart fills 70 % of the long side, rounded and then halved.
int centringMarginPercent(double pageShort, double pageLong, double chartRatio, double dpiRatio)
{
    return int(std::lround((pageShort - 0.7 * pageLong * chartRatio * dpiRatio) * 100.0 / pageShort)) / 2;
}

int dots(int percent, int pageLength)
{
    return int(std::lround(percent * double(pageLength) / 100.0));
}

}  // namespace

QRect ChartPrintRect(QSize chart, QSize page, double dpiRatio)
{
    const int pw = page.width();
    const int ph = page.height();
    if (chart.isEmpty() || page.isEmpty())
        return QRect(QPoint(0, 0), page);
    int horizontal = 15;
    int vertical = 15;
    if (chart.width() > chart.height())
        vertical = centringMarginPercent(ph, pw, double(chart.height()) / chart.width(), dpiRatio);
    else
        horizontal = centringMarginPercent(pw, ph, double(chart.width()) / chart.height(), dpiRatio);
    const int left = dots(horizontal, pw);
    const int top = dots(vertical, ph);
    return QRect(QPoint(left, top), QPoint(pw - left - 1, ph - top - 1));
}

QSize ChartScreenSize(const TChart& chart)
{
    if (chart.isVisible() || !chart.window()->isVisible())
        return chart.size();
    QWidget* hidden = nullptr;
    for (QWidget* widget = chart.parentWidget(); widget && !widget->isWindow(); widget = widget->parentWidget()) {
        if (widget->isHidden())
            hidden = widget;
    }
    if (!hidden)
        return chart.size();
    hidden->show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    hidden->hide();
    return chart.size();
}

QImage ChartImage(const TChart& chart)
{
    QImage image(ChartScreenSize(chart), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.paint(painter, image.rect(), TChartPaintMode::Output);
    return image;
}

bool WriteBitmap(const QImage& image, QIODevice& device, QString* error)
{
    TCheckedDevice checked(device);
    QImageWriter writer(&checked, "bmp");
    if (writer.write(image) && !checked.failed())
        return true;
    if (error)
        *error = checked.failed() ? QStringLiteral("рисунок записан не полностью") : QStringLiteral("рисунок не записан");
    return false;
}

bool PrintChart(const TChart& chart, QPrinter& printer)
{
    printer.setDocName(QStringLiteral("Chart"));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize size = ChartScreenSize(chart);
    const QRect target = ChartPrintRect(size, page.size(), 1.0);
    // The chart draws itself at its screen size; the painter scales that to the page.
    painter.translate(target.topLeft());
    painter.scale(double(target.width()) / size.width(), double(target.height()) / size.height());
    chart.paint(painter, QRect(QPoint(0, 0), size), TChartPaintMode::Output);
    return painter.end();
}
