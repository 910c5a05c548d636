#include "mail/TAlarmMailer.h"

#include "mail/MailPassword.h"
#include "mail/SendMail.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace {

// How long a message waits for the secret store: enough for it to start,
// not for the 25 s of a D-Bus call nobody answers.
constexpr std::chrono::seconds PasswordReadLimit{5};
// Keeping a password may wait for the user to unlock the store.
constexpr std::chrono::seconds PasswordStoreLimit{60};

// Sends the message with the given password, else the stored one when the
// settings name a user.
bool deliver(const TMailSettings& settings, const std::optional<QString>& given, const TMailMessage& message,
             TSendStop& stop, QString* error)
{
    if (given || settings.user.isEmpty())
        return SendMail(settings, given.value_or(QString()), message, stop, error);
    QString reason;
    std::optional<QString> stored;
    if (const std::optional<TMailServer> server = TMailServer::fromUrl(settings.url, &reason))
        stored = StoredMailPassword(*server, settings.user, PasswordReadLimit, &reason);
    if (!stored) {
        *error = MailNotSentText(message.subject, reason);
        return false;
    }
    return SendMail(settings, *stored, message, stop, error);
}

bool keepPassword(const TMailSettings& settings, const QString& password, QString* error)
{
    QString reason;
    const std::optional<TMailServer> server = TMailServer::fromUrl(settings.url, &reason);
    if (server && StoreMailPassword(*server, settings.user, password, PasswordStoreLimit, &reason))
        return true;
    *error = MailFailureText(QStringLiteral("Пароль почтового сервера не сохранён"), reason);
    return false;
}

} // namespace

// What the mailer and its thread share; the thread keeps it after a mailer
// that could not wait for it is gone.
struct TAlarmMailer::Line {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Job> jobs;
    TAlarmMailer* mailer = nullptr; // null once the mailer is gone: nothing is told
    TSendStop stop;                 // aborts the message being sent
    bool stopping = false;
    bool ended = false;
};

TAlarmMailer::TAlarmMailer(const TMailSettings& settings, QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , line_(std::make_shared<Line>())
{
    line_->mailer = this;
    thread_ = std::thread(&TAlarmMailer::serve, line_);
}

TAlarmMailer::~TAlarmMailer()
{
    std::unique_lock lock(line_->mutex);
    line_->mailer = nullptr;
    line_->stopping = true;
    line_->jobs.clear();
    line_->changed.notify_all();
    const auto ended = [line = line_.get()] { return line->ended; };
    const bool done = line_->changed.wait_for(lock, std::chrono::milliseconds(ExitWaitMs), ended);
    line_->stop.stop();
    lock.unlock();
    if (done)
        thread_.join();
    else
        thread_.detach();
}

void TAlarmMailer::setSettings(const TMailSettings& settings, const std::optional<QString>& password)
{
    settings_ = settings;
    password_ = password;
}

bool TAlarmMailer::send(const TMailMessage& message)
{
    if (!settings_.configured())
        return false;
    post([settings = settings_, password = password_, message](TSendStop& stop) -> Report {
        QString error;
        if (deliver(settings, password, message, stop, &error))
            return [subject = message.subject](TAlarmMailer& mailer) { emit mailer.sent(subject); };
        return [error](TAlarmMailer& mailer) { emit mailer.failed(error); };
    });
    return true;
}

void TAlarmMailer::storePassword(const QString& password)
{
    post([settings = settings_, password](TSendStop&) -> Report {
        QString error;
        if (keepPassword(settings, password, &error))
            return [](TAlarmMailer& mailer) { emit mailer.passwordStored(); };
        return [error](TAlarmMailer& mailer) { emit mailer.passwordNotStored(error); };
    });
}

void TAlarmMailer::post(Job job)
{
    {
        const std::lock_guard lock(line_->mutex);
        line_->jobs.push_back(std::move(job));
    }
    line_->changed.notify_all();
}

void TAlarmMailer::serve(const std::shared_ptr<Line>& line)
{
    std::unique_lock lock(line->mutex);
    while (true) {
        line->changed.wait(lock, [&line] { return line->stopping || !line->jobs.empty(); });
        if (line->stopping)
            break;
        const Job job = std::move(line->jobs.front());
        line->jobs.pop_front();
        lock.unlock();
        const Report report = job(line->stop);
        lock.lock();
        if (line->mailer) {
            QMetaObject::invokeMethod(
                line->mailer, [mailer = line->mailer, report] { report(*mailer); }, Qt::QueuedConnection);
        }
    }
    line->ended = true;
    line->changed.notify_all();
}
