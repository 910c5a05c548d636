#include "archive/TArchiveLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace {

// An hour: longer would look like the very hang the time-out is there to end.
constexpr int MaxStatementTimeoutSeconds = 3600;

// A value as libpq's connection string takes it: quoted, its backslashes and
// quotes escaped.
QString libpqQuoted(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

// Sets the URL's own timeout, or keeps one of libpq's parameters; false, with the reason, for anything else.
bool takeParameter(TArchiveLocation& location, const QString& name, const QString& value, QString* error)
{
    if (name == QLatin1String("timeout")) {
        bool number = false;
        const int seconds = value.toInt(&number);
        if (!number || seconds < 1 || seconds > MaxStatementTimeoutSeconds) {
            *error = QStringLiteral("Время ожидания сервера архива timeout=%1: нужно целое число секунд от 1 до %2")
                         .arg(value)
                         .arg(MaxStatementTimeoutSeconds);
            return false;
        }
        location.statementTimeoutMs = seconds * 1000;
        return true;
    }
    if (!PassedLibpqParameters().contains(name)) {
        *error = QStringLiteral("Неизвестный параметр адреса архива «%1»: допустимы timeout, %2")
                     .arg(name, PassedLibpqParameters().join(QStringLiteral(", ")));
        return false;
    }
    // The database driver splits its options at semicolons, quoted or not.
    if (value.isEmpty() || value.contains(QLatin1Char(';'))) {
        *error = QStringLiteral("Параметр адреса архива %1 должен иметь значение без «;»").arg(name);
        return false;
    }
    location.libpqParameters << name + QLatin1Char('=') + libpqQuoted(value);
    return true;
}

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
        location.database = parsed.path().mid(1);
        if (!parsed.isValid() || location.host.isEmpty() || location.database.isEmpty()
            || location.database.contains(QLatin1Char('/'))) {
            *error = QStringLiteral("Адрес архива PostgreSQL должен иметь вид postgresql://пользователь@сервер/база: %1")
                         .arg(url);
            return std::nullopt;
        }
        if (!parsed.password().isEmpty()) {
            *error = QStringLiteral("Пароль в адресе архива открыт всем, кто видит команду или файл настроек: "
                                    "уберите его из адреса и %1")
                         .arg(ArchivePasswordAdvice());
            return std::nullopt;
        }
        const QList<std::pair<QString, QString>> parameters =
            QUrlQuery(parsed).queryItems(QUrl::FullyDecoded);
        for (const auto& [name, value] : parameters) {
            if (!takeParameter(location, name, value, error))
                return std::nullopt;
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

QString ArchivePasswordAdvice()
{
    return QStringLiteral("впишите его в ~/.pgpass (или в файл из PGPASSFILE) либо сохраните в хранилище паролей "
                          "командой korvi-monitor --archive=АДРЕС --archive-password");
}

const QStringList& PassedLibpqParameters()
{
    static const QStringList names = {QStringLiteral("sslmode"), QStringLiteral("sslrootcert"),
                                      QStringLiteral("sslcert"), QStringLiteral("sslkey"), QStringLiteral("sslcrl"),
                                      QStringLiteral("connect_timeout"), QStringLiteral("application_name")};
    return names;
}

bool TArchiveLocation::writable() const
{
    if (engine == Engine::Postgresql)
        return true;
    const QFileInfo file(database);
    if (!file.exists())
        return true; // made with its folder when the archive is first opened
    constexpr QFile::Permissions writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return (file.permissions() & writeBits) && file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
}

QString TArchiveLocation::displayName() const
{
    if (engine == Engine::Sqlite)
        return QDir::toNativeSeparators(database);
    const QString who = user.isEmpty() ? QString() : user + QLatin1Char('@');
    return QStringLiteral("postgresql://%1%2:%3/%4").arg(who, host).arg(port).arg(database);
}
