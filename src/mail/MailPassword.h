#pragma once

#include "mail/MailServer.h"

#include <QString>

#include <chrono>
#include <optional>

// The mail server's password in the desktop's secret store
// (data/SecretStore), kept under "smtp user@host:port". These wait for the
// store on the calling thread, at most `limit`, and so belong on a worker.

QString MailPasswordKey(const TMailServer& server, const QString& user);
// The stored password; nullopt, with the reason, when there is none or the
// store cannot be asked.
std::optional<QString> StoredMailPassword(const TMailServer& server, const QString& user,
                                          std::chrono::milliseconds limit, QString* error);
// Keeps the password in the store; false, with the reason, when it cannot.
bool StoreMailPassword(const TMailServer& server, const QString& user, const QString& password,
                       std::chrono::milliseconds limit, QString* error);
