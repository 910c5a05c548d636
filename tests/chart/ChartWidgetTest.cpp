#include "chart/TChart.h"
#include "chart/TChartPainter.h"
#include "chart/TListSeriesSource.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <memory>

namespace {

const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);

// The chart of the data viewer in miniature: margins, titles and a legend.
std::unique_ptr<TChart> makeChart()
{
    auto chart = std::make_unique<TChart>();
    chart->resize(640, 360);
    chart->setMargins(QMargins(16, 32, 16, 84));
    chart->setAxisTitle(TChartAxisSide::Left, QStringLiteral("Температура, *С / Влажность, %"));
    chart->setLegendPosition(QPoint(170, 5));
    return chart;
}

TChartSeriesStyle lineStyle(const QString& title, const QColor& color)
{
    TChartSeriesStyle style;
    style.title = title;
    style.color = color;
    style.width = 2;
    return style;
}

// A sawtooth 0..9 repeated: every window of ten points or more spans the same values.
void fillSawtooth(TListSeriesSource& source, int count)
{
    for (int i = 0; i < count; ++i)
        source.append(double(i % 10), QStringLiteral("%1\r05.04.2017").arg(i));
}

// A thousand sawtooth temperatures with points 100 to 200 in the window.
struct TemperatureWindow {
    TemperatureWindow()
    {
        fillSawtooth(temperature, 1000);
        chart->addSeries(lineStyle(QStringLiteral("Температура, °С"), Red), &temperature);
        chart->setBottomRange(100, 200);
    }

    TListSeriesSource temperature;
    std::unique_ptr<TChart> chart = makeChart();
};

QImage render(const TChart& chart, TChartPaintMode mode = TChartPaintMode::Screen)
{
    QImage image(chart.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    chart.paint(painter, QRect(QPoint(0, 0), chart.size()), mode);
    return image;
}

int pixelsOfColourIn(const QImage& image, const QRect& area, const QColor& color)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == color;
    return count;
}

// Pixels of a colour in one column of the plot, leaving out the legend.
int colouredPixelsInColumn(const QImage& image, const TChart& chart, int x, const QColor& color)
{
    const QRect plot = chart.plotRect();
    int count = 0;
    for (int y = plot.top(); y <= plot.bottom(); ++y) {
        if (!chart.legendRect().contains(x, y) && image.pixelColor(x, y) == color)
            ++count;
    }
    return count;
}

void sendMouse(TChart& chart, QEvent::Type type, QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(position), chart.mapToGlobal(QPointF(position)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&chart, &event);
}

void drag(TChart& chart, QPoint from, QPoint to, Qt::MouseButton button)
{
    sendMouse(chart, QEvent::MouseButtonPress, from, button, button);
    const QPoint middle = (from + to) / 2;
    sendMouse(chart, QEvent::MouseMove, middle, Qt::NoButton, button);
    sendMouse(chart, QEvent::MouseMove, to, Qt::NoButton, button);
    sendMouse(chart, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

} // namespace

class ChartWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    void paintsIntoAnImage();
    void nullPointsLeaveAGap_data();
    void nullPointsLeaveAGap();
    void pixelsAndValuesConvertBothWays();
    void cursorLineCrossesThePlot();
    void leftDragPansTheBottomAxisOnly();
    void noPanWhenDisabledOrWithOtherButtons();
    void moveIsSignalledBeforeItsPanStep();
    void legendClickTogglesAfterMouseDown();
    void liveChartWithFixedLeftAxis();
    void breaksSplitTheCurveWithAFaintMark_data();
    void breaksSplitTheCurveWithAFaintMark();
    void outputsShowNoCursorNorCheckBoxes();
    void bottomLabelsFitTheirBoxesInsideTheChart_data();
    void bottomLabelsFitTheirBoxesInsideTheChart();
    void shiftDragMarksASpanInsteadOfPanning();
    void wheelOverThePlotIsSignalledInNotches();
    void endLabelsStayInsideThePlotBesideTheirLine_data();
    void endLabelsStayInsideThePlotBesideTheirLine();
    void limitLinesAreNamedAtTheirRightEnd();
};

void ChartWidgetTest::paintsIntoAnImage()
{
    TListSeriesSource humidity;
    fillSawtooth(humidity, 100);
    auto chart = makeChart();
    chart->addSeries(lineStyle(QStringLiteral("Влажность, %"), Blue), &humidity);
    chart->setBottomRange(0, 50);
    const QImage image = render(*chart);

    QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
    const QRect plot = chart->plotRect();
    QVERIFY(QRect(QPoint(0, 0), chart->size()).contains(plot));
    int blue = 0;
    for (int x = plot.left(); x <= plot.right(); ++x)
        blue += colouredPixelsInColumn(image, *chart, x, Blue);
    QVERIFY2(blue > plot.width(), "the curve is drawn");
    const QRect legend = chart->legendRect();
    QVERIFY(!legend.isEmpty());
    QCOMPARE(image.pixelColor(legend.center().x(), legend.top() + 2), QColor(255, 255, 223));
    // The widget paints itself with the same function.
    QCOMPARE(chart->grab().toImage().convertToFormat(QImage::Format_RGB32), image);
}

void ChartWidgetTest::nullPointsLeaveAGap_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("gapFirst");
    QTest::addColumn<int>("gapLast");
    QTest::newRow("sparse points, polyline") << 21 << 10 << 10;
    QTest::newRow("dense points, min-max columns") << 200'000 << 90'000 << 110'000;
}

void ChartWidgetTest::nullPointsLeaveAGap()
{
    QFETCH(int, count);
    QFETCH(int, gapFirst);
    QFETCH(int, gapLast);
    TListSeriesSource humidity;
    for (int i = 0; i < count; ++i)
        humidity.append(i >= gapFirst && i <= gapLast ? std::nullopt : std::optional(40.0 + i % 7), QString());
    auto chart = makeChart();
    chart->addSeries(lineStyle(QStringLiteral("Влажность, %"), Blue), &humidity);
    chart->setBottomRange(0, count - 1);
    const QImage image = render(*chart);

    const int gapX = int(std::lround(chart->bottomPixelOf((gapFirst + gapLast) / 2.0)));
    QCOMPARE(colouredPixelsInColumn(image, *chart, gapX, Blue), 0);
    const QRect plot = chart->plotRect();
    for (int y = plot.top(); y < plot.bottom(); ++y) {
        const QColor pixel = image.pixelColor(gapX, y);
        if (!chart->legendRect().contains(gapX, y) && pixel != Qt::white && pixel != QColor(224, 224, 224))
            QFAIL(qPrintable(QStringLiteral("pixel %1 at row %2").arg(pixel.name()).arg(y)));
    }
    const int dataX = int(std::lround(chart->bottomPixelOf(gapFirst / 2.0)));
    QVERIFY(colouredPixelsInColumn(image, *chart, dataX, Blue) > 0);
}

void ChartWidgetTest::pixelsAndValuesConvertBothWays()
{
    const TemperatureWindow shown;
    const std::unique_ptr<TChart>& chart = shown.chart;
    const QRect plot = chart->plotRect();

    QCOMPARE(chart->bottomValueAt(plot.left()), 100.0);
    QVERIFY(std::abs(chart->bottomValueAt(plot.right()) - 200.0) < 1e-9);
    QCOMPARE(chart->leftValueAt(plot.bottom()), chart->leftRange().min);
    QVERIFY(std::abs(chart->leftValueAt(plot.top()) - chart->leftRange().max) < 1e-9);
    for (double value : {100.0, 123.4, 150.5, 199.9})
        QVERIFY(std::abs(chart->bottomValueAt(chart->bottomPixelOf(value)) - value) < 1e-9);
    for (int y : {plot.top(), plot.center().y(), plot.bottom() - 3})
        QVERIFY(std::abs(chart->leftPixelOf(chart->leftValueAt(y)) - y) < 1e-9);
    QCOMPARE(chart->visibleSpan(0), (TIndexSpan{100, 200}));
}

void ChartWidgetTest::cursorLineCrossesThePlot()
{
    const TemperatureWindow shown;
    const std::unique_ptr<TChart>& chart = shown.chart;
    chart->setLegendVisible(false);
    const int x = int(std::lround(chart->bottomPixelOf(150.5)));
    QCOMPARE(colouredPixelsInColumn(render(*chart), *chart, x, Qt::black), 0);
    chart->setCursorLine(150.5);
    const int dots = colouredPixelsInColumn(render(*chart), *chart, x, Qt::black);
    // Dotted: about half of the plot's height, spread over all of it.
    QVERIFY(dots > chart->plotRect().height() / 4);
    QVERIFY(dots < chart->plotRect().height());
    chart->setCursorLine(std::nullopt);
    QCOMPARE(colouredPixelsInColumn(render(*chart), *chart, x, Qt::black), 0);
}

void ChartWidgetTest::leftDragPansTheBottomAxisOnly()
{
    const TemperatureWindow shown;
    const std::unique_ptr<TChart>& chart = shown.chart;
    const TChartRange left = chart->leftRange();
    const QRect plot = chart->plotRect();
    const double pointsPerPixel = 100.0 / (plot.right() - plot.left());

    drag(*chart, plot.center(), plot.center() + QPoint(60, 40), Qt::LeftButton);
    QVERIFY(std::abs(chart->bottomRange().min - (100 - 60 * pointsPerPixel)) < 1e-9);
    QVERIFY(std::abs(chart->bottomRange().max - (200 - 60 * pointsPerPixel)) < 1e-9);
    QCOMPARE(chart->leftRange(), left);

    drag(*chart, plot.center(), plot.center() - QPoint(100, 0), Qt::LeftButton);
    QVERIFY(std::abs(chart->bottomRange().min - (100 + 40 * pointsPerPixel)) < 1e-9);
}

void ChartWidgetTest::noPanWhenDisabledOrWithOtherButtons()
{
    const TemperatureWindow shown;
    const std::unique_ptr<TChart>& chart = shown.chart;
    const QRect plot = chart->plotRect();
    QSignalSpy downs(chart.get(), &TChart::mouseDown);
    QSignalSpy ups(chart.get(), &TChart::mouseUp);

    drag(*chart, plot.center(), plot.center() + QPoint(60, 0), Qt::RightButton);
    QCOMPARE(chart->bottomRange(), (TChartRange{100, 200}));
    chart->setPanningEnabled(false);
    drag(*chart, plot.center(), plot.center() + QPoint(60, 0), Qt::LeftButton);
    QCOMPARE(chart->bottomRange(), (TChartRange{100, 200}));
    // Every button still reaches the page, with its position.
    QCOMPARE(downs.count(), 2);
    QCOMPARE(downs.at(0).at(1).value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(ups.at(1).at(0).toPoint(), plot.center() + QPoint(60, 0));
}

void ChartWidgetTest::moveIsSignalledBeforeItsPanStep()
{
    const TemperatureWindow shown;
    const std::unique_ptr<TChart>& chart = shown.chart;
    const QPoint start = chart->plotRect().center();
    QList<double> minimaSeenOnMove;
    QList<double> minimaSeenOnUp;
    connect(chart.get(), &TChart::mouseMove, this, [&] { minimaSeenOnMove.append(chart->bottomRange().min); });
    connect(chart.get(), &TChart::mouseUp, this, [&] { minimaSeenOnUp.append(chart->bottomRange().min); });

    sendMouse(*chart, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    sendMouse(*chart, QEvent::MouseMove, start + QPoint(20, 0), Qt::NoButton, Qt::LeftButton);
    const double afterFirstStep = chart->bottomRange().min;
    sendMouse(*chart, QEvent::MouseMove, start + QPoint(40, 0), Qt::NoButton, Qt::LeftButton);
    sendMouse(*chart, QEvent::MouseButtonRelease, start + QPoint(40, 0), Qt::LeftButton, Qt::NoButton);
    QVERIFY(afterFirstStep < 100);
    QCOMPARE(minimaSeenOnMove, (QList<double>{100, afterFirstStep}));
    QCOMPARE(minimaSeenOnUp, (QList<double>{chart->bottomRange().min}));

    // A range the page sets while handling a move is where that move's pan step starts.
    connect(chart.get(), &TChart::mouseMove, this, [&] { chart->setBottomRange(0, 100); });
    sendMouse(*chart, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    sendMouse(*chart, QEvent::MouseMove, start - QPoint(20, 0), Qt::NoButton, Qt::LeftButton);
    QVERIFY(chart->bottomRange().min > 0);
    QVERIFY(std::abs(chart->bottomRange().span() - 100) < 1e-9);
}

void ChartWidgetTest::legendClickTogglesAfterMouseDown()
{
    TListSeriesSource humidity;
    TListSeriesSource temperature;
    TListSeriesSource limit;
    fillSawtooth(humidity, 100);
    fillSawtooth(temperature, 100);
    fillSawtooth(limit, 100);
    auto chart = makeChart();
    chart->addSeries(lineStyle(QStringLiteral("Влажность, %"), Blue), &humidity);
    const int t = chart->addSeries(lineStyle(QStringLiteral("Температура, °С"), Red), &temperature);
    TChartSeriesStyle limitStyle = lineStyle(QString(), Red);
    limitStyle.inLegend = false;
    const int l = chart->addSeries(limitStyle, &limit);
    chart->setBottomRange(0, 50);
    QVERIFY(chart->legendEntryRect(l).isEmpty());
    const QRect entry = chart->legendEntryRect(t);
    QVERIFY(chart->legendRect().contains(entry));

    QStringList events;
    connect(chart.get(), &TChart::mouseDown, this,
            [&] { events << QStringLiteral("down shown=%1").arg(chart->isSeriesVisible(t)); });
    connect(chart.get(), &TChart::legendToggled, this,
            [&](int series) { events << QStringLiteral("toggled %1 shown=%2").arg(series).arg(chart->isSeriesVisible(t)); });
    drag(*chart, entry.center(), entry.center() + QPoint(40, 0), Qt::LeftButton);
    QCOMPARE(events, (QStringList{"down shown=1", "toggled 1 shown=0"}));
    QCOMPARE(chart->bottomRange(), (TChartRange{0, 50}));
    const QImage hidden = render(*chart);
    int red = 0;
    for (int x = chart->plotRect().left(); x <= chart->plotRect().right(); ++x)
        red += colouredPixelsInColumn(hidden, *chart, x, Red);
    // Only the limit series (not in the legend) is left in red: at most two rows per column.
    QVERIFY(red <= 2 * chart->plotRect().width() * 10);

    events.clear();
    QTest::mouseClick(chart.get(), Qt::LeftButton, {}, entry.center());
    QCOMPARE(events, (QStringList{"down shown=0", "toggled 1 shown=1"}));
}

void ChartWidgetTest::liveChartWithFixedLeftAxis()
{
    TListSeriesSource humidity(300);
    for (int i = 0; i < 1000; ++i)
        humidity.append(40 + i % 20, QStringLiteral("12:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')));
    auto chart = makeChart();
    chart->setLeftRange(0, 100);
    chart->addSeries(lineStyle(QStringLiteral("Влажность, %"), Blue), &humidity);
    QVERIFY(chart->isBottomAutomatic());
    QCOMPARE(chart->bottomRange(), (TChartRange{700, 999}));
    QCOMPARE(chart->leftRange(), (TChartRange{0, 100}));

    chart->setBottomRange(999 - 150, 999);
    QVERIFY(!chart->isBottomAutomatic());
    QCOMPARE(chart->visibleSpan(0), (TIndexSpan{849, 999}));
    const QImage image = render(*chart);
    // 40..59 on a 0..100 axis: the curve stays in the lower half of the plot.
    const int x = int(std::lround(chart->bottomPixelOf(900)));
    QVERIFY(colouredPixelsInColumn(image, *chart, x, Blue) > 0);
    const QRect plot = chart->plotRect();
    for (int y = plot.top(); y < int(chart->leftPixelOf(61)); ++y)
        QVERIFY(image.pixelColor(x, y) != Blue);
}

void ChartWidgetTest::breaksSplitTheCurveWithAFaintMark_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("sparse points, polyline") << 21;
    QTest::newRow("dense points, min-max columns") << 200'000;
}

void ChartWidgetTest::breaksSplitTheCurveWithAFaintMark()
{
    QFETCH(int, count);
    // 30 up to the pause, 70 after it: only the join crosses the band between.
    const qint64 pause = count / 2 + 1;
    TListSeriesSource humidity;
    for (int i = 0; i < count; ++i)
        humidity.append(i < pause ? 30.0 : 70.0, QString());
    auto chart = makeChart();
    chart->setLegendVisible(false);
    chart->addSeries(lineStyle(QStringLiteral("Влажность, %"), Blue), &humidity);
    chart->setBottomRange(0, count - 1);
    const QRect plot = chart->plotRect();
    const QRect band(QPoint(plot.left(), int(chart->leftPixelOf(60))), QPoint(plot.right(), int(chart->leftPixelOf(40))));
    const int markX = int(std::lround(chart->bottomPixelOf(pause - 0.5)));
    const QRect markColumn(markX, plot.top(), 1, plot.height());
    const QColor faint(200, 200, 200);
    const QImage joined = render(*chart);
    QVERIFY(pixelsOfColourIn(joined, band, Blue) > 0);
    QCOMPARE(pixelsOfColourIn(joined, markColumn, faint), 0);

    chart->setBreaks({pause});
    const QImage broken = render(*chart);
    QCOMPARE(pixelsOfColourIn(broken, band, Blue), 0);
    // Faint, up from the axis; the curve still runs on either side.
    QVERIFY(pixelsOfColourIn(broken, markColumn, faint) >= 10);
    QVERIFY(colouredPixelsInColumn(broken, *chart, int(std::lround(chart->bottomPixelOf(pause - 2))), Blue) > 0);
    QVERIFY(colouredPixelsInColumn(broken, *chart, int(std::lround(chart->bottomPixelOf(pause + 1))), Blue) > 0);
}

void ChartWidgetTest::outputsShowNoCursorNorCheckBoxes()
{
    const TemperatureWindow shown;
    TChart& chart = *shown.chart;
    const QImage plain = render(chart, TChartPaintMode::Output);
    chart.setCursorLine(150.5);
    QCOMPARE(render(chart, TChartPaintMode::Output), plain);
    QVERIFY(render(chart) != plain);

    // The boxes' grey border is on screen only; the colour mark and title stay.
    const QColor boxBorder(96, 96, 96);
    QVERIFY(pixelsOfColourIn(render(chart), chart.legendRect(), boxBorder) > 0);
    QCOMPARE(pixelsOfColourIn(plain, chart.legendRect(), boxBorder), 0);
    QVERIFY(pixelsOfColourIn(plain, chart.legendRect(), Red) > 0);
    QVERIFY(pixelsOfColourIn(plain, chart.legendRect(), Qt::black) > 0);
}

void ChartWidgetTest::bottomLabelsFitTheirBoxesInsideTheChart_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QMargins>("margins");
    QTest::newRow("en_US, 12-hour") << QLocale(QLocale::English, QLocale::UnitedStates) << QMargins(16, 32, 16, 84);
    QTest::newRow("ru_RU, 24-hour") << QLocale(QLocale::Russian, QLocale::Russia) << QMargins(16, 32, 16, 84);
    QTest::newRow("en_US, monitor without side margins")
        << QLocale(QLocale::English, QLocale::UnitedStates) << QMargins(0, 32, 0, 32);
}

void ChartWidgetTest::bottomLabelsFitTheirBoxesInsideTheChart()
{
    QFETCH(QLocale, locale);
    QFETCH(QMargins, margins);
    // The outermost labels are the narrowest ("1:01:01 AM"), the ones
    // between them wider ("11:58:58 PM"): measuring the ends is not enough.
    TListSeriesSource humidity;
    const QString timeFormat = locale.timeFormat(QLocale::LongFormat).remove(QStringLiteral(" t"));
    const int count = 401;
    for (int i = 0; i < count; ++i) {
        const QTime time = i == 0 || i == count - 1 ? QTime(1, 1, 1) : QTime(23, 58, 58);
        humidity.append(40 + i % 7, locale.toString(time, timeFormat) + u'\r'
                                        + locale.toString(QDate(2024, 12, 28), QLocale::ShortFormat));
    }
    auto chart = makeChart();
    chart->setMargins(margins);
    chart->addSeries(lineStyle(QStringLiteral("Влажность, %"), Blue), &humidity);
    chart->setBottomRange(0, count - 1);
    const QFontMetricsF metrics(chart->font());
    const std::vector<TBottomLabel> labels = chart->bottomLabels();
    QVERIFY(labels.size() >= 3);
    QCOMPARE(labels.back().lines.value(0), locale.toString(QTime(1, 1, 1), timeFormat));
    for (size_t i = 0; i < labels.size(); ++i) {
        const TBottomLabel& label = labels[i];
        for (const QString& line : label.lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= label.box.width(), qPrintable(line));
        QVERIFY2(chart->rect().contains(label.box), qPrintable(label.lines.join(u' ')));
        if (i > 0)
            QVERIFY(!labels[i - 1].box.intersects(label.box));
    }
}

void ChartWidgetTest::shiftDragMarksASpanInsteadOfPanning()
{
    const TemperatureWindow shown;
    TChart& chart = *shown.chart;
    QSignalSpy marked(&chart, &TChart::spanMarked);
    const QRect plot = chart.plotRect();
    const QPoint from(plot.left() + 300, plot.center().y());
    const QPoint to(plot.left() + 100, plot.center().y());
    QTest::mousePress(&chart, Qt::LeftButton, Qt::ShiftModifier, from);
    QVERIFY(chart.isMarkingSpan());
    QMouseEvent move(QEvent::MouseMove, to, chart.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(&chart, &move);
    QCOMPARE(chart.bottomRange(), (TChartRange{100, 200}));
    QCOMPARE(chart.markedRect(), QRect(QPoint(to.x(), plot.top()), QPoint(from.x(), plot.bottom())));
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::ShiftModifier, to);
    QVERIFY(!chart.isMarkingSpan());
    QCOMPARE(marked.size(), 1);
    QCOMPARE(marked[0][0].toDouble(), chart.bottomValueAt(to.x()));
    QCOMPARE(marked[0][1].toDouble(), chart.bottomValueAt(from.x()));

    // A Shift+click is no span.
    QTest::mouseClick(&chart, Qt::LeftButton, Qt::ShiftModifier, from);
    QCOMPARE(marked.size(), 1);
}

void ChartWidgetTest::wheelOverThePlotIsSignalledInNotches()
{
    const TemperatureWindow shown;
    TChart& chart = *shown.chart;
    QSignalSpy turned(&chart, &TChart::wheelTurned);
    const auto turn = [&chart](QPoint position, int angle) {
        QWheelEvent wheel(position, chart.mapToGlobal(position), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&chart, &wheel);
    };
    turn(chart.plotRect().center(), 240);
    turn(chart.plotRect().center(), -60);
    turn(QPoint(chart.plotRect().left() - 5, chart.plotRect().center().y()), 120);
    QCOMPARE(turned.size(), 2);
    QCOMPARE(turned[0][1].toDouble(), 2.0);
    QCOMPARE(turned[1][1].toDouble(), -0.5);
    QCOMPARE(turned[0][0].toPoint(), chart.plotRect().center());
}

QTEST_MAIN(ChartWidgetTest)
#include "ChartWidgetTest.moc"

void ChartWidgetTest::endLabelsStayInsideThePlotBesideTheirLine_data()
{
    QTest::addColumn<int>("lineY");
    QTest::addColumn<QSize>("text");
    QTest::addColumn<QRect>("box");
    QTest::addColumn<TChartAxisSide>("axis");
    const TChartAxisSide left = TChartAxisSide::Left;
    // The plot spans x 50..549 and y 20..319.
    QTest::newRow("above a line in the middle") << 170 << QSize(60, 14) << QRect(485, 154, 60, 14) << left;
    QTest::newRow("below a line too near the top") << 25 << QSize(60, 14) << QRect(485, 27, 60, 14) << left;
    QTest::newRow("above a line on the bottom edge") << 319 << QSize(60, 14) << QRect(485, 303, 60, 14) << left;
    QTest::newRow("a text wider than the plot starts at its left") << 170 << QSize(600, 14)
                                                                    << QRect(51, 154, 600, 14) << left;
    // A line of the right axis is named at the left end, clear of the left axis' names.
    QTest::newRow("a right-axis line at the top") << 25 << QSize(60, 14) << QRect(54, 27, 60, 14)
                                                   << TChartAxisSide::Right;
    QTest::newRow("a right-axis line on the bottom edge") << 319 << QSize(60, 14) << QRect(54, 303, 60, 14)
                                                           << TChartAxisSide::Right;
}

void ChartWidgetTest::endLabelsStayInsideThePlotBesideTheirLine()
{
    QFETCH(int, lineY);
    QFETCH(QSize, text);
    QFETCH(QRect, box);
    QFETCH(TChartAxisSide, axis);
    QCOMPARE(TChartPainter::endLabelBox(QRect(50, 20, 500, 300), lineY, text, axis), box);
}

// A bare line of one level carries its name at the right end, in its colour,
// inside the plot; a line without a name carries nothing there.
void ChartWidgetTest::limitLinesAreNamedAtTheirRightEnd()
{
    TemperatureWindow shown;
    TChart& chart = *shown.chart;
    chart.setLegendVisible(false);
    TListSeriesSource high;
    TListSeriesSource low;
    for (int i = 0; i < 1000; ++i) {
        high.append(8.5, QString());
        low.append(0.5, QString());
    }
    TChartSeriesStyle highStyle = lineStyle(QString(), Blue);
    highStyle.inLegend = false;
    highStyle.endLabel = QStringLiteral("t max 8,5");
    TChartSeriesStyle lowStyle = lineStyle(QString(), QColor(0, 128, 0));
    lowStyle.inLegend = false;
    chart.addSeries(highStyle, &high);
    chart.addSeries(lowStyle, &low);

    const QImage image = render(chart);
    const QRect plot = chart.plotRect();
    const QFontMetrics metrics(chart.font());
    auto boxOf = [&](double value, const QString& text) {
        return TChartPainter::endLabelBox(plot, int(std::lround(chart.leftPixelOf(value))),
                                          QSize(metrics.horizontalAdvance(text), metrics.height()));
    };
    // Text is smoothed: count the pixels whose hue leans to the line's colour.
    auto leaningTo = [&image](const QRect& box, int channel) {
        int count = 0;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                const int rgb[] = {pixel.red(), pixel.green(), pixel.blue()};
                count += rgb[channel] > rgb[(channel + 1) % 3] + 60 && rgb[channel] > rgb[(channel + 2) % 3] + 60;
            }
        }
        return count;
    };
    const QRect named = boxOf(8.5, highStyle.endLabel);
    QVERIFY(plot.contains(named));
    QVERIFY2(leaningTo(named, 2) > 20, "the name is written beside its line");
    QCOMPARE(leaningTo(boxOf(0.5, highStyle.endLabel), 1), 0);
}
