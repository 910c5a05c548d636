#include "device/LoggerQueries.h"

#include "device/RegisterMap.h"
#include "device/TDeviceLink.h"

std::optional<qint32> ReadDeviceNumber(TDeviceLink& link)
{
    const std::optional<qint32> number = link.ReadRegister(RegDeviceNumber);
    if (number)
        link.LogStatus(QString::fromUtf8("Чтение номера прибора успешно выполнено"));
    return number;
}

std::optional<qint64> ReadLogRecordCount(TDeviceLink& link)
{
    const std::optional<qint32> bytesUsed = link.ReadRegister(RegLogMemUsed);
    if (!bytesUsed)
        return std::nullopt;
    link.LogStatus(QString::fromUtf8("Чтение log mem ") + QString::number(*bytesUsed));
    // A negative reading can only be a fault of the logger: it holds no records then.
    return qMax<qint64>(0, *bytesUsed / LogRecordBytes);
}
