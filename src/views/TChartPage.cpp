#include "views/TChartPage.h"

#include "chart/TChart.h"
#include "data/CellFormatter.h"
#include "data/MeasurementStore.h"
#include "data/RowSpanView.h"
#include "data/Timestamp.h"
#include "data/UserLimitsHolder.h"
#include "device/TDeviceIdentity.h"
#include "text/FormatLocale.h"
#include "views/ChartPauses.h"
#include "views/ChartPeriod.h"
#include "views/TChartFilterPanel.h"
#include "views/TChartPageSeries.h"
#include "views/TCursorTracker.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTimeEdit>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);

// The kind of every series, in the chart's order.
constexpr std::array<TSeriesKind, TChartPage::SeriesCount> SeriesKinds = {
    TSeriesKind::RH,     TSeriesKind::T,     TSeriesKind::P,     TSeriesKind::PLMax, TSeriesKind::PLMin,
    TSeriesKind::RHLMax, TSeriesKind::RHLMin, TSeriesKind::TLMax, TSeriesKind::TLMin};

// The look of every series, in the chart's order; the limit lines at `limits`.
std::array<TChartSeriesStyle, TChartPage::SeriesCount> seriesStyles(const TUserLimits& limits)
{
    const auto curve = [](const QString& title, QColor color, TChartAxisSide axis) {
        return TChartSeriesStyle{title, color, 2, Qt::SolidLine, axis, true};
    };
    // A limit line stays out of the legend, on the axis of its curve; its end
    // label names it ("t max 36,9", "P min 84,0").
    const auto limit = [](QColor color, const QString& name, int tenths, TChartAxisSide axis) {
        const QString level = FormatLocale().toString(tenths / 10.0, 'f', 1);
        return TChartSeriesStyle{QString(), color, 1, Qt::SolidLine, axis, false, name + u' ' + level};
    };
    return {
        curve(QStringLiteral("Влажность, %"), Blue, TChartAxisSide::Left),
        curve(QStringLiteral("Температура, °С"), Red, TChartAxisSide::Left),
        curve(QStringLiteral("Давление, кПа"), Green, TChartAxisSide::Right),
        limit(Green, QStringLiteral("P max"), limits.pressureMax, TChartAxisSide::Right),
        limit(Green, QStringLiteral("P min"), limits.pressureMin, TChartAxisSide::Right),
        limit(Blue, QStringLiteral("RH max"), limits.humidityMax, TChartAxisSide::Left),
        limit(Blue, QStringLiteral("RH min"), limits.humidityMin, TChartAxisSide::Left),
        limit(Red, QStringLiteral("t max"), limits.temperatureMax, TChartAxisSide::Left),
        limit(Red, QStringLiteral("t min"), limits.temperatureMin, TChartAxisSide::Left),
    };
}

template <class Rows>
TChartPageSeriesSet seriesOver(const Rows& rows, const TUserLimits& limits)
{
    TChartPageSeriesSet series;
    for (size_t i = 0; i < series.size(); ++i)
        series[i] = std::make_unique<TChartPageSeries>(rows, SeriesKinds[i], limits);
    return series;
}

// The chart's frame and series, as the page and a report draw it.
void setUpChart(TChart& chart, const TChartPageSeriesSet& series, const TUserLimits& limits)
{
    chart.setMargins(QMargins(16, 32, 16, 84));
    chart.setAxisTitle(TChartAxisSide::Left, QStringLiteral("Температура, *С / Влажность, %"));
    chart.setAxisTitle(TChartAxisSide::Right, QStringLiteral("Давление, кПа"));
    chart.setAxisTitleColor(TChartAxisSide::Right, QColor(64, 0, 64));
    const std::array<TChartSeriesStyle, TChartPage::SeriesCount> styles = seriesStyles(limits);
    for (size_t i = 0; i < series.size(); ++i)
        chart.addSeries(styles[i], series[i].get());
}

constexpr std::array<int, 6> LimitSeries = {TChartPage::SeriesPLMax,  TChartPage::SeriesPLMin,
                                            TChartPage::SeriesRHLMax, TChartPage::SeriesRHLMin,
                                            TChartPage::SeriesTLMax,  TChartPage::SeriesTLMin};

} // namespace

TChartPage::TChartPage(const TMeasurementStore& store, const TUserLimitsHolder& limits, QWidget* parent)
    : QWidget(parent)
    , Chart(new TChart(this))
    , PanelFiltr(new TChartFilterPanel(Chart))
    , ScrollBarScale(new QScrollBar(Qt::Vertical, Chart))
    , store_(store)
    , limits_(limits)
    , chartWindow_(*this)
    , tracker_(std::make_unique<TCursorTracker>(
          store.loadLocale(),
          [this](qint64 point) { return TCellFormatter(store_.loadLocale()).dateTimeText(pointTime(point)); }))
{
    setObjectName(QStringLiteral("ChartPage"));
    ScrollBarScale->setObjectName(QStringLiteral("ScrollBarScale"));
    ScrollBarScale->hide();
    PanelFiltr->ScrollBarScroll->setRange(0, 0);
    // The panel lies on the chart: the pointer entering it has left the plot.
    PanelFiltr->installEventFilter(this);
    buildChart();
    connectControls();
    connect(&limits_, &TUserLimitsHolder::limitsChanged, this, &TChartPage::showLimits);
}

TChartPage::~TChartPage() = default;

void TChartPage::buildChart()
{
    Chart->setObjectName(QStringLiteral("Chart"));
    Chart->setLegendPosition(QPoint(170, 5));
    // Home needs the keyboard: a click or a wheel turn over the chart gives it.
    Chart->setFocusPolicy(Qt::WheelFocus);
    const TUserLimits limits = limits_.limits();
    Series = seriesOver(store_, limits);
    setUpChart(*Chart, Series, limits);
    Chart->setBottomRange(0, 0);
}

TReportChart::TReportChart(const TMeasurementStore& rows, const TUserLimits& limits)
    : TReportChart(seriesOver(rows, limits), ChartPauses::pausesIn(rows), rows.DataRowCount(), limits)
{
}

TReportChart::TReportChart(const TRowSpanView& rows, const TUserLimits& limits)
    : TReportChart(seriesOver(rows, limits), ChartPauses::pausesIn(rows), rows.rowCount(), limits)
{
}

TReportChart::TReportChart(TChartPageSeriesSet series, std::vector<qint64> breaks, qint64 rowCount,
                           const TUserLimits& limits)
    : series_(std::move(series))
    , chart_(std::make_unique<TChart>())
{
    setUpChart(*chart_, series_, limits);
    chart_->setBreaks(std::move(breaks));
    chart_->setBottomRange(0, std::max(0, TChartWindow::afterPeriod(rowCount).lastIndex));
}

TReportChart::~TReportChart() = default;

std::unique_ptr<TReportChart> TChartPage::reportChart(const TMeasurementStore& rows, QSize size) const
{
    return dressed(std::make_unique<TReportChart>(rows, limits_.limits()), size);
}

std::unique_ptr<TReportChart> TChartPage::reportChart(const TRowSpanView& rows, QSize size) const
{
    return dressed(std::make_unique<TReportChart>(rows, limits_.limits()), size);
}

std::unique_ptr<TReportChart> TChartPage::dressed(std::unique_ptr<TReportChart> report, QSize size) const
{
    TChart& chart = report->chart();
    chart.setLegendPosition(Chart->model().legendPosition());
    for (int series = 0; series < Chart->seriesCount(); ++series)
        chart.setSeriesVisible(series, Chart->isSeriesVisible(series));
    chart.resize(size);
    return report;
}

void TChartPage::connectControls()
{
    TChartFilterPanel* panel = PanelFiltr;
    connect(panel->ButtonZoomIn, &QPushButton::clicked, this, &TChartPage::ButtonZoomInClick);
    connect(panel->ButtonZoomOut, &QPushButton::clicked, this, &TChartPage::ButtonZoomOutClick);
    connect(panel->ScrollBarScroll, &QScrollBar::valueChanged, this, &TChartPage::ScrollBarScrollChange);
    connect(ScrollBarScale, &QScrollBar::valueChanged, this, &TChartPage::ScrollBarScaleChange);
    connect(Chart, &TChart::mouseDown, this, &TChartPage::ChartMouseDown);
    connect(Chart, &TChart::mouseMove, this, &TChartPage::ChartMouseMove);
    connect(Chart, &TChart::mouseUp, this, &TChartPage::ChartMouseUp);
    connect(Chart, &TChart::legendToggled, this, &TChartPage::ChartClickLegend);
    connect(panel->ButtonFiltr, &QPushButton::clicked, this, &TChartPage::ButtonFiltrClick);
    connect(panel->ButtonFilterClear, &QPushButton::clicked, this, &TChartPage::ButtonFilterClearClick);
    connect(panel->ComboBoxRow, &QComboBox::currentIndexChanged, this, &TChartPage::ComboBoxRowChange);
    connect(Chart, &TChart::wheelTurned, this, &TChartPage::chartMouseWheel);
    connect(Chart, &TChart::mouseLeft, this, &TChartPage::chartMouseLeave);
    connect(Chart, &TChart::spanMarked, this, &TChartPage::chartSpanMarked);
    connect(Chart, &TChart::doubleClicked, this, &TChartPage::ButtonFilterClearClick);
    auto* home = new QShortcut(QKeySequence(Qt::Key_Home), Chart, nullptr, nullptr, Qt::WidgetShortcut);
    connect(home, &QShortcut::activated, this, &TChartPage::ButtonFilterClearClick);
}

QLabel* TChartPage::TrackingLabel() const
{
    return tracker_->TrackingLabel();
}

void TChartPage::setPublishedSeries(std::function<qint32()> publishedSeries)
{
    PublishedSeries = std::move(publishedSeries);
}

void TChartPage::showLimitSeries(bool shown)
{
    for (int series : LimitSeries)
        Chart->setSeriesVisible(series, shown);
}

// The lines move to the limits in use and their labels name them, over the
// rows shown now, whole or a period.
void TChartPage::showLimits()
{
    const TUserLimits limits = limits_.limits();
    const std::array<TChartSeriesStyle, SeriesCount> styles = seriesStyles(limits);
    for (int series : LimitSeries)
        Chart->setSeriesStyle(series, styles[size_t(series)]);
    showSeries(periodRows_ ? seriesOver(*periodRows_, limits) : seriesOver(store_, limits));
}

bool TChartPage::limitSeriesShown() const
{
    return std::all_of(LimitSeries.begin(), LimitSeries.end(),
                       [this](int series) { return Chart->isSeriesVisible(series); });
}

void TChartPage::storeLoaded()
{
    tracker_->hide(Chart);
    showSeries(seriesOver(store_, limits_.limits()));
    Chart->setBreaks(ChartPauses::pausesIn(store_));
    periodRows_.reset();
    const qint64 rows = store_.DataRowCount();
    if (rows > 0)
        setPickers(store_.firstTimestamp(), store_.lastTimestamp());
    chartWindow_.ResetWindow(TChartWindow::afterLoad(rows));
    setControlsEnabled(rows > 0);

    // Item 0 is selected without running the change handler.
    QComboBox* list = PanelFiltr->ComboBoxRow;
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(ChartPeriod::intervalItems(store_));
    list->setCurrentIndex(0);
}

void TChartPage::showSeries(TChartPageSeriesSet series)
{
    for (size_t i = 0; i < series.size(); ++i)
        Chart->setSeriesSource(int(i), series[i].get());
    Series = std::move(series);
}

void TChartPage::setPickers(qint64 start, qint64 stop)
{
    PanelFiltr->DateTimePickerTFStart->setTime(TimeOf(start));
    PanelFiltr->DateTimePickerDFStart->setDate(DateOf(start));
    PanelFiltr->DateTimePickerTFStop->setTime(TimeOf(stop));
    PanelFiltr->DateTimePickerDFStop->setDate(DateOf(stop));
}

void TChartPage::setControlsEnabled(bool enabled)
{
    const TChartFilterPanel* panel = PanelFiltr;
    for (QWidget* control : std::initializer_list<QWidget*>{
             panel->ButtonZoomIn, panel->ButtonZoomOut, panel->ComboBoxRow, panel->DateTimePickerTFStart,
             panel->DateTimePickerDFStart, panel->DateTimePickerTFStop, panel->DateTimePickerDFStop,
             panel->ButtonFiltr, panel->ButtonFilterClear, panel->ScrollBarScroll, Chart})
        control->setEnabled(enabled);
}

void TChartPage::placeControls(int scrollBarLeft, int scrollBarWidth, int legendLeft)
{
    PanelFiltr->placeScrollBar(scrollBarLeft, scrollBarWidth);
    Chart->setLegendPosition(QPoint(legendLeft, Chart->model().legendPosition().y()));
}

void TChartPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Chart->setGeometry(rect());
    PanelFiltr->setGeometry(0, height() - TChartFilterPanel::PanelHeight, width(), TChartFilterPanel::PanelHeight);
}

bool TChartPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PanelFiltr && event->type() == QEvent::Enter)
        tracker_->hide(Chart);
    return QWidget::eventFilter(watched, event);
}

void TChartPage::ButtonZoomInClick()
{
    chartWindow_.zoomIn();
}

void TChartPage::ButtonZoomOutClick()
{
    chartWindow_.zoomOut();
}

void TChartPage::ScrollBarScrollChange(int position)
{
    chartWindow_.ScrollBarScrollChange(position);
}

void TChartPage::ScrollBarScaleChange(int position)
{
    chartWindow_.ScrollBarScaleChange(position);
}

void TChartPage::ChartMouseDown()
{
    // A Shift+drag marks a period; it does not move the window.
    if (!Chart->isMarkingSpan())
        chartWindow_.mouseDown();
}

void TChartPage::ChartMouseMove(QPoint position)
{
    trackCursorAt(position);
    chartWindow_.mouseMove();
}

void TChartPage::trackCursorAt(QPoint position)
{
    tracker_->TrackCursor(Chart, position.x(), position.y(), SeriesRH, SeriesT, SeriesP);
}

void TChartPage::chartMouseLeave()
{
    tracker_->hide(Chart);
}

void TChartPage::chartMouseWheel(QPoint position, double notches)
{
    const double anchor = Chart->bottomValueAt(position.x());
    const bool drilling = notches > 0 && chartWindow_.Width() <= chartWindow_.MinWidth();
    // A fine-grained wheel (a touchpad) turns a whole notch before a period is taken.
    drillNotches_ = drilling ? drillNotches_ + notches : 0;
    if (!drilling) {
        chartWindow_.zoomAround(anchor, std::pow(WheelZoomFactor, -notches));
    } else if (drillNotches_ >= 1) {
        drillInto(anchor, std::pow(WheelZoomFactor, -drillNotches_));
        drillNotches_ = 0;
    }
    // The readout names the point now under the pointer.
    trackCursorAt(position);
}

void TChartPage::drillInto(double anchor, double factor)
{
    const TChartRange axis = Chart->bottomRange();
    const double width = axis.span() * factor;
    const double from = TChartWindow::leftEdgeAround(axis.min, axis.max, anchor, width);
    applyPointSpan(qint64(std::ceil(from)), qint64(std::floor(from + width)));
}

void TChartPage::chartSpanMarked(double from, double to)
{
    applyPointSpan(qint64(std::ceil(from)), qint64(std::floor(to)));
}

void TChartPage::applyPointSpan(qint64 first, qint64 last)
{
    first = std::max<qint64>(first, 0);
    last = std::min(last, pointCount() - 1);
    if (first >= last)
        return;
    // A logger clock set back can put the later point first in time.
    const qint64 start = std::min(pointTime(first), pointTime(last));
    const qint64 stop = std::max(pointTime(first), pointTime(last));
    if (start >= stop)
        return;
    setPickers(start, stop);
    ButtonFiltrClick();
}

qint64 TChartPage::pointCount() const
{
    return periodRows_ ? periodRows_->rowCount() : store_.DataRowCount();
}

qint64 TChartPage::pointTime(qint64 point) const
{
    return periodRows_ ? periodRows_->rowValues(point).time : store_.rowValues(point).time;
}

void TChartPage::ChartMouseUp()
{
    chartWindow_.mouseUp();
}

void TChartPage::ChartClickLegend()
{
    const qint32 series = PublishedSeries ? PublishedSeries() : 0;
    if (!CarriesLimitLines(series)) {
        showLimitSeries(false);
        return;
    }
    const bool temperature = Chart->isSeriesVisible(SeriesT);
    Chart->setSeriesVisible(SeriesTLMax, temperature);
    Chart->setSeriesVisible(SeriesTLMin, temperature);
    const bool humidity = Chart->isSeriesVisible(SeriesRH);
    Chart->setSeriesVisible(SeriesRHLMax, humidity);
    Chart->setSeriesVisible(SeriesRHLMin, humidity);
    const bool pressure = Chart->isSeriesVisible(SeriesP);
    Chart->setSeriesVisible(SeriesPLMax, pressure);
    Chart->setSeriesVisible(SeriesPLMin, pressure);
}

void TChartPage::ButtonFiltrClick()
{
    const TChartFilterPanel* panel = PanelFiltr;
    const qint64 start = ChartPeriod::momentMs(panel->DateTimePickerDFStart->date(), panel->DateTimePickerTFStart->time());
    const qint64 end = ChartPeriod::momentMs(panel->DateTimePickerDFStop->date(), panel->DateTimePickerTFStop->time());
    std::unique_ptr<TRowSpanView> rows = ChartPeriod::rowsInPeriod(store_, start, end);
    tracker_->hide(Chart);
    showSeries(seriesOver(*rows, limits_.limits()));
    Chart->setBreaks(ChartPauses::pausesIn(*rows));
    periodRows_ = std::move(rows);
    // With no row in the period the window stays as it was: there is no point to show.
    const qint64 points = periodRows_->rowCount();
    if (start < end && points > 0)
        chartWindow_.ResetWindow(TChartWindow::afterPeriod(points));
}

void TChartPage::ButtonFilterClearClick()
{
    setPickers(store_.firstTimestamp(), store_.lastTimestamp());
    ButtonFiltrClick();
}

void TChartPage::ComboBoxRowChange(int item)
{
    if (item < 0)
        return;
    if (item == 0) {
        ButtonFilterClearClick();
        return;
    }
    const ChartPeriod::TItemEnds ends = ChartPeriod::intervalItemEnds(store_, item);
    setPickers(ends.first, ends.last);
    ButtonFiltrClick();
}

double TChartPage::axisMinimum() const
{
    return Chart->bottomRange().min;
}

double TChartPage::axisMaximum() const
{
    return Chart->bottomRange().max;
}

void TChartPage::setAxisMinimum(double value)
{
    Chart->setBottomRange(value, axisMaximum());
}

void TChartPage::setAxisMaximum(double value)
{
    Chart->setBottomRange(axisMinimum(), value);
}

void TChartPage::setScrollMaximum(int maximum)
{
    // The handle is as wide as the share of the points the window shows:
    // pageStep / (maximum + pageStep), which a window of all points fills.
    constexpr double LongestStep = std::numeric_limits<int>::max() / 2;
    const qint32 lastIndex = chartWindow_.LastIndex();
    const double shown = lastIndex > 0 ? std::min(1.0, double(chartWindow_.Width()) / lastIndex) : 1.0;
    const double step = shown < 1 ? std::min(LongestStep, maximum * shown / (1 - shown)) : LongestStep;
    PanelFiltr->ScrollBarScroll->setPageStep(std::max(1, int(std::lround(step))));
    PanelFiltr->ScrollBarScroll->setMaximum(maximum);
}

void TChartPage::setScrollPosition(int position)
{
    PanelFiltr->ScrollBarScroll->setValue(position);
}
