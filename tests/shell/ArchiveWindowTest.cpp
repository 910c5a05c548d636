#include "KorviTestMain.h"

#include "ArchiveEngines.h"
#include "SimulatedWindows.h"

#include "archive/ArchiveBackup.h"
#include "archive/TArchiveKeeper.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "shell/TArchiveWindow.h"
#include "shell/TTrailWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

namespace {

const QString First = QStringLiteral("2400001");
const QString Second = QStringLiteral("2400002");
const QString Waiting = QStringLiteral("…");

// How often a 20 ms timer fired while the event loop turned for `ms`:
// nearly every time, unless something held the window's thread.
int TicksWithin(int ms)
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(20);
    QTest::qWait(ms);
    return ticks;
}

// A TCP port on this host that takes connections and never says a word, as
// a server that hangs before it answers; 0 when none could be had.
class SilentListener
{
public:
    SilentListener()
        : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (socket_ >= 0 && ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
            && ::listen(socket_, 8) == 0
            && ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~SilentListener()
    {
        if (socket_ >= 0)
            ::close(socket_);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    int port() const { return port_; }

private:
    int socket_;
    int port_ = 0;
};

} // namespace

// "Архив..." on real widgets: the list and its filters, and opening, saving
// and deleting an entry, on both engines; the window answers while the
// archive or the target of a copy keeps it waiting.
class ArchiveWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { AddArchiveEngineRows(); }
    void init();
    void cleanup();

    void entriesAreListedNewestFirstAndFilteredByDeviceAndPeriod();
    void anEntryOpensInTheDataViewerUnderItsLabel();
    void aDamagedEntryIsRefused();
    void aCopyIsSavedAsTheLogsRecords();
    void deletionAsksNamingTheLoggerAndPeriod();
    void aConfirmedDeletionIsMadeThoughTheWindowCloses();
    void whileAPageIsReadTheWindowSaysSoAndOnlyTheLastFilterIsListed();
    void aCopyIntoAPipeWaitsForItsReaderAndCanBeCancelled();
    void theWindowAnswersWhileItsServerDoesNot();
    void aServerThatNeverAnswersLeavesTheWindowAnswering();
    void aBackupIsWrittenBesideTheWindowAndSaidInItsStatusLine();
    void theArchiveIsCheckedEachTimeTheWindowOpens();
    void theTrailOpensFromItsButton();

private:
    QStringList column(int section) const;
    void choose(int row);
    qint64 idOf(int row) const;
    std::vector<TArchiveEventKind> eventKinds(qint64 entryId);
    QLabel* status() const { return control<QLabel>("ArchiveStatus"); }
    // Lets the page asked for come; false when it did not in time.
    bool waitForList() const
    {
        return QTest::qWaitFor([this] { return status()->text() != Waiting; }, 15000);
    }
    template <typename T>
    T* control(const char* name) const
    {
        T* found = window->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s in the archive window", name);
        return found;
    }

    std::unique_ptr<ScratchArchive> scratch;
    std::unique_ptr<SimulatedWindows> simulation;
    TArchiveWindow* window = nullptr;
    std::map<qint64, QByteArray> logs; // what each entry holds
};

// Six short logs, one a week from 1 March 2024, of two loggers in turn:
// listed newest first, the second logger's of 5 April comes first.
void ArchiveWindowTest::init()
{
    QFETCH_GLOBAL(TArchiveLocation::Engine, engine);
    scratch = std::make_unique<ScratchArchive>(engine);
    if (!scratch->unavailable().isEmpty())
        QSKIP(qPrintable(scratch->unavailable()));
    {
        std::unique_ptr<TArchive> archive = scratch->open();
        QVERIFY(archive);
        for (int week = 0; week < 6; ++week) {
            const QByteArray raw = LogGenerator(quint32(week + 1))
                                       .generate(50, TLogShape::Typical,
                                                 QDateTime(QDate(2024, 3, 1).addDays(7 * week), QTime(8, 0)));
            QString error;
            const std::optional<TStoredLog> stored =
                archive->store(week % 2 == 0 ? First : Second, raw, QString(), TArchiveStamp::now(), &error);
            QVERIFY2(stored, qPrintable(error));
            logs[stored->entryId] = raw;
        }
    }
    simulation = std::make_unique<SimulatedWindows>(QByteArray(160, '\0'), QString(), scratch->location());
    simulation->windows->archiveItem->trigger();
    window = simulation->windows->formArchive_.get();
    QVERIFY(window->isVisible());
    QVERIFY(waitForList());
}

void ArchiveWindowTest::cleanup()
{
    simulation.reset();
    scratch.reset();
    logs.clear();
}

QStringList ArchiveWindowTest::column(int section) const
{
    const QAbstractItemModel* model = control<QTableView>("EntryList")->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, section).data().toString();
    return texts;
}

void ArchiveWindowTest::choose(int row)
{
    auto* list = control<QTableView>("EntryList");
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

qint64 ArchiveWindowTest::idOf(int row) const
{
    // Entries are listed newest first, and the newest has the largest id.
    std::vector<qint64> ids;
    for (const auto& [id, raw] : logs)
        ids.push_back(id);
    return ids[ids.size() - 1 - size_t(row)];
}

std::vector<TArchiveEventKind> ArchiveWindowTest::eventKinds(qint64 entryId)
{
    std::unique_ptr<TArchive> archive = scratch->open();
    QString error;
    std::vector<TArchiveEventKind> kinds;
    for (const TArchiveEvent& event : archive->events(entryId, &error))
        kinds.push_back(event.kind);
    return kinds;
}

void ArchiveWindowTest::entriesAreListedNewestFirstAndFilteredByDeviceAndPeriod()
{
    QCOMPARE(column(0), QStringList({Second, First, Second, First, Second, First}));
    QVERIFY(column(1).constFirst().startsWith(QStringLiteral("05.04.2024")));
    for (const char* name : {"ButtonOpen", "ButtonSaveCopy", "ButtonDelete"})
        QVERIFY2(!control<QPushButton>(name)->isEnabled(), name);

    auto* device = control<QComboBox>("DeviceFilter");
    QCOMPARE(device->count(), 3);
    QCOMPARE(device->itemText(0), QStringLiteral("Все приборы"));
    device->setCurrentIndex(device->findText(First));
    QVERIFY(waitForList());
    QCOMPARE(column(0), QStringList({First, First, First}));

    // Of the logs of 15 and 22 March, both within 14 to 22 March, the first logger's.
    control<QCheckBox>("PeriodFilter")->click();
    control<QDateEdit>("PeriodFrom")->setDate(QDate(2024, 3, 14));
    control<QDateEdit>("PeriodTo")->setDate(QDate(2024, 3, 22));
    QVERIFY(waitForList());
    QCOMPARE(column(0), QStringList({First}));
    QVERIFY(column(1).constFirst().startsWith(QStringLiteral("15.03.2024")));
    device->setCurrentIndex(0);
    QVERIFY(waitForList());
    QCOMPARE(column(0), QStringList({Second, First}));
    control<QDateEdit>("PeriodFrom")->setDate(QDate(2025, 1, 1));
    control<QDateEdit>("PeriodTo")->setDate(QDate(2025, 2, 1));
    QVERIFY(waitForList());
    QCOMPARE(column(0), QStringList());
    QCOMPARE(control<QLabel>("ArchiveStatus")->text(), QStringLiteral("Нет журналов, подходящих под отбор"));
    control<QCheckBox>("PeriodFilter")->click();
    QVERIFY(waitForList());
    QCOMPARE(column(0).size(), 6);
}

void ArchiveWindowTest::anEntryOpensInTheDataViewerUnderItsLabel()
{
    TFormMain& viewer = *simulation->windows->formMain_;
    QSignalSpy kept(simulation->windows->archive_.get(), &TArchiveKeeper::kept);
    choose(1);
    QVERIFY(control<QPushButton>("ButtonOpen")->isEnabled());
    QTest::mouseClick(control<QPushButton>("ButtonOpen"), Qt::LeftButton);
    QVERIFY(!control<QPushButton>("ButtonOpen")->isEnabled()); // while the records are read
    // The viewer comes to the front as its load starts.
    QTRY_VERIFY_WITH_TIMEOUT(viewer.isVisible(), 15000);
    QVERIFY(finishBackgroundJob(viewer));

    QVERIFY(simulation->dialogs->errors.isEmpty());
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Регистратор данных - ") + First);
    QCOMPARE(viewer.openedFile(), First);
    const std::unique_ptr<TArchive> archive = scratch->open();
    QString error;
    QCOMPARE(viewer.store().DataRowCount(), archive->entry(idOf(1), &error)->summary.rowCount);
    QCOMPARE(eventKinds(idOf(1)), std::vector<TArchiveEventKind>({TArchiveEventKind::Download,
                                                                  TArchiveEventKind::Open}));
    // Opened from the archive, it is not archived again.
    QTest::qWait(100);
    QCOMPARE(kept.size(), 0);
}

void ArchiveWindowTest::aDamagedEntryIsRefused()
{
    {
        QByteArray changed = logs[idOf(0)];
        changed[20] = char(changed[20] ^ 0x01);
        DirectConnection direct(scratch->location());
        QVERIFY(direct.allowRecordChanges());
        QVERIFY(direct.exec(QStringLiteral("UPDATE archive_raw_records SET data = ? WHERE entry_id = ?"),
                            {PackLog(changed).compressed, idOf(0)}));
    }
    TFormMain& viewer = *simulation->windows->formMain_;
    const QString title = viewer.windowTitle();
    choose(0);
    QTest::mouseClick(control<QPushButton>("ButtonOpen"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(simulation->dialogs->errors.size(), 1, 15000);
    const QString message = simulation->dialogs->errors.constFirst();
    QVERIFY2(message.contains(QStringLiteral("повреждена")) && message.contains(QStringLiteral("SHA-256")),
             qPrintable(message));
    QCOMPARE(viewer.windowTitle(), title);
    QCOMPARE(viewer.store().DataRowCount(), 0);
    // The refusal is in the entry's trail, in the words the user read; so is a refused copy.
    QCOMPARE(eventKinds(idOf(0)), std::vector<TArchiveEventKind>({TArchiveEventKind::Download,
                                                                  TArchiveEventKind::IntegrityFailure}));
    QString error;
    QCOMPARE(scratch->open()->events(idOf(0), &error).back().detail, message);
    QTest::mouseClick(control<QPushButton>("ButtonSaveCopy"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(simulation->dialogs->errors.size(), 2, 15000);
    QVERIFY(simulation->dialogs->proposedNames.isEmpty());
    QCOMPARE(eventKinds(idOf(0)),
             std::vector<TArchiveEventKind>({TArchiveEventKind::Download, TArchiveEventKind::IntegrityFailure,
                                             TArchiveEventKind::IntegrityFailure}));
}

void ArchiveWindowTest::aCopyIsSavedAsTheLogsRecords()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("копия.log"));
    choose(2);

    // Into a folder that is not there: refused, and nothing is noted.
    simulation->dialogs->answers = {folder.filePath(QStringLiteral("нет/копия.log"))};
    QTest::mouseClick(control<QPushButton>("ButtonSaveCopy"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(simulation->dialogs->errors.size(), 1, 15000);
    QVERIFY(simulation->dialogs->errors.takeFirst().startsWith(QStringLiteral("Не удалось записать")));
    QCOMPARE(eventKinds(idOf(2)), std::vector<TArchiveEventKind>({TArchiveEventKind::Download}));

    simulation->dialogs->answers = {path};
    QTest::mouseClick(control<QPushButton>("ButtonSaveCopy"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(status()->text().startsWith(QStringLiteral("Сохранено")) ||
                                 !simulation->dialogs->errors.isEmpty(), 15000);
    QVERIFY2(simulation->dialogs->errors.isEmpty(), qPrintable(simulation->dialogs->errors.join('\n')));
    QCOMPARE(simulation->dialogs->proposedNames.constLast(), Second + QStringLiteral("_2024-03-22_2024-03-22.log"));
    QFile copy(path);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), logs[idOf(2)]);
    QCOMPARE(eventKinds(idOf(2)), std::vector<TArchiveEventKind>({TArchiveEventKind::Download,
                                                                  TArchiveEventKind::Export}));
    QVERIFY(control<QLabel>("ArchiveStatus")->text().contains(QDir::toNativeSeparators(path)));
}

void ArchiveWindowTest::deletionAsksNamingTheLoggerAndPeriod()
{
    const QString period = column(1)[3];
    choose(3);
    simulation->dialogs->confirms = false;
    QTest::mouseClick(control<QPushButton>("ButtonDelete"), Qt::LeftButton);
    QCOMPARE(simulation->dialogs->questions.size(), 1);
    const QString question = simulation->dialogs->questions.constFirst();
    QVERIFY2(question.contains(First) && question.contains(period), qPrintable(question));
    QCOMPARE(column(0).size(), 6);

    simulation->dialogs->confirms = true;
    QTest::mouseClick(control<QPushButton>("ButtonDelete"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(status()->text().startsWith(QStringLiteral("Удалён журнал")) ||
                                 !simulation->dialogs->errors.isEmpty(), 15000);
    QVERIFY(simulation->dialogs->errors.isEmpty());
    QVERIFY2(status()->text().contains(First) && status()->text().contains(period), qPrintable(status()->text()));
    QCOMPARE(column(0), QStringList({Second, First, Second, Second, First}));
    QVERIFY(!column(1).contains(period));
    QCOMPARE(eventKinds(idOf(3)), std::vector<TArchiveEventKind>({TArchiveEventKind::Download,
                                                                  TArchiveEventKind::Deletion}));
}

// Closing the window drops what it waits for, but not a deletion the user
// confirmed: that is made all the same.
void ArchiveWindowTest::aConfirmedDeletionIsMadeThoughTheWindowCloses()
{
    choose(1);
    simulation->dialogs->confirms = true;
    QTest::mouseClick(control<QPushButton>("ButtonDelete"), Qt::LeftButton);
    window->close();
    QTRY_COMPARE_WITH_TIMEOUT(eventKinds(idOf(1)), std::vector<TArchiveEventKind>({TArchiveEventKind::Download,
                                                                                  TArchiveEventKind::Deletion}),
                              15000);
    simulation->windows->archiveItem->trigger();
    QVERIFY(waitForList());
    QCOMPARE(column(0), QStringList({Second, Second, First, Second, First}));
    QVERIFY(simulation->dialogs->errors.isEmpty());
}

// Shown afresh, the window says "…" with its buttons greyed until the page
// comes; filters changed before a page came list only the last one's entries.
void ArchiveWindowTest::whileAPageIsReadTheWindowSaysSoAndOnlyTheLastFilterIsListed()
{
    window->close();
    simulation->windows->archiveItem->trigger();
    QCOMPARE(status()->text(), Waiting);
    QCOMPARE(column(0), QStringList());
    for (const char* name : {"ButtonOpen", "ButtonSaveCopy", "ButtonDelete"})
        QVERIFY2(!control<QPushButton>(name)->isEnabled(), name);
    QVERIFY(waitForList());
    QCOMPARE(column(0).size(), 6);

    std::vector<QStringList> listed;
    QObject listening;
    connect(control<QTableView>("EntryList")->model(), &QAbstractItemModel::rowsInserted, &listening,
            [this, &listed] { listed.push_back(column(0)); });
    auto* device = control<QComboBox>("DeviceFilter");
    device->setCurrentIndex(device->findText(First));
    control<QCheckBox>("PeriodFilter")->click();
    control<QDateEdit>("PeriodFrom")->setDate(QDate(2024, 3, 14));
    control<QDateEdit>("PeriodTo")->setDate(QDate(2024, 3, 22));
    device->setCurrentIndex(device->findText(Second));
    QCOMPARE(status()->text(), Waiting);
    QVERIFY(waitForList());
    QCOMPARE(column(0), QStringList({Second}));
    QVERIFY(column(1).constFirst().startsWith(QStringLiteral("22.03.2024")));
    QTest::qWait(200); // no page of an earlier filter comes late
    QCOMPARE(listed, std::vector<QStringList>({{Second}}));
    QCOMPARE(status()->text(), QStringLiteral("Архив: ") + scratch->location().displayName());
}

// A copy into a pipe nobody reads waits on the window's job with its
// progress and "Отмена", the window listing meanwhile; cancelled, nothing is
// noted. Read, the pipe gets the log's records whole and the copy is noted.
void ArchiveWindowTest::aCopyIntoAPipeWaitsForItsReaderAndCanBeCancelled()
{
    QTemporaryDir folder;
    const QString fifo = folder.filePath(QStringLiteral("копия.log"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    auto* cancel = control<QPushButton>("ButtonCopyCancel");
    QVERIFY(!cancel->isVisible());
    choose(2);
    simulation->dialogs->answers = {fifo};
    QTest::mouseClick(control<QPushButton>("ButtonSaveCopy"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(cancel->isVisible(), 15000);
    QVERIFY(control<QProgressBar>("CopyProgress")->isVisible());
    QVERIFY(!control<QPushButton>("ButtonSaveCopy")->isEnabled());

    QVERIFY(TicksWithin(500) >= 12);
    QVERIFY(cancel->isVisible());
    auto* device = control<QComboBox>("DeviceFilter");
    device->setCurrentIndex(device->findText(First));
    QVERIFY(waitForList());
    QCOMPARE(column(0), QStringList({First, First, First}));
    QVERIFY(cancel->isVisible());

    QTest::mouseClick(cancel, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!cancel->isVisible(), 5000);
    QVERIFY(!control<QProgressBar>("CopyProgress")->isVisible());
    QCOMPARE(status()->text(), QStringLiteral("Запись отменена: ") + QDir::toNativeSeparators(fifo));
    QVERIFY2(simulation->dialogs->errors.isEmpty(), qPrintable(simulation->dialogs->errors.join('\n')));
    QCOMPARE(eventKinds(idOf(2)), std::vector<TArchiveEventKind>({TArchiveEventKind::Download}));

    // The first logger's list shows its log of 15 March second.
    choose(1);
    const qint64 copied = idOf(3);
    QByteArray read;
    std::thread reader([&fifo, &read] {
        QFile pipe(fifo);
        if (pipe.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            read = pipe.readAll();
    });
    simulation->dialogs->answers = {fifo};
    QTest::mouseClick(control<QPushButton>("ButtonSaveCopy"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(status()->text().startsWith(QStringLiteral("Сохранено")) ||
                                 !simulation->dialogs->errors.isEmpty(), 15000);
    reader.join();
    QVERIFY2(simulation->dialogs->errors.isEmpty(), qPrintable(simulation->dialogs->errors.join('\n')));
    QCOMPARE(read, logs[copied]);
    QCOMPARE(eventKinds(copied), std::vector<TArchiveEventKind>({TArchiveEventKind::Download,
                                                                 TArchiveEventKind::Export}));
}

// The window's server process stops answering in the middle of the list:
// the window says "…" and goes on answering; closed, it drops that query
// and lists over a new connection when shown again; the windows going
// while the next one is held end at once.
void ArchiveWindowTest::theWindowAnswersWhileItsServerDoesNot()
{
    QFETCH_GLOBAL(TArchiveLocation::Engine, engine);
    if (engine != TArchiveLocation::Engine::Postgresql)
        QSKIP("SQLite's WAL lets a read through whatever another connection holds");
    // The window's connection: the keeper's has stored nothing, and so ran no prepared statement.
    const QString listing = QStringLiteral("query LIKE 'DEALLOCATE%'");
    qint64 firstPid = 0;
    {
        const StoppedBackend stopped(scratch->location(), listing);
        firstPid = stopped.pid();
        QVERIFY(firstPid != 0);
        auto* device = control<QComboBox>("DeviceFilter");
        device->setCurrentIndex(device->findText(First));
        QCOMPARE(status()->text(), Waiting);
        QVERIFY(TicksWithin(1000) >= 25);
        auto* period = control<QCheckBox>("PeriodFilter");
        period->click();
        QVERIFY(control<QDateEdit>("PeriodFrom")->isEnabled());
        period->click();
        QVERIFY(!control<QDateEdit>("PeriodFrom")->isEnabled());
        QVERIFY(TicksWithin(500) >= 12);
        QCOMPARE(status()->text(), Waiting);
        QCOMPARE(column(0), QStringList());

        window->close();
        simulation->windows->archiveItem->trigger();
        QVERIFY(waitForList());
        QCOMPARE(column(0), QStringList({First, First, First}));
        QVERIFY(simulation->dialogs->errors.isEmpty());
    }
    const StoppedBackend stopped(scratch->location(), listing + QStringLiteral(" AND pid <> %1").arg(firstPid));
    QVERIFY(stopped.pid() != 0);
    control<QComboBox>("DeviceFilter")->setCurrentIndex(0);
    QCOMPARE(status()->text(), Waiting);
    QTest::qWait(200);
    QElapsedTimer ending;
    ending.start();
    simulation.reset();
    QVERIFY2(ending.elapsed() < 1000, qPrintable(QString::number(ending.elapsed())));
}

// A server that takes the connection and never answers: the window says
// "…" and answers meanwhile, and then why the archive cannot be read.
void ArchiveWindowTest::aServerThatNeverAnswersLeavesTheWindowAnswering()
{
    QFETCH_GLOBAL(TArchiveLocation::Engine, engine);
    if (engine != TArchiveLocation::Engine::Sqlite)
        QSKIP("needs no archive of either engine: run once");
    const SilentListener listener;
    QVERIFY(listener.port() != 0);
    QString error;
    const std::optional<TArchiveLocation> silent =
        TArchiveLocation::fromUrl(QStringLiteral("postgresql://korvi@127.0.0.1:%1/archive").arg(listener.port()), &error);
    QVERIFY2(silent, qPrintable(error));
    simulation = std::make_unique<SimulatedWindows>(QByteArray(160, '\0'), QString(), silent);
    simulation->windows->archiveItem->trigger();
    window = simulation->windows->formArchive_.get();
    QCOMPARE(status()->text(), Waiting);
    QVERIFY(TicksWithin(1000) >= 25);
    control<QCheckBox>("PeriodFilter")->click();
    QVERIFY(control<QDateEdit>("PeriodFrom")->isEnabled());
    QCOMPARE(status()->text(), Waiting);
    QTRY_VERIFY_WITH_TIMEOUT(status()->text().startsWith(QStringLiteral("Нет связи с сервером архива")), 15000);
}

// The copy is written on the session's thread: the click returns with the
// window saying it is being written, and the result comes to the status
// line. A PostgreSQL archive asks for no file and names pg_dump.
void ArchiveWindowTest::aBackupIsWrittenBesideTheWindowAndSaidInItsStatusLine()
{
    QFETCH_GLOBAL(TArchiveLocation::Engine, engine);
    auto* backup = control<QPushButton>("ButtonBackup");
    QCOMPARE(backup->text(), QStringLiteral("Резервная копия..."));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("копия.sqlite"));
    simulation->dialogs->answers = {path};
    QTest::mouseClick(backup, Qt::LeftButton);
    if (engine == TArchiveLocation::Engine::Postgresql) {
        QVERIFY(simulation->dialogs->proposedNames.isEmpty());
        QCOMPARE(status()->text(), ArchiveBackupRefusal(scratch->location()));
        QVERIFY(status()->text().contains(QStringLiteral("pg_dump")));
        return;
    }
    QCOMPARE(simulation->dialogs->proposedNames.constLast(),
             QStringLiteral("archive_%1.sqlite").arg(QDate::currentDate().toString(Qt::ISODate)));
    QCOMPARE(status()->text(), QStringLiteral("Запись резервной копии %1...").arg(path));
    QVERIFY(!backup->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(status()->text(), ArchiveBackupSavedText(path, 6), 15000);
    QVERIFY(backup->isEnabled());
    QVERIFY2(simulation->dialogs->errors.isEmpty(), qPrintable(simulation->dialogs->errors.join('\n')));
    TArchiveLocation copyLocation;
    copyLocation.database = path;
    QString error;
    const std::unique_ptr<TArchive> copy = TArchive::open(copyLocation, &error);
    QVERIFY2(copy, qPrintable(error));
    QCOMPARE(copy->entries({}, &error).size(), size_t(6));

    // Into a folder that is not there: the reason, in the status line and a message.
    const QString nowhere = folder.filePath(QStringLiteral("нет/копия.sqlite"));
    simulation->dialogs->answers = {nowhere};
    QTest::mouseClick(backup, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(simulation->dialogs->errors.size(), 1, 15000);
    const QString refused =
        QStringLiteral("Резервная копия архива не сохранена в %1: папка не существует").arg(nowhere);
    QCOMPARE(simulation->dialogs->errors.constFirst(), refused);
    QCOMPARE(status()->text(), refused);
}

// Once the list shows, the whole archive is checked on the window's session
// and the status line says what was found; a rewritten event, in red.
void ArchiveWindowTest::theArchiveIsCheckedEachTimeTheWindowOpens()
{
    auto* check = control<QLabel>("ArchiveCheck");
    QTRY_COMPARE_WITH_TIMEOUT(check->text(), QStringLiteral("Архив проверен: 6 журналов, 6 событий"), 15000);
    const QColor normal = check->palette().color(QPalette::WindowText);
    QVERIFY(normal != QColor(Qt::red));
    {
        DirectConnection direct(scratch->location());
        QVERIFY(direct.allowAnyChange());
        QVERIFY(direct.exec(QStringLiteral("UPDATE archive_events SET user_name = 'someone' WHERE entry_id = ?"),
                            {idOf(2)}));
    }
    window->close();
    simulation->windows->archiveItem->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(check->text().startsWith(QStringLiteral("Архив изменён: событие ")), 15000);
    QCOMPARE(check->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY2(!check->text().contains('\n'), qPrintable(check->text()));
}

void ArchiveWindowTest::theTrailOpensFromItsButton()
{
    QTest::mouseClick(control<QPushButton>("ButtonTrail"), Qt::LeftButton);
    auto* trail = window->findChild<TTrailWindow*>();
    QVERIFY(trail);
    QVERIFY(trail->isVisible());
    QCOMPARE(trail->windowTitle(), QStringLiteral("Журнал событий"));
    const QAbstractItemModel* events = trail->findChild<QTableView*>(QStringLiteral("EventList"))->model();
    QTRY_COMPARE_WITH_TIMEOUT(events->rowCount(), 6, 15000);
}

KORVI_QTEST_MAIN(ArchiveWindowTest)
#include "ArchiveWindowTest.moc"
