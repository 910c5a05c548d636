// The data viewer's chart page on full log memories (262,144 records): paint
// cost at 1280 x 720 for the whole log and a 1,000-point window, with and
// without a pause at every record, one pan step, one wheel step, a wheel
// step that drills into a period, a double click back to the whole log,
// and applying a period or an interval item, each with its repaint; and
// finding the pauses of a load.
#include "FullLogStores.h"

#include "chart/TChart.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"
#include "data/UserLimitsHolder.h"
#include "views/ChartPauses.h"
#include "views/TChartFilterPanel.h"
#include "views/TChartPage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QDateEdit>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimeEdit>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

const QSize PageSize(1280, 720);

// One loaded page per log shape, built outside the timed loops.
struct TLoadedPage {
    explicit TLoadedPage(TLogShape shape)
        : store(&fullLogStore(shape))
        , page(std::make_unique<TChartPage>(*store, limits))
    {
        page->resize(PageSize);
        page->storeLoaded();
    }
    const TMeasurementStore* store;
    const TUserLimitsHolder limits{std::nullopt};
    std::unique_ptr<TChartPage> page;
};

TLoadedPage& loadedPage(qint64 shape)
{
    static std::map<qint64, std::unique_ptr<TLoadedPage>> pages;
    std::unique_ptr<TLoadedPage>& page = pages[shape];
    if (!page)
        page = std::make_unique<TLoadedPage>(TLogShape(shape));
    return *page;
}

void paintPage(TChartPage& page, QImage& image)
{
    page.render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

void setPeriod(TChartPage& page, qint64 start, qint64 stop)
{
    page.PanelFiltr->DateTimePickerDFStart->setDate(DateOf(start));
    page.PanelFiltr->DateTimePickerTFStart->setTime(TimeOf(start));
    page.PanelFiltr->DateTimePickerDFStop->setDate(DateOf(stop));
    page.PanelFiltr->DateTimePickerTFStop->setTime(TimeOf(stop));
}

void labelRows(benchmark::State& state, const TMeasurementStore& store)
{
    state.counters["rows"] = double(store.DataRowCount());
}

// The points the chart holds after the last iteration.
void labelPoints(benchmark::State& state, const TChartPage& page)
{
    state.counters["points"] = double(page.Chart->model().series(TChartPage::SeriesRH).source->pointCount());
}

// Args: log shape, window width in points (0: the whole log), 1 for a pause
// before every record (the most marks a log can have).
void BM_PaintPage(benchmark::State& state)
{
    TLoadedPage& loaded = loadedPage(state.range(0));
    TChartPage& page = *loaded.page;
    page.storeLoaded();
    const TMeasurementStore& store = *loaded.store;
    std::vector<qint64> pauses;
    if (state.range(2) != 0) {
        for (qsizetype record = 1; record < store.records().size(); ++record)
            pauses.push_back(store.recordFirstRow(record));
        page.Chart->setBreaks(pauses);
    }
    const qint64 rows = store.DataRowCount();
    const qint64 width = state.range(1) > 0 ? state.range(1) : rows - 1;
    const qint64 start = state.range(1) > 0 ? rows / 2 : 0;
    page.Chart->setBottomRange(double(start), double(start + width));
    QImage image(PageSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        paintPage(page, image);
    state.counters["pauses"] = double(pauses.size());
    labelRows(state, store);
}

void BM_FindPauses(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ChartPauses::pausesIn(store).size());
    labelRows(state, store);
}

void turnWheel(TChartPage& page, QPoint position, int notches)
{
    QWheelEvent wheel(position, position, QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(page.Chart, &wheel);
}

// A gesture at the plot's centre in every iteration, each with its repaint.
template <class Gesture>
void timeGesture(benchmark::State& state, TLoadedPage& loaded, Gesture gesture)
{
    TChartPage& page = *loaded.page;
    const QPoint pointer = page.Chart->plotRect().center();
    QImage image(PageSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        gesture(pointer);
        paintPage(page, image);
    }
    labelPoints(state, page);
    labelRows(state, *loaded.store);
}

// One notch of the wheel over the plot, out and in by turns around a point
// a third into the log: the zoom arithmetic, the readout and the repaint.
void BM_WheelStep(benchmark::State& state)
{
    TLoadedPage& loaded = loadedPage(state.range(0));
    TChartPage& page = *loaded.page;
    page.storeLoaded();
    page.PanelFiltr->ScrollBarScroll->setValue(int(loaded.store->DataRowCount() / 3));
    int step = 0;
    timeGesture(state, loaded, [&](QPoint pointer) { turnWheel(page, pointer, step++ % 2 == 0 ? -1 : 1); });
}

// A notch in at the narrowest window right after a load: the visible quarter
// of the log, a fifth narrower, becomes the period.
void BM_WheelIntoPeriod(benchmark::State& state)
{
    TLoadedPage& loaded = loadedPage(state.range(0));
    TChartPage& page = *loaded.page;
    timeGesture(state, loaded, [&](QPoint pointer) {
        state.PauseTiming();
        page.storeLoaded();
        state.ResumeTiming();
        turnWheel(page, pointer, 1);
    });
}

// A double click on the plot: the whole log again ("Сбросить").
void BM_DoubleClickWholeLog(benchmark::State& state)
{
    TLoadedPage& loaded = loadedPage(state.range(0));
    TChartPage& page = *loaded.page;
    page.storeLoaded();
    timeGesture(state, loaded, [&](QPoint pointer) {
        QMouseEvent click(QEvent::MouseButtonDblClick, pointer, pointer, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(page.Chart, &click);
        QMouseEvent release(QEvent::MouseButtonRelease, pointer, pointer, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(page.Chart, &release);
    });
}

// One move of a left-button drag over the plot: the readout, the page's pan
// rule and the chart's pan step, then the repaint.
void BM_PanStep(benchmark::State& state)
{
    TLoadedPage& loaded = loadedPage(state.range(0));
    TChartPage& page = *loaded.page;
    page.storeLoaded();
    const qint64 rows = loaded.store->DataRowCount();
    page.PanelFiltr->ScrollBarScroll->setValue(int(rows / 2));
    QImage image(PageSize, QImage::Format_ARGB32_Premultiplied);
    const QPoint start = page.Chart->plotRect().center();
    QMouseEvent press(QEvent::MouseButtonPress, start, start, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page.Chart, &press);
    int step = 0;
    for (auto _ : state) {
        // Back and forth by 7 pixels, so the window stays inside the data.
        const QPoint position = start + QPoint(step++ % 2 == 0 ? 7 : 0, 0);
        QMouseEvent move(QEvent::MouseMove, position, position, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(page.Chart, &move);
        paintPage(page, image);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, start, start, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page.Chart, &release);
    labelRows(state, *loaded.store);
}

// "Выбрать" with a period covering the middle half of the log, and the repaint.
void BM_ApplyHalfPeriod(benchmark::State& state)
{
    TLoadedPage& loaded = loadedPage(state.range(0));
    TChartPage& page = *loaded.page;
    page.storeLoaded();
    const qint64 first = loaded.store->firstTimestamp();
    const qint64 quarter = (loaded.store->lastTimestamp() - first) / 4;
    setPeriod(page, first + quarter, first + 3 * quarter);
    QImage image(PageSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        page.PanelFiltr->ButtonFiltr->click();
        paintPage(page, image);
    }
    labelPoints(state, page);
    labelRows(state, *loaded.store);
}

// Choosing the first two interval items in turn, each with its repaint.
void BM_ChooseInterval(benchmark::State& state)
{
    TLoadedPage& loaded = loadedPage(state.range(0));
    TChartPage& page = *loaded.page;
    page.storeLoaded();
    QComboBox& list = *page.PanelFiltr->ComboBoxRow;
    QImage image(PageSize, QImage::Format_ARGB32_Premultiplied);
    int turn = 0;
    for (auto _ : state) {
        list.setCurrentIndex(1 + turn++ % std::min(2, list.count() - 1));
        paintPage(page, image);
    }
    state.counters["items"] = double(list.count());
    labelRows(state, *loaded.store);
}

constexpr qint64 WorstCase = qint64(TLogShape::WorstCase);
constexpr qint64 Typical = qint64(TLogShape::Typical);

BENCHMARK(BM_PaintPage)
    ->ArgNames({"shape", "points", "pauses"})
    ->Args({WorstCase, 0, 0})
    ->Args({WorstCase, 0, 1})
    ->Args({WorstCase, 1000, 0})
    ->Args({WorstCase, 1000, 1})
    ->Args({Typical, 0, 0})
    ->Args({Typical, 1000, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindPauses)->ArgName("shape")->Arg(WorstCase)->Arg(Typical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelStep)->ArgName("shape")->Arg(WorstCase)->Arg(Typical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelIntoPeriod)->ArgName("shape")->Arg(WorstCase)->Arg(Typical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoubleClickWholeLog)->ArgName("shape")->Arg(WorstCase)->Arg(Typical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanStep)->ArgName("shape")->Arg(WorstCase)->Arg(Typical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyHalfPeriod)->ArgName("shape")->Arg(WorstCase)->Arg(Typical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooseInterval)->ArgName("shape")->Arg(WorstCase)->Arg(Typical)->Unit(benchmark::kMillisecond);

} // namespace
