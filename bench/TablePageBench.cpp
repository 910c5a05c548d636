// The table page over a full log memory: one "Выбрать" pass with a period and
// all four bounds, showing every row after a load, and scrolling to the last
// row and painting it.
#include "FullLogStores.h"

#include "data/RowSpanView.h"
#include "views/TTablePage.h"
#include "views/TVirtualGrid.h"
#include "views/TableFilter.h"

#include <QAbstractItemModel>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

void BM_TableFilterPass(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape(state.range(0)));
    const qint64 span = store.lastTimestamp() - store.firstTimestamp();
    TTableFilter filter(store.firstTimestamp() + span / 4, store.lastTimestamp() - span / 4);
    const QLocale locale(QLocale::Russian, QLocale::Russia);
    filter.setBoundTexts(QStringLiteral("30"), QStringLiteral("5"), QStringLiteral("80"), QStringLiteral("20"),
                         locale);
    qint64 rows = 0;
    qsizetype spans = 0;
    for (auto _ : state) {
        const TRowSpanView view = filter.apply(store);
        rows = view.rowCount();
        spans = view.spanCount();
    }
    state.counters["rows"] = double(rows);
    state.counters["spans"] = double(spans);
}
BENCHMARK(BM_TableFilterPass)
    ->Arg(int(TLogShape::WorstCase))
    ->Arg(int(TLogShape::Typical))
    ->Unit(benchmark::kMillisecond);

// A page as the viewer holds it, with the grid at the window's usual size.
struct ShownPage {
    explicit ShownPage(const TMeasurementStore& store) : page(store), image(900, 420, QImage::Format_ARGB32)
    {
        page.resize(image.size());
    }

    void paintGrid()
    {
        QPainter painter(&image);
        page.StringGridFiltr->render(&painter);
    }

    TTablePage page;
    QImage image;
};

void BM_ShowWholeLogAfterLoad(benchmark::State& state)
{
    ShownPage shown(fullLogStore(TLogShape(state.range(0))));
    for (auto _ : state) {
        shown.page.storeLoaded();
        shown.paintGrid();
    }
}
BENCHMARK(BM_ShowWholeLogAfterLoad)
    ->Arg(int(TLogShape::WorstCase))
    ->Arg(int(TLogShape::Typical))
    ->Unit(benchmark::kMillisecond);

void BM_ScrollToLastRowAndPaint(benchmark::State& state)
{
    ShownPage shown(fullLogStore(TLogShape(state.range(0))));
    shown.page.storeLoaded();
    TVirtualGrid& grid = *shown.page.StringGridFiltr;
    for (auto _ : state) {
        grid.setCurrentRow(0);
        grid.setCurrentRow(grid.model()->rowCount() - 1);
        shown.paintGrid();
    }
}
BENCHMARK(BM_ScrollToLastRowAndPaint)
    ->Arg(int(TLogShape::WorstCase))
    ->Arg(int(TLogShape::Typical))
    ->Unit(benchmark::kMillisecond);

} // namespace
