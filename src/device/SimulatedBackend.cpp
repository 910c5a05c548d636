#include "device/SimulatedBackend.h"

#include "device/SimulatedLogger.h"

#include <QMutexLocker>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <deque>

class SimulatedBackend::Clock {
public:
    explicit Clock(TimeMode mode) : mode_(mode) { wallClock_.start(); }

    qint64 nowMs() const
    {
        return (mode_ == TimeMode::Real ? wallClock_.elapsed() : 0) + virtualMs_;
    }

    void pass(int ms)
    {
        if (mode_ == TimeMode::Real)
            QThread::msleep(ulong(qMax(ms, 0)));
        else
            virtualMs_ += qMax(ms, 0);
    }

private:
    TimeMode mode_;
    QElapsedTimer wallClock_;
    // Passed on the logger's thread, read by tests on theirs.
    std::atomic<qint64> virtualMs_ = 0;
};

struct SimulatedBackend::Slot {
    QString path;
    std::shared_ptr<SimulatedLogger> logger;
};

namespace {

// One open handle: valid for the connection it was opened on. A request is
// answered as it is written; its reply arrives when the logger says and then
// waits in the device until it is read.
class SimulatedDevice : public HidDevice {
public:
    SimulatedDevice(std::shared_ptr<SimulatedLogger> logger,
                    std::shared_ptr<SimulatedBackend::Clock> clock)
        : logger_(std::move(logger)), clock_(std::move(clock)), connection_(logger_->connection())
    {
    }

    bool write(const quint8* data, int size) override
    {
        if (!attached() || size != TDeviceReport::Size)
            return false;
        TDeviceReport request;
        std::copy(data, data + size, request.bytes().begin());
        const qint64 now = clock_->nowMs();
        SimulatedLogger::Reply reply = logger_->answer(request, now);
        // The logger works through its requests one at a time: no reply overtakes a late one.
        if (!reply.bytes.isEmpty()) {
            const qint64 arrival = pending_.empty() ? now + reply.delayMs
                                                    : std::max(now + reply.delayMs, pending_.back().arrivalMs);
            pending_.push_back({std::move(reply.bytes), arrival});
        }
        return true;
    }

    int read(quint8* data, int size, int timeoutMs) override
    {
        if (!attached())
            return -1;
        const qint64 wait = pending_.empty() ? -1 : pending_.front().arrivalMs - clock_->nowMs();
        if (pending_.empty() || wait > timeoutMs) {
            clock_->pass(timeoutMs);
            return 0;
        }
        clock_->pass(int(qMax<qint64>(wait, 0)));
        if (!attached())
            return -1;
        const QByteArray reply = pending_.front().bytes;
        pending_.pop_front();
        const int count = int(qMin<qsizetype>(reply.size(), size));
        std::copy(reply.begin(), reply.begin() + count, data);
        return count;
    }

private:
    bool attached() const { return logger_->plugged() && logger_->connection() == connection_; }

    std::shared_ptr<SimulatedLogger> logger_;
    std::shared_ptr<SimulatedBackend::Clock> clock_;
    struct Pending {
        QByteArray bytes;
        qint64 arrivalMs;
    };

    int connection_;
    std::deque<Pending> pending_;
};

} // namespace

SimulatedBackend::SimulatedBackend(TimeMode mode) : clock_(std::make_shared<Clock>(mode)) {}

SimulatedBackend::~SimulatedBackend() = default;

void SimulatedBackend::plug(std::shared_ptr<SimulatedLogger> logger)
{
    const QMutexLocker lock(&slotsMutex_);
    if (!logger || logger->plugged())
        return;
    logger->setPlugged(true);
    slots_.append({QStringLiteral("/dev/hidraw-sim%1").arg(nextPathNumber_++), std::move(logger)});
}

void SimulatedBackend::pull(const std::shared_ptr<SimulatedLogger>& logger)
{
    const QMutexLocker lock(&slotsMutex_);
    const auto found = std::find_if(slots_.begin(), slots_.end(),
                                    [&](const Slot& slot) { return slot.logger == logger; });
    if (found == slots_.end())
        return;
    logger->setPlugged(false);
    slots_.erase(found);
}

qint64 SimulatedBackend::nowMs() const
{
    return clock_->nowMs();
}

bool SimulatedBackend::initialise()
{
    return !initialiseFails_;
}

QList<HidDeviceInfo> SimulatedBackend::enumerate(quint16 vendorId)
{
    const QMutexLocker lock(&slotsMutex_);
    ++enumerationCount_;
    QList<HidDeviceInfo> devices;
    for (const Slot& slot : slots_) {
        if (vendorId != 0 && slot.logger->vendorId() != vendorId)
            continue;
        devices.append({slot.path, slot.logger->vendorId(), slot.logger->productId(),
                        slot.logger->serialNumber()});
    }
    listedDeviceCount_ += int(devices.size());
    return devices;
}

std::unique_ptr<HidDevice> SimulatedBackend::open(const QString& path, QString* reason)
{
    const QMutexLocker lock(&slotsMutex_);
    const auto found = std::find_if(slots_.begin(), slots_.end(),
                                    [&](const Slot& slot) { return slot.path == path; });
    const auto refuse = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return nullptr;
    };
    if (found == slots_.end())
        return refuse(QStringLiteral("No such device"));
    if (found->logger->accessDenied())
        return refuse(QStringLiteral("Permission denied"));
    return std::make_unique<SimulatedDevice>(found->logger, clock_);
}

void SimulatedBackend::sleep(int ms)
{
    clock_->pass(ms);
}
