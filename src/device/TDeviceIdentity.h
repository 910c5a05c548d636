#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Who the connected logger is: its series (from the HID serial number) and the
// volume label its drive shows up under.
struct TDeviceIdentity {
    // 0 until a serial number has been read; refreshed by every pass that finds a logger.
    quint16 Series = 0;
    // Set only when a logger is newly detected; the loader's test mode overwrites it.
    QString ExpectedLabel;
    // Copy of Series taken together with ExpectedLabel.
    qint32 PublishedSeries = 0;
    // The device number as the logger told it at its detection; empty when it did not.
    QString numberText;
};

// Loggers of the later series carry the critical-level lines on their charts.
constexpr int LastSeriesWithoutLimits = 23;
constexpr bool CarriesLimitLines(qint32 series)
{
    return series > LastSeriesWithoutLimits;
}

// '0'..'9' give 0..9, 'A'..'F' give 10..15; any other character (lower-case
// letters included) gives its own code, which is what the logger's makers used.
int HexDigitValue(char c);

// Series from the first two characters of a serial number already in 8 bits; a
// missing character counts as code 0.
quint16 SeriesFromSerialNumber(const QByteArray& serialNumber);

// The series in decimal followed by the number text left-padded with '0' to five
// characters (a longer text is used unchanged).
QString BuildExpectedLabel(quint16 series, const QString& numberText);
