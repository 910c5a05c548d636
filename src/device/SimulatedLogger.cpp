#include "device/SimulatedLogger.h"

#include "device/Cp1251Codec.h"
#include "device/RegisterConversions.h"
#include "device/RegisterMap.h"
#include "device/TDeviceIdentity.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr qint32 SimulatedDeviceNumber = 123;

// A slow wave plus a faster ripple, both whole periods in milliseconds.
double wave(qint64 nowMs, double slowPeriodMs, double fastPeriodMs)
{
    const double t = double(nowMs);
    return 0.8 * std::sin(2 * std::numbers::pi * t / slowPeriodMs)
        + 0.2 * std::sin(2 * std::numbers::pi * t / fastPeriodMs);
}

} // namespace

SimulatedLogger::SimulatedLogger(const QString& driveFolder, const QByteArray& log)
    : driveFolder_(driveFolder), clockBase_(QDate(2024, 6, 3), QTime(12, 0))
{
    initialiseRegisters();
    setLog(log);
}

void SimulatedLogger::initialiseRegisters()
{
    std::copy(DefaultRegisterImage.begin(), DefaultRegisterImage.end(), registers_.begin());
    registers_[RegDeviceNumber] = SimulatedDeviceNumber;
    registers_[RegPressSlope] = 100;
    registers_[RegPressOffset] = 0;
    registers_[RegLogInterval] = 4;
    registers_[RegOptionsRec] = OptionRecTemperature | OptionRecHumidity | OptionRecPressure;
    registers_[RegTLimitMin] = 150;
    registers_[RegTLimitMax] = 300;
    registers_[RegRHLimitMin] = 300;
    registers_[RegRHLimitMax] = 700;
    registers_[RegWiFiInterval] = 6;
    writeTextField(RegNetName, NetNameBytes, QStringLiteral("korvi-lab"));
    writeTextField(RegPassw, PasswBytes, QStringLiteral("termo2024"));
    writeTextField(RegIPAddr, AddressBytes, QStringLiteral("192.168.1.50"));
    writeTextField(RegMask, AddressBytes, QStringLiteral("255.255.255.0"));
    writeTextField(RegGateway, AddressBytes, QStringLiteral("192.168.1.1"));
    writeTextField(RegDeviceName, DeviceNameBytes, QString::fromUtf8("Склад 1"));
}

void SimulatedLogger::writeTextField(int firstRegister, int fieldBytes, const QString& text)
{
    const QList<qint32> values = PackText(text, fieldBytes);
    for (qsizetype i = 0; i < values.size(); ++i)
        registers_[firstRegister + i] = values[i];
}

void SimulatedLogger::setLog(const QByteArray& log)
{
    log_ = log;
    writeDriveFile();
}

void SimulatedLogger::writeDriveFile() const
{
    QDir().mkpath(driveFolder_);
    QFile file(QDir(driveFolder_).filePath(QStringLiteral("data.log")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(log_);
}

void SimulatedLogger::setUsbIds(quint16 vendorId, quint16 productId)
{
    vendorId_ = vendorId;
    productId_ = productId;
}

QString SimulatedLogger::volumeLabel() const
{
    const quint16 series = SeriesFromSerialNumber(Cp1251Codec::encode(serialNumber_));
    return BuildExpectedLabel(series, QString::number(registerValue(RegDeviceNumber)));
}

qint32 SimulatedLogger::registerValue(int reg) const
{
    if (reg == RegLogMemUsed)
        return qint32(qMin<qsizetype>(log_.size(), std::numeric_limits<qint32>::max()));
    return reg >= 0 && reg < RegisterCount ? registers_[reg] : 0;
}

void SimulatedLogger::setRegisterValue(int reg, qint32 value)
{
    if (reg >= 0 && reg < RegisterCount && reg != RegLogMemUsed)
        registers_[reg] = value;
}

void SimulatedLogger::setChannelReading(int channel, std::optional<qint32> raw)
{
    if (channel >= 0 && channel < int(pinnedChannels_.size()))
        pinnedChannels_[size_t(channel)] = raw;
}

void SimulatedLogger::setReadingScript(const TReadingScript& script, qint64 startMs)
{
    script_ = script;
    scriptStartMs_ = startMs;
}

std::optional<qint32> SimulatedLogger::channelReading(int channel, qint64 nowMs) const
{
    if (channel >= 0 && channel < int(pinnedChannels_.size()) && pinnedChannels_[size_t(channel)])
        return pinnedChannels_[size_t(channel)];
    if (const TScriptedReading* step = ScriptedReadingAt(script_, nowMs - scriptStartMs_);
        step && channel >= 0 && channel < 3) {
        if (!step->tenths)
            return std::nullopt;
        return (*step->tenths)[size_t(channel)];
    }
    return channelValue(channel, nowMs);
}

qint32 SimulatedLogger::channelValue(int channel, qint64 nowMs)
{
    constexpr double Hour = 3600000.0;
    switch (channel) {
    case 0: // air temperature, 18..26 degrees
        return qint32(std::lround(220 + 40 * wave(nowMs, Hour, 97000)));
    case 1: // relative humidity, 35..65 %
        return qint32(std::lround(500 + 150 * wave(nowMs, 1.3 * Hour, 307000)));
    case 2: // barometric pressure, 100.5..102.1 kPa
        return qint32(std::lround(1013 + 8 * wave(nowMs, 5 * Hour, 300000)));
    case 3: // temperature inside the case, 24..28 degrees
        return qint32(std::lround(260 + 20 * wave(nowMs, 2 * Hour, 173000)));
    default:
        return 0;
    }
}

QDateTime SimulatedLogger::clock(qint64 nowMs) const
{
    return clockBase_.addMSecs(nowMs - clockSetAtMs_);
}

void SimulatedLogger::setFault(Fault fault, int afterRequests)
{
    fault_ = fault;
    requestsBeforeFault_ = afterRequests;
}

void SimulatedLogger::setPlugged(bool plugged)
{
    plugged_ = plugged;
    ++connection_;
    unlocked_ = false;
}

SimulatedLogger::Fault SimulatedLogger::currentFault()
{
    if (requestsBeforeFault_ > 0) {
        --requestsBeforeFault_;
        return Fault::None;
    }
    return fault_;
}

SimulatedLogger::Reply SimulatedLogger::answer(const TDeviceReport& request, qint64 nowMs)
{
    requests_.append(request);
    const Fault fault = currentFault();
    switch (fault) {
    case Fault::NoReply:
        return {};
    case Fault::GarbledReply:
        return {QByteArray::fromHex("a5ff1337")};
    case Fault::None:
    case Fault::LateReply:
        break;
    }
    if (request.command() == CmdReadChannel && !channelReading(request.field8(2), nowMs))
        return {};
    TDeviceReport reply = request;
    perform(reply, nowMs);
    const auto& bytes = reply.bytes();
    qint64 delayMs = request.command() == CmdEraseLogMemory ? EraseDurationMs : 0;
    if (fault == Fault::LateReply)
        delayMs = std::max(delayMs, lateReplyDelayMs_);
    return {QByteArray(reinterpret_cast<const char*>(bytes.data()), TDeviceReport::Size), delayMs};
}

// Requests are answered with themselves, read commands with their value in bytes 2-5.
void SimulatedLogger::perform(TDeviceReport& reply, qint64 nowMs)
{
    const TDeviceReport request = reply;
    switch (request.command()) {
    case CmdReadChannel: {
        reply.setField32(TDeviceReport::ValueOffset, channelReading(request.field8(2), nowMs).value_or(0));
        break;
    }
    case CmdUnlock:
        unlocked_ = std::equal(UnlockKey.begin(), UnlockKey.end(), request.bytes().begin() + 2);
        break;
    case CmdLock:
        if (std::equal(LockKey.begin(), LockKey.end(), request.bytes().begin() + 2))
            unlocked_ = false;
        break;
    case CmdReadRegister:
        reply.setField32(TDeviceReport::ValueOffset, registerValue(request.field16(2)));
        break;
    case CmdWriteRegister:
        if (unlocked_)
            setRegisterValue(request.field16(2), request.field32(4));
        break;
    case CmdSetClock:
        setClock(request, nowMs);
        break;
    case CmdEraseLogMemory:
        setLog({});
        break;
    default:
        break;
    }
}

void SimulatedLogger::setClock(const TDeviceReport& request, qint64 nowMs)
{
    const QDate date(2000 + request.field8(8), request.field8(7), request.field8(6));
    const QTime time(request.field8(4), request.field8(3), request.field8(2));
    if (!date.isValid() || !time.isValid())
        return;
    clockBase_ = QDateTime(date, time);
    clockSetAtMs_ = nowMs;
}
