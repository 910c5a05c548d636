#include "archive/ArchivePasswords.h"

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

// Runs the job for the archive, waiting at most `limit`; false, with the
// reason, when the store failed it or did not answer in time. A job the store
// has not answered is let go, to delete itself whenever it is answered.
bool runJob(std::unique_ptr<QKeychain::Job>& job, const TArchiveLocation& location, std::chrono::milliseconds limit,
            QString* error)
{
    // The stores of a Linux desktop answer over the session's D-Bus; without
    // one, there is no store to ask.
    if (!QDBusConnection::sessionBus().isConnected()) {
        *error = QStringLiteral("Хранилища паролей нет: нет сеанса D-Bus рабочего стола");
        return false;
    }
    job->setAutoDelete(false);
    job->setKey(location.displayName());
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
        *error = QStringLiteral("В хранилище паролей нет пароля архива %1").arg(location.displayName());
        return false;
    }
    if (job->error() != QKeychain::NoError) {
        *error = failureText(*job);
        return false;
    }
    return true;
}

} // namespace

std::optional<QString> StoredArchivePassword(const TArchiveLocation& location, std::chrono::milliseconds limit,
                                             QString* error)
{
    std::unique_ptr<QKeychain::Job> job = std::make_unique<QKeychain::ReadPasswordJob>(Service);
    if (!runJob(job, location, limit, error))
        return std::nullopt;
    return static_cast<QKeychain::ReadPasswordJob&>(*job).textData();
}

bool StoreArchivePassword(const TArchiveLocation& location, const QString& password, std::chrono::milliseconds limit,
                          QString* error)
{
    auto write = std::make_unique<QKeychain::WritePasswordJob>(Service);
    write->setTextData(password);
    std::unique_ptr<QKeychain::Job> job = std::move(write);
    return runJob(job, location, limit, error);
}
