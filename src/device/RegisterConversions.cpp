#include "device/RegisterConversions.h"

#include "device/Cp1251Codec.h"

#include <limits>

namespace {

// A decimal number as its digits and a power of ten: value = digits x 10^exponent.
struct DecimalNumber {
    bool negative = false;
    QString digits;
    int exponent = 0;
};

int powerOfTen(int scale)
{
    int power = 0;
    for (int rest = scale; rest > 1; rest /= 10)
        ++power;
    Q_ASSERT(scale >= 1);
    return power;
}

bool isAsciiDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

std::optional<DecimalNumber> parseDecimal(const QString& text, QChar separator)
{
    const QString trimmed = text.trimmed();
    DecimalNumber number;
    qsizetype pos = 0;
    if (pos < trimmed.size() && (trimmed[pos] == u'-' || trimmed[pos] == u'+'))
        number.negative = trimmed[pos++] == u'-';

    bool sawDigit = false;
    bool sawSeparator = false;
    for (; pos < trimmed.size(); ++pos) {
        const QChar ch = trimmed[pos];
        if (isAsciiDigit(ch)) {
            number.digits.append(ch);
            sawDigit = true;
            if (sawSeparator)
                --number.exponent;
        } else if (ch == separator && !sawSeparator) {
            sawSeparator = true;
        } else {
            break;
        }
    }
    if (!sawDigit)
        return std::nullopt;

    if (pos < trimmed.size() && (trimmed[pos] == u'e' || trimmed[pos] == u'E')) {
        bool ok = false;
        const int exponent = trimmed.mid(pos + 1).toInt(&ok);
        // Beyond this the value is either zero or far outside 32 bits anyway.
        if (!ok || exponent < -1000 || exponent > 1000)
            return std::nullopt;
        number.exponent += exponent;
        pos = trimmed.size();
    }
    if (pos != trimmed.size())
        return std::nullopt;
    return number;
}

bool roundsUp(const QString& fraction, bool integerIsOdd)
{
    if (fraction.isEmpty() || fraction[0] < u'5')
        return false;
    if (fraction[0] > u'5')
        return true;
    for (qsizetype i = 1; i < fraction.size(); ++i) {
        if (fraction[i] != u'0')
            return true;
    }
    return integerIsOdd;
}

} // namespace

std::optional<qint32> ToRegisterValue(const QString& text, int scale, const QLocale& locale)
{
    const QChar separator = locale.decimalPoint().isEmpty() ? u'.' : locale.decimalPoint()[0];
    std::optional<DecimalNumber> number = parseDecimal(text, separator);
    if (!number)
        return std::nullopt;

    const int exponent = number->exponent + powerOfTen(scale);
    QString digits = number->digits;
    QString integerDigits;
    QString fraction;
    if (exponent >= 0) {
        integerDigits = digits + QString(exponent, u'0');
    } else {
        const qsizetype integerLength = digits.size() + exponent;
        if (integerLength > 0) {
            integerDigits = digits.left(integerLength);
            fraction = digits.mid(integerLength);
        } else {
            fraction = QString(-integerLength, u'0') + digits;
        }
    }
    while (integerDigits.startsWith(u'0'))
        integerDigits.remove(0, 1);
    // Eleven digits always fit a qint64 and are already far outside 32 bits.
    if (integerDigits.size() > 11)
        return std::nullopt;

    qint64 magnitude = integerDigits.isEmpty() ? 0 : integerDigits.toLongLong();
    if (roundsUp(fraction, magnitude % 2 != 0))
        ++magnitude;
    const qint64 value = number->negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

QString RegisterText(qint32 value, int scale, const QLocale& locale)
{
    const int decimals = powerOfTen(scale);
    QString digits = QString::number(qAbs(qint64(value)));
    if (digits.size() <= decimals)
        digits.prepend(QString(decimals + 1 - digits.size(), u'0'));

    QString integerPart = digits.left(digits.size() - decimals);
    QString fraction = digits.right(decimals);
    while (fraction.endsWith(u'0'))
        fraction.chop(1);

    QString text = value < 0 ? QStringLiteral("-") + integerPart : integerPart;
    if (!fraction.isEmpty())
        text += locale.decimalPoint() + fraction;
    return text;
}

QList<qint32> PackText(const QString& text, int fieldBytes)
{
    QByteArray field = Cp1251Codec::encode(text).left(fieldBytes);
    field.append(QByteArray(fieldBytes - field.size(), '\0'));

    QList<qint32> values;
    for (int group = 0; group < fieldBytes / 4; ++group) {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | quint8(field[4 * group + i]);
        values.append(qint32(value));
    }
    return values;
}

QString TextFromRegisters(const QList<qint32>& values)
{
    QByteArray bytes;
    for (const qint32 value : values) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.append(char((quint32(value) >> shift) & 0xFF));
    }
    const qsizetype end = bytes.indexOf('\0');
    return Cp1251Codec::decode(end < 0 ? bytes : bytes.left(end));
}
