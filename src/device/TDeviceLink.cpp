#include "device/TDeviceLink.h"

#include "device/Cp1251Codec.h"
#include "device/RegisterConversions.h"
#include "text/FormatLocale.h"
#include "text/MessageText.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <algorithm>

namespace {

// Replies that arrived after an exchange had given up; more are not worth reading.
constexpr int MaxStaleReplies = 8;

} // namespace

TDeviceLink::TDeviceLink(std::unique_ptr<HidBackend> backend, QObject* parent)
    : QObject(parent), backend_(std::move(backend))
{
}

TDeviceLink::~TDeviceLink() = default;

bool TDeviceLink::isLogger(quint16 vendorId, quint16 productId)
{
    return vendorId == LoggerVendorId
        && std::find(std::begin(LoggerProductIds), std::end(LoggerProductIds), productId)
        != std::end(LoggerProductIds);
}

bool TDeviceLink::LoadHidLibrary()
{
    libraryLoaded_ = backend_->initialise();
    if (!libraryLoaded_) {
        LogStatus(QStringLiteral("ОШИБКА! Не удалось загрузить библиотеку HID: приборы не будут найдены"));
    }
    return libraryLoaded_;
}

std::unique_ptr<HidDevice> TDeviceLink::openLogger(const HidDeviceInfo& info,
                                                   QSet<QString>& unopenable)
{
    QString reason;
    std::unique_ptr<HidDevice> device = backend_->open(info.path, &reason);
    if (!device) {
        unopenable.insert(info.path);
        if (!unopenableReported_.contains(info.path)) {
            // The system's reason is English: the detail behind the line.
            LogStatus(WithDetail(QString::fromUtf8("ОШИБКА! Нет доступа к прибору ") + info.path, reason));
            emit accessRefused(info.path, reason);
        }
    }
    return device;
}

bool TDeviceLink::FindAndOpenDevice()
{
    if (!libraryLoaded_)
        return false;

    QSet<QString> unopenable;
    std::unique_ptr<HidDevice> opened;
    for (const HidDeviceInfo& info : backend_->enumerate(LoggerVendorId)) {
        if (!isLogger(info.vendorId, info.productId))
            continue;
        opened = openLogger(info, unopenable);
        if (opened) {
            if (!info.serialNumber.isNull())
                identity_.Series = SeriesFromSerialNumber(Cp1251Codec::encode(info.serialNumber));
            break;
        }
    }
    unopenableReported_ = unopenable;
    // The previous handle is closed in both cases: a logger that is gone keeps nothing open.
    device_ = std::move(opened);
    return device_ != nullptr;
}

TDeviceLink::DetectionResult TDeviceLink::detectionPass()
{
    const bool found = FindAndOpenDevice();
    if (found && !connectedAnnounced_) {
        LogStatus(QString::fromUtf8("Обнаружен подключенный прибор КОРВИ %1-й серии")
                      .arg(identity_.Series));
        connectedAnnounced_ = true;
        absenceAnnounced_ = false;
        return DetectionResult::Connected;
    }
    if (!found && !absenceAnnounced_) {
        LogStatus(QString::fromUtf8("Подключенных приборов КОРВИ не обнаружено"));
        absenceAnnounced_ = true;
        connectedAnnounced_ = false;
        return DetectionResult::Lost;
    }
    return DetectionResult::NoChange;
}

void TDeviceLink::completeIdentity(const QString& numberText)
{
    identity_.ExpectedLabel = BuildExpectedLabel(identity_.Series, numberText);
    identity_.PublishedSeries = identity_.Series;
}

bool TDeviceLink::Exchange(int timeoutMs)
{
    lastStatus_ = transfer(timeoutMs);
    return lastStatus_ == ExchangeStatus::Ok;
}

// Reads and drops replies that arrive within graceMs of each other.
void TDeviceLink::discardStaleReplies(int graceMs)
{
    std::array<quint8, TDeviceReport::Size> stale{};
    for (int i = 0; i < MaxStaleReplies; ++i) {
        if (device_->read(stale.data(), TDeviceReport::Size, graceMs) <= 0)
            return;
    }
}

bool TDeviceLink::answersRequest(const std::array<quint8, TDeviceReport::Size>& reply) const
{
    return reply[1] == report_.command() || reply[1] == 0;
}

TDeviceLink::ExchangeStatus TDeviceLink::transfer(int timeoutMs)
{
    if (!device_)
        return ExchangeStatus::NotOpen;
    discardStaleReplies(0);
    if (!device_->write(report_.bytes().data(), TDeviceReport::Size))
        return ExchangeStatus::WriteFailed;

    QElapsedTimer waited;
    waited.start();
    std::array<quint8, TDeviceReport::Size> reply{};
    for (int replies = 0; replies <= MaxStaleReplies; ++replies) {
        const int remaining = int(qMax<qint64>(0, timeoutMs - waited.elapsed()));
        const int count = device_->read(reply.data(), TDeviceReport::Size, remaining);
        if (count < 0)
            return ExchangeStatus::ReadFailed;
        if (count == 0) {
            // The reply may still be on its way: it must not answer the next request.
            discardStaleReplies(LateReplyGraceMs);
            return ExchangeStatus::Timeout;
        }
        if (count != TDeviceReport::Size || reply[0] != 0)
            return ExchangeStatus::Garbled;
        if (answersRequest(reply)) {
            report_.bytes() = reply;
            return ExchangeStatus::Ok;
        }
    }
    return ExchangeStatus::Garbled;
}

template <typename Result>
Result TDeviceLink::reportFailure(Result result)
{
    if (!result)
        reportNotAnswering();
    return result;
}

std::optional<qint32> TDeviceLink::readValue()
{
    if (!Exchange())
        return std::nullopt;
    return report_.replyValue();
}

std::optional<qint32> TDeviceLink::ReadRegister(int reg)
{
    report_.prepareReadRegister(quint16(reg));
    return reportFailure(readValue());
}

std::optional<qint32> TDeviceLink::ReadChannel(int channel)
{
    report_.prepareReadChannel(quint8(channel));
    return readValue();
}

bool TDeviceLink::runTransaction(const QList<RegisterWrite>& writes, int timeoutMs)
{
    if (!device_)
        return false;
    report_.prepareUnlock();
    bool ok = Exchange(timeoutMs);
    for (qsizetype i = 0; ok && i < writes.size(); ++i) {
        report_.prepareWriteRegister(quint16(writes[i].reg), writes[i].value);
        ok = Exchange(timeoutMs);
    }
    // Even when something failed, the logger may have taken the unlock: close it.
    report_.prepareLock();
    const bool locked = Exchange(timeoutMs);
    return ok && locked;
}

bool TDeviceLink::WriteRegisters(const QList<RegisterWrite>& writes, int timeoutMs)
{
    return reportFailure(runTransaction(writes, timeoutMs));
}

bool TDeviceLink::SetClock(const QDateTime& moment)
{
    report_.prepareSetClock(moment);
    return reportFailure(Exchange());
}

bool TDeviceLink::EraseLogMemory()
{
    report_.prepareEraseLogMemory();
    LogStatus(QString::fromUtf8("Очистка памяти..."));
    return reportFailure(Exchange(SlowReplyTimeoutMs));
}

std::optional<QString> TDeviceLink::UnpackText(int firstRegister, int fieldBytes)
{
    QList<qint32> values;
    for (int reg = firstRegister; reg < firstRegister + fieldBytes / 4; ++reg) {
        report_.prepareReadRegister(quint16(reg));
        const std::optional<qint32> value = readValue();
        if (!value)
            return reportFailure(std::optional<QString>());
        values.append(*value);
    }
    return TextFromRegisters(values);
}

void TDeviceLink::LogStatus(const QString& message)
{
    const QString time = FormatLocale().toString(QTime::currentTime(), LongTimeFormat());
    emit statusLogged(time + QStringLiteral(" -> ") + message);
}

void TDeviceLink::reportNotAnswering()
{
    LogStatus(QString::fromUtf8("ОШИБКА! Прибор не отвечает"));
    emit notAnswering();
}

void TDeviceLink::sleep(int ms)
{
    backend_->sleep(ms);
}
