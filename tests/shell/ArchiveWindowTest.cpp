#include "KorviTestMain.h"

#include "ArchiveEngines.h"
#include "SimulatedWindows.h"

#include "archive/TArchiveKeeper.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "shell/TArchiveWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

// "Архив..." on real widgets: the list and its filters, and opening, saving
// and deleting an entry, on both engines.
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

private:
    QStringList column(int section) const;
    void choose(int row);
    qint64 idOf(int row) const;
    std::vector<TArchiveEventKind> eventKinds(qint64 entryId);
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

namespace {

const QString First = QStringLiteral("2400001");
const QString Second = QStringLiteral("2400002");

} // namespace

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
    simulation->windows->N1_4Archive->trigger();
    window = simulation->windows->formArchive_.get();
    QVERIFY(window->isVisible());
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
    QCOMPARE(column(0), QStringList({First, First, First}));

    // Of the logs of 15 and 22 March, both within 14 to 22 March, the first logger's.
    control<QCheckBox>("PeriodFilter")->click();
    control<QDateEdit>("PeriodFrom")->setDate(QDate(2024, 3, 14));
    control<QDateEdit>("PeriodTo")->setDate(QDate(2024, 3, 22));
    QCOMPARE(column(0), QStringList({First}));
    QVERIFY(column(1).constFirst().startsWith(QStringLiteral("15.03.2024")));
    device->setCurrentIndex(0);
    QCOMPARE(column(0), QStringList({Second, First}));
    control<QDateEdit>("PeriodFrom")->setDate(QDate(2025, 1, 1));
    control<QDateEdit>("PeriodTo")->setDate(QDate(2025, 2, 1));
    QCOMPARE(column(0), QStringList());
    QCOMPARE(control<QLabel>("ArchiveStatus")->text(), QStringLiteral("Нет журналов, подходящих под отбор"));
    control<QCheckBox>("PeriodFilter")->click();
    QCOMPARE(column(0).size(), 6);
}

void ArchiveWindowTest::anEntryOpensInTheDataViewerUnderItsLabel()
{
    TFormMain& viewer = *simulation->windows->formMain_;
    QSignalSpy kept(simulation->windows->archive_.get(), &TArchiveKeeper::kept);
    choose(1);
    QVERIFY(control<QPushButton>("ButtonOpen")->isEnabled());
    QTest::mouseClick(control<QPushButton>("ButtonOpen"), Qt::LeftButton);
    QVERIFY(finishBackgroundJob(viewer));

    QVERIFY(simulation->dialogs->errors.isEmpty());
    QVERIFY(viewer.isVisible());
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
        QVERIFY(direct.exec(QStringLiteral("UPDATE archive_raw_records SET data = ? WHERE entry_id = ?"),
                            {PackLog(changed).compressed, idOf(0)}));
    }
    TFormMain& viewer = *simulation->windows->formMain_;
    const QString title = viewer.windowTitle();
    choose(0);
    QTest::mouseClick(control<QPushButton>("ButtonOpen"), Qt::LeftButton);
    QVERIFY(finishBackgroundJob(viewer));
    QCOMPARE(simulation->dialogs->errors.size(), 1);
    const QString message = simulation->dialogs->errors.constFirst();
    QVERIFY2(message.contains(QStringLiteral("повреждена")) && message.contains(QStringLiteral("SHA-256")),
             qPrintable(message));
    QCOMPARE(viewer.windowTitle(), title);
    QCOMPARE(viewer.store().DataRowCount(), 0);
    QCOMPARE(eventKinds(idOf(0)), std::vector<TArchiveEventKind>({TArchiveEventKind::Download}));
}

void ArchiveWindowTest::aCopyIsSavedAsTheLogsRecords()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("копия.log"));
    choose(2);

    // Into a folder that is not there: refused, and nothing is noted.
    simulation->dialogs->answers = {folder.filePath(QStringLiteral("нет/копия.log"))};
    QTest::mouseClick(control<QPushButton>("ButtonSaveCopy"), Qt::LeftButton);
    QCOMPARE(simulation->dialogs->errors.size(), 1);
    QVERIFY(simulation->dialogs->errors.takeFirst().startsWith(QStringLiteral("Не удалось записать")));
    QCOMPARE(eventKinds(idOf(2)), std::vector<TArchiveEventKind>({TArchiveEventKind::Download}));

    simulation->dialogs->answers = {path};
    QTest::mouseClick(control<QPushButton>("ButtonSaveCopy"), Qt::LeftButton);
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
    QVERIFY(simulation->dialogs->errors.isEmpty());
    QCOMPARE(column(0), QStringList({Second, First, Second, Second, First}));
    QVERIFY(!column(1).contains(period));
    QCOMPARE(eventKinds(idOf(3)), std::vector<TArchiveEventKind>({TArchiveEventKind::Download,
                                                                  TArchiveEventKind::Deletion}));
}

KORVI_QTEST_MAIN(ArchiveWindowTest)
#include "ArchiveWindowTest.moc"
