#include "EnvironmentChange.h"
#include "archive/ArchivePasswords.h"
#include "archive/ArchiveTestSupport.h"
#include "text/MessageText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The servers script/with-postgresql starts beside the plain one: one that
// speaks TLS only, with its certificate, and the plain one's role that must
// give a password.
constexpr char TlsUrlVariable[] = "KORVI_TEST_POSTGRESQL_SSL";
constexpr char TlsCertificateVariable[] = "KORVI_TEST_POSTGRESQL_SSL_CERTIFICATE";
constexpr char SecretUserVariable[] = "KORVI_TEST_POSTGRESQL_SECRET_USER";
constexpr char SecretVariable[] = "KORVI_TEST_POSTGRESQL_SECRET";

std::optional<TArchiveLocation> locationOf(const QString& url)
{
    QString error;
    std::optional<TArchiveLocation> location = TArchiveLocation::fromUrl(url, &error);
    EXPECT_TRUE(location) << error.toStdString();
    return location;
}

// libpq's parameters in the URL reach the server: TLS asked for, refused,
// and the server's certificate checked against the one given.
TEST(ArchiveConnectionTest, TlsParametersOfTheUrlAreApplied)
{
    const QString plain = qEnvironmentVariable(PostgresqlUrlVariable);
    const QString tls = qEnvironmentVariable(TlsUrlVariable);
    if (plain.isEmpty() || tls.isEmpty())
        GTEST_SKIP() << "no PostgreSQL servers; script/test starts them";
    const QString certificate = qEnvironmentVariable(TlsCertificateVariable);
    const QTemporaryDir dir;
    struct Case {
        const char* name;
        QString url;
        const char* refusal; // the server's or libpq's words; empty when the archive opens
    };
    const Case cases[] = {
        {"TLS asked of a server without it", plain + "?sslmode=require", "server does not support SSL"},
        {"no TLS asked of a server that speaks only TLS", tls + "?sslmode=disable", "no encryption"},
        {"the server's certificate checked against its own", tls + "?sslmode=verify-full&sslrootcert=" + certificate,
         ""},
        {"no certificate to check it against", tls + "?sslmode=verify-full&sslrootcert=" + dir.filePath("none.crt"),
         "root certificate file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<TArchiveLocation> location = locationOf(c.url);
        ASSERT_TRUE(location);
        QString error;
        const std::unique_ptr<TArchive> archive = TArchive::open(*location, &error);
        EXPECT_EQ(!archive, *c.refusal != '\0') << error.toStdString();
        if (!archive) {
            EXPECT_TRUE(MessageLine(error).startsWith(QStringLiteral("Нет связи с сервером архива")))
                << error.toStdString();
            EXPECT_TRUE(MessageDetail(error).contains(QLatin1String(c.refusal))) << error.toStdString();
        }
    }
}

// A server that takes the connection and never answers: connect_timeout
// given in the URL ends the wait instead of the program's 5 s.
TEST(ArchiveConnectionTest, TheUrlsConnectTimeoutIsTheLimit)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
    const std::optional<TArchiveLocation> location =
        locationOf(QStringLiteral("postgresql://korvi@127.0.0.1:%1/archive?connect_timeout=2").arg(ntohs(address.sin_port)));
    ASSERT_TRUE(location);
    QElapsedTimer waited;
    waited.start();
    QString error;
    EXPECT_FALSE(TArchive::open(*location, &error));
    EXPECT_LT(waited.elapsed(), 4000);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Нет связи с сервером архива"))) << error.toStdString();
    ::close(listener);
}

// A database of its own, owned by the test server's role that must give a
// password, and a home folder without a ~/.pgpass.
class PasswordRoleArchive : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString url = qEnvironmentVariable(PostgresqlUrlVariable);
        secret_ = qEnvironmentVariable(SecretVariable);
        if (url.isEmpty() || secret_.isEmpty())
            GTEST_SKIP() << "no PostgreSQL server with a password role; script/test starts it";
        server_ = locationOf(url);
        ASSERT_TRUE(server_);
        archive_ = *server_;
        archive_.user = qEnvironmentVariable(SecretUserVariable);
        archive_.database = QStringLiteral("korvi_password_test_%1").arg(QCoreApplication::applicationPid());
        ASSERT_TRUE(DirectConnection(*server_).exec(
            QStringLiteral("CREATE DATABASE %1 OWNER %2").arg(archive_.database, archive_.user)));
    }
    void TearDown() override
    {
        if (server_)
            DirectConnection(*server_).exec(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(archive_.database));
    }

    QString url() const
    {
        return QStringLiteral("postgresql://%1@%2:%3/%4")
            .arg(archive_.user, archive_.host)
            .arg(archive_.port)
            .arg(archive_.database);
    }

    std::optional<TArchiveLocation> server_;
    TArchiveLocation archive_;
    QString secret_;
    const QTemporaryDir home_;
    const EnvironmentChange noPasswordsAtHome_{"HOME", home_.path().toLocal8Bit()};
    const QString passwords_ = home_.filePath(QStringLiteral("pgpass"));
    const EnvironmentChange passwordFile_{"PGPASSFILE", passwords_.toLocal8Bit()};
};

// The password of a server that asks for one comes from the file libpq
// reads, ~/.pgpass or PGPASSFILE's; with none there, nor a secret store to
// ask, the refusal says where to give it, at once.
TEST_F(PasswordRoleArchive, APasswordComesFromThePasswordFile)
{
    const EnvironmentChange noSecretStore("DBUS_SESSION_BUS_ADDRESS", QByteArray());
    QElapsedTimer waited;
    waited.start();
    QString error;
    EXPECT_FALSE(TArchive::open(archive_, &error));
    EXPECT_LT(waited.elapsed(), 2000);
    EXPECT_TRUE(MessageLine(error).contains(QStringLiteral("просит пароль"))
                && MessageLine(error).contains(QStringLiteral("~/.pgpass"))
                && MessageLine(error).contains(QStringLiteral("--archive-password")))
        << error.toStdString();
    EXPECT_TRUE(MessageDetail(error).contains(QStringLiteral("нет сеанса D-Bus"))) << error.toStdString();

    QFile file(passwords_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("%1:%2:%3:%4:%5\n")
                   .arg(archive_.host)
                   .arg(archive_.port)
                   .arg(archive_.database, archive_.user, secret_)
                   .toUtf8());
    file.close();
    ASSERT_TRUE(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)); // libpq skips a file others read
    EXPECT_TRUE(TArchive::open(archive_, &error)) << error.toStdString();
}

// The password kept with --archive-password opens the archive on a worker
// thread, as the program's archive threads open it, where no password file
// gives one. Runs as archive_connection_tests_secret_store, in a D-Bus
// session of its own with GNOME Keyring.
TEST_F(PasswordRoleArchive, ThePasswordInTheSecretStoreOpensItOnAWorkerThread)
{
    if (qEnvironmentVariableIsEmpty("KORVI_TEST_SECRET_STORE"))
        GTEST_SKIP() << "needs a secret store: ctest runs it as archive_connection_tests_secret_store";
    QProcess keep;
    keep.start(QStringLiteral(KORVI_MONITOR_PATH), {"--archive=" + url(), "--archive-password"});
    keep.write(secret_.toUtf8() + '\n');
    keep.closeWriteChannel();
    ASSERT_TRUE(keep.waitForFinished(30000));
    EXPECT_EQ(keep.exitCode(), 0) << keep.readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromUtf8(keep.readAllStandardOutput()).contains(QStringLiteral("сохранён в хранилище")));

    QString error;
    bool listed = false;
    std::thread worker([&] {
        const std::unique_ptr<TArchive> archive = TArchive::open(archive_, &error);
        listed = archive && archive->entries({}, &error).empty() && error.isEmpty();
    });
    worker.join();
    EXPECT_TRUE(listed) << error.toStdString();
}

// Where no secret store answers (no D-Bus session), asking it fails at once.
TEST(ArchivePasswordsTest, WithoutASecretStoreNothingIsFoundAtOnce)
{
    const EnvironmentChange noSecretStore("DBUS_SESSION_BUS_ADDRESS", QByteArray());
    const std::optional<TArchiveLocation> location = locationOf(QStringLiteral("postgresql://korvi@db.lab/archive"));
    ASSERT_TRUE(location);
    QElapsedTimer waited;
    waited.start();
    QString error;
    EXPECT_FALSE(StoredArchivePassword(*location, std::chrono::seconds(20), &error));
    EXPECT_FALSE(StoreArchivePassword(*location, QStringLiteral("secret"), std::chrono::seconds(20), &error));
    EXPECT_LT(waited.elapsed(), 2000);
    EXPECT_TRUE(error.contains(QStringLiteral("нет сеанса D-Bus"))) << error.toStdString();
}

} // namespace

// The secret store answers through the application's event loop: the
// application lives for the whole run.
int main(int argc, char** argv)
{
    const QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
