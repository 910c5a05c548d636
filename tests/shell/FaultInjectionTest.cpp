#include "KorviTestMain.h"

#include "FakeDialogs.h"
#include "LoggerRequestsWait.h"
#include "MonitorControls.h"
#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "settings/PageAction.h"

#include "data/FolderVolumeSource.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "device/RegisterMap.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "device/TDeviceLink.h"
#include "monitor/TLiveMonitor.h"
#include "settings/TCalibrationPage.h"
#include "settings/TGeneralPage.h"
#include "settings/TLoggerPage.h"
#include "settings/TWiFiPage.h"
#include "shell/TApplicationWindows.h"
#include "shell/TFormMain.h"
#include "shell/TFormRead.h"
#include "shell/TFormSetting.h"
#include "shell/TLoggerConnection.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>

namespace {

// A SimulatedBackend that can also pull the logger out just before the
// request with a given index (counted on the logger) goes out.
class PullingBackend : public HidBackend {
public:
    explicit PullingBackend(std::shared_ptr<SimulatedLogger> logger) : logger_(std::move(logger)) {}

    SimulatedBackend& simulated() { return simulated_; }
    void pullBeforeRequest(std::optional<qsizetype> index) { pullAt_ = index; }

    bool initialise() override { return simulated_.initialise(); }
    QList<HidDeviceInfo> enumerate(quint16 vendorId) override { return simulated_.enumerate(vendorId); }
    std::unique_ptr<HidDevice> open(const QString& path, QString* reason) override
    {
        std::unique_ptr<HidDevice> device = simulated_.open(path, reason);
        return device ? std::make_unique<Device>(*this, std::move(device)) : nullptr;
    }
    void sleep(int ms) override { simulated_.sleep(ms); }

private:
    class Device : public HidDevice {
    public:
        Device(PullingBackend& owner, std::unique_ptr<HidDevice> inner) : owner_(owner), inner_(std::move(inner)) {}
        bool write(const quint8* data, int size) override
        {
            if (owner_.pullAt_ && owner_.logger_->requests().size() == *owner_.pullAt_)
                owner_.simulated_.pull(owner_.logger_);
            return inner_->write(data, size);
        }
        int read(quint8* data, int size, int timeoutMs) override { return inner_->read(data, size, timeoutMs); }

    private:
        PullingBackend& owner_;
        std::unique_ptr<HidDevice> inner_;
    };

    SimulatedBackend simulated_;
    std::shared_ptr<SimulatedLogger> logger_;
    std::optional<qsizetype> pullAt_;
};

const QDateTime LogStart(QDate(2024, 5, 1), QTime(9, 0));

// The four windows on a logger that can fail in any of the three ways.
struct FaultyWindows {
    FaultyWindows()
    {
        logger = std::make_shared<SimulatedLogger>(drive.path(),
                                                   LogGenerator(3).generate(40, TLogShape::Typical, LogStart));
        auto pulling = std::make_unique<PullingBackend>(logger);
        backend = pulling.get();
        auto volumes = std::make_unique<FolderVolumeSource>();
        volumes->addFolder(drive.path(), logger->volumeLabel());
        windows = std::make_unique<TApplicationWindows>(
            TPlatform{std::move(pulling), std::move(volumes), std::make_unique<FakeDialogs>()});
    }

    void connectLogger()
    {
        backend->simulated().plug(logger);
        detect();
    }

    void detect()
    {
        windows->connection_->Timer1Timer();
        finishRequests();
    }

    void finishRequests()
    {
        if (!finishLoggerRequests(windows->connection_->requests()))
            qFatal("the logger's requests did not end");
    }

    // Registers unlike the page defaults and unlike each other (two digits of
    // text), so that a field filled by a read, or by the reply to another read, shows.
    void setDistinctRegisters()
    {
        for (int reg = 0; reg < 90; ++reg)
            logger->setRegisterValue(reg, 0x31320000 + ((0x30 + reg / 10) << 8) + 0x30 + reg % 10);
    }

    TFormSetting& settings() { return *windows->formSetting_; }
    SettingsControls settingsControls() const { return SettingsControls(*windows->formSetting_); }
    TMeasurementStore& store() { return windows->formMain_->store(); }
    const TSourceList& sources() { return windows->formMain_->sources(); }
    MonitorControls monitorControls() const { return MonitorControls(*windows->formRead_); }
    TLiveMonitor& liveMonitor() const { return LiveMonitorOf(*windows->formRead_); }

    QTemporaryDir drive;
    PullingBackend* backend = nullptr;
    std::shared_ptr<SimulatedLogger> logger;
    std::unique_ptr<TApplicationWindows> windows;
};

// What a user sees of the logger's values: every edit, list and combo of the
// settings window (the pickers follow the PC clock and are left out) and the
// monitor's two value labels, keyed by position and name.
QStringList FieldValues(FaultyWindows& w)
{
    QStringList values;
    for (QWidget* widget : w.settings().findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget->parentWidget())
            || widget == w.settingsControls().ListBox1)
            continue;
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            values << edit->objectName() + QLatin1Char('=') + edit->text();
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            values << combo->objectName() + QLatin1Char('=') + QString::number(combo->currentIndex());
        else if (auto* list = qobject_cast<QListWidget*>(widget)) {
            QString states;
            for (int row = 0; row < list->count(); ++row)
                states += QString::number(list->item(row)->checkState());
            values << list->objectName() + QLatin1Char('=') + states;
        }
    }
    // A failed poll greys the values and adds the time they were read; the values stay.
    for (const QLabel* label : {w.monitorControls().Label1, w.monitorControls().Label2})
        values << label->text().section(QStringLiteral(" ("), 0, 0);
    return values;
}

// The store's load: the raw records it would save and the rows it shows.
QByteArray StoreFingerprint(TMeasurementStore& store, const TSourceList& sources)
{
    const auto raw = sources.shownRawRecords();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(raw.data()), qsizetype(raw.size_bytes())));
    hash.addData(QByteArray::number(store.DataRowCount()) + ' ' + QByteArray::number(store.firstTimestamp()) + ' '
                 + QByteArray::number(store.lastTimestamp()) + ' ' + QByteArray::number(store.records().size()));
    return hash.result().toHex();
}

int ErrorLines(const QListWidget& list, int from)
{
    int count = 0;
    for (int row = from; row < list.count(); ++row)
        count += list.item(row)->text().contains(QString::fromUtf8("ОШИБКА!"));
    return count;
}

struct TAction {
    const char* name;
    // Brings fresh windows to the moment before the action.
    std::function<void(FaultyWindows&)> prepare;
    std::function<void(FaultyWindows&)> run;
};

void ConnectedWithDistinctRegisters(FaultyWindows& w)
{
    w.connectLogger();
    w.setDistinctRegisters();
}

QList<TAction> Actions()
{
    const auto calibration = [](TCalibrationPage* SettingsControls::*page, bool write) {
        return [page, write](FaultyWindows& w) {
            TCalibrationPage* target = w.settingsControls().*page;
            write ? target->writePage() : target->readPage();
        };
    };
    // The pressure page has no page-wide buttons: its offset's own read and write.
    const auto pressureOffset = [](bool write) {
        return [write](FaultyWindows& w) {
            write ? w.settingsControls().PressPage->writeOne(0) : w.settingsControls().PressPage->readOne(0);
        };
    };
    return {
        {"detection", [](FaultyWindows& w) { w.setDistinctRegisters(); },
         [](FaultyWindows& w) { w.connectLogger(); }},
        {"load",
         [](FaultyWindows& w) {
             w.connectLogger();
             QVERIFY(loadFromLogger(*w.windows->formMain_));
             // The next load would bring another log.
             w.logger->setLog(LogGenerator(9).generate(25, TLogShape::Typical, LogStart.addDays(3)));
         },
         [](FaultyWindows& w) { QVERIFY(loadFromLogger(*w.windows->formMain_)); }},
        {"poll cycle",
         [](FaultyWindows& w) {
             w.connectLogger();
             w.liveMonitor().Timer2Timer();
             w.finishRequests();
             w.logger->setChannelReading(0, 345);
             w.logger->setChannelReading(1, 678);
         },
         [](FaultyWindows& w) { w.liveMonitor().Timer2Timer(); }},
        {"general read", ConnectedWithDistinctRegisters,
         [](FaultyWindows& w) { w.settingsControls().GeneralPage->ButtonDeviceNumberReadClick(); }},
        {"general write", ConnectedWithDistinctRegisters,
         [](FaultyWindows& w) { w.settingsControls().GeneralPage->ButtonDeviceNumberWriteClick(); }},
        {"logger read", ConnectedWithDistinctRegisters,
         [](FaultyWindows& w) { w.settingsControls().LoggerPage->ButtonLogReadAllClick(); }},
        {"logger write", ConnectedWithDistinctRegisters,
         [](FaultyWindows& w) { w.settingsControls().LoggerPage->ButtonLogWriteAllClick(); }},
        {"wi-fi read", ConnectedWithDistinctRegisters,
         [](FaultyWindows& w) { w.settingsControls().WiFiPage->ButtonWiFiReadAllClick(); }},
        {"wi-fi write", ConnectedWithDistinctRegisters,
         [](FaultyWindows& w) { w.settingsControls().WiFiPage->ButtonWiFiWriteAllClick(); }},
        {"temperature read", ConnectedWithDistinctRegisters, calibration(&SettingsControls::TempPage, false)},
        {"temperature write", ConnectedWithDistinctRegisters, calibration(&SettingsControls::TempPage, true)},
        {"humidity read", ConnectedWithDistinctRegisters, calibration(&SettingsControls::HumiPage, false)},
        {"humidity write", ConnectedWithDistinctRegisters, calibration(&SettingsControls::HumiPage, true)},
        {"pressure offset read", ConnectedWithDistinctRegisters, pressureOffset(false)},
        {"pressure offset write", ConnectedWithDistinctRegisters, pressureOffset(true)},
    };
}

enum class TFaultKind { NoReply, GarbledReply, LateReply, PullOut };

const char* KindName(TFaultKind kind)
{
    switch (kind) {
    case TFaultKind::NoReply:
        return "no reply";
    case TFaultKind::GarbledReply:
        return "garbled reply";
    case TFaultKind::LateReply:
        return "late reply";
    case TFaultKind::PullOut:
        break;
    }
    return "pull-out";
}

SimulatedLogger::Fault LoggerFault(TFaultKind kind)
{
    switch (kind) {
    case TFaultKind::NoReply:
        return SimulatedLogger::Fault::NoReply;
    case TFaultKind::GarbledReply:
        return SimulatedLogger::Fault::GarbledReply;
    case TFaultKind::LateReply:
        return SimulatedLogger::Fault::LateReply;
    case TFaultKind::PullOut:
        break;
    }
    return SimulatedLogger::Fault::None;
}

struct TFaultCase {
    TAction action;
    TFaultKind kind;
    qsizetype exchange; // index of the request the fault strikes, from 0
    QString name() const
    {
        return QStringLiteral("%1, %2 at exchange %3").arg(action.name, KindName(kind)).arg(exchange);
    }
};

// How an action ends without a fault: its requests and what it leaves.
struct TOutcome {
    qsizetype requests = 0;
    QByteArray store;
};

TOutcome CleanRun(const TAction& action)
{
    FaultyWindows w;
    action.prepare(w);
    w.logger->clearRequests();
    const int firstLine = w.settingsControls().ListBox1->count();
    action.run(w);
    w.finishRequests();
    if (ErrorLines(*w.settingsControls().ListBox1, firstLine) != 0)
        qFatal("%s fails even without a fault", action.name);
    return {w.logger->requests().size(), StoreFingerprint(w.store(), w.sources())};
}

// Every problem of one case, as readable lines.
QStringList RunCase(const TFaultCase& faultCase, const TOutcome& clean)
{
    QStringList problems;
    const auto expect = [&problems](bool condition, const QString& what) {
        if (!condition)
            problems << what;
    };

    FaultyWindows w;
    faultCase.action.prepare(w);
    const QStringList fieldsBefore = FieldValues(w);
    const QByteArray storeBefore = StoreFingerprint(w.store(), w.sources());
    const qint64 rowsBefore = w.store().DataRowCount();
    QListWidget& status = *w.settingsControls().ListBox1;
    const int firstLine = status.count();

    w.logger->clearRequests();
    if (faultCase.kind == TFaultKind::PullOut)
        w.backend->pullBeforeRequest(faultCase.exchange);
    else
        w.logger->setFault(LoggerFault(faultCase.kind), int(faultCase.exchange));
    QElapsedTimer wall;
    wall.start();
    faultCase.action.run(w);
    w.finishRequests();
    QCoreApplication::processEvents();
    expect(wall.elapsed() < 5000, QStringLiteral("the action took %1 ms").arg(wall.elapsed()));
    expect(w.logger->requests().size() <= clean.requests,
           QStringLiteral("%1 requests, more than the %2 of a clean run")
               .arg(w.logger->requests().size())
               .arg(clean.requests));

    expect(ErrorLines(status, firstLine) == 1,
           QStringLiteral("%1 error lines instead of one").arg(ErrorLines(status, firstLine)));
    const QStringList fieldsAfter = FieldValues(w);
    for (qsizetype i = 0; i < fieldsAfter.size(); ++i)
        expect(fieldsAfter[i] == fieldsBefore.value(i),
               QStringLiteral("field changed by a failed action: %1 -> %2").arg(fieldsBefore.value(i), fieldsAfter[i]));
    const QByteArray storeAfter = StoreFingerprint(w.store(), w.sources());
    expect(storeAfter == storeBefore || storeAfter == clean.store,
           QStringLiteral("the store holds neither load whole (%1 rows, %2 before)")
               .arg(w.store().DataRowCount())
               .arg(rowsBefore));

    // The next question, still on the same handle, gets its own answer, not
    // a late one to the failed question.
    w.logger->setFault(SimulatedLogger::Fault::None);
    w.backend->pullBeforeRequest(std::nullopt);
    if (faultCase.kind != TFaultKind::PullOut && w.windows->connection_->deviceOpen()) {
        const QString number = QString::number(w.logger->registerValue(RegDeviceNumber));
        w.settingsControls().GeneralPage->ButtonDeviceNumberReadClick();
        w.finishRequests();
        expect(w.settingsControls().GeneralPage->EditDeviceNumber->text() == number,
               QStringLiteral("the next read shows %1 instead of the device number %2")
                   .arg(w.settingsControls().GeneralPage->EditDeviceNumber->text(), number));
    }

    // The next detection tick sees the logger as it now is.
    w.detect();
    const bool plugged = faultCase.kind != TFaultKind::PullOut;
    expect(w.windows->connection_->deviceOpen() == plugged, QStringLiteral("the link is open: %1").arg(!plugged));
    expect(w.settingsControls().GeneralPage->ButtonDeviceNumberRead->isEnabled() == plugged,
           QStringLiteral("device controls enabled: %1").arg(!plugged));
    expect(w.monitorControls().ButtonStartMon->isEnabled() == plugged,
           QStringLiteral("start button enabled: %1").arg(!plugged));
    if (plugged) {
        // The logger answers again, and the window acts on that at once.
        const int before = status.count();
        TGeneralPage& page = *w.settingsControls().GeneralPage;
        expect(ActionWentThrough(page, [&page] { page.ButtonDeviceNumberReadClick(); })
                   && ErrorLines(status, before) == 0,
               QStringLiteral("the logger is not usable again after the fault"));
    }
    return problems;
}

} // namespace

// Every action that talks to the logger, with every kind of fault striking at
// every one of its exchanges.
class FaultInjectionTest : public QObject {
    Q_OBJECT

private slots:
    void everyFaultAtEveryExchangeFailsCleanly();
};

void FaultInjectionTest::everyFaultAtEveryExchangeFailsCleanly()
{
    QList<TFaultCase> cases;
    QHash<QString, TOutcome> clean;
    for (const TAction& action : Actions()) {
        clean.insert(QString::fromUtf8(action.name), CleanRun(action));
        const qsizetype exchanges = clean[QString::fromUtf8(action.name)].requests;
        QVERIFY2(exchanges > 0, action.name);
        for (TFaultKind kind :
             {TFaultKind::NoReply, TFaultKind::GarbledReply, TFaultKind::LateReply, TFaultKind::PullOut})
            for (qsizetype exchange = 0; exchange < exchanges; ++exchange)
                cases.append({action, kind, exchange});
    }

    QStringList failures;
    for (const TFaultCase& faultCase : cases) {
        for (const QString& problem : RunCase(faultCase, clean[QString::fromUtf8(faultCase.action.name)]))
            failures << faultCase.name() + QStringLiteral(": ") + problem;
    }
    qInfo("%lld fault cases", qlonglong(cases.size()));
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

KORVI_QTEST_MAIN(FaultInjectionTest)
#include "FaultInjectionTest.moc"
