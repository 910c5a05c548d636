#pragma once

#include <QStringList>

#include <vector>

// A table as a window shows it, its cells already texts, for the files it is
// saved as: the column captions, then the rows.
struct TTextTable {
    QStringList captions;
    std::vector<QStringList> rows;
};
