#include "settings/WiFiSettings.h"

#include "device/Cp1251Codec.h"
#include "device/RegisterConversions.h"
#include "device/RegisterMap.h"

namespace {

// Groups longer than this are over 255 whatever their digits.
constexpr int LongestGroupDigits = 9;

QString trimmedPart(const QString& part)
{
    qsizetype begin = 0;
    qsizetype end = part.size();
    while (begin < end && part[begin] <= u' ')
        ++begin;
    while (end > begin && part[end - 1] <= u' ')
        --end;
    return part.mid(begin, end - begin);
}

bool isDecimal(const QString& part)
{
    if (part.isEmpty())
        return false;
    for (const QChar ch : part) {
        if (ch < u'0' || ch > u'9')
            return false;
    }
    return true;
}

bool fitsCodePage(const QString& text)
{
    return Cp1251Codec::decode(Cp1251Codec::encode(text)) == text;
}

void appendText(QList<RegisterWrite>& writes, int firstRegister, const QString& text, int bytes)
{
    const QList<qint32> values = PackText(text, bytes);
    for (int i = 0; i < values.size(); ++i)
        writes.append({firstRegister + i, values[i]});
}

struct Check {
    bool passes;
    const char* message;
};

} // namespace

int ValidateIpAddress(const QString& text)
{
    // Three cuts at the next dot; whatever follows the third dot is the fourth part.
    QStringList parts;
    QString rest = text;
    for (int i = 0; i < 3; ++i) {
        const qsizetype dot = rest.indexOf(u'.');
        parts.append(dot < 0 ? rest : rest.left(dot));
        rest = dot < 0 ? QString() : rest.mid(dot + 1);
    }
    parts.append(rest);

    int result = 0;
    for (const QString& part : parts) {
        const QString group = trimmedPart(part);
        if (!isDecimal(group))
            return 1;
        if (group.size() > LongestGroupDigits || group.toInt() > 255)
            result = 2;
    }
    return result;
}

QString RemoveBlanks(const QString& text)
{
    QString result = text;
    result.remove(u' ');
    return result;
}

WiFiWritePlan PlanWiFiWrite(const WiFiSettings& settings)
{
    const std::optional<qint32> interval = WiFiIntervalCode().codeForIndex(settings.intervalIndex);
    const Check checks[] = {
        {!settings.netName.isEmpty(), "ОШИБКА! Название сети не заданно!"},
        {!settings.passw.isEmpty(), "ОШИБКА! Пароль сети не задан!"},
        {ValidateIpAddress(settings.ipAddr) == 0, "ОШИБКА! IP адрес задан не корректно!"},
        {ValidateIpAddress(settings.mask) == 0, "ОШИБКА! Маска задана не корректно!"},
        {ValidateIpAddress(settings.gateway) == 0, "ОШИБКА! Шлюз задан не корректно!"},
        {!settings.deviceGroup.isEmpty(), "ОШИБКА! Группа устройства не заданна!"},
        {!settings.deviceName.isEmpty(), "ОШИБКА! Название устройства не заданно!"},
        {fitsCodePage(settings.netName), "ОШИБКА! Название сети содержит недопустимые символы!"},
        {fitsCodePage(settings.passw), "ОШИБКА! Пароль сети содержит недопустимые символы!"},
        {fitsCodePage(settings.deviceName),
         "ОШИБКА! Название устройства содержит недопустимые символы!"},
        {interval.has_value(), "ОШИБКА! Интервал опроса не выбран!"},
    };
    for (const Check& check : checks) {
        if (!check.passes)
            return {QString::fromUtf8(check.message), {}, {}};
    }

    WiFiWritePlan plan;
    plan.writes.append({RegWiFiInterval, *interval});
    appendText(plan.writes, RegNetName, settings.netName, NetNameBytes);
    appendText(plan.writes, RegPassw, settings.passw, PasswBytes);
    appendText(plan.writes, RegIPAddr, RemoveBlanks(settings.ipAddr), AddressBytes);
    appendText(plan.writes, RegMask, RemoveBlanks(settings.mask), AddressBytes);
    appendText(plan.writes, RegGateway, RemoveBlanks(settings.gateway), AddressBytes);
    appendText(plan.writes, RegDeviceName, settings.deviceName, DeviceNameBytes);
    plan.detail = QStringLiteral("Логгер: %1; интервал опроса: %2; сеть: %3; IP адрес: %4; маска: %5; шлюз: %6")
                      .arg(settings.deviceName, WiFiIntervalCode().items()[settings.intervalIndex],
                           settings.netName, RemoveBlanks(settings.ipAddr), RemoveBlanks(settings.mask),
                           RemoveBlanks(settings.gateway));
    return plan;
}
