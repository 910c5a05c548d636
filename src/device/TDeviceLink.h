#pragma once

#include "device/HidBackend.h"
#include "device/RegisterWrite.h"
#include "device/TDeviceIdentity.h"
#include "device/TDeviceReport.h"

#include <QList>
#include <QObject>
#include <QSet>

#include <memory>
#include <optional>

class QDateTime;

// The one path to the logger: finds and opens it, keeps its identity, runs the
// exchanges on the single report buffer and writes the status lines.
//
// Every device operation below (but ReadChannel) either succeeds or logs exactly one line
// "ОШИБКА! Прибор не отвечает" and returns false/nullopt; callers log their
// success line only on success and never read the buffer after a failure.
class TDeviceLink : public QObject {
    Q_OBJECT

public:
    enum class DetectionResult {
        NoChange,
        Connected, // a logger newly found: announced; the caller completes the identity
        Lost, // no logger, announced for the first time since start or since the last detection
    };
    enum class ExchangeStatus { Ok, NotOpen, WriteFailed, ReadFailed, Timeout, Garbled };

    static constexpr quint16 LoggerVendorId = 0x0483;
    static constexpr quint16 LoggerProductIds[] = {0x9912, 0x3257};
    static constexpr int ReplyTimeoutMs = 1000;
    // Erasing the log memory and initialising the registers take the firmware longer.
    static constexpr int SlowReplyTimeoutMs = 10000;
    // After a reply did not come in time, what still arrives within this is
    // read and dropped, so that it cannot pass for the next request's reply.
    static constexpr int LateReplyGraceMs = 1000;

    explicit TDeviceLink(std::unique_ptr<HidBackend> backend, QObject* parent = nullptr);
    ~TDeviceLink() override;

    static bool isLogger(quint16 vendorId, quint16 productId);

    // Starts the HID library; on failure every later detection pass finds nothing.
    bool LoadHidLibrary();
    // One pass: opens the first logger in enumeration order and refreshes Series.
    bool FindAndOpenDevice();
    // FindAndOpenDevice plus the two announcements, each once per transition.
    DetectionResult detectionPass();
    // The last step of a detection, once the device number is in its field.
    void completeIdentity(const QString& numberText);

    // Writes the report buffer and reads the reply into it, waiting at most
    // timeoutMs. A reply that is not a whole report with id 0 is garbled; one
    // that names another command code answers an earlier request and is
    // passed over (a code byte of 0, left unfilled, is taken as this one's).
    // After any failure the buffer keeps the request.
    bool Exchange(int timeoutMs = ReplyTimeoutMs);
    ExchangeStatus lastExchangeStatus() const { return lastStatus_; }
    TDeviceReport& report() { return report_; }

    std::optional<qint32> ReadRegister(int reg);
    // Unlock, one write per register in the given order, lock. After a failure
    // past the unlock the lock is still sent before giving up.
    bool WriteRegisters(const QList<RegisterWrite>& writes, int timeoutMs = ReplyTimeoutMs);
    // Logs nothing on a failure: the live poll asks every two seconds and
    // reports a silent logger once per episode itself.
    std::optional<qint32> ReadChannel(int channel);
    bool SetClock(const QDateTime& moment);
    bool EraseLogMemory();
    std::optional<QString> UnpackText(int firstRegister, int fieldBytes);

    // Emits statusLogged with the local time (long format), " -> " and the message.
    void LogStatus(const QString& message);
    // Logs "ОШИБКА! Прибор не отвечает" and emits notAnswering.
    void reportNotAnswering();
    // Waits through the backend, so a simulated logger's time passes too.
    void sleep(int ms);

    const TDeviceIdentity& identity() const { return identity_; }
    TDeviceIdentity& identity() { return identity_; }
    bool ConnectedAnnounced() const { return connectedAnnounced_; }
    bool AbsenceAnnounced() const { return absenceAnnounced_; }
    bool isOpen() const { return device_ != nullptr; }

signals:
    void statusLogged(const QString& line);
    // A logger was found but could not be opened; once per logger while it stays so.
    void accessRefused(const QString& path, const QString& reason);
    void notAnswering();

private:
    ExchangeStatus transfer(int timeoutMs);
    void discardStaleReplies(int graceMs);
    bool answersRequest(const std::array<quint8, TDeviceReport::Size>& reply) const;
    std::optional<qint32> readValue();
    bool runTransaction(const QList<RegisterWrite>& writes, int timeoutMs);
    template <typename Result>
    Result reportFailure(Result result);
    std::unique_ptr<HidDevice> openLogger(const HidDeviceInfo& info,
                                          QSet<QString>& unopenable);

    std::unique_ptr<HidBackend> backend_;
    std::unique_ptr<HidDevice> device_;
    TDeviceReport report_;
    TDeviceIdentity identity_;
    ExchangeStatus lastStatus_ = ExchangeStatus::NotOpen;
    bool libraryLoaded_ = false;
    bool connectedAnnounced_ = false;
    bool absenceAnnounced_ = false;
    // Loggers that could not be opened on the last pass, each reported once.
    QSet<QString> unopenableReported_;
};
