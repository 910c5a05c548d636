#include "shell/TLoggerConnection.h"

#include "data/Loader.h"
#include "device/LoggerQueries.h"
#include "device/TDeviceLink.h"

#include <QTimer>

TLoggerConnection::TLoggerConnection(std::unique_ptr<HidBackend> backend, QObject* parent)
    : QObject(parent)
    , deviceLink_(std::make_unique<TDeviceLink>(std::move(backend)))
    , Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("LoggerConnection"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TLoggerConnection::Timer1Timer);
    connect(deviceLink_.get(), &TDeviceLink::accessRefused, this, &TLoggerConnection::accessRefused);
    connect(deviceLink_.get(), &TDeviceLink::notAnswering, this, &TLoggerConnection::notAnswering);
}

TLoggerConnection::~TLoggerConnection() = default;

void TLoggerConnection::start()
{
    deviceLink_->LoadHidLibrary();
    Timer1->start(FirstDetectionDelayMs);
}

const TDeviceIdentity& TLoggerConnection::identity() const
{
    return deviceLink_->identity();
}

void TLoggerConnection::Timer1Timer()
{
    switch (deviceLink_->detectionPass()) {
    case TDeviceLink::DetectionResult::Connected:
        completeDetection();
        break;
    case TDeviceLink::DetectionResult::Lost:
        emit lost();
        break;
    case TDeviceLink::DetectionResult::NoChange:
        // A logger that did not tell its number at plug-in is asked again, so
        // that its drive is not looked for under a label without it.
        if (deviceLink_->ConnectedAnnounced() && identity().numberText.isEmpty())
            completeDetection();
        break;
    }
    Timer1->start(DetectionPeriodMs);
}

void TLoggerConnection::completeDetection()
{
    // A logger that does not tell its number must not take over the last one's:
    // its drive would be looked for under that other logger's label.
    const std::optional<qint32> number = readDeviceNumber(*deviceLink_);
    deviceLink_->identity().numberText = number ? QString::number(*number) : QString();
    // The logger needs a moment after the first exchanges before it is asked again.
    deviceLink_->sleep(SettleAfterDetectionMs);
    deviceLink_->completeIdentity(identity().numberText);
    emit detected(identity());
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
    deviceLink_->identity().ExpectedLabel = label;
}
