#include "app/ArchiveCommand.h"

#include "app/CommandLine.h"
#include "app/ExportCommand.h"
#include "archive/ArchiveBackup.h"
#include "archive/ArchivePasswords.h"
#include "archive/TArchive.h"
#include "data/FolderVolumeSource.h"
#include "data/LoadTexts.h"
#include "data/Loader.h"
#include "data/LoggerLog.h"
#include "data/ReadSource.h"
#include "data/Timestamp.h"

#include <QDate>
#include <QDirIterator>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <chrono>

#include <termios.h>
#include <unistd.h>

namespace {

// Every *.log under the folder, in its subfolders too, in name order.
QStringList logsUnder(const QString& folder)
{
    QStringList logs;
    QDirIterator it(folder, {QStringLiteral("*.log")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        logs << it.next();
    std::sort(logs.begin(), logs.end());
    return logs;
}

int importLogs(TArchive& archive, const QString& folder, QTextStream& out, QTextStream& errors)
{
    if (!QFileInfo(folder).isDir()) {
        errors << "korvi-monitor: " << QStringLiteral("папка %1 не найдена").arg(folder) << '\n';
        return 1;
    }
    int failures = 0;
    for (const QString& path : logsUnder(folder)) {
        QString error;
        const std::optional<QByteArray> log = ReadFileBytes(path, &error);
        if (log && !IsLoggerLog(*log, QDate::currentDate().year()))
            error = NotALogText(QFileInfo(path).fileName());
        std::optional<TStoredLog> stored;
        if (log && error.isEmpty())
            stored = archive.store(QFileInfo(path).fileName(), *log, path, TArchiveStamp::now(), &error);
        if (!stored) {
            errors << "korvi-monitor: " << path << ": " << error << '\n';
            ++failures;
            continue;
        }
        out << (stored->added ? "stored " : "already archived ") << path << " as " << stored->entryId << '\n';
    }
    return failures == 0 ? 0 : 1;
}

QString loggerTime(qint64 seconds)
{
    return DateOf(seconds).toString(Qt::ISODate) + QLatin1Char(' ') + TimeOf(seconds).toString(Qt::ISODate);
}

// When something was done, with the PC's UTC offset then.
QString stampTime(const TArchiveStamp& stamp)
{
    return QDateTime::fromSecsSinceEpoch(stamp.utcSeconds, Qt::OffsetFromUTC, stamp.utcOffsetSeconds)
        .toString(Qt::ISODate);
}

// A text as one field of a tab-separated line: a backslash, tab, line feed
// or carriage return inside it is written as \\, \t, \n or \r, so a label
// or a name can never split a field or a line.
QString tabField(const QString& text)
{
    QString field;
    field.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            field += QStringLiteral("\\\\");
            break;
        case '\t':
            field += QStringLiteral("\\t");
            break;
        case '\n':
            field += QStringLiteral("\\n");
            break;
        case '\r':
            field += QStringLiteral("\\r");
            break;
        default:
            field += c;
        }
    }
    return field;
}

// id, device, first and last measurement (the logger's clock), rows, when
// (with the PC's UTC offset then) and by whom; tab-separated, newest first,
// texts escaped (tabField).
int listEntries(TArchive& archive, QTextStream& out, QTextStream& errors)
{
    out << "id\tdevice\tfirst\tlast\trows\tdownloaded\tby\n";
    TArchiveQuery page;
    page.limit = 1000;
    QString error;
    for (std::vector<TArchiveEntry> entries = archive.entries(page, &error); !entries.empty();
         entries = archive.entries(page, &error)) {
        for (const TArchiveEntry& entry : entries) {
            out << entry.id << '\t' << tabField(entry.label) << '\t' << loggerTime(entry.summary.firstTime) << '\t'
                << loggerTime(entry.summary.lastTime) << '\t' << entry.summary.rowCount << '\t'
                << stampTime(entry.stored) << '\t' << tabField(entry.stored.user + u'@' + entry.stored.host)
                << '\n';
        }
        page.beforeId = entries.back().id;
    }
    if (error.isEmpty())
        return 0;
    errors << "korvi-monitor: " << error << '\n';
    return 1;
}

// The trail, newest first: id, entry (empty when none), device, kind (as
// stored), detail, when (with the PC's UTC offset then) and by whom;
// tab-separated, texts escaped (tabField).
int listEvents(TArchive& archive, const CommandLine& commandLine, QTextStream& out, QTextStream& errors)
{
    out << "id\tentry\tdevice\tkind\tdetail\tat\tby\n";
    TTrailQuery page;
    page.label = commandLine.eventsDevice;
    page.fromUtc = commandLine.eventsSince;
    page.limit = 1000;
    QString error;
    for (std::vector<TArchiveEvent> events = archive.trail(page, &error); !events.empty();
         events = archive.trail(page, &error)) {
        for (const TArchiveEvent& event : events) {
            out << event.id << '\t' << (event.entryId ? QString::number(event.entryId) : QString()) << '\t'
                << tabField(event.label) << '\t' << ArchiveEventKindName(event.kind) << '\t' << tabField(event.detail)
                << '\t' << stampTime(event.stamp) << '\t' << tabField(event.stamp.user + u'@' + event.stamp.host)
                << '\n';
        }
        page.beforeId = events.back().id;
    }
    if (error.isEmpty())
        return 0;
    errors << "korvi-monitor: " << error << '\n';
    return 1;
}

// Exits 1 with the first broken link, or says how much was found intact.
int verifyArchive(TArchive& archive, QTextStream& out, QTextStream& errors)
{
    QString error;
    const std::optional<TArchiveCheck> check = archive.verify(&error);
    if (!check) {
        errors << "korvi-monitor: " << error << '\n';
        return 1;
    }
    if (!check->brokenLink.isEmpty()) {
        errors << "korvi-monitor: " << check->brokenLink << '\n';
        return 1;
    }
    out << ArchiveCheckedText(*check) << '\n';
    return 0;
}

// The files are written from an archive this account may only read as well;
// that the trail could not note them is said after them.
int exportEntry(TArchive& archive, const CommandLine& commandLine, QTextStream& errors)
{
    QString error;
    const std::optional<TArchiveEntry> entry = archive.entry(commandLine.archiveExport, &error);
    bool damaged = false;
    const std::optional<QByteArray> raw = entry ? archive.rawRecords(entry->id, &error, &damaged) : std::nullopt;
    if (!raw) {
        errors << "korvi-monitor: " << error << '\n';
        // Records found changed are themselves part of the trail.
        QString unnoted;
        if (damaged && archive.location().writable()
            && !archive.addEvent(entry->id, TArchiveEventKind::IntegrityFailure, error, TArchiveStamp::now(), &unnoted))
            errors << "korvi-monitor: " << unnoted << '\n';
        return 1;
    }
    // Loaded as a file of the same records is, so that one rule decides what is exported.
    const FolderVolumeSource noVolumes;
    TLoadRequest request;
    request.recordLimit = commandLine.recordLimit;
    TLoadResult loaded = TLoader(noVolumes).loadRecords(entry->label, *raw, request);
    QStringList written;
    const int exitCode = ExportLoadedLog(loaded, entry->label, commandLine, entry->label, errors, &written);
    if (!archive.location().writable()) {
        if (!written.isEmpty()) {
            errors << "korvi-monitor: "
                   << QStringLiteral("файл архива %1 доступен только для чтения, в его журнале не отмечено: %2")
                          .arg(archive.location().displayName(), written.join(QStringLiteral(", ")))
                   << '\n';
        }
        return exitCode;
    }
    for (const QString& file : written) {
        if (!archive.addEvent(entry->id, TArchiveEventKind::Export, file, TArchiveStamp::now(), &error)) {
            errors << "korvi-monitor: " << error << '\n';
            return 1;
        }
    }
    return exitCode;
}

int backupArchive(TArchive& archive, const QString& target, QTextStream& out, QTextStream& errors)
{
    QString error;
    const std::optional<qint64> logs = archive.backup(target, &error);
    if (!logs) {
        errors << "korvi-monitor: " << error << '\n';
        return 1;
    }
    // A copy written to standard output leaves it to the copy alone.
    (target == QLatin1String("-") ? errors : out) << ArchiveBackupSavedText(target, *logs) << '\n';
    return 0;
}

// A line of standard input, not echoed when it is typed at a terminal.
QString secretLine(QTextStream& errors, const QString& prompt)
{
    const bool typed = ::isatty(STDIN_FILENO);
    termios shown{};
    if (typed) {
        errors << prompt << Qt::flush;
        ::tcgetattr(STDIN_FILENO, &shown);
        termios hidden = shown;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    QTextStream in(stdin);
    const QString line = in.readLine();
    if (typed) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &shown);
        errors << '\n';
    }
    return line;
}

// Long enough for the store to ask the user to unlock it.
constexpr std::chrono::minutes PasswordStoreLimit{2};

int storePassword(const TArchiveLocation& location, QTextStream& out, QTextStream& errors)
{
    QString error;
    if (location.engine != TArchiveLocation::Engine::Postgresql) {
        error = QStringLiteral("Пароль хранят только для архива на сервере PostgreSQL, а %1 — файл")
                    .arg(location.displayName());
    } else if (const QString password = secretLine(errors, QStringLiteral("Пароль архива %1: ")
                                                               .arg(location.displayName()));
               password.isEmpty()) {
        error = QStringLiteral("Пароль не введён: в хранилище паролей ничего не записано");
    } else if (StoreArchivePassword(location, password, PasswordStoreLimit, &error)) {
        out << QStringLiteral("Пароль архива %1 сохранён в хранилище паролей").arg(location.displayName()) << '\n';
        return 0;
    }
    errors << "korvi-monitor: " << error << '\n';
    return 1;
}

} // namespace

int RunArchiveCommand(const CommandLine& commandLine, QTextStream& out, QTextStream& errors)
{
    QString error;
    const std::optional<TArchiveLocation> location = TArchiveLocation::chosen(commandLine.archiveUrl, &error);
    if (location && commandLine.archivePassword)
        return storePassword(*location, out, errors);
    // A server whose archive the program does not back up is not connected to for it.
    if (location && !commandLine.archiveBackup.isEmpty())
        error = ArchiveBackupRefusal(*location);
    // Only the import and the export's trail write; the other verbs read an
    // archive this account may not change as well, and where it may, an
    // older archive is brought to this version's schema, which the trail's
    // verbs read.
    const bool writes = !commandLine.archiveImport.isEmpty() || (!commandLine.archiveList && location
                                                                 && location->writable());
    const std::unique_ptr<TArchive> archive =
        location && error.isEmpty()
            ? TArchive::open(*location, &error, writes ? TArchiveAccess::ReadWrite : TArchiveAccess::ReadOnly)
            : nullptr;
    if (!archive) {
        errors << "korvi-monitor: " << error << '\n';
        return 1;
    }
    if (!commandLine.archiveImport.isEmpty())
        return importLogs(*archive, commandLine.archiveImport, out, errors);
    if (commandLine.archiveList)
        return listEntries(*archive, out, errors);
    if (commandLine.archiveEvents)
        return listEvents(*archive, commandLine, out, errors);
    if (commandLine.archiveVerify)
        return verifyArchive(*archive, out, errors);
    if (!commandLine.archiveBackup.isEmpty())
        return backupArchive(*archive, commandLine.archiveBackup, out, errors);
    return exportEntry(*archive, commandLine, errors);
}
