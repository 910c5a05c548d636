#pragma once

#include "device/TDeviceIdentity.h"

#include <QObject>

#include <memory>
#include <optional>

class HidBackend;
class QTimer;
class TJobProgress;
class TLoggerRequests;
struct TDetectionPass;

// The one owner of the logger connection: the logger's thread with the device
// link (TLoggerRequests), the detection timer, and the UI's copy of who the
// logger is, the test mode and the record count of the last load. The windows
// read it and ask the logger through it; its signals tell them when any of
// this changes.
class TLoggerConnection : public QObject {
    Q_OBJECT
public:
    static constexpr int FirstDetectionDelayMs = 100;
    static constexpr int DetectionPeriodMs = 1000;
    static constexpr int SettleAfterDetectionMs = 500;

    explicit TLoggerConnection(std::unique_ptr<HidBackend> backend, QObject* parent = nullptr);
    ~TLoggerConnection() override;

    // Starts the HID library and the first detection pass shortly after.
    void start();

    // Where the windows' exchanges with the logger run.
    TLoggerRequests& requests() { return *requests_; }
    // Whether the last detection pass left a logger open.
    bool deviceOpen() const { return deviceOpen_; }
    const TDeviceIdentity& identity() const { return identity_; }
    // The drive label the logger's files are looked for under, and named after.
    QString deviceLabel() const { return identity_.ExpectedLabel; }
    bool testMode() const { return testMode_; }
    qint32 recordCount() const { return RecordCount; }

    // Logs a status line after the exchanges asked before it.
    void logStatus(const QString& message);
    // For a load's worker thread: asks the logger its record count and waits
    // for the answer; nullopt when the logger did not answer, and at once
    // when the job is cancelled.
    std::optional<qint64> readRecordCountWaiting(const TJobProgress& job);

public slots:
    // Asks for one detection pass; the next one comes a second after this one has ended.
    void Timer1Timer();
    void setTestMode(bool on);
    void toggleTestMode() { setTestMode(!testMode_); }
    // Clamped to what one load can read.
    void setRecordCount(qint64 count);
    // The label a load compared the drives with: in test mode it stays
    // "BRAXEL" until the logger is detected anew.
    void setExpectedLabel(const QString& label);

signals:
    // A logger was found, its number asked and its identity completed.
    void detected(const TDeviceIdentity& identity);
    void lost();
    void accessRefused(const QString& path, const QString& reason);
    // An exchange (or a live poll) had no reply in time.
    void notAnswering();
    // A line of the link's status list, with its time.
    void statusLogged(const QString& line);
    void recordCountChanged(qint32 count);
    void testModeChanged(bool on);

private:
    void detectionEnded(const TDetectionPass& pass);

    std::unique_ptr<TLoggerRequests> requests_;
    QTimer* Timer1;
    TDeviceIdentity identity_;
    bool deviceOpen_ = false;
    bool testMode_ = false;
    qint32 RecordCount = 0;
};
