#pragma once

#include "device/HidBackend.h"

#include <QElapsedTimer>
#include <QMutex>

#include <atomic>
#include <memory>

class SimulatedLogger;

// HID devices made of SimulatedLoggers, which can be plugged in and pulled out
// between any two calls. Virtual time (for tests) advances only through sleep()
// and reply timeouts, so nothing ever waits; real time (for --simulate) follows
// the wall clock and really sleeps. The device link uses it on the logger's
// thread; tests may plug and pull loggers from theirs at any time, but change
// a logger's registers and faults only while no request runs.
class SimulatedBackend : public HidBackend {
public:
    enum class TimeMode { Virtual, Real };

    explicit SimulatedBackend(TimeMode mode = TimeMode::Virtual);
    ~SimulatedBackend() override;
    SimulatedBackend(const SimulatedBackend&) = delete;
    SimulatedBackend& operator=(const SimulatedBackend&) = delete;

    void plug(std::shared_ptr<SimulatedLogger> logger);
    void pull(const std::shared_ptr<SimulatedLogger>& logger);
    // Stands for a system without a usable HID library.
    void setInitialiseFails(bool fails) { initialiseFails_ = fails; }
    int enumerationCount() const { return enumerationCount_; }
    // Devices all enumerations together have listed.
    int listedDeviceCount() const { return listedDeviceCount_; }
    qint64 nowMs() const;

    bool initialise() override;
    QList<HidDeviceInfo> enumerate(quint16 vendorId) override;
    std::unique_ptr<HidDevice> open(const QString& path, QString* reason) override;
    void sleep(int ms) override;

    // The clock shared with the opened devices, which spend their reply timeouts on it.
    class Clock;

private:
    struct Slot;

    std::shared_ptr<Clock> clock_;
    QMutex slotsMutex_;
    QList<Slot> slots_;
    int nextPathNumber_ = 0;
    bool initialiseFails_ = false;
    std::atomic<int> enumerationCount_ = 0;
    std::atomic<int> listedDeviceCount_ = 0;
};
