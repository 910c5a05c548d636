#include "alerts/TestNotificationService.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QTimer>

namespace {

const QString ServiceName = QStringLiteral("org.freedesktop.Notifications");
const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");

QString uniqueConnectionName()
{
    static std::atomic<int> made = 0;
    return QStringLiteral("korvi-test-notifications-%1").arg(++made);
}

} // namespace

// The service's object on the bus, living on the service's thread.
class NotificationsObject : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    NotificationsObject(TestNotificationService& service, std::chrono::milliseconds answerDelay)
        : service_(service)
        , answerDelay_(answerDelay)
    {
    }

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout)
    {
        service_.receive({appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
        // Every answer goes out from the event loop, after the delay.
        setDelayedReply(true);
        QTimer::singleShot(answerDelay_, this,
                           [this, answer = message().createReply(++lastId_), bus = connection()] {
                               bus.send(answer);
                               service_.countAnswer();
                           });
        return 0;
    }

private:
    TestNotificationService& service_;
    const std::chrono::milliseconds answerDelay_;
    uint lastId_ = 0;
};

TestNotificationService::TestNotificationService(std::chrono::milliseconds answerDelay)
    : connectionName_(uniqueConnectionName())
    , object_(new NotificationsObject(*this, answerDelay))
{
    object_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        object_,
        [this] {
            QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_);
            holdsName_ = bus.registerObject(ObjectPath, object_, QDBusConnection::ExportAllSlots)
                         && bus.registerService(ServiceName);
        },
        Qt::BlockingQueuedConnection);
}

TestNotificationService::~TestNotificationService()
{
    QMetaObject::invokeMethod(
        object_,
        [this] {
            QDBusConnection bus(connectionName_);
            bus.unregisterService(ServiceName);
            bus.unregisterObject(ObjectPath);
            QDBusConnection::disconnectFromBus(connectionName_);
            // Deleted on its thread as the thread ends.
            object_->deleteLater();
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

QList<ReceivedNotice> TestNotificationService::received() const
{
    const QMutexLocker locked(&receivedLock_);
    return received_;
}

void TestNotificationService::receive(const ReceivedNotice& notice)
{
    const QMutexLocker locked(&receivedLock_);
    received_.append(notice);
}

#include "TestNotificationService.moc"
