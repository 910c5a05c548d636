#pragma once

#include "data/LogRecord.h"

#include <cstdlib>
#include <memory>
#include <span>

// The loader's staging buffer, which a source is read into from slot 0.
// Allocated zeroed once; its pages are only committed as records are read
// into them.
class TRawRecordBuffer
{
public:
    static constexpr qint32 Capacity = 4194304;

    TRawRecordBuffer();

    std::span<TLogRecord> records() { return {records_.get(), size_t(Capacity)}; }
    std::span<const TLogRecord> records() const { return {records_.get(), size_t(Capacity)}; }

private:
    std::unique_ptr<TLogRecord[], decltype(&std::free)> records_;
};
