#pragma once

#include <QString>

#include <chrono>
#include <optional>

// Secrets (a server's password) in the desktop's secret store (GNOME
// Keyring, KWallet, ...), kept under the service "korvi-monitor" and a key
// that names what they open. The store answers asynchronously; these wait
// for it on the calling thread with a local event loop, at most `limit`, and
// so belong on a worker thread or a command without windows.

// The secret kept under `key`; nullopt, with the reason, when there is none
// (then the reason is `notFound`) or the store cannot be asked (no store on
// this desktop, no D-Bus session).
std::optional<QString> StoredSecret(const QString& key, const QString& notFound, std::chrono::milliseconds limit,
                                    QString* error);
// Keeps the secret under `key`; false, with the reason, when it cannot.
bool StoreSecret(const QString& key, const QString& secret, std::chrono::milliseconds limit, QString* error);
