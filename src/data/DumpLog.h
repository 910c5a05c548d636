#pragma once

#include "data/RecordList.h"

#include <memory>
#include <vector>

// The Sys page's dump: per source a "> path" line, a line when it could not
// be used, and one dump line per valid record. Record lines are produced on
// demand from the decoded records, never stored as text.
class TDumpLog
{
public:
    void addLine(const QString& line);
    void addRecords(std::shared_ptr<const TRecordList> records);

    qsizetype lineCount() const { return lineCount_; }
    QString line(qsizetype index) const;
    qsizetype memoryBytes() const; // texts and records, records shared with the store included

private:
    struct Block {
        QString text;
        std::shared_ptr<const TRecordList> records;
        qsizetype lines() const { return records ? records->size() : 1; }
    };
    std::vector<Block> blocks_;
    qsizetype lineCount_ = 0;
};
