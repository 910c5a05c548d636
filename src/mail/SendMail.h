#pragma once

#include "mail/MailSettings.h"
#include "mail/MailText.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

// How long a send may take: to reach the server, and in all.
constexpr std::chrono::seconds MailConnectLimit{10};
constexpr std::chrono::seconds MailSendLimit{60};

// Ends a send from another thread at once, even while libcurl waits for the
// server without calling back (as for its answer to the whole message): the
// send's sockets are shut down under it.
class TSendStop
{
public:
    void stop();
    bool stopped() const { return stopped_; }

    // SendMail's sockets while libcurl uses them; false, opening none, once stopped.
    bool socketOpened(int socket);
    void socketClosing(int socket);

private:
    std::mutex mutex_;
    std::atomic_bool stopped_ = false;
    std::vector<int> sockets_;
};

// Sends the message through the settings' server (libcurl), waiting for it,
// and so belongs on a worker: TLS as the server's URL says, STARTTLS
// wherever a smtp:// server offers it; the settings' user logged in with
// `password` when there is a user. `stop` ends it from another thread. False,
// with the reason, when the server did not take the
// message: one Russian line (MailNotSentText), libcurl's words as its detail.
bool SendMail(const TMailSettings& settings, const QString& password, const TMailMessage& message,
              TSendStop& stop, QString* error);

// "what: reason", the reason's first letter small and its detail kept.
QString MailFailureText(const QString& what, const QString& reason);
// "Письмо «subject» не отправлено: reason".
QString MailNotSentText(const QString& subject, const QString& reason);
