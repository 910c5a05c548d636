#include "data/SecretStore.h"

#include "text/MessageText.h"

#include <QDBusConnection>
#include <QEventLoop>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <memory>

namespace {

const QString Service = QStringLiteral("korvi-monitor");

// Why the store did not do the job; its own words only where it has some.
QString failureText(const QKeychain::Job& job)
{
    switch (job.error()) {
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        return QStringLiteral("Хранилища паролей на этом рабочем столе нет");
    case QKeychain::AccessDeniedByUser:
        return QStringLiteral("Пользователь не дал доступа к хранилищу паролей");
    case QKeychain::AccessDenied:
        return QStringLiteral("Хранилище паролей отказало в доступе");
    default:
        return WithDetail(QStringLiteral("Ошибка хранилища паролей"), job.errorString());
    }
}

// Runs the job for the key, waiting at most `limit`; false, with the reason,
// when the store failed it or did not answer in time. A job the store has not
// answered is let go, to delete itself whenever it is answered.
bool runJob(std::unique_ptr<QKeychain::Job>& job, const QString& key, const QString& notFound,
            std::chrono::milliseconds limit, QString* error)
{
    // The stores of a Linux desktop answer over the session's D-Bus; without
    // one, there is no store to ask.
    if (!QDBusConnection::sessionBus().isConnected()) {
        *error = QStringLiteral("Хранилища паролей нет: нет сеанса D-Bus рабочего стола");
        return false;
    }
    job->setAutoDelete(false);
    job->setKey(key);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(job.get(), &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    job->start();
    if (!finished)
        loop.exec();
    if (!finished) {
        job->setAutoDelete(true);
        job.release()->disconnect(&loop);
        *error = QStringLiteral("Хранилище паролей не ответило за %1 с").arg(limit.count() / 1000.0);
        return false;
    }
    if (job->error() == QKeychain::EntryNotFound) {
        *error = notFound;
        return false;
    }
    if (job->error() != QKeychain::NoError) {
        *error = failureText(*job);
        return false;
    }
    return true;
}

} // namespace

std::optional<QString> StoredSecret(const QString& key, const QString& notFound, std::chrono::milliseconds limit,
                                    QString* error)
{
    std::unique_ptr<QKeychain::Job> job = std::make_unique<QKeychain::ReadPasswordJob>(Service);
    if (!runJob(job, key, notFound, limit, error))
        return std::nullopt;
    return static_cast<QKeychain::ReadPasswordJob&>(*job).textData();
}

bool StoreSecret(const QString& key, const QString& secret, std::chrono::milliseconds limit, QString* error)
{
    auto write = std::make_unique<QKeychain::WritePasswordJob>(Service);
    write->setTextData(secret);
    std::unique_ptr<QKeychain::Job> job = std::move(write);
    return runJob(job, key, QString(), limit, error);
}
