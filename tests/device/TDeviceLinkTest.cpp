#include "device/RegisterConversions.h"
#include "device/RegisterMap.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "device/TDeviceLink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using Detection = TDeviceLink::DetectionResult;

const QString Absence = QString::fromUtf8("Подключенных приборов КОРВИ не обнаружено");
const QString NoAnswer = QString::fromUtf8("ОШИБКА! Прибор не отвечает");

QString detected(int series)
{
    return QString::fromUtf8("Обнаружен подключенный прибор КОРВИ %1-й серии").arg(series);
}

class DeviceLinkTest : public ::testing::Test {
protected:
    DeviceLinkTest()
    {
        auto backend = std::make_unique<SimulatedBackend>();
        backend_ = backend.get();
        link_ = std::make_unique<TDeviceLink>(std::move(backend));
        QObject::connect(link_.get(), &TDeviceLink::statusLogged,
                         [this](const QString& line) { lines_.append(line); });
    }

    std::shared_ptr<SimulatedLogger> plugLogger(const QString& serial = QStringLiteral("18A40C2F"))
    {
        auto logger = std::make_shared<SimulatedLogger>(
            drive_.filePath(QString::number(loggerCount_++)), QByteArray(4096, '\x22'));
        logger->setSerialNumber(serial);
        backend_->plug(logger);
        return logger;
    }

    void connectLogger(const std::shared_ptr<SimulatedLogger>& logger)
    {
        link_->LoadHidLibrary();
        ASSERT_EQ(link_->detectionPass(), Detection::Connected);
        logger->clearRequests();
        lines_.clear();
    }

    // The messages, without the time stamps in front.
    QStringList messages() const
    {
        QStringList result;
        for (const QString& line : lines_)
            result.append(line.section(QStringLiteral(" -> "), 1));
        return result;
    }

    static QList<int> commands(const SimulatedLogger& logger)
    {
        QList<int> result;
        for (const TDeviceReport& request : logger.requests())
            result.append(request.command());
        return result;
    }

    QTemporaryDir drive_;
    int loggerCount_ = 0;
    SimulatedBackend* backend_ = nullptr;
    std::unique_ptr<TDeviceLink> link_;
    QStringList lines_;
};

TEST_F(DeviceLinkTest, AbsenceIsAnnouncedOnceWithTheTime)
{
    link_->LoadHidLibrary();
    EXPECT_EQ(link_->detectionPass(), Detection::Lost);
    EXPECT_EQ(link_->detectionPass(), Detection::NoChange);
    EXPECT_EQ(link_->detectionPass(), Detection::NoChange);
    ASSERT_EQ(lines_.size(), 1);
    EXPECT_TRUE(QRegularExpression("^\\d{1,2}:\\d{2}:\\d{2}( [AP]M)? -> " + Absence + "$")
                    .match(lines_[0])
                    .hasMatch())
        << lines_[0].toStdString();
    EXPECT_TRUE(link_->AbsenceAnnounced());
    EXPECT_FALSE(link_->ConnectedAnnounced());
}

TEST_F(DeviceLinkTest, PlugAndPullAreAnnouncedOncePerTransition)
{
    link_->LoadHidLibrary();
    link_->detectionPass();
    const auto logger = plugLogger();
    EXPECT_EQ(link_->detectionPass(), Detection::Connected);
    EXPECT_EQ(link_->detectionPass(), Detection::NoChange);
    link_->completeIdentity(QStringLiteral("123"));
    EXPECT_EQ(link_->identity().ExpectedLabel, QStringLiteral("2400123"));
    EXPECT_EQ(link_->identity().PublishedSeries, 24);
    EXPECT_EQ(link_->identity().ExpectedLabel, logger->volumeLabel());

    backend_->pull(logger);
    EXPECT_EQ(link_->detectionPass(), Detection::Lost);
    EXPECT_EQ(link_->detectionPass(), Detection::NoChange);
    EXPECT_FALSE(link_->isOpen());
    EXPECT_EQ(messages(), (QStringList{Absence, detected(24), Absence}));
    // The identity changes only on the next transition into Connected.
    EXPECT_EQ(link_->identity().ExpectedLabel, QStringLiteral("2400123"));
}

TEST_F(DeviceLinkTest, SeriesComesFromTheSerialNumber)
{
    struct Case {
        const char* serial;
        int series;
    };
    for (const Case& c : {Case{"1700042", 23}, Case{"2A01", 42}, Case{"2a01", 97}}) {
        SCOPED_TRACE(c.serial);
        lines_.clear();
        const auto logger = plugLogger(c.serial);
        link_->LoadHidLibrary();
        link_->detectionPass();
        EXPECT_EQ(messages(), QStringList{detected(c.series)});
        backend_->pull(logger);
        link_->detectionPass();
    }
}

TEST_F(DeviceLinkTest, FirstLoggerInEnumerationOrderIsUsedAndOtherDevicesIgnored)
{
    const auto mouse = plugLogger("99");
    mouse->setUsbIds(0x046D, 0xC077);
    const auto first = plugLogger("1700001");
    first->setUsbIds(0x0483, 0x3257);
    const auto second = plugLogger("2A00002");
    connectLogger(first);
    EXPECT_EQ(link_->identity().Series, 23);
    EXPECT_EQ(link_->ReadRegister(RegDeviceNumber), 123);
    EXPECT_EQ(first->requests().size(), 1);
    EXPECT_TRUE(second->requests().isEmpty());
    EXPECT_TRUE(mouse->requests().isEmpty());
}

// Detection asks the system for the logger's vendor only, so other HID
// devices (a mouse here) are never listed, let alone opened, every second.
TEST_F(DeviceLinkTest, DetectionListsOnlyTheLoggersVendor)
{
    const auto mouse = plugLogger("99");
    mouse->setUsbIds(0x046D, 0xC077);
    const auto logger = plugLogger("1700001");
    connectLogger(logger);
    link_->detectionPass();
    EXPECT_EQ(backend_->enumerationCount(), 2);
    EXPECT_EQ(backend_->listedDeviceCount(), 2);
    EXPECT_EQ(backend_->enumerate(0).size(), 2) << "vendor 0 lists every device";
}

TEST_F(DeviceLinkTest, UnopenableLoggerIsReportedOncePerEpisode)
{
    const auto logger = plugLogger();
    logger->setAccessDenied(true);
    link_->LoadHidLibrary();
    EXPECT_EQ(link_->detectionPass(), Detection::Lost);
    EXPECT_EQ(link_->detectionPass(), Detection::NoChange);
    const QString denied =
        QString::fromUtf8("ОШИБКА! Нет доступа к прибору /dev/hidraw-sim0\nPermission denied");
    EXPECT_EQ(messages(), (QStringList{denied, Absence}));

    logger->setAccessDenied(false);
    EXPECT_EQ(link_->detectionPass(), Detection::Connected);
    logger->setAccessDenied(true);
    EXPECT_EQ(link_->detectionPass(), Detection::Lost);
    EXPECT_EQ(messages(), (QStringList{denied, Absence, detected(24), denied, Absence}));
}

TEST_F(DeviceLinkTest, WithoutTheHidLibraryNoPassTouchesTheBackend)
{
    plugLogger();
    backend_->setInitialiseFails(true);
    EXPECT_FALSE(link_->LoadHidLibrary());
    EXPECT_EQ(link_->detectionPass(), Detection::Lost);
    EXPECT_EQ(link_->detectionPass(), Detection::NoChange);
    EXPECT_EQ(backend_->enumerationCount(), 0);
    EXPECT_EQ(messages(),
              (QStringList{QStringLiteral("ОШИБКА! Не удалось загрузить библиотеку HID: приборы не будут найдены"),
                           Absence}));
}

TEST_F(DeviceLinkTest, SilentOrGarbledLoggerFailsWithinTheTimeLimit)
{
    struct Case {
        const char* name;
        SimulatedLogger::Fault fault;
        TDeviceLink::ExchangeStatus status;
    };
    const Case cases[] = {
        {"no reply", SimulatedLogger::Fault::NoReply, TDeviceLink::ExchangeStatus::Timeout},
        {"garbled", SimulatedLogger::Fault::GarbledReply, TDeviceLink::ExchangeStatus::Garbled},
    };
    const auto logger = plugLogger();
    connectLogger(logger);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lines_.clear();
        logger->setFault(c.fault);
        const qint64 start = backend_->nowMs();
        EXPECT_EQ(link_->ReadRegister(RegDeviceNumber), std::nullopt);
        // A silent logger costs the time limit and the grace for a late reply.
        EXPECT_LE(backend_->nowMs() - start, TDeviceLink::ReplyTimeoutMs + TDeviceLink::LateReplyGraceMs);
        EXPECT_EQ(link_->lastExchangeStatus(), c.status);
        EXPECT_EQ(messages(), QStringList{NoAnswer});
        // The buffer keeps the request, not a stale or junk reply.
        EXPECT_EQ(link_->report().command(), CmdReadRegister);
    }
}

TEST_F(DeviceLinkTest, PulledLoggerFailsTheExchangeAndIsLostAtTheNextPass)
{
    const auto logger = plugLogger();
    connectLogger(logger);
    backend_->pull(logger);
    EXPECT_EQ(link_->ReadRegister(RegDeviceNumber), std::nullopt);
    EXPECT_EQ(link_->lastExchangeStatus(), TDeviceLink::ExchangeStatus::WriteFailed);
    EXPECT_EQ(link_->detectionPass(), Detection::Lost);
    // Plugged in again, the old handle stays dead and a fresh one is opened.
    backend_->plug(logger);
    EXPECT_EQ(link_->detectionPass(), Detection::Connected);
    EXPECT_TRUE(link_->ReadRegister(RegDeviceNumber).has_value());
    EXPECT_EQ(messages(), (QStringList{NoAnswer, Absence, detected(24)}));
}

TEST_F(DeviceLinkTest, WriteTransactionIsUnlockWritesLock)
{
    const auto logger = plugLogger();
    connectLogger(logger);
    EXPECT_TRUE(link_->WriteRegisters({{RegTempOffset, -7}, {RegDeviceNumber, 42}}));
    EXPECT_EQ(commands(*logger),
              (QList<int>{CmdUnlock, CmdWriteRegister, CmdWriteRegister, CmdLock}));
    EXPECT_EQ(logger->registerValue(RegTempOffset), -7);
    EXPECT_EQ(link_->ReadRegister(RegDeviceNumber), 42);
    EXPECT_TRUE(lines_.isEmpty());

    // A bare write, outside a transaction, is ignored by the logger.
    link_->report().prepareWriteRegister(RegDeviceNumber, 7);
    EXPECT_TRUE(link_->Exchange());
    EXPECT_EQ(link_->ReadRegister(RegDeviceNumber), 42);
}

TEST_F(DeviceLinkTest, FailedTransactionStillSendsTheLock)
{
    const auto logger = plugLogger();
    connectLogger(logger);
    logger->setFault(SimulatedLogger::Fault::NoReply, 2);
    EXPECT_FALSE(link_->WriteRegisters({{5, 1}, {6, 2}, {7, 3}}));
    EXPECT_EQ(commands(*logger),
              (QList<int>{CmdUnlock, CmdWriteRegister, CmdWriteRegister, CmdLock}));
    EXPECT_EQ(messages(), QStringList{NoAnswer});
}

TEST_F(DeviceLinkTest, ClockEraseChannelsAndTextFields)
{
    const auto logger = plugLogger();
    connectLogger(logger);

    const QDateTime moment(QDate(2023, 12, 31), QTime(23, 59, 58));
    EXPECT_TRUE(link_->SetClock(moment));
    EXPECT_EQ(logger->clock(backend_->nowMs()), moment);
    link_->sleep(3000);
    EXPECT_EQ(logger->clock(backend_->nowMs()), moment.addSecs(3));

    EXPECT_EQ(link_->ReadRegister(RegLogMemUsed), 4096);
    EXPECT_TRUE(link_->EraseLogMemory());
    EXPECT_EQ(link_->ReadRegister(RegLogMemUsed), 0);
    EXPECT_EQ(QFile(QDir(logger->driveFolder()).filePath("data.log")).size(), 0);

    const std::optional<qint32> temperature = link_->ReadChannel(0);
    ASSERT_TRUE(temperature);
    EXPECT_EQ(*temperature, SimulatedLogger::channelValue(0, backend_->nowMs()));

    EXPECT_EQ(link_->UnpackText(RegNetName, NetNameBytes), QStringLiteral("korvi-lab"));
    QList<RegisterWrite> writes;
    const QList<qint32> packed = PackText(QStringLiteral("esp"), NetNameBytes);
    for (qsizetype i = 0; i < packed.size(); ++i)
        writes.append({RegNetName + int(i), packed[i]});
    ASSERT_TRUE(link_->WriteRegisters(writes));
    EXPECT_EQ(link_->UnpackText(RegNetName, NetNameBytes), QStringLiteral("esp"));

    logger->setFault(SimulatedLogger::Fault::NoReply, 3);
    EXPECT_EQ(link_->UnpackText(RegNetName, NetNameBytes), std::nullopt);
    EXPECT_EQ(messages(), (QStringList{QString::fromUtf8("Очистка памяти..."), NoAnswer}));
}

} // namespace

namespace {

// A reply that comes after the time limit and the grace is still on its way
// when the next request goes out; it names another command and is passed over.
TEST_F(DeviceLinkTest, ReplyToAnotherCommandIsNotTakenForTheAnswer)
{
    const auto logger = plugLogger();
    connectLogger(logger);
    logger->setLateReplyDelay(TDeviceLink::ReplyTimeoutMs + TDeviceLink::LateReplyGraceMs + 500);
    logger->setFault(SimulatedLogger::Fault::LateReply);
    EXPECT_FALSE(link_->SetClock(QDateTime(QDate(2024, 1, 1), QTime(0, 0))));
    EXPECT_EQ(link_->lastExchangeStatus(), TDeviceLink::ExchangeStatus::Timeout);

    logger->setFault(SimulatedLogger::Fault::None);
    logger->setRegisterValue(RegDeviceNumber, 4321);
    EXPECT_EQ(link_->ReadRegister(RegDeviceNumber), 4321);
    EXPECT_EQ(link_->report().command(), CmdReadRegister);
}

// Erasing takes the firmware longer than an ordinary reply may; it has its own limit.
TEST_F(DeviceLinkTest, EraseWaitsForTheSlowFirmware)
{
    static_assert(SimulatedLogger::EraseDurationMs > TDeviceLink::ReplyTimeoutMs);
    static_assert(SimulatedLogger::EraseDurationMs < TDeviceLink::SlowReplyTimeoutMs);
    const auto logger = plugLogger();
    connectLogger(logger);
    lines_.clear();
    const qint64 start = backend_->nowMs();
    EXPECT_TRUE(link_->EraseLogMemory());
    EXPECT_EQ(backend_->nowMs() - start, SimulatedLogger::EraseDurationMs);
    EXPECT_EQ(messages(), QStringList{QString::fromUtf8("Очистка памяти...")});
    EXPECT_EQ(link_->ReadRegister(RegDeviceNumber), 123);
}

} // namespace
