#pragma once

#include <QtGlobal>

#include <array>

class QDateTime;

// Command codes carried in byte 1 of every report.
enum TDeviceCommand : quint8 {
    CmdReadChannel = 2,
    CmdUnlock = 3,
    CmdLock = 4,
    CmdReadRegister = 5,
    CmdWriteRegister = 6,
    CmdSetClock = 8,
    CmdEraseLogMemory = 9,
};

// Keys of the write transaction, in wire order (byte 2 first).
inline constexpr std::array<quint8, 4> UnlockKey{0xA4, 0x1C, 0x6E, 0x03};
inline constexpr std::array<quint8, 4> LockKey{0x5B, 0xD2, 0x08, 0xC7};

// The 10-byte HID report exchanged with the logger: byte 0 report id (always 0),
// byte 1 command, then the command's fields; a reply carries its value in bytes 2-5.
// The prepare* functions set only their own bytes: the rest keep the previous reply,
// which is what the logger has always seen from its companion.
class TDeviceReport {
public:
    static constexpr int Size = 10;
    static constexpr int ValueOffset = 2;

    std::array<quint8, Size>& bytes() { return bytes_; }
    const std::array<quint8, Size>& bytes() const { return bytes_; }

    quint8 command() const { return bytes_[1]; }
    qint32 replyValue() const { return field32(ValueOffset); }

    quint8 field8(int offset) const { return bytes_[offset]; }
    quint16 field16(int offset) const;
    qint32 field32(int offset) const;
    void setField8(int offset, quint8 value) { bytes_[offset] = value; }
    void setField16(int offset, quint16 value);
    void setField32(int offset, qint32 value);

    void prepareReadChannel(quint8 channel);
    void prepareUnlock();
    void prepareLock();
    void prepareReadRegister(quint16 reg);
    void prepareWriteRegister(quint16 reg, qint32 value);
    // Seconds, minutes, hours, day of week (Monday 1 .. Sunday 7), day, month, year % 100.
    void prepareSetClock(const QDateTime& moment);
    void prepareEraseLogMemory();

private:
    void start(TDeviceCommand command);
    void setKey(const std::array<quint8, 4>& key);

    std::array<quint8, Size> bytes_{};
};
