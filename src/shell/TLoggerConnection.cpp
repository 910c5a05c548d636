#include "shell/TLoggerConnection.h"

#include "data/JobProgress.h"
#include "data/Loader.h"
#include "device/LoggerQueries.h"
#include "device/TDeviceLink.h"
#include "device/TLoggerRequests.h"

#include <QTimer>

// What one detection pass on the logger's thread tells the UI.
struct TDetectionPass {
    TDeviceLink::DetectionResult result = TDeviceLink::DetectionResult::NoChange;
    // The number was asked and the identity completed.
    bool completed = false;
    bool open = false;
    TDeviceIdentity identity;
};

namespace {

void CompleteDetection(TDeviceLink& link)
{
    // A logger that does not tell its number must not take over the last one's:
    // its drive would be looked for under that other logger's label.
    const std::optional<qint32> number = ReadDeviceNumber(link);
    link.identity().numberText = number ? QString::number(*number) : QString();
    // The logger needs a moment after the first exchanges before it is asked again.
    link.sleep(TLoggerConnection::SettleAfterDetectionMs);
    link.completeIdentity(link.identity().numberText);
}

TDetectionPass RunDetectionPass(TDeviceLink& link)
{
    TDetectionPass pass;
    pass.result = link.detectionPass();
    // A logger that did not tell its number at plug-in is asked again, so
    // that its drive is not looked for under a label without it.
    pass.completed = pass.result == TDeviceLink::DetectionResult::Connected
        || (pass.result == TDeviceLink::DetectionResult::NoChange && link.ConnectedAnnounced()
            && link.identity().numberText.isEmpty());
    if (pass.completed)
        CompleteDetection(link);
    pass.open = link.isOpen();
    pass.identity = link.identity();
    return pass;
}

} // namespace

TLoggerConnection::TLoggerConnection(std::unique_ptr<HidBackend> backend, QObject* parent)
    : QObject(parent)
    , requests_(std::make_unique<TLoggerRequests>(std::move(backend)))
    , Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("LoggerConnection"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TLoggerConnection::Timer1Timer);
    connect(requests_.get(), &TLoggerRequests::accessRefused, this, &TLoggerConnection::accessRefused);
    connect(requests_.get(), &TLoggerRequests::notAnswering, this, &TLoggerConnection::notAnswering);
    connect(requests_.get(), &TLoggerRequests::statusLogged, this, &TLoggerConnection::statusLogged);
}

TLoggerConnection::~TLoggerConnection() = default;

void TLoggerConnection::start()
{
    requests_->send([](TDeviceLink& link) { link.LoadHidLibrary(); });
    Timer1->start(FirstDetectionDelayMs);
}

void TLoggerConnection::logStatus(const QString& message)
{
    requests_->logStatus(message);
}

std::optional<qint64> TLoggerConnection::readRecordCountWaiting(const TJobProgress& job)
{
    return requests_->runWaiting<qint64>(&ReadLogRecordCount, [&job] { return job.cancelled(); });
}

void TLoggerConnection::Timer1Timer()
{
    requests_->run(this, &RunDetectionPass, [this](const TDetectionPass& pass) { detectionEnded(pass); });
}

void TLoggerConnection::detectionEnded(const TDetectionPass& pass)
{
    deviceOpen_ = pass.open;
    if (pass.completed) {
        identity_ = pass.identity;
        emit detected(identity_);
    } else if (pass.result == TDeviceLink::DetectionResult::Lost) {
        emit lost();
    }
    Timer1->start(DetectionPeriodMs);
}

void TLoggerConnection::setTestMode(bool on)
{
    testMode_ = on;
    emit testModeChanged(on);
}

void TLoggerConnection::setRecordCount(qint64 count)
{
    const qint32 clamped = TLoader::clampedRecordCount(count);
    if (clamped == RecordCount)
        return;
    RecordCount = clamped;
    emit recordCountChanged(RecordCount);
}

void TLoggerConnection::setExpectedLabel(const QString& label)
{
    identity_.ExpectedLabel = label;
}
