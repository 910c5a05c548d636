#include "device/TDeviceReport.h"

#include <QDateTime>

quint16 TDeviceReport::field16(int offset) const
{
    return quint16(bytes_[offset] | (bytes_[offset + 1] << 8));
}

qint32 TDeviceReport::field32(int offset) const
{
    const quint32 raw = quint32(bytes_[offset]) | (quint32(bytes_[offset + 1]) << 8)
        | (quint32(bytes_[offset + 2]) << 16) | (quint32(bytes_[offset + 3]) << 24);
    return qint32(raw);
}

void TDeviceReport::setField16(int offset, quint16 value)
{
    bytes_[offset] = quint8(value & 0xFF);
    bytes_[offset + 1] = quint8(value >> 8);
}

void TDeviceReport::setField32(int offset, qint32 value)
{
    const quint32 raw = quint32(value);
    for (int i = 0; i < 4; ++i)
        bytes_[offset + i] = quint8((raw >> (8 * i)) & 0xFF);
}

void TDeviceReport::start(TDeviceCommand command)
{
    bytes_[0] = 0;
    bytes_[1] = command;
}

void TDeviceReport::setKey(const std::array<quint8, 4>& key)
{
    for (int i = 0; i < 4; ++i)
        bytes_[ValueOffset + i] = key[i];
}

void TDeviceReport::prepareReadChannel(quint8 channel)
{
    start(CmdReadChannel);
    setField8(2, channel);
}

void TDeviceReport::prepareUnlock()
{
    start(CmdUnlock);
    setKey(UnlockKey);
}

void TDeviceReport::prepareLock()
{
    start(CmdLock);
    setKey(LockKey);
}

void TDeviceReport::prepareReadRegister(quint16 reg)
{
    start(CmdReadRegister);
    setField16(2, reg);
}

void TDeviceReport::prepareWriteRegister(quint16 reg, qint32 value)
{
    start(CmdWriteRegister);
    setField16(2, reg);
    setField32(4, value);
}

void TDeviceReport::prepareSetClock(const QDateTime& moment)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    start(CmdSetClock);
    setField8(2, quint8(time.second()));
    setField8(3, quint8(time.minute()));
    setField8(4, quint8(time.hour()));
    setField8(5, quint8(date.dayOfWeek()));
    setField8(6, quint8(date.day()));
    setField8(7, quint8(date.month()));
    setField8(8, quint8(((date.year() % 100) + 100) % 100));
}

void TDeviceReport::prepareEraseLogMemory()
{
    start(CmdEraseLogMemory);
}
