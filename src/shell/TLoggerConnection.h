#pragma once

#include "device/TDeviceIdentity.h"

#include <QObject>

#include <memory>

class HidBackend;
class QTimer;
class TDeviceLink;

// The one owner of the logger connection: the device link, the detection
// timer, who the logger is, the test mode and the record count of the last
// load. The windows read it and act through it; its signals tell them when
// any of this changes.
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

    TDeviceLink& link() { return *deviceLink_; }
    const TDeviceIdentity& identity() const;
    // The drive label the logger's files are looked for under, and named after.
    QString deviceLabel() const { return identity().ExpectedLabel; }
    bool testMode() const { return testMode_; }
    qint32 recordCount() const { return RecordCount; }

public slots:
    // One detection pass; the next one comes a second after this one has ended.
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
    void recordCountChanged(qint32 count);
    void testModeChanged(bool on);

private:
    void completeDetection();

    std::unique_ptr<TDeviceLink> deviceLink_;
    QTimer* Timer1;
    bool testMode_ = false;
    qint32 RecordCount = 0;
};
