#include "shell/TLoggerConnection.h"

#include "data/Loader.h"
#include "device/LoggerQueries.h"
#include "device/TDeviceLink.h"

#include <QTimer>

TLoggerConnection::TLoggerConnection(std::unique_ptr<HidBackend> backend, QObject* parent)
    : QObject(parent)
    , DeviceLink(std::make_unique<TDeviceLink>(std::move(backend)))
    , Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("LoggerConnection"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TLoggerConnection::Timer1Timer);
    connect(DeviceLink.get(), &TDeviceLink::accessRefused, this, &TLoggerConnection::accessRefused);
    connect(DeviceLink.get(), &TDeviceLink::notAnswering, this, &TLoggerConnection::notAnswering);
}

TLoggerConnection::~TLoggerConnection() = default;

void TLoggerConnection::start()
{
    DeviceLink->LoadHidLibrary();
    Timer1->start(FirstDetectionDelayMs);
}

const TDeviceIdentity& TLoggerConnection::identity() const
{
    return DeviceLink->Identity();
}

void TLoggerConnection::Timer1Timer()
{
    switch (DeviceLink->DetectionPass()) {
    case TDeviceLink::DetectionResult::Connected:
        completeDetection();
        break;
    case TDeviceLink::DetectionResult::Lost:
        emit lost();
        break;
    case TDeviceLink::DetectionResult::NoChange:
        // A logger that did not tell its number at plug-in is asked again, so
        // that its drive is not looked for under a label without it.
        if (DeviceLink->ConnectedAnnounced() && identity().NumberText.isEmpty())
            completeDetection();
        break;
    }
    Timer1->start(DetectionPeriodMs);
}

void TLoggerConnection::completeDetection()
{
    // A logger that does not tell its number must not take over the last one's:
    // its drive would be looked for under that other logger's label.
    const std::optional<qint32> number = readDeviceNumber(*DeviceLink);
    DeviceLink->Identity().NumberText = number ? QString::number(*number) : QString();
    // The logger needs a moment after the first exchanges before it is asked again.
    DeviceLink->Sleep(SettleAfterDetectionMs);
    DeviceLink->CompleteIdentity(identity().NumberText);
    emit detected(identity());
}

void TLoggerConnection::setTestMode(bool on)
{
    TestMode = on;
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
    DeviceLink->Identity().ExpectedLabel = label;
}
