// Paint cost of the chart component at 1280 x 720 on a worst-case log:
// 262,144 records of 255 repetitions each, 66.8 million points per series.
#include "chart/TChart.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr qint64 RunCount = 262'144;
constexpr qint64 RunLength = 255;
constexpr qint64 PointCount = RunCount * RunLength;
const QSize ImageSize(1280, 720);

// A series stored as runs of equal tenths, like the store's records, with a
// sparse table of run minima and maxima: a range query is one binary search
// per end plus two table reads. Null runs hold an empty (min > max) range.
class TRunLengthSeries : public ChartSeriesSource
{
public:
    TRunLengthSeries(int base, int amplitude, int nullEvery)
    {
        runStart_.resize(size_t(RunCount + 1));
        std::vector<Extent> runs(static_cast<size_t>(RunCount));
        for (qint64 run = 0; run < RunCount; ++run) {
            runStart_[size_t(run)] = run * RunLength;
            const bool null = nullEvery > 0 && run % nullEvery == nullEvery - 1;
            const auto tenths = qint16(base + amplitude * std::sin(double(run) / 700.0) + (run * 7919) % 23);
            runs[size_t(run)] = null ? Extent{} : Extent{tenths, tenths};
        }
        runStart_.back() = PointCount;
        levels_.push_back(std::move(runs));
        for (size_t width = 2; width <= size_t(RunCount); width *= 2) {
            const std::vector<Extent>& below = levels_.back();
            std::vector<Extent> level(size_t(RunCount) - width + 1);
            for (size_t i = 0; i < level.size(); ++i)
                level[i] = below[i].merged(below[i + width / 2]);
            levels_.push_back(std::move(level));
        }
    }

    qint64 pointCount() const override { return PointCount; }
    std::optional<double> value(qint64 index) const override
    {
        const Extent& extent = levels_.front()[size_t(runOf(index))];
        return extent.isEmpty() ? std::nullopt : std::optional(extent.min / 10.0);
    }
    QString label(qint64 index) const override
    {
        const QDateTime moment = QDateTime(QDate(2017, 4, 5), QTime(14, 0)).addSecs(index * 10);
        return moment.toString(QStringLiteral("HH:mm:ss\rdd.MM.yyyy"));
    }
    std::optional<TChartRange> range(qint64 first, qint64 last) const override
    {
        const qint64 firstRun = runOf(first);
        const qint64 lastRun = runOf(last);
        const auto level = size_t(std::bit_width(quint64(lastRun - firstRun + 1)) - 1);
        const std::vector<Extent>& table = levels_[level];
        const Extent extent = table[size_t(firstRun)].merged(table[size_t(lastRun + 1 - (qint64(1) << level))]);
        if (extent.isEmpty())
            return std::nullopt;
        return TChartRange{extent.min / 10.0, extent.max / 10.0};
    }

private:
    struct Extent {
        qint16 min = std::numeric_limits<qint16>::max();
        qint16 max = std::numeric_limits<qint16>::min();
        bool isEmpty() const { return min > max; }
        Extent merged(const Extent& other) const { return {std::min(min, other.min), std::max(max, other.max)}; }
    };

    qint64 runOf(qint64 index) const
    {
        return qint64(std::upper_bound(runStart_.begin(), runStart_.end(), index) - runStart_.begin()) - 1;
    }

    std::vector<qint64> runStart_;
    std::vector<std::vector<Extent>> levels_;
};

// A limit line: the same value at every point.
class TConstantSeries : public ChartSeriesSource
{
public:
    explicit TConstantSeries(double value)
        : value_(value)
    {
    }
    qint64 pointCount() const override { return PointCount; }
    std::optional<double> value(qint64) const override { return value_; }
    QString label(qint64) const override { return {}; }
    std::optional<TChartRange> range(qint64, qint64) const override { return TChartRange{value_, value_}; }

private:
    double value_;
};

struct TBenchData {
    TRunLengthSeries humidity{450, 150, 0};
    TRunLengthSeries temperature{215, 80, 0};
    TRunLengthSeries pressure{1000, 15, 50};
    TConstantSeries limits[4]{TConstantSeries(67.4), TConstantSeries(21.6), TConstantSeries(36.9),
                              TConstantSeries(12.3)};
};

const TBenchData& benchData()
{
    static const TBenchData data;
    return data;
}

// The data viewer's chart: three curves, four limit lines, titles, legend.
std::unique_ptr<TChart> makeChart()
{
    const TBenchData& data = benchData();
    auto chart = std::make_unique<TChart>();
    chart->resize(ImageSize);
    chart->setMargins(QMargins(16, 32, 16, 84));
    chart->setLegendPosition(QPoint((ImageSize.width() - 390) / 2, 5));
    chart->setAxisTitle(TChartAxisSide::Left, QStringLiteral("Температура, *С / Влажность, %"));
    chart->setAxisTitle(TChartAxisSide::Right, QStringLiteral("Давление, кПа"));
    chart->setAxisTitleColor(TChartAxisSide::Right, QColor(64, 0, 64));
    const auto curve = [](const char* title, QColor color, TChartAxisSide axis) {
        return TChartSeriesStyle{QString::fromUtf8(title), color, 2, Qt::SolidLine, axis, true};
    };
    chart->addSeries(curve("Влажность, %", QColor(0, 0, 255), TChartAxisSide::Left), &data.humidity);
    chart->addSeries(curve("Температура, °С", QColor(255, 0, 0), TChartAxisSide::Left), &data.temperature);
    chart->addSeries(curve("Давление, кПа", QColor(0, 128, 0), TChartAxisSide::Right), &data.pressure);
    for (int i = 0; i < 4; ++i) {
        const QColor color = i < 2 ? QColor(0, 0, 255) : QColor(255, 0, 0);
        chart->addSeries(TChartSeriesStyle{QString(), color, 1, Qt::SolidLine, TChartAxisSide::Left, false},
                         &data.limits[i]);
    }
    return chart;
}

void paintInto(const TChart& chart, QImage& image)
{
    QPainter painter(&image);
    chart.paint(painter, image.rect());
}

void BM_PaintWindow(benchmark::State& state)
{
    auto chart = makeChart();
    const qint64 width = state.range(0);
    const qint64 start = width >= PointCount ? 0 : PointCount / 2;
    chart->setBottomRange(double(start), double(std::min(start + width, PointCount - 1)));
    QImage image(ImageSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        paintInto(*chart, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintWindow)->Arg(PointCount)->Arg(PointCount / 4)->Arg(1000)->Unit(benchmark::kMillisecond);

// One step of a left-button drag: the move event reaches the chart, which
// pans, and the chart is painted again.
void BM_PanStep(benchmark::State& state)
{
    auto chart = makeChart();
    const qint64 width = state.range(0);
    chart->setBottomRange(double(PointCount / 2), double(PointCount / 2 + width));
    QImage image(ImageSize, QImage::Format_ARGB32_Premultiplied);
    const QPoint start = chart->plotRect().center();
    QMouseEvent press(QEvent::MouseButtonPress, start, start, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart.get(), &press);
    int step = 0;
    for (auto _ : state) {
        // Back and forth by 7 pixels so the window stays inside the data.
        const QPoint position = start + QPoint(step++ % 2 == 0 ? 7 : 0, 0);
        QMouseEvent move(QEvent::MouseMove, position, position, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(chart.get(), &move);
        paintInto(*chart, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PanStep)->Arg(PointCount / 4)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
