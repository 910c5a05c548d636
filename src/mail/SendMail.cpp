#include "mail/SendMail.h"

#include "mail/MailServer.h"
#include "text/MessageText.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include <sys/socket.h>
#include <unistd.h>

namespace {

struct TCurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using TCurl = std::unique_ptr<CURL, TCurlCleanup>;
using TCurlList = std::unique_ptr<curl_slist, TCurlCleanup>;

// The message's bytes as libcurl reads them.
struct TUpload {
    QByteArray bytes;
    qsizetype sent = 0;
};

size_t readUpload(char* buffer, size_t size, size_t count, void* upload)
{
    auto& from = *static_cast<TUpload*>(upload);
    const qsizetype length = std::min<qsizetype>(qsizetype(size * count), from.bytes.size() - from.sent);
    std::memcpy(buffer, from.bytes.constData() + from.sent, size_t(length));
    from.sent += length;
    return size_t(length);
}

// Called by libcurl while it resolves, connects and sends: non-zero aborts.
int abortWhenStopped(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const TSendStop*>(stop)->stopped() ? 1 : 0;
}

// libcurl's sockets are opened and closed here, so that a stop can shut them down.
curl_socket_t openSocket(void* stop, curlsocktype, curl_sockaddr* address)
{
    const int socket = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (socket >= 0 && !static_cast<TSendStop*>(stop)->socketOpened(socket)) {
        ::close(socket);
        return CURL_SOCKET_BAD;
    }
    return socket;
}

int closeSocket(void* stop, curl_socket_t socket)
{
    static_cast<TSendStop*>(stop)->socketClosing(socket);
    return ::close(socket);
}

// The envelope's form of an address.
QByteArray envelopeAddress(const QString& address)
{
    return '<' + address.toUtf8() + '>';
}

// Why the server did not take the message, as the user can act on it.
QString failureReason(CURLcode code, long serverCode, const TMailServer& server, const QString& user)
{
    const QString address = server.address();
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("почтовый сервер %1 не найден").arg(server.host);
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("почтовый сервер %1 не принимает соединений").arg(address);
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("почтовый сервер %1 не отвечает").arg(address);
    case CURLE_LOGIN_DENIED:
        return QStringLiteral("почтовый сервер %1 не принял пользователя %2 с этим паролем").arg(address, user);
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("сертификат почтового сервера %1 не прошёл проверку").arg(address);
    case CURLE_SSL_CACERT_BADFILE:
        return QStringLiteral("файл сертификата для почтового сервера %1 не читается").arg(address);
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_USE_SSL_FAILED:
        return QStringLiteral("не удалось установить защищённое соединение с почтовым сервером %1").arg(address);
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        if (serverCode < 400)
            return QStringLiteral("почтовый сервер %1 прервал соединение").arg(address);
        break;
    default:
        break;
    }
    if (serverCode >= 400)
        return QStringLiteral("почтовый сервер %1 отказал с кодом %2").arg(address).arg(serverCode);
    return QStringLiteral("ошибка связи с почтовым сервером %1").arg(address);
}

} // namespace

void TSendStop::stop()
{
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    for (const int socket : sockets_)
        ::shutdown(socket, SHUT_RDWR);
}

bool TSendStop::socketOpened(int socket)
{
    const std::lock_guard lock(mutex_);
    if (stopped_)
        return false;
    sockets_.push_back(socket);
    return true;
}

void TSendStop::socketClosing(int socket)
{
    // Forgotten before it is closed: its number may be another file's next.
    const std::lock_guard lock(mutex_);
    std::erase(sockets_, socket);
}

bool SendMail(const TMailSettings& settings, const QString& password, const TMailMessage& message,
              TSendStop& stop, QString* error)
{
    QString refusal = MailSettingsError(settings);
    if (refusal.isEmpty() && !settings.configured())
        refusal = QStringLiteral("Отправка почты не настроена");
    if (!refusal.isEmpty()) {
        *error = MailNotSentText(message.subject, refusal);
        return false;
    }
    const TMailServer server = *TMailServer::fromUrl(settings.url, &refusal);

    TCurlList recipients;
    for (const QString& recipient : settings.recipients)
        recipients.reset(curl_slist_append(recipients.release(), envelopeAddress(recipient).constData()));
    TUpload upload{ComposeMail(settings.from, settings.recipients, message)};
    const QByteArray url = server.curlUrl();
    const QByteArray from = envelopeAddress(settings.from);
    const QByteArray user = settings.user.toUtf8();
    const QByteArray secret = password.toUtf8();
    const QByteArray caFile = server.caFile.toLocal8Bit();
    char curlWords[CURL_ERROR_SIZE] = {};

    // libcurl's global state, set up once for the program's whole run. The
    // handle is made after what it is given and so ends before it: its end
    // still uses the error buffer and the sockets' callbacks.
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    const TCurl curl(initialised == CURLE_OK ? curl_easy_init() : nullptr);
    if (!curl) {
        *error = MailNotSentText(message.subject, QStringLiteral("библиотека libcurl не запускается"));
        return false;
    }
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L); // no SIGALRM for time-outs: this runs on a worker
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, curlWords);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, long(std::chrono::milliseconds(MailConnectLimit).count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, long(std::chrono::milliseconds(MailSendLimit).count()));
    if (!server.implicitTls)
        curl_easy_setopt(handle, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    if (!caFile.isEmpty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.constData());
    if (!user.isEmpty()) {
        curl_easy_setopt(handle, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(handle, CURLOPT_PASSWORD, secret.constData());
    }
    curl_easy_setopt(handle, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(handle, CURLOPT_READDATA, &upload);
    curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE, curl_off_t(upload.bytes.size()));
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, abortWhenStopped);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &stop);
    curl_easy_setopt(handle, CURLOPT_OPENSOCKETFUNCTION, openSocket);
    curl_easy_setopt(handle, CURLOPT_OPENSOCKETDATA, &stop);
    curl_easy_setopt(handle, CURLOPT_CLOSESOCKETFUNCTION, closeSocket);
    curl_easy_setopt(handle, CURLOPT_CLOSESOCKETDATA, &stop);

    const CURLcode code = curl_easy_perform(handle);
    if (code == CURLE_OK)
        return true;
    if (stop.stopped()) {
        *error = MailNotSentText(message.subject, QStringLiteral("отправка прервана"));
        return false;
    }
    long serverCode = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &serverCode);
    const QString words = curlWords[0] ? QString::fromUtf8(curlWords) : QString::fromUtf8(curl_easy_strerror(code));
    *error = MailNotSentText(message.subject,
                             WithDetail(failureReason(code, serverCode, server, settings.user), words));
    return false;
}

QString MailFailureText(const QString& what, const QString& reason)
{
    QString line = MessageLine(reason);
    if (!line.isEmpty())
        line[0] = line[0].toLower();
    return WithDetail(what + QStringLiteral(": ") + line, MessageDetail(reason));
}

QString MailNotSentText(const QString& subject, const QString& reason)
{
    return MailFailureText(QStringLiteral("Письмо «%1» не отправлено").arg(subject), reason);
}
