#pragma once

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

#include <atomic>
#include <chrono>

class NotificationsObject;

// What a desktop's notification service was sent in one call of Notify.
struct ReceivedNotice {
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int expireTimeout = -1;
};

// A desktop's notification service for the tests and benchmarks: from a
// thread of its own, over a connection of its own, it holds
// org.freedesktop.Notifications on the session bus, keeps every notice it is
// sent and answers each with a new id after `answerDelay`, never keeping the
// rest of the process waiting. Gone, it leaves the name free again.
class TestNotificationService {
public:
    explicit TestNotificationService(std::chrono::milliseconds answerDelay = {});
    ~TestNotificationService();

    // Whether the service got the name on the bus.
    bool holdsName() const { return holdsName_; }
    QList<ReceivedNotice> received() const;
    int answered() const { return answered_; }

private:
    friend class NotificationsObject;
    void receive(const ReceivedNotice& notice);
    void countAnswer() { ++answered_; }

    const QString connectionName_;
    QThread thread_;
    NotificationsObject* object_;
    bool holdsName_ = false;
    mutable QMutex receivedLock_;
    QList<ReceivedNotice> received_;
    std::atomic<int> answered_ = 0;
};
