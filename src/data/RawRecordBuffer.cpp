#include "data/RawRecordBuffer.h"

#include <new>

namespace {

TLogRecord* allocateZeroed(std::size_t count)
{
    // calloc hands back fresh zero pages from the OS for a block this large:
    // nothing is written, so memory is committed only where records are read.
    auto* block = static_cast<TLogRecord*>(std::calloc(count, sizeof(TLogRecord)));
    if (!block)
        throw std::bad_alloc();
    return block;
}

} // namespace

TRawRecordBuffer::TRawRecordBuffer()
    : records_(allocateZeroed(Capacity), &std::free)
{
}
