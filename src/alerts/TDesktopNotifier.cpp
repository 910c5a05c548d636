#include "alerts/TDesktopNotifier.h"

#include "text/MessageText.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>

namespace {

// The program's name, which is its icon's name in the desktop's theme too.
const QString ProgramName = QStringLiteral("korvi-monitor");

// The urgency hint's levels are bytes: 0 low, 1 normal, 2 critical.
constexpr uchar CriticalUrgency = 2;
// An expiry of 0 keeps the notice until the user dismisses it.
constexpr int NeverExpires = 0;

QDBusMessage noticeCall(const QString& summary, const QString& body)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const uint replacesNone = 0;
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(CriticalUrgency)}};
    call << ProgramName << replacesNone << ProgramName << summary << body << QStringList() << hints << NeverExpires;
    return call;
}

QString failureReason(const QDBusError& error)
{
    switch (error.type()) {
    case QDBusError::Disconnected:
        return QStringLiteral("нет сеанса D-Bus рабочего стола");
    case QDBusError::ServiceUnknown:
        return QStringLiteral("на рабочем столе нет службы уведомлений");
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return QStringLiteral("служба уведомлений не ответила");
    default:
        return QStringLiteral("служба уведомлений отказала");
    }
}

} // namespace

TDesktopNotifier::TDesktopNotifier(QObject* parent)
    : QObject(parent)
    , bus_(QDBusConnection::sessionBus())
{
}

void TDesktopNotifier::notify(const QString& summary, const QString& body)
{
    const QDBusPendingCall call = bus_.asyncCall(noticeCall(summary, body));
    // Without a bus the call has failed already and a watcher would never
    // report it: its end is taken from the event loop all the same.
    if (call.isFinished()) {
        QMetaObject::invokeMethod(this, [this, call] { takeAnswer(call); }, Qt::QueuedConnection);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        takeAnswer(*finished);
    });
}

void TDesktopNotifier::takeAnswer(const QDBusPendingCall& call)
{
    if (!call.isError()) {
        unavailableTold_ = false;
        return;
    }
    if (unavailableTold_)
        return;
    unavailableTold_ = true;
    const QDBusError error = call.error();
    // Without a bus the call only says it is not connected; the bus says why.
    const QDBusError cause =
        error.type() == QDBusError::Disconnected && bus_.lastError().isValid() ? bus_.lastError() : error;
    emit unavailable(WithDetail(QStringLiteral("Уведомления рабочего стола недоступны: %1").arg(failureReason(error)),
                                cause.name() + QStringLiteral(": ") + cause.message()));
}
