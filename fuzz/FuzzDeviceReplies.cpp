// Every device operation on arbitrary replies: whole 10-byte reports, short
// ones, silence and read errors, in any order. An operation either succeeds
// or logs exactly one "ОШИБКА!" line, a failed exchange leaves the request in
// the buffer, and the live poll never accepts a value outside its range.
#include "FuzzInput.h"

#include "device/TDeviceLink.h"
#include "monitor/TLivePoll.h"

#include <QDateTime>


namespace {

// A logger that answers each request with what the fuzzer says.
class ScriptedDevice : public HidDevice
{
public:
    explicit ScriptedDevice(FuzzInput& input) : input_(input) {}

    bool write(const quint8*, int) override { return input_.take<uint8_t>() != 0xFF; }

    int read(quint8* data, int size, int timeoutMs) override
    {
        // Stale replies are looked for without waiting; the fuzzer may offer some.
        const auto kind = input_.take<uint8_t>();
        if (timeoutMs == 0 && kind % 8 != 7)
            return 0;
        switch (kind % 4) {
        case 0:
            return 0;
        case 1:
            return -1;
        default: {
            const int count = kind % 4 == 2 ? int(kind >> 2) % (size + 1) : size;
            const QByteArray reply = input_.takeBytes(size_t(count)).leftJustified(count, '\0');
            std::copy(reply.begin(), reply.end(), data);
            return count;
        }
        }
    }

private:
    FuzzInput& input_;
};

class ScriptedBackend : public HidBackend
{
public:
    explicit ScriptedBackend(FuzzInput& input) : input_(input) {}

    bool initialise() override { return true; }
    QList<HidDeviceInfo> enumerate() override
    {
        return {{QStringLiteral("/dev/hidraw-fuzz"), TDeviceLink::LoggerVendorId, TDeviceLink::LoggerProductIds[0],
                 input_.takeText(16)}};
    }
    std::unique_ptr<HidDevice> open(const QString&, QString*) override
    {
        return std::make_unique<ScriptedDevice>(input_);
    }
    void sleep(int) override {}

private:
    FuzzInput& input_;
};

enum class Operation { ReadRegister, ReadChannel, WriteRegisters, SetClock, Erase, UnpackText, LiveCycle, Count };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    TDeviceLink link(std::make_unique<ScriptedBackend>(input));
    int errorLines = 0;
    QObject::connect(&link, &TDeviceLink::statusLogged, [&errorLines](const QString& line) {
        errorLines += line.contains(QString::fromUtf8("ОШИБКА!"));
    });
    FUZZ_CHECK(link.LoadHidLibrary());
    link.DetectionPass();
    link.CompleteIdentity(input.takeText(12));
    TLivePoll poll;

    for (int step = 0; step < 32 && !input.empty(); ++step) {
        const int before = errorLines;
        const auto operation = Operation(input.take<uint8_t>() % int(Operation::Count));
        const int reg = input.take<uint8_t>() % 96;
        bool ok = true;
        switch (operation) {
        case Operation::ReadRegister:
            ok = link.ReadRegister(reg).has_value();
            if (!ok)
                FUZZ_CHECK(link.Report().command() == CmdReadRegister && link.Report().field16(2) == reg);
            break;
        case Operation::ReadChannel:
            link.ReadChannel(reg % 4);
            // The live poll reports silence itself: no line here.
            ok = errorLines == before;
            FUZZ_CHECK(ok);
            break;
        case Operation::WriteRegisters:
            ok = link.WriteRegisters({{reg, input.take<qint32>()}, {reg + 1, input.take<qint32>()}});
            break;
        case Operation::SetClock:
            ok = link.SetClock(QDateTime::fromSecsSinceEpoch(input.take<quint32>()));
            break;
        case Operation::Erase:
            ok = link.EraseLogMemory();
            break;
        case Operation::UnpackText: {
            const std::optional<QString> text = link.UnpackText(reg, 4 * (1 + input.take<uint8_t>() % 8));
            ok = text.has_value();
            if (text)
                FUZZ_CHECK(text->size() <= 32);
            break;
        }
        case Operation::LiveCycle:
            if (const std::optional<TLiveReading> reading = poll.ReadCycle(link)) {
                FUZZ_CHECK(reading->humidity >= 0 && reading->humidity <= 100);
                FUZZ_CHECK(reading->temperature >= 0 && reading->temperature <= 100);
            }
            ok = errorLines == before;
            break;
        case Operation::Count:
            break;
        }
        FUZZ_CHECK(errorLines - before == (ok ? 0 : 1));
        if (input.take<uint8_t>() == 0xA5)
            link.DetectionPass();
    }
    return 0;
}
