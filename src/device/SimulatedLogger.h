#pragma once

#include "device/ReadingScript.h"
#include "device/TDeviceReport.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// A logger that lives in memory: it answers the register protocol like the real
// one, keeps registers, live channels, a clock and a log, and owns a folder that
// stands for its drive (data.log there). Tests and --simulate plug it into a
// SimulatedBackend; it can be told to misbehave.
class SimulatedLogger {
public:
    enum class Fault { None, NoReply, GarbledReply, LateReply };

    // How long after its request a reply comes: at once, or late when told to be.
    struct Reply {
        QByteArray bytes; // empty: no reply at all
        qint64 delayMs = 0;
    };

    static constexpr quint16 DefaultVendorId = 0x0483;
    static constexpr quint16 DefaultProductId = 0x9912;

    // Writes the log as data.log into driveFolder (created when missing).
    SimulatedLogger(const QString& driveFolder, const QByteArray& log);

    QString driveFolder() const { return driveFolder_; }
    QByteArray log() const { return log_; }
    void setLog(const QByteArray& log);

    QString serialNumber() const { return serialNumber_; }
    void setSerialNumber(const QString& serialNumber) { serialNumber_ = serialNumber; }
    quint16 vendorId() const { return vendorId_; }
    quint16 productId() const { return productId_; }
    void setUsbIds(quint16 vendorId, quint16 productId);
    // Series and five-digit device number, as the drive's volume label.
    QString volumeLabel() const;

    // Register 34 always reports the size of the log.
    qint32 registerValue(int reg) const;
    void setRegisterValue(int reg, qint32 value);
    // Live value of channel 0..3 (tenths) at a moment of the simulation's clock.
    static qint32 channelValue(int channel, qint64 nowMs);
    // Pins what channel 0..3 reports, whatever the time (nullopt: back to the live value).
    void setChannelReading(int channel, std::optional<qint32> raw);
    // Channels 0 to 2 follow the script from `startMs` on the simulation's
    // clock (a pinned channel stays pinned); a silent step answers no
    // reading request.
    void setReadingScript(const TReadingScript& script, qint64 startMs);
    QDateTime clock(qint64 nowMs) const;

    // The fault starts after that many more requests have been answered normally.
    void setFault(Fault fault, int afterRequests = 0);
    // How late a late reply comes, from its request.
    void setLateReplyDelay(qint64 ms) { lateReplyDelayMs_ = ms; }
    // Erasing the log memory takes the firmware this long before it replies.
    static constexpr qint64 EraseDurationMs = 3000;
    // Enumerated but not openable, as with a missing udev rule.
    void setAccessDenied(bool denied) { accessDenied_ = denied; }
    bool accessDenied() const { return accessDenied_; }

    // Plugging in or pulling out gives a new connection; handles of an earlier one fail.
    void setPlugged(bool plugged);
    bool plugged() const { return plugged_; }
    int connection() const { return connection_; }

    // The reply to one request: none, a short junk report when garbled, or
    // the request answered, late when so told.
    Reply answer(const TDeviceReport& request, qint64 nowMs);
    // Every request received, in order, whether answered or not.
    const QList<TDeviceReport>& requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }

private:
    static constexpr int RegisterCount = 90;

    void initialiseRegisters();
    void writeTextField(int firstRegister, int fieldBytes, const QString& text);
    Fault currentFault();
    void perform(TDeviceReport& reply, qint64 nowMs);
    // What channel 0..3 reads now: pinned, scripted or live; none when the script is silent.
    std::optional<qint32> channelReading(int channel, qint64 nowMs) const;
    void setClock(const TDeviceReport& request, qint64 nowMs);
    void writeDriveFile() const;

    QString driveFolder_;
    QByteArray log_;
    QString serialNumber_ = QStringLiteral("18A40C2F");
    quint16 vendorId_ = DefaultVendorId;
    quint16 productId_ = DefaultProductId;
    std::array<qint32, RegisterCount> registers_{};
    std::array<std::optional<qint32>, 4> pinnedChannels_{};
    TReadingScript script_;
    qint64 scriptStartMs_ = 0;
    bool unlocked_ = false;
    QDateTime clockBase_;
    qint64 clockSetAtMs_ = 0;
    Fault fault_ = Fault::None;
    int requestsBeforeFault_ = 0;
    qint64 lateReplyDelayMs_ = 1500;
    bool accessDenied_ = false;
    bool plugged_ = false;
    int connection_ = 0;
    QList<TDeviceReport> requests_;
};
