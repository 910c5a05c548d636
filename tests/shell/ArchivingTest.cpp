#include "KorviTestMain.h"

#include "ArchiveEngines.h"
#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "ViewerControls.h"
#include "settings/EraseQuestion.h"

#include "archive/TArchiveKeeper.h"
#include "archive/TArchiveQueue.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "shell/TArchiveWindow.h"
#include "shell/TLogFileActions.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QLabel>
#include <QSignalSpy>

// Every log the program reads is kept in the archive on the keeper's thread,
// once; an archive that cannot be opened leaves the program usable and says why.
class ArchivingTest : public QObject {
    Q_OBJECT

private slots:
    void loadsFromTheDriveAndFromFilesAreArchivedOnce_data() { AddArchiveEngineRows(); }
    void loadsFromTheDriveAndFromFilesAreArchivedOnce();
    void logsStillQueuedAreStoredBeforeTheProgramEnds();
    void notesGoToTheEntryOfTheLogQueuedBefore();
    void logsAStoppedServerHoldsAreNamedWhenTheProgramEnds();
    void theLogAfterAServerStoppedAnsweringGoesOverANewConnection();
    void aConnectionTheServerEndedIsOpenedAnewForTheLog_data();
    void aConnectionTheServerEndedIsOpenedAnewForTheLog();
    void logsAndNotesWaitingOnDiskAreStoredAtTheNextStart();
    void waitingLogsAreStoredWithoutANewLoadOnceTheArchiveTakesThem();
    void aDamagedQueueFileIsSetAsideOnce_data();
    void aDamagedQueueFileIsSetAsideOnce();
    void theViewerSaysHowManyLogsWaitUntilTheyAreStored();
    void anArchiveThatCannotBeOpenedLeavesTheProgramUsable_data();
    void anArchiveThatCannotBeOpenedLeavesTheProgramUsable();
    void anArchiveThatCannotBeChosenIsToldAndItsMenuItemGreyed();
    void eraseQuestionTellsWhetherTheLoggersLogIsArchived_data() { AddArchiveEngineRows(); }
    void eraseQuestionTellsWhetherTheLoggersLogIsArchived();

private:
    // The SQLite archive's file made read-only, or writable again.
    static bool setWritable(const QString& file, bool writable)
    {
        const QFile::Permissions read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        return QFile::setPermissions(file, writable ? read | QFile::WriteOwner : read);
    }
    static QByteArray makeLog(quint32 seed, qint64 records)
    {
        return LogGenerator(seed).generate(records, TLogShape::Typical, QDateTime(QDate(2024, 3, 1), QTime(7, 30)));
    }
};

namespace {

std::vector<TArchiveEntry> entriesOf(ScratchArchive& scratch)
{
    std::unique_ptr<TArchive> archive = scratch.open();
    QString error;
    std::vector<TArchiveEntry> entries = archive ? archive->entries({}, &error) : std::vector<TArchiveEntry>();
    if (!error.isEmpty())
        qWarning().noquote() << error;
    return entries;
}

std::vector<TArchiveEvent> eventsOf(ScratchArchive& scratch, qint64 entryId)
{
    std::unique_ptr<TArchive> archive = scratch.open();
    QString error;
    return archive ? archive->events(entryId, &error) : std::vector<TArchiveEvent>();
}

} // namespace

void ArchivingTest::loadsFromTheDriveAndFromFilesAreArchivedOnce()
{
    KORVI_SCRATCH_ARCHIVE(scratch);
    const QByteArray log = makeLog(3, 300);
    SimulatedWindows simulation(log, {}, scratch->location());
    QSignalSpy kept(simulation.windows->archive_.get(), &TArchiveKeeper::kept);

    // The logger's drive, twice: the second load of the same bytes adds only an event.
    TFormMain& viewer = simulation.loadIntoShownViewer();
    QVERIFY(kept.wait(10000));
    QCOMPARE(kept.takeFirst().at(1).toBool(), true);
    viewer.BeginLoad();
    viewer.TimerLoadTimer();
    QVERIFY(finishBackgroundJob(viewer));
    QVERIFY(kept.wait(10000));
    QCOMPARE(kept.takeFirst().at(1).toBool(), false);

    // A saved log opened from a file, under its file name.
    const QString file = simulation.drive.filePath(QStringLiteral("склад.log"));
    QFile copy(file);
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.write(makeLog(4, 200));
    copy.close();
    simulation.windows->logFiles_->openLog(file);
    QVERIFY(kept.wait(10000));
    QCOMPARE(kept.takeFirst().at(1).toBool(), true);

    const std::vector<TArchiveEntry> entries = entriesOf(*scratch);
    QCOMPARE(entries.size(), size_t(2));
    QCOMPARE(entries[0].label, QStringLiteral("склад.log"));
    QCOMPARE(entries[0].summary.recordCount, 200);
    QCOMPARE(entries[1].label, simulation.logger->volumeLabel());
    QCOMPARE(entries[1].summary.recordCount, 300);
    QCOMPARE(eventsOf(*scratch, entries[1].id).size(), size_t(2));
    QCOMPARE(eventsOf(*scratch, entries[0].id).size(), size_t(1));
    simulation.windows.reset(); // its connections before the database goes
}

void ArchivingTest::logsStillQueuedAreStoredBeforeTheProgramEnds()
{
    ScratchArchive scratch(TArchiveLocation::Engine::Sqlite);
    {
        TArchiveKeeper keeper(scratch.location());
        for (quint32 seed = 1; seed <= 3; ++seed)
            keeper.keep(QStringLiteral("2400123"), makeLog(seed, 2000), QString());
    }
    QCOMPARE(entriesOf(scratch).size(), size_t(3));
}

// A note of what was done with a log lands on its entry though the log was
// still queued when the note was made; one of a log never archived, or of a
// logger, stands under the label alone.
void ArchivingTest::notesGoToTheEntryOfTheLogQueuedBefore()
{
    ScratchArchive scratch(TArchiveLocation::Engine::Sqlite);
    const QByteArray archived = makeLog(1, 2000);
    {
        TArchiveKeeper keeper(scratch.location());
        keeper.keep(QStringLiteral("2400123"), archived, QString());
        keeper.noteLog(archived, QStringLiteral("2400123"), TArchiveEventKind::Export, QStringLiteral("xlsx a.xlsx"));
        keeper.noteLog(makeLog(2, 10), QStringLiteral("other.log"), TArchiveEventKind::Export, QStringLiteral("csv b"));
        keeper.noteLogger(QStringLiteral("2400123"), TArchiveEventKind::LoggerClock, QStringLiteral("10:00:00"));
        // What the archive refuses is told naming the log.
        QSignalSpy failed(&keeper, &TArchiveKeeper::failed);
        keeper.keep(QStringLiteral("blank.log"), QByteArray(64, '\0'), QString());
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 10000);
        const QString reason = failed.first().first().toString();
        QVERIFY2(reason.startsWith(QStringLiteral("Журнал blank.log не помещён в архив: ")), qPrintable(reason));
    }
    std::unique_ptr<TArchive> archive = scratch.open();
    QVERIFY(archive);
    QString error;
    const std::vector<TArchiveEvent> trail = archive->trail({}, &error);
    QCOMPARE(trail.size(), size_t(4));
    const qint64 entry = trail[3].entryId;
    QVERIFY(entry != 0);
    QCOMPARE(trail[2].entryId, entry);
    QCOMPARE(trail[2].detail, QStringLiteral("xlsx a.xlsx"));
    QCOMPARE(trail[1].entryId, 0);
    QCOMPARE(trail[1].label, QStringLiteral("other.log"));
    QCOMPARE(trail[0].kind, TArchiveEventKind::LoggerClock);
    QCOMPARE(trail[0].label, QStringLiteral("2400123"));
}

// The windows close while the server holds the load's log: the program waits
// the grace only, and says which log the archive did not get.
void ArchivingTest::logsAStoppedServerHoldsAreNamedWhenTheProgramEnds()
{
    ScratchArchive scratch(TArchiveLocation::Engine::Postgresql);
    if (!scratch.unavailable().isEmpty())
        QSKIP(qPrintable(scratch.unavailable()));
    SimulatedWindows simulation(makeLog(6, 300), {}, scratch.location());
    QSignalSpy opened(simulation.windows->archive_.get(), &TArchiveKeeper::opened);
    QVERIFY(opened.wait(10000));
    const StoppedBackend stopped(scratch.location()); // the keeper's
    QVERIFY(stopped.pid() != 0);
    simulation.loadIntoShownViewer();
    simulation.windows->formRead_->close();

    QElapsedTimer waited;
    waited.start();
    const QString unstored = simulation.windows->finishArchiving(std::chrono::milliseconds(500));
    QVERIFY2(waited.elapsed() < 2000, qPrintable(QString::number(waited.elapsed())));
    QCOMPARE(unstored, QStringLiteral("Ожидают сохранения в архиве: 1 журнал (%1); они будут сохранены при "
                                      "следующем запуске")
                           .arg(simulation.logger->volumeLabel()));
    QCOMPARE(TArchiveQueue::logsAmong(TArchiveQueue(TArchiveQueue::folderOf(scratch.location())).waiting()),
             qsizetype(1));
}

// The log a server process that stopped answering held waits, with the
// reason, and is stored over a connection of its own, as is the next one.
void ArchivingTest::theLogAfterAServerStoppedAnsweringGoesOverANewConnection()
{
    ScratchArchive scratch(TArchiveLocation::Engine::Postgresql);
    if (!scratch.unavailable().isEmpty())
        QSKIP(qPrintable(scratch.unavailable()));
    TArchiveLocation location = scratch.location();
    location.statementTimeoutMs = 1000;
    TArchiveKeeper keeper(location);
    QSignalSpy opened(&keeper, &TArchiveKeeper::opened);
    QSignalSpy failed(&keeper, &TArchiveKeeper::failed);
    QSignalSpy kept(&keeper, &TArchiveKeeper::kept);
    QSignalSpy waiting(&keeper, &TArchiveKeeper::waitingChanged);
    QVERIFY(opened.wait(10000));
    const StoppedBackend stopped(location); // the keeper's
    QVERIFY(stopped.pid() != 0);

    keeper.keep(QStringLiteral("2400123"), makeLog(7, 300), QString());
    QVERIFY(waiting.wait(5000));
    QCOMPARE(waiting.first().at(0).toInt(), 1);
    const QString reason = waiting.first().at(2).toString();
    QVERIFY2(reason.contains(QStringLiteral("не ответил за 1.5 с")), qPrintable(reason));
    QVERIFY(kept.wait(10000));
    keeper.keep(QStringLiteral("2400123"), makeLog(8, 300), QString());
    QTRY_COMPARE_WITH_TIMEOUT(kept.size(), 2, 10000);
    QCOMPARE(failed.size(), 0);
    QCOMPARE(waiting.last(), (QVariantList{0, 0, QString()}));
}

void ArchivingTest::aConnectionTheServerEndedIsOpenedAnewForTheLog_data()
{
    QTest::addColumn<bool>("restart");
    QTest::newRow("connection ended") << false;
    QTest::newRow("server restarted") << true;
}

// The server closes the keeper's connection between two loads: ended by its
// administrator, or all of them as the server restarts. The next log waits
// while the keeper connects anew, and is stored without another load.
void ArchivingTest::aConnectionTheServerEndedIsOpenedAnewForTheLog()
{
    QFETCH(bool, restart);
    const QByteArray restartCommand = qgetenv("KORVI_TEST_POSTGRESQL_RESTART");
    if (restart && restartCommand.isEmpty())
        QSKIP("KORVI_TEST_POSTGRESQL_RESTART is not set: a restart runs alone (shell_archiving_restart_tests)");
    ScratchArchive scratch(TArchiveLocation::Engine::Postgresql);
    if (!scratch.unavailable().isEmpty())
        QSKIP(qPrintable(scratch.unavailable()));
    TArchiveKeeper keeper(scratch.location());
    QSignalSpy kept(&keeper, &TArchiveKeeper::kept);
    QSignalSpy failed(&keeper, &TArchiveKeeper::failed);
    QSignalSpy waiting(&keeper, &TArchiveKeeper::waitingChanged);
    keeper.keep(QStringLiteral("2400123"), makeLog(1, 300), QString());
    QVERIFY(kept.wait(10000));

    if (restart) {
        QCOMPARE(QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromLocal8Bit(restartCommand)}),
                 0);
    } else {
        DirectConnection direct(scratch.location());
        QVERIFY(direct.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                           "WHERE datname = current_database() AND pid <> pg_backend_pid()")));
        QTRY_VERIFY_WITH_TIMEOUT(direct.exec(QStringLiteral("SELECT 1/(1 - count(*))::int FROM pg_stat_activity "
                                                            "WHERE datname = current_database() AND pid <> pg_backend_pid()")),
                                 5000);
    }
    keeper.keep(QStringLiteral("2400123"), makeLog(2, 300), QString());
    QTRY_COMPARE_WITH_TIMEOUT(kept.size(), 2, 10000);
    QCOMPARE(failed.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(waiting.size(), 2, 5000);
    QCOMPARE(waiting[0].at(0).toInt(), 1);
    QVERIFY2(waiting[0].at(2).toString().contains(QStringLiteral("закрыл соединение")), qPrintable(waiting[0].at(2).toString()));
    QCOMPARE(waiting[1], (QVariantList{0, 0, QString()}));
    QCOMPARE(entriesOf(scratch).size(), size_t(2));
}

// Two logs and a note made while the archive could not be written wait in
// files; the next run stores them first, in order, the note on its log.
void ArchivingTest::logsAndNotesWaitingOnDiskAreStoredAtTheNextStart()
{
    ScratchArchive scratch(TArchiveLocation::Engine::Sqlite);
    QVERIFY(scratch.open());
    const QString file = scratch.location().database;
    const TArchiveQueue queue(TArchiveQueue::folderOf(scratch.location()));
    const QByteArray first = makeLog(1, 300);
    QVERIFY(setWritable(file, false));
    {
        TArchiveKeeper keeper(scratch.location());
        QSignalSpy waiting(&keeper, &TArchiveKeeper::waitingChanged);
        keeper.keep(QStringLiteral("2400123"), first, QStringLiteral("/media/2400123/data.log"));
        keeper.keep(QStringLiteral("склад.log"), makeLog(2, 200), QStringLiteral("/home/склад.log"));
        keeper.noteLog(first, QStringLiteral("2400123"), TArchiveEventKind::Export, QStringLiteral("xlsx a.xlsx"));
        QTRY_COMPARE_WITH_TIMEOUT(waiting.size() ? waiting.last().mid(0, 2) : QVariantList(), (QVariantList{2, 1}), 5000);
        QVERIFY2(waiting.last().at(2).toString().contains(QStringLiteral("только для чтения")),
                 qPrintable(waiting.last().at(2).toString()));
    }
    QCOMPARE(queue.waiting().size(), 3);
    QCOMPARE(entriesOf(scratch).size(), size_t(0));

    QVERIFY(setWritable(file, true));
    {
        TArchiveKeeper keeper(scratch.location());
        QSignalSpy kept(&keeper, &TArchiveKeeper::kept);
        QTRY_COMPARE_WITH_TIMEOUT(kept.size(), 2, 10000);
    }
    QVERIFY(queue.waiting().isEmpty());
    const std::vector<TArchiveEntry> entries = entriesOf(scratch);
    QCOMPARE(entries.size(), size_t(2));
    QCOMPARE(entries[1].label, QStringLiteral("2400123")); // the older
    QCOMPARE(entries[0].label, QStringLiteral("склад.log"));
    const std::vector<TArchiveEvent> events = eventsOf(scratch, entries[1].id);
    QCOMPARE(events.size(), size_t(2));
    QCOMPARE(events[0].detail, QStringLiteral("/media/2400123/data.log"));
    QCOMPARE(events[1].kind, TArchiveEventKind::Export);
    QCOMPARE(events[1].detail, QStringLiteral("xlsx a.xlsx"));
}

void ArchivingTest::waitingLogsAreStoredWithoutANewLoadOnceTheArchiveTakesThem()
{
    ScratchArchive scratch(TArchiveLocation::Engine::Sqlite);
    QVERIFY(scratch.open());
    QVERIFY(setWritable(scratch.location().database, false));
    TArchiveKeeper keeper(scratch.location(), nullptr, std::chrono::milliseconds(100));
    QSignalSpy waiting(&keeper, &TArchiveKeeper::waitingChanged);
    QSignalSpy kept(&keeper, &TArchiveKeeper::kept);
    keeper.keep(QStringLiteral("2400123"), makeLog(1, 300), QString());
    QVERIFY(waiting.wait(5000));
    QCOMPARE(waiting.first().first().toInt(), 1);
    QTest::qWait(300); // tries that fail change nothing
    QCOMPARE(waiting.size(), 1);
    QCOMPARE(kept.size(), 0);

    QVERIFY(setWritable(scratch.location().database, true));
    QVERIFY(kept.wait(5000));
    QTRY_COMPARE_WITH_TIMEOUT(waiting.size(), 2, 5000);
    QCOMPARE(waiting.last(), (QVariantList{0, 0, QString()}));
}

void ArchivingTest::aDamagedQueueFileIsSetAsideOnce_data()
{
    QTest::addColumn<qsizetype>("keptBytes");
    QTest::addColumn<qsizetype>("flippedByte");
    QTest::newRow("a byte changed") << qsizetype(-1) << qsizetype(100);
    QTest::newRow("cut short") << qsizetype(60) << qsizetype(-1);
    QTest::newRow("empty") << qsizetype(0) << qsizetype(-1);
}

// A damaged file among those waiting is moved aside, told once, and the
// logs after it are stored.
void ArchivingTest::aDamagedQueueFileIsSetAsideOnce()
{
    QFETCH(qsizetype, keptBytes);
    QFETCH(qsizetype, flippedByte);
    ScratchArchive scratch(TArchiveLocation::Engine::Sqlite);
    TArchiveQueue queue(TArchiveQueue::folderOf(scratch.location()));
    QString error;
    for (quint32 seed = 1; seed <= 2; ++seed) {
        TQueuedItem item;
        item.label = QStringLiteral("log%1").arg(seed);
        item.raw = makeLog(seed, 200);
        QVERIFY2(queue.add(item, &error), qPrintable(error));
    }
    const QString damaged = queue.waiting().first();
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    if (flippedByte >= 0)
        bytes[flippedByte] = char(bytes[flippedByte] ^ 0x20);
    if (keptBytes >= 0)
        bytes.truncate(keptBytes);
    QVERIFY(file.resize(0) && file.write(bytes) == bytes.size());
    file.close();

    TArchiveKeeper keeper(scratch.location());
    QSignalSpy kept(&keeper, &TArchiveKeeper::kept);
    QSignalSpy failed(&keeper, &TArchiveKeeper::failed);
    QVERIFY(kept.wait(10000));
    QCOMPARE(kept.first().at(2).toString(), QStringLiteral("log2"));
    keeper.keep(QStringLiteral("log3"), makeLog(3, 200), QString());
    QVERIFY(kept.wait(10000));
    QCOMPARE(failed.size(), 1);
    const QString reason = failed.first().first().toString();
    QVERIFY2(reason.startsWith(QStringLiteral("Файл очереди архива %1 отложен: ").arg(damaged)), qPrintable(reason));
    QVERIFY(queue.waiting().isEmpty());
    QVERIFY(QFile::exists(QDir(queue.folder()).filePath(QStringLiteral("damaged/") + QFileInfo(damaged).fileName())));
    QCOMPARE(entriesOf(scratch).size(), size_t(2));
}

// While the archive cannot take them, the viewer's status line says how many
// logs wait, through later loads, and that they were stored once they are.
void ArchivingTest::theViewerSaysHowManyLogsWaitUntilTheyAreStored()
{
    ScratchArchive scratch(TArchiveLocation::Engine::Sqlite);
    QVERIFY(scratch.open());
    QVERIFY(setWritable(scratch.location().database, false));
    SimulatedWindows simulation(makeLog(9, 300), {}, scratch.location());
    const QLabel* statusLine = ViewerControls(*simulation.windows->formMain_).StatusLine;
    const QString waiting = QStringLiteral("Ожидают сохранения в архиве: %1 (Файл архива %2 доступен только для чтения; "
                                           "программа работает без архива)");
    const QString file = QDir::toNativeSeparators(scratch.location().database);

    TFormMain& viewer = simulation.loadIntoShownViewer();
    QTRY_COMPARE_WITH_TIMEOUT(statusLine->text(), waiting.arg(QStringLiteral("1 журнал"), file), 5000);
    viewer.BeginLoad();
    viewer.TimerLoadTimer();
    QVERIFY(finishBackgroundJob(viewer));
    QTRY_COMPARE_WITH_TIMEOUT(statusLine->text(), waiting.arg(QStringLiteral("2 журнала"), file), 5000);

    QVERIFY(setWritable(scratch.location().database, true));
    QSignalSpy kept(simulation.windows->archive_.get(), &TArchiveKeeper::kept);
    viewer.BeginLoad();
    viewer.TimerLoadTimer();
    QVERIFY(finishBackgroundJob(viewer));
    QTRY_COMPARE_WITH_TIMEOUT(statusLine->text(), QStringLiteral("Архив: сохранены ожидавшие журналы"), 10000);
    QCOMPARE(kept.size(), 3);
    simulation.windows.reset();
    QCOMPARE(entriesOf(scratch).size(), size_t(1)); // the same log each time
}

void ArchivingTest::anArchiveThatCannotBeOpenedLeavesTheProgramUsable_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only file") << QStringLiteral("readonly.sqlite") << QStringLiteral("только для чтения");
    QTest::newRow("damaged file") << QStringLiteral("damaged.sqlite") << QStringLiteral("повреждён");
    QTest::newRow("no server") << QStringLiteral("postgresql://korvi@127.0.0.1:1/archive")
                               << QStringLiteral("Нет связи с сервером архива");
}

void ArchivingTest::anArchiveThatCannotBeOpenedLeavesTheProgramUsable()
{
    QFETCH(QString, url);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    const QString file = folder.filePath(url);
    if (url == QLatin1String("readonly.sqlite")) {
        ScratchArchive scratch(TArchiveLocation::Engine::Sqlite);
        QVERIFY(scratch.open());
        QVERIFY(QFile::copy(scratch.location().database, file));
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    } else if (url == QLatin1String("damaged.sqlite")) {
        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(8192, 'x'));
    }
    QString error;
    const std::optional<TArchiveLocation> location =
        TArchiveLocation::fromUrl(url.startsWith(QLatin1String("postgresql")) ? url : file, &error);
    QVERIFY2(location, qPrintable(error));

    SimulatedWindows simulation(makeLog(5, 300), {}, location);
    TFormMain& viewer = *simulation.windows->formMain_;
    const QLabel* statusLine = ViewerControls(viewer).StatusLine;
    viewer.resize(900, 600);
    viewer.show();
    const int oneLine = statusLine->height();
    QTRY_VERIFY_WITH_TIMEOUT(statusLine->text().contains(reason), 10000);
    QVERIFY2(statusLine->text().contains(QStringLiteral("без архива")), qPrintable(statusLine->text()));
    // One line, whatever the database library said; its own words are the tooltip.
    QVERIFY2(!statusLine->text().contains(QLatin1Char('\n')), qPrintable(statusLine->text()));
    QCOMPARE(statusLine->height(), oneLine);
    QVERIFY(statusLine->toolTip().startsWith(statusLine->text()));

    // Loads go on, and the reason is not said again.
    QSignalSpy unavailable(simulation.windows->archive_.get(), &TArchiveKeeper::unavailable);
    simulation.loadIntoShownViewer();
    QVERIFY(viewer.store().DataRowCount() > 0);
    QTest::qWait(200);
    QCOMPARE(unavailable.size(), 0);
    QVERIFY(simulation.dialogs->errors.isEmpty());

    // The archive window tells the same reason.
    simulation.windows->archiveItem->trigger();
    const auto* archiveStatus = simulation.windows->formArchive_->findChild<QLabel*>(QStringLiteral("ArchiveStatus"));
    QVERIFY2(archiveStatus->text().contains(reason), qPrintable(archiveStatus->text()));
    QVERIFY2(!archiveStatus->text().contains(QLatin1Char('\n')), qPrintable(archiveStatus->text()));
    QVERIFY(archiveStatus->height() < 2 * archiveStatus->fontMetrics().lineSpacing());
}

// The question before an erase tells whether the logger's log is in the
// archive: not known until a log read from it was stored, and then since
// when; "Сначала прочитать" loads it as the viewer's "Обновить" does and erases nothing.
void ArchivingTest::eraseQuestionTellsWhetherTheLoggersLogIsArchived()
{
    KORVI_SCRATCH_ARCHIVE(scratch);
    const QByteArray log = makeLog(7, 300);
    {
        SimulatedWindows simulation(log, {}, scratch->location());
        QSignalSpy found(simulation.windows->archive_.get(), &TArchiveKeeper::latestFound);
        simulation.connectLogger();
        TLoggerPage& page = *SettingsControls(*simulation.windows->formSetting_).LoggerPage;
        QSignalSpy kept(simulation.windows->archive_.get(), &TArchiveKeeper::kept);

        QTRY_COMPARE_WITH_TIMEOUT(found.count(), 1, 10000);
        const EraseQuestionSeen none = AnswerEraseQuestion(page, QStringLiteral("Сначала прочитать"));
        QCOMPARE(none.informativeText, QStringLiteral("В архиве нет ни одного журнала этого даталоггера."));
        QVERIFY(!none.wentThrough);
        QVERIFY(kept.wait(20000));
        QVERIFY(finishBackgroundJob(*simulation.windows->formMain_));
        QCOMPARE(simulation.logger->log(), log);
        QCOMPARE(entriesOf(*scratch).size(), size_t(1));
    }

    // The next time the program runs, the archive tells that the log is kept.
    SimulatedWindows simulation(log, {}, scratch->location());
    QSignalSpy found(simulation.windows->archive_.get(), &TArchiveKeeper::latestFound);
    simulation.connectLogger();
    QTRY_COMPARE_WITH_TIMEOUT(found.count(), 1, 10000);
    TLoggerPage& page = *SettingsControls(*simulation.windows->formSetting_).LoggerPage;
    const EraseQuestionSeen kept = AnswerEraseQuestion(page, QStringLiteral("Да"));
    QVERIFY2(kept.informativeText.contains(QStringLiteral("сохранён в архиве")), qPrintable(kept.informativeText));
    QCOMPARE(kept.buttons, (QStringList{"Да", "Нет"}));
    QVERIFY(kept.wentThrough);
    QVERIFY(simulation.logger->log().isEmpty());
}

void ArchivingTest::anArchiveThatCannotBeChosenIsToldAndItsMenuItemGreyed()
{
    TPlatform platform{std::make_unique<SimulatedBackend>(), std::make_unique<FolderVolumeSource>(),
                       std::make_unique<FakeDialogs>()};
    const QString reason = QStringLiteral("Неизвестный вид архива «ftp»: нужен файл SQLite или адрес postgresql://");
    platform.archiveUnavailable = reason;
    TApplicationWindows windows(std::move(platform));
    QCOMPARE(ViewerControls(*windows.formMain_).StatusLine->text(), reason);
    QVERIFY(!windows.archiveItem->isEnabled());
    QVERIFY(!windows.archive_);
}

KORVI_QTEST_MAIN(ArchivingTest)
#include "ArchivingTest.moc"
