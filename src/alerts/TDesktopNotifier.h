#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class QDBusPendingCall;

// Shows notices on the desktop through its notification service
// (org.freedesktop.Notifications on the session bus). A call never waits on
// the calling thread: the service's answer, or its error, comes back through
// the event loop. Where the desktop has no session bus or no such service,
// notices are dropped and `unavailable` says why, once, until a notice goes
// through again.
class TDesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit TDesktopNotifier(QObject* parent = nullptr);

    // A critical notice, which stays on the desktop until the user dismisses it.
    void notify(const QString& summary, const QString& body);

signals:
    // One Russian line with the reason, the bus's own words as its detail.
    void unavailable(const QString& reason);

private:
    void takeAnswer(const QDBusPendingCall& call);

    QDBusConnection bus_;
    bool unavailableTold_ = false;
};
