// The row table and both filters on arbitrary stores and bounds: every row a
// filter keeps lies in its period and bounds, no kept row is out of order,
// and every cell of the model can be formatted.
#include "FuzzInput.h"

#include "data/RowTableColumns.h"
#include "views/ChartPeriod.h"
#include "views/TRowTableModel.h"
#include "views/TableFilter.h"

#include <QLocale>


namespace {

constexpr int CurrentYear = 2024;

// Records either as arbitrary bytes or built from arbitrary fields, which
// keeps most of them valid so the filters have rows to cut.
std::shared_ptr<TRecordList> takeRecords(FuzzInput& input)
{
    auto records = std::make_shared<TRecordList>(CurrentYear);
    const int count = input.take<uint8_t>() % 64;
    qint64 time = qint64(1'700'000'000) + input.take<qint32>();
    for (int i = 0; i < count; ++i) {
        if (input.take<uint8_t>() % 4 == 0) {
            TLogRecord raw;
            const QByteArray bytes = input.takeBytes(sizeof raw).leftJustified(sizeof raw, '\0');
            std::memcpy(&raw, bytes.constData(), sizeof raw);
            records->appendIfValid(raw);
            continue;
        }
        time += input.take<int16_t>();
        records->appendIfValid(MakeLogRecord(1 + input.take<uint8_t>(), input.take<uint8_t>(), time,
                                             input.take<qint16>(), input.take<quint16>(), input.take<quint16>()));
    }
    return records;
}

void checkView(const TRowSpanView& view, const TTableFilter& filter)
{
    qint64 previous = -1;
    for (qint64 row = 0; row < std::min<qint64>(view.rowCount(), 2000); ++row) {
        const qint64 storeRow = view.storeRow(row);
        FUZZ_CHECK(storeRow > previous && storeRow < view.store().DataRowCount());
        previous = storeRow;
        const TRowValues values = view.rowValues(row);
        FUZZ_CHECK(values.time >= filter.from() && values.time <= filter.to());
        FUZZ_CHECK(filter.valuesPass(values.temperature, values.humidity));
    }
}

void checkModel(TRowTableModel& model)
{
    const int rows = model.rowCount();
    for (int row : {0, rows / 2, rows - 1}) {
        if (row < 0 || row >= rows)
            continue;
        for (int column = 0; column < model.columnCount(); ++column)
            model.data(model.index(row, column), Qt::DisplayRole);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    // One store for every run, as the program keeps one: each load replaces its rows.
    static TMeasurementStore store;
    store.showRecords(takeRecords(input));
    const QLocale locale(QLocale::Russian, QLocale::Russia);

    const qint64 from = store.firstTimestamp() + input.take<int16_t>();
    const qint64 to = store.lastTimestamp() + input.take<int16_t>();
    TTableFilter filter(from, to);
    filter.setBoundTexts(input.takeText(12), input.takeText(12), input.takeText(12), input.takeText(12), locale);
    auto view = std::make_unique<TRowSpanView>(filter.apply(store));
    checkView(*view, filter);
    for (int column = 0; column < RowTableColumnCount; ++column)
        store.cellText(store.DataRowCount(), column);

    TRowTableModel model(store);
    checkModel(model);
    model.ShowView(std::move(view));
    checkModel(model);

    const qint64 startMs = from * 1000 + input.take<int16_t>();
    const qint64 endMs = to * 1000 + input.take<int16_t>();
    const std::unique_ptr<TRowSpanView> period = ChartPeriod::rowsInPeriod(store, startMs, endMs);
    if (period && period->rowCount() > 0)
        period->channelRange(ChannelTemperature, 0, period->rowCount() - 1);
    const QStringList items = ChartPeriod::intervalItems(store);
    for (int item = 1; item < items.size(); ++item) {
        const ChartPeriod::TItemEnds ends = ChartPeriod::intervalItemEnds(store, item);
        FUZZ_CHECK(ends.first <= ends.last);
    }
    return 0;
}
