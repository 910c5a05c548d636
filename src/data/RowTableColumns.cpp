#include "data/RowTableColumns.h"

#include <array>

QString RowTableHeader(int column)
{
    static const std::array<QString, RowTableColumnCount> Header = {
        QStringLiteral("#"),
        QStringLiteral("Дата"),
        QStringLiteral("Время"),
        QStringLiteral("Температура, *С"),
        QStringLiteral("Влажность, %"),
        QStringLiteral("Давление, кПа"),
        QStringLiteral("Дельта, с"),
    };
    return (column >= 0 && column < RowTableColumnCount) ? Header[size_t(column)] : QString();
}
