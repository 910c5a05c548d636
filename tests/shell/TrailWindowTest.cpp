#include "KorviTestMain.h"

#include "ArchiveEngines.h"
#include "FakeDialogs.h"
#include "FileFaults.h"

#include "data/LogGenerator.h"
#include "shell/TTrailWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>

#include <algorithm>

namespace {

const QString First = QStringLiteral("2400001");
const QString Second = QStringLiteral("2400002");
const QString Third = QStringLiteral("2400003"); // a logger with events but no entry
const QString Waiting = QStringLiteral("…");

// Noon UTC of a day of March 2024, on a PC three hours east of Greenwich.
TArchiveStamp stampOn(int day, const char* user, const char* host)
{
    return {QDateTime(QDate(2024, 3, day), QTime(12, 0), Qt::UTC).toSecsSinceEpoch(), 3 * 3600,
            QString::fromLatin1(user), QString::fromLatin1(host)};
}

QString kind(TArchiveEventKind kind)
{
    return ArchiveEventKindTitle(kind);
}

} // namespace

// "Журнал событий" on real widgets over a real archive of either engine:
// the trail newest first, each filter chosen in its control, the pages read
// as the list scrolls, and the filtered trail saved as CSV and PDF.
class TrailWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { AddArchiveEngineRows(); }
    void init();
    void cleanup();

    void theTrailIsListedNewestFirstWithItsColumns();
    void eachFilterNarrowsTheRows();
    void pagesAreReadAsTheListScrollsAndTheFileHoldsThemAll();
    void aCsvHoldsTheRowsAsShownQuoted();
    void aPdfHoldsTheTitleTheFilterAndTheFilteredRows();
    void aSaveIntoAReadOnlyFolderSaysWhyAndLeavesNothing();

private:
    QStringList column(int section) const;
    QLabel* status() const { return control<QLabel>("TrailStatus"); }
    bool waitForList() const
    {
        return QTest::qWaitFor([this] { return status()->text() != Waiting; }, 15000);
    }
    // Saves through "Сохранить..." into `path`; the status line it ends with.
    QString saveAs(const QString& path);
    void choose(const char* combo, const QString& text);
    template <typename T>
    T* control(const char* name) const
    {
        T* found = window->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s in the trail window", name);
        return found;
    }

    std::unique_ptr<ScratchArchive> scratch;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<TTrailWindow> window;
    qint64 firstEntry = 0;
    qint64 secondEntry = 0;
};

// Six events of three loggers and the program, by two users, one each on
// 1, 5, 10, 15, 20 and 25 March 2024.
void TrailWindowTest::init()
{
    QFETCH_GLOBAL(TArchiveLocation::Engine, engine);
    scratch = std::make_unique<ScratchArchive>(engine);
    if (!scratch->unavailable().isEmpty())
        QSKIP(qPrintable(scratch->unavailable()));
    {
        std::unique_ptr<TArchive> archive = scratch->open();
        QVERIFY(archive);
        QString error;
        const auto log = [](quint32 seed) {
            return LogGenerator(seed).generate(20, TLogShape::Typical, QDateTime(QDate(2024, 2, 1), QTime(8, 0)));
        };
        const std::optional<TStoredLog> first =
            archive->store(First, log(1), QStringLiteral("drive"), stampOn(1, "ivanova", "lab"), &error);
        const std::optional<TStoredLog> second =
            archive->store(Second, log(2), QStringLiteral("drive"), stampOn(5, "petrov", "desk"), &error);
        QVERIFY2(first && second, qPrintable(error));
        firstEntry = first->entryId;
        secondEntry = second->entryId;
        QVERIFY2(archive->addEvent(firstEntry, TArchiveEventKind::Open, QString(), stampOn(10, "petrov", "desk"),
                                   &error),
                 qPrintable(error));
        QVERIFY2(archive->addLoggerEvent(Third, TArchiveEventKind::LoggerClock, QStringLiteral("часы выставлены"),
                                         stampOn(15, "ivanova", "lab"), &error),
                 qPrintable(error));
        QVERIFY2(archive->addEvent(secondEntry, TArchiveEventKind::Export, QStringLiteral("csv /tmp/a, \"b\".csv"),
                                   stampOn(20, "ivanova", "lab"), &error),
                 qPrintable(error));
        QVERIFY2(archive->addLoggerEvent(QString(), TArchiveEventKind::LimitsChange, QStringLiteral("пределы"),
                                         stampOn(25, "petrov", "desk"), &error),
                 qPrintable(error));
    }
    dialogs = std::make_unique<FakeDialogs>();
    window = std::make_unique<TTrailWindow>(scratch->location(), *dialogs, nullptr);
    window->showTrail();
    QVERIFY(waitForList());
}

void TrailWindowTest::cleanup()
{
    window.reset();
    scratch.reset();
    dialogs.reset();
}

QStringList TrailWindowTest::column(int section) const
{
    const QAbstractItemModel* model = control<QTableView>("EventList")->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, section).data().toString();
    return texts;
}

void TrailWindowTest::choose(const char* combo, const QString& text)
{
    auto* filter = control<QComboBox>(combo);
    const int index = filter->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    filter->setCurrentIndex(index);
}

QString TrailWindowTest::saveAs(const QString& path)
{
    dialogs->answers = {path};
    QTest::mouseClick(control<QPushButton>("ButtonSave"), Qt::LeftButton);
    const bool ended = QTest::qWaitFor(
        [this] {
            const QString text = status()->text();
            return text.startsWith(QStringLiteral("Сохранено")) || text.startsWith(QStringLiteral("Не удалось"));
        },
        30000);
    return ended ? status()->text() : QStringLiteral("the save did not end in time");
}

void TrailWindowTest::theTrailIsListedNewestFirstWithItsColumns()
{
    const QAbstractItemModel* model = control<QTableView>("EventList")->model();
    QStringList captions;
    for (int section = 0; section < model->columnCount(); ++section)
        captions << model->headerData(section, Qt::Horizontal).toString();
    QCOMPARE(captions, QStringList({"Время", "Прибор", "Запись", "Событие", "Подробности", "Пользователь"}));
    QCOMPARE(column(1), QStringList({"", Second, Third, First, Second, First}));
    QCOMPARE(column(2), QStringList({"", QString::number(secondEntry), "", QString::number(firstEntry),
                                     QString::number(secondEntry), QString::number(firstEntry)}));
    QCOMPARE(column(3), QStringList({kind(TArchiveEventKind::LimitsChange), kind(TArchiveEventKind::Export),
                                     kind(TArchiveEventKind::LoggerClock), kind(TArchiveEventKind::Open),
                                     kind(TArchiveEventKind::Download), kind(TArchiveEventKind::Download)}));
    QCOMPARE(column(4)[2], QStringLiteral("часы выставлены"));
    QCOMPARE(column(5), QStringList({"petrov@desk", "ivanova@lab", "ivanova@lab", "petrov@desk", "petrov@desk",
                                     "ivanova@lab"}));
    // The PC's clock then, with its offset, whatever the zone of this one.
    QCOMPARE(column(0)[0], QStringLiteral("25.03.2024 15:00:00 UTC+03:00"));
    QCOMPARE(status()->text(), QStringLiteral("Архив: ") + scratch->location().displayName());
}

void TrailWindowTest::eachFilterNarrowsTheRows()
{
    // The logger filter lists the logger that has events but no entry too.
    QCOMPARE(control<QComboBox>("LoggerFilter")->count(), 4);
    QCOMPARE(control<QComboBox>("UserFilter")->count(), 3);
    QCOMPARE(control<QComboBox>("KindFilter")->count(), ArchiveEventKindCount + 1);
    const struct {
        const char* combo;
        QString choice;
        QStringList days; // of the rows, newest first
    } cases[] = {
        {"LoggerFilter", First, {"10.03.2024", "01.03.2024"}},
        {"LoggerFilter", Third, {"15.03.2024"}},
        {"UserFilter", QStringLiteral("petrov"), {"25.03.2024", "10.03.2024", "05.03.2024"}},
        {"KindFilter", kind(TArchiveEventKind::Download), {"05.03.2024", "01.03.2024"}},
    };
    for (const auto& c : cases) {
        choose(c.combo, c.choice);
        QVERIFY(waitForList());
        QStringList days;
        for (const QString& time : column(0))
            days << time.left(10);
        QVERIFY2(days == c.days, qPrintable(c.choice + QStringLiteral(": ") + days.join(' ')));
        control<QComboBox>(c.combo)->setCurrentIndex(0);
        QVERIFY(waitForList());
        QCOMPARE(column(0).size(), 6);
    }

    control<QCheckBox>("PeriodFilter")->click();
    control<QDateEdit>("PeriodFrom")->setDate(QDate(2024, 3, 8));
    control<QDateEdit>("PeriodTo")->setDate(QDate(2024, 3, 15));
    QVERIFY(waitForList());
    QCOMPARE(column(3), QStringList({kind(TArchiveEventKind::LoggerClock), kind(TArchiveEventKind::Open)}));
    // Filters add up: of those, ivanova's.
    choose("UserFilter", QStringLiteral("ivanova"));
    QVERIFY(waitForList());
    QCOMPARE(column(1), QStringList({Third}));
    choose("KindFilter", kind(TArchiveEventKind::LoggerErase));
    QVERIFY(waitForList());
    QCOMPARE(column(1), QStringList());
    QCOMPARE(status()->text(), QStringLiteral("Нет событий, подходящих под отбор"));
}

// 1,030 more events by petrov: the list reads a page at a time as it is
// scrolled; a file holds every one the filter lets through, shown or not,
// read in more than one call.
void TrailWindowTest::pagesAreReadAsTheListScrollsAndTheFileHoldsThemAll()
{
    {
        std::unique_ptr<TArchive> archive = scratch->open();
        QVERIFY(archive);
        for (int i = 0; i < 1030; ++i) {
            QString error;
            QVERIFY2(archive->addLoggerEvent(Second, TArchiveEventKind::LoggerWiFi, QStringLiteral("сеть %1").arg(i),
                                             stampOn(26, "petrov", "desk"), &error),
                     qPrintable(error));
        }
    }
    window->close();
    window->showTrail();
    QVERIFY(waitForList());
    choose("UserFilter", QStringLiteral("petrov"));
    QVERIFY(waitForList());
    auto* list = control<QTableView>("EventList");
    QCOMPARE(list->model()->rowCount(), 100);
    QCOMPARE(column(4).constFirst(), QStringLiteral("сеть 1029"));

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("журнал.csv"));
    QCOMPARE(saveAs(path), QStringLiteral("Сохранено: ") + path);
    QCOMPARE(dialogs->offeredSuffixes.constLast(), QStringList({"csv", "pdf"}));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + 1033);
    QVERIFY(lines[1].contains(QStringLiteral("\"сеть 1029\"")));
    QVERIFY(lines[1030].contains(QStringLiteral("\"сеть 0\"")));
    QVERIFY(lines[1033].startsWith(QStringLiteral("\"05.03.2024 15:00:00 UTC+03:00\"")));
    for (const QString& line : lines.mid(1))
        QVERIFY2(line.endsWith(QStringLiteral(",\"petrov@desk\"")), qPrintable(line));

    // A page more each time the list is scrolled to its end.
    for (int shown = 100; shown < 1033;) {
        list->scrollToBottom();
        shown = std::min(shown + 100, 1033);
        QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), shown, 15000);
        QVERIFY(waitForList());
    }
    QCOMPARE(column(3).constLast(), kind(TArchiveEventKind::Download));
    QCOMPARE(column(1).constLast(), Second);
}

void TrailWindowTest::aCsvHoldsTheRowsAsShownQuoted()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("журнал.csv"));
    QCOMPARE(saveAs(path), QStringLiteral("Сохранено: ") + path);
    QVERIFY(dialogs->errors.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    QCOMPARE(lines.size(), 1 + 6 + 1); // the last line ended too
    QCOMPARE(lines[0], QStringLiteral("\"Время\",\"Прибор\",\"Запись\",\"Событие\",\"Подробности\",\"Пользователь\""));
    QCOMPARE(lines[2], QStringLiteral("\"20.03.2024 15:00:00 UTC+03:00\",\"%1\",\"%2\",\"%3\","
                                      "\"csv /tmp/a, \"\"b\"\".csv\",\"ivanova@lab\"")
                           .arg(Second)
                           .arg(secondEntry)
                           .arg(kind(TArchiveEventKind::Export)));
    QCOMPARE(lines[3], QStringLiteral("\"15.03.2024 15:00:00 UTC+03:00\",\"%1\",\"\",\"%2\",\"часы выставлены\","
                                      "\"ivanova@lab\"")
                           .arg(Third, kind(TArchiveEventKind::LoggerClock)));
    QCOMPARE(lines[7], QString());
}

void TrailWindowTest::aPdfHoldsTheTitleTheFilterAndTheFilteredRows()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext is missing: install poppler-utils (script/bootstrap does)");
    choose("LoggerFilter", First);
    QVERIFY(waitForList());
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("журнал.pdf"));
    QCOMPARE(saveAs(path), QStringLiteral("Сохранено: ") + path);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(pdf.contains(QStringLiteral("Журнал событий")), qPrintable(pdf));
    QVERIFY2(pdf.contains(QStringLiteral("отбор: прибор ") + First), qPrintable(pdf));
    for (const char* caption : {"Время", "Прибор", "Запись", "Событие", "Подробности", "Пользователь"})
        QVERIFY2(pdf.contains(QString::fromUtf8(caption)), caption);
    for (const char* shown : {"10.03.2024 15:00:00 UTC+03:00", "01.03.2024 15:00:00 UTC+03:00"})
        QVERIFY2(pdf.contains(QLatin1String(shown)), qPrintable(pdf));
    for (const char* filteredOut : {"05.03.2024", "15.03.2024", "20.03.2024", "25.03.2024"})
        QVERIFY2(!pdf.contains(QLatin1String(filteredOut)), qPrintable(pdf));
    QCOMPARE(pdf.count(First), 3); // the filter line and the two rows
}

void TrailWindowTest::aSaveIntoAReadOnlyFolderSaysWhyAndLeavesNothing()
{
    const ReadOnlyFolder folder;
    if (!folder.mounted())
        QSKIP(qPrintable(folder.whyNot()));
    const QString path = folder.filePath(QStringLiteral("журнал.csv"));
    const QString said = saveAs(path);
    QVERIFY2(said.startsWith(QStringLiteral("Не удалось записать ") + path + QStringLiteral(": ")), qPrintable(said));
    QCOMPARE(dialogs->errors.size(), 1);
    QVERIFY2(!dialogs->errors.constFirst().contains('\n'), qPrintable(dialogs->errors.constFirst()));
    QVERIFY(dialogs->errors.constFirst().startsWith(said));
    QCOMPARE(folder.files(), QStringList());
    QVERIFY(control<QPushButton>("ButtonSave")->isEnabled());
}

KORVI_QTEST_MAIN(TrailWindowTest)
#include "TrailWindowTest.moc"
