#include "device/TDeviceIdentity.h"

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return quint8(c);
}

quint16 SeriesFromSerialNumber(const QByteArray& serialNumber)
{
    const char first = serialNumber.size() > 0 ? serialNumber[0] : '\0';
    const char second = serialNumber.size() > 1 ? serialNumber[1] : '\0';
    return quint16((HexDigitValue(first) << 4) | HexDigitValue(second));
}

QString BuildExpectedLabel(quint16 series, const QString& numberText)
{
    return QString::number(series) + numberText.rightJustified(5, u'0');
}
