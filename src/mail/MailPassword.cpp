#include "mail/MailPassword.h"

#include "data/SecretStore.h"

QString MailPasswordKey(const TMailServer& server, const QString& user)
{
    return QStringLiteral("smtp %1@%2").arg(user, server.address());
}

std::optional<QString> StoredMailPassword(const TMailServer& server, const QString& user,
                                          std::chrono::milliseconds limit, QString* error)
{
    return StoredSecret(MailPasswordKey(server, user),
                        QStringLiteral("В хранилище паролей нет пароля пользователя %1 почтового сервера %2")
                            .arg(user, server.address()),
                        limit, error);
}

bool StoreMailPassword(const TMailServer& server, const QString& user, const QString& password,
                       std::chrono::milliseconds limit, QString* error)
{
    return StoreSecret(MailPasswordKey(server, user), password, limit, error);
}
