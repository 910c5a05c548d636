#include "reports/PdfReport.h"

#include "chart/TChart.h"
#include "data/CellFormatter.h"
#include "data/FileSave.h"
#include "data/MeasurementStore.h"
#include "data/TextTable.h"
#include "reports/ChartOutput.h"
#include "reports/Statistics.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr int Resolution = 300; // dots per inch of the page's coordinates
constexpr double MarginMillimetres = 15.0;
constexpr int TextPoints = 10;

// Lays the report's blocks out from the top of the page down, beginning a
// new page when a block does not fit on what is left of the current one.
class PageFlow {
public:
    explicit PageFlow(QPdfWriter& writer)
        : writer_(writer)
        , page_(writer.width(), writer.height())
    {
    }

    int width() const { return page_.width(); }
    int height() const { return page_.height(); }

    // The top of a block of the given height, on a new page if needed.
    int place(int height)
    {
        if (top_ > 0 && top_ + height > page_.height()) {
            writer_.newPage();
            top_ = 0;
        }
        const int at = top_;
        top_ += height;
        return at;
    }

    void skip(int height) { top_ += height; }

private:
    QPdfWriter& writer_;
    QSize page_;
    int top_ = 0;
};

// The statistics lines: caption in the left column, value beside it.
void drawStatistics(PageFlow& flow, QPainter& painter, const QStringList& captions, const QStringList& values)
{
    const int lineHeight = painter.fontMetrics().lineSpacing();
    const int valueLeft = flow.width() * 11 / 20;
    for (qsizetype line = 0; line < captions.size(); ++line) {
        const int top = flow.place(lineHeight);
        painter.drawText(QRect(0, top, valueLeft, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, captions[line]);
        painter.drawText(QRect(valueLeft, top, flow.width() - valueLeft, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         values[line]);
    }
}

// The chart in its on-screen proportions, across the page's width unless
// that would make it and its caption taller than a page, drawn by the chart
// itself at its screen size and scaled to the page; the caption below it
// stays on its page.
void drawChart(PageFlow& flow, QPainter& painter, const TChart& chart, const QString& caption)
{
    const QSize size = ChartScreenSize(chart);
    if (size.isEmpty())
        return;
    const int lineHeight = painter.fontMetrics().lineSpacing();
    const double scale =
        std::min(double(flow.width()) / size.width(), double(flow.height() - lineHeight) / size.height());
    const int chartHeight = int(size.height() * scale);
    const int top = flow.place(chartHeight + lineHeight);
    painter.save();
    painter.translate((flow.width() - size.width() * scale) / 2.0, top);
    painter.scale(scale, scale);
    chart.paint(painter, QRect(QPoint(0, 0), size), TChartPaintMode::Output);
    painter.restore();
    painter.drawText(QRect(0, top + chartHeight, flow.width(), lineHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                     caption);
}

// The program's PDF page: A4 with even margins, in dots of Resolution.
void setUpPage(QPdfWriter& writer, QPageLayout::Orientation orientation, const QString& title)
{
    writer.setResolution(Resolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation,
                                     QMarginsF(MarginMillimetres, MarginMillimetres, MarginMillimetres,
                                               MarginMillimetres),
                                     QPageLayout::Millimeter));
    writer.setTitle(title);
}

QString tableHtml(const QString& title, const QString& subtitle, const TTextTable& table)
{
    QString html = QStringLiteral("<h3>%1</h3><p>%2</p>"
                                  "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>")
                       .arg(title.toHtmlEscaped(), subtitle.toHtmlEscaped());
    for (const QString& caption : table.captions)
        html += QStringLiteral("<th>%1</th>").arg(caption.toHtmlEscaped());
    html += QStringLiteral("</tr></thead><tbody>");
    for (const QStringList& row : table.rows) {
        html += QStringLiteral("<tr>");
        for (const QString& cell : row)
            html += QStringLiteral("<td>%1</td>").arg(cell.toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</tbody></table>");
}

} // namespace

bool WritePdfTable(const QString& title, const QString& subtitle, const TTextTable& table, QIODevice& device,
                   QString* error)
{
    // The painter does not look at the results of its writes: they are checked here.
    TCheckedDevice checked(device);
    QPdfWriter writer(&checked);
    setUpPage(writer, QPageLayout::Landscape, title);
    QTextDocument document;
    QFont font = document.defaultFont();
    font.setPointSize(TextPoints);
    document.setDefaultFont(font);
    document.setHtml(tableHtml(title, subtitle, table));
    document.print(&writer);
    if (checked.failed()) {
        if (error)
            *error = QStringLiteral("документ записан не полностью");
        return false;
    }
    return true;
}

bool WritePdfReport(const TMeasurementStore& store, const TChart& chart, const TReportHeader& header,
                    QIODevice& device, QString* error)
{
    // The painter does not look at the results of its writes: they are checked here.
    TCheckedDevice checked(device);
    QPdfWriter writer(&checked);
    setUpPage(writer, QPageLayout::Portrait, QStringLiteral("Отчёт ") + header.deviceLabel);
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("файл не открылся для записи");
        return false;
    }
    QFont font = painter.font();
    font.setPointSize(TextPoints);
    painter.setFont(font);
    PageFlow flow(writer);
    const int lineHeight = painter.fontMetrics().lineSpacing();
    const QLocale& locale = store.loadLocale();

    const QStringList statistics = StatisticsTexts(ComputeStatistics(store), TCellFormatter(locale));
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    // A long device label or a period's title wraps rather than running off the page.
    const QString title = QStringLiteral("%1: прибор %2, %3 – %4")
                              .arg(ReportTitle(header), header.deviceLabel, statistics[0], statistics[1]);
    const int titleFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    const int titleHeight = painter.boundingRect(QRect(0, 0, flow.width(), lineHeight), titleFlags, title).height();
    painter.drawText(QRect(0, flow.place(titleHeight), flow.width(), titleHeight), titleFlags, title);
    const int headerTop = flow.place(lineHeight);
    const QRect headerLine(0, headerTop, flow.width(), lineHeight);
    painter.drawText(headerLine, Qt::AlignLeft | Qt::AlignVCenter,
                     locale.toString(header.madeAt.date(), QLocale::ShortFormat) + QStringLiteral("   ")
                         + locale.toString(header.madeAt.time(), QStringLiteral("HH:mm:ss")));
    painter.drawText(headerLine, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Прибор: ") + header.deviceLabel);
    painter.setFont(font);
    flow.skip(lineHeight);

    drawStatistics(flow, painter, StatisticsCaptions(), statistics);
    drawStatistics(flow, painter, MetrologyCaptions(locale, header.limits),
                   MetrologyTexts(store, locale, header.limits));
    flow.skip(lineHeight);
    drawChart(flow, painter, chart, QStringLiteral("График: %1 – %2").arg(statistics[0], statistics[1]));
    flow.skip(2 * lineHeight);
    painter.drawText(QRect(0, flow.place(lineHeight), flow.width(), lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Метролог:_________________"));
    if (!painter.end() || checked.failed()) {
        if (error)
            *error = QStringLiteral("документ записан не полностью");
        return false;
    }
    return true;
}
