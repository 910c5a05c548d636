#pragma once

#include "archive/TArchiveLocation.h"

#include <QString>

#include <chrono>
#include <optional>

// The archive server's password in the desktop's secret store
// (data/SecretStore), kept under the archive's displayName(). These wait for
// the store on the calling thread, at most `limit`, and so belong on a worker
// thread or a command without windows.

// The stored password; nullopt, with the reason, when there is none or the
// store cannot be asked (no store on this desktop, no D-Bus session).
std::optional<QString> StoredArchivePassword(const TArchiveLocation& location, std::chrono::milliseconds limit,
                                             QString* error);
// Keeps the password in the store; false, with the reason, when it cannot.
bool StoreArchivePassword(const TArchiveLocation& location, const QString& password,
                          std::chrono::milliseconds limit, QString* error);
