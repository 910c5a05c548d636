#include "mail/MailServer.h"

#include <QUrl>
#include <QUrlQuery>

namespace {

constexpr int SmtpPort = 25;
constexpr int SmtpsPort = 465;

const QString CaFileParameter = QStringLiteral("cacert");

} // namespace

std::optional<TMailServer> TMailServer::fromUrl(const QString& url, QString* error)
{
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (scheme != QLatin1String("smtp") && scheme != QLatin1String("smtps")) {
        *error = QStringLiteral("Адрес почтового сервера должен иметь вид smtp://сервер:порт или smtps://сервер:порт: %1")
                     .arg(url);
        return std::nullopt;
    }
    if (!parsed.password().isEmpty()) {
        *error = QStringLiteral("Пароль в адресе почтового сервера открыт всем, кто видит файл настроек: "
                                "уберите его из адреса и впишите в поле «Пароль»");
        return std::nullopt;
    }
    TMailServer server;
    server.implicitTls = scheme == QLatin1String("smtps");
    server.host = parsed.host();
    server.port = parsed.port(server.implicitTls ? SmtpsPort : SmtpPort);
    if (!parsed.isValid() || server.host.isEmpty() || !parsed.userName().isEmpty()
        || (!parsed.path().isEmpty() && parsed.path() != QLatin1String("/"))) {
        *error = QStringLiteral("Адрес почтового сервера должен иметь вид smtp://сервер:порт или smtps://сервер:порт "
                                "(пользователь — в своём поле): %1")
                     .arg(url);
        return std::nullopt;
    }
    const QList<std::pair<QString, QString>> parameters = QUrlQuery(parsed).queryItems(QUrl::FullyDecoded);
    for (const auto& [name, value] : parameters) {
        if (name != CaFileParameter || value.isEmpty()) {
            *error = QStringLiteral("Неизвестный параметр адреса почтового сервера «%1»: допустим только cacert=ФАЙЛ")
                         .arg(name);
            return std::nullopt;
        }
        server.caFile = value;
    }
    return server;
}

QString TMailServer::address() const
{
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

QByteArray TMailServer::curlUrl() const
{
    QUrl url;
    url.setScheme(implicitTls ? QStringLiteral("smtps") : QStringLiteral("smtp"));
    url.setHost(host);
    url.setPort(port);
    return url.toEncoded();
}
