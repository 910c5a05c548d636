#pragma once

#include <QString>

// The seven columns of the row table.
enum TRowTableColumn : int {
    ColumnNumber,
    ColumnDate,
    ColumnTime,
    ColumnTemperature,
    ColumnHumidity,
    ColumnPressure,
    ColumnInterval,
    RowTableColumnCount
};

// Header text of a column ("#", "Дата", ...), empty outside the table.
QString RowTableHeader(int column);
