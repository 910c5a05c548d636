#pragma once

#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"

#include <QDate>

#include <map>
#include <memory>

// Full log memories (262,144 records) of both shapes, shown in stores that
// are built once, outside the timed loops, for the benchmarks of what reads
// a loaded store. The worst case is 66.8 million rows.
inline const TMeasurementStore& fullLogStore(TLogShape shape)
{
    static std::map<TLogShape, std::unique_ptr<TMeasurementStore>> stores;
    std::unique_ptr<TMeasurementStore>& store = stores[shape];
    if (!store) {
        constexpr qint64 Records = 262144;
        const QByteArray bytes =
            LogGenerator(1).generate(Records, shape, QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
        auto list = std::make_shared<TRecordList>(2026);
        list->reserve(Records);
        const auto* raw = reinterpret_cast<const TLogRecord*>(bytes.constData());
        for (qint64 i = 0; i < Records; ++i)
            list->appendIfValid(raw[i]);
        store = std::make_unique<TMeasurementStore>();
        store->showRecords(std::move(list));
    }
    return *store;
}
