#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The mail server the alarms' e-mail goes through, as its URL names it:
// smtp://host[:port] speaks plain SMTP and turns to TLS (STARTTLS) where the
// server offers it; smtps://host[:port] speaks TLS from the start.
struct TMailServer {
    bool implicitTls = false;
    QString host;
    int port = 0;
    // The certificate (or its authority's) a server with a self-made
    // certificate is checked against, from "?cacert=FILE"; empty: the
    // system's authorities.
    QString caFile;

    // smtp://host[:port][?cacert=FILE] or smtps://...; nullopt, with the
    // reason, for another scheme, a password or path in the URL, or another
    // parameter.
    static std::optional<TMailServer> fromUrl(const QString& url, QString* error);

    // host:port, for messages and the password's key.
    QString address() const;
    // The URL libcurl is given.
    QByteArray curlUrl() const;
};
