#include "data/DumpLog.h"

void TDumpLog::addLine(const QString& line)
{
    blocks_.push_back(Block{line, nullptr});
    ++lineCount_;
}

void TDumpLog::addRecords(std::shared_ptr<const TRecordList> records)
{
    lineCount_ += records->size();
    blocks_.push_back(Block{QString(), std::move(records)});
}

QString TDumpLog::line(qsizetype index) const
{
    if (index < 0)
        return QString();
    for (const Block& block : blocks_) {
        if (index < block.lines())
            return block.records ? block.records->dumpLine(index) : block.text;
        index -= block.lines();
    }
    return QString();
}

qsizetype TDumpLog::memoryBytes() const
{
    qsizetype bytes = 0;
    for (const Block& block : blocks_)
        bytes += block.records ? block.records->memoryBytes() : block.text.size() * 2;
    return bytes;
}
