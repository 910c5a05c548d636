#include "archive/ArchivePasswords.h"

#include "data/SecretStore.h"

std::optional<QString> StoredArchivePassword(const TArchiveLocation& location, std::chrono::milliseconds limit,
                                             QString* error)
{
    return StoredSecret(location.displayName(),
                        QStringLiteral("В хранилище паролей нет пароля архива %1").arg(location.displayName()), limit,
                        error);
}

bool StoreArchivePassword(const TArchiveLocation& location, const QString& password, std::chrono::milliseconds limit,
                          QString* error)
{
    return StoreSecret(location.displayName(), password, limit, error);
}
