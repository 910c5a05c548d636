#include "archive/TArchiveLocation.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace {

// An hour: longer would look like the very hang the time-out is there to end.
constexpr int MaxStatementTimeoutSeconds = 3600;

} // namespace

std::optional<TArchiveLocation> TArchiveLocation::fromUrl(const QString& url, QString* error)
{
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    TArchiveLocation location;
    if (scheme == QLatin1String("postgresql") || scheme == QLatin1String("postgres")) {
        location.engine = Engine::Postgresql;
        location.host = parsed.host();
        location.port = parsed.port(5432);
        location.user = parsed.userName();
        location.password = parsed.password();
        location.database = parsed.path().mid(1);
        if (!parsed.isValid() || location.host.isEmpty() || location.database.isEmpty()
            || location.database.contains(QLatin1Char('/'))) {
            *error = QStringLiteral("Адрес архива PostgreSQL должен иметь вид postgresql://пользователь@сервер/база: %1")
                         .arg(url);
            return std::nullopt;
        }
        const QString timeout = QUrlQuery(parsed).queryItemValue(QStringLiteral("timeout"));
        if (!timeout.isEmpty()) {
            bool number = false;
            const int seconds = timeout.toInt(&number);
            if (!number || seconds < 1 || seconds > MaxStatementTimeoutSeconds) {
                *error = QStringLiteral("Время ожидания сервера архива timeout=%1: "
                                        "нужно целое число секунд от 1 до %2")
                             .arg(timeout)
                             .arg(MaxStatementTimeoutSeconds);
                return std::nullopt;
            }
            location.statementTimeoutMs = seconds * 1000;
        }
        return location;
    }
    if (scheme == QLatin1String("file") || scheme == QLatin1String("sqlite")) {
        location.database = parsed.path();
    } else if (scheme.size() > 1) { // one letter is a Windows drive, not a scheme
        *error = QStringLiteral("Неизвестный вид архива «%1»: нужен файл SQLite или адрес postgresql://").arg(scheme);
        return std::nullopt;
    } else {
        location.database = url;
    }
    if (location.database.isEmpty()) {
        *error = QStringLiteral("Не указан файл архива");
        return std::nullopt;
    }
    location.database = QDir::cleanPath(QDir::current().absoluteFilePath(location.database));
    return location;
}

TArchiveLocation TArchiveLocation::userDefault()
{
    TArchiveLocation location;
    location.database =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("archive.sqlite"));
    return location;
}

std::optional<TArchiveLocation> TArchiveLocation::chosen(const QString& commandLineUrl, QString* error)
{
    if (!commandLineUrl.isEmpty())
        return fromUrl(commandLineUrl, error);
    // The same file of the user's settings as the file dialogs keep their folders in.
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("korvi-monitor"),
                             QStringLiteral("korvi-monitor"));
    const QString url = settings.value(QStringLiteral("archive/url")).toString();
    if (url.isEmpty())
        return userDefault();
    std::optional<TArchiveLocation> location = fromUrl(url, error);
    if (!location)
        *error = QStringLiteral("Настройка archive/url в %1: %2").arg(QDir::toNativeSeparators(settings.fileName()), *error);
    return location;
}

QString TArchiveLocation::displayName() const
{
    if (engine == Engine::Sqlite)
        return QDir::toNativeSeparators(database);
    const QString who = user.isEmpty() ? QString() : user + QLatin1Char('@');
    return QStringLiteral("postgresql://%1%2:%3/%4").arg(who, host).arg(port).arg(database);
}
