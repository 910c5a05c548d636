#include "archive/ArchiveBackup.h"

#include <QDir>

QString ArchiveBackupRefusal(const TArchiveLocation& location)
{
    if (location.engine == TArchiveLocation::Engine::Sqlite)
        return {};
    return QStringLiteral("Архив PostgreSQL %1 копирует администратор сервера командой pg_dump; "
                          "программа его копию не делает")
        .arg(location.displayName());
}

QString ArchiveBackupSavedText(const QString& target, qint64 logs)
{
    return QStringLiteral("Резервная копия архива сохранена: %1 (журналов: %2)")
        .arg(QDir::toNativeSeparators(target))
        .arg(logs);
}
