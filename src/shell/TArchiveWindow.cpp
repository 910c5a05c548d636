#include "shell/TArchiveWindow.h"

#include "archive/ArchiveBackup.h"
#include "archive/TArchive.h"
#include "archive/TArchiveListModel.h"
#include "archive/TArchiveSession.h"
#include "data/FileSave.h"
#include "data/LogExport.h"
#include "data/Timestamp.h"
#include "reports/OutputFormats.h"
#include "shell/TBackgroundJob.h"
#include "shell/MessageLabel.h"
#include "shell/TJobControls.h"
#include "shell/TTrailWindow.h"
#include "shell/TUserDialogs.h"
#include "shell/WindowLook.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <utility>

namespace {

const QString AllDevices = QStringLiteral("Все приборы");
// The status line while a page is read.
const QString Waiting = QStringLiteral("…");

QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* control = new QPushButton(caption, parent);
    control->setObjectName(name);
    return control;
}

// Records found changed are noted on their entry, with the refusal the user
// reads; should the note fail, the refusal says so too.
void noteDamage(TArchive& archive, qint64 id, const TArchiveStamp& stamp, QString* error)
{
    QString noteError;
    if (!archive.addEvent(id, TArchiveEventKind::IntegrityFailure, *error, stamp, &noteError))
        *error += QStringLiteral("; отметка об этом не записана в архив: ") + noteError;
}

} // namespace

TArchiveWindow::TArchiveWindow(const TArchiveLocation& location, TUserDialogs& dialogs, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window)
    , location_(location)
    , dialogs_(dialogs)
    , mainWindow_(mainWindow)
    , session_(std::make_unique<TArchiveSession>(location))
    , entries_(new TArchiveListModel(this))
    , job_(new TBackgroundJob(this))
    , DeviceFilter(new QComboBox(this))
    , PeriodFilter(new QCheckBox(QStringLiteral("Период с"), this))
    , PeriodFrom(WindowLook::datePicker(QStringLiteral("PeriodFrom"), QStringLiteral("Период с"), this))
    , PeriodTo(WindowLook::datePicker(QStringLiteral("PeriodTo"), QStringLiteral("Период по"), this))
    , EntryList(new QTableView(this))
    , ButtonOpen(button(QStringLiteral("ButtonOpen"), QStringLiteral("Открыть"), this))
    , ButtonSaveCopy(button(QStringLiteral("ButtonSaveCopy"), QStringLiteral("Сохранить копию"), this))
    , ButtonDelete(button(QStringLiteral("ButtonDelete"), QStringLiteral("Удалить"), this))
    , ButtonBackup(button(QStringLiteral("ButtonBackup"), QStringLiteral("Резервная копия..."), this))
    , ButtonTrail(button(QStringLiteral("ButtonTrail"), QStringLiteral("Журнал событий"), this))
    , copyControls_(new TJobControls(*job_, "CopyProgress", "ButtonCopyCancel", this))
    , ArchiveStatus(new QLabel(this))
    , ArchiveCheck(new QLabel(this))
{
    setObjectName(QStringLiteral("FormArchive"));
    setWindowTitle(QStringLiteral("Архив журналов"));
    WindowLook::applyWhiteBackground(this);
    resize(820, 460);

    DeviceFilter->setObjectName(QStringLiteral("DeviceFilter"));
    DeviceFilter->setAccessibleName(QStringLiteral("Прибор"));
    DeviceFilter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    PeriodFilter->setObjectName(QStringLiteral("PeriodFilter"));
    PeriodFrom->setDate(QDate::currentDate().addMonths(-1));
    PeriodFrom->setEnabled(false);
    PeriodTo->setEnabled(false);
    EntryList->setObjectName(QStringLiteral("EntryList"));
    EntryList->setSelectionBehavior(QAbstractItemView::SelectRows);
    EntryList->setSelectionMode(QAbstractItemView::SingleSelection);
    EntryList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EntryList->verticalHeader()->hide();
    // One line of text a row, as a list of hundreds reads best.
    EntryList->verticalHeader()->setMinimumSectionSize(fontMetrics().height() + 4);
    EntryList->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    EntryList->setAlternatingRowColors(true);
    EntryList->horizontalHeader()->setStretchLastSection(true);
    EntryList->setModel(entries_);
    ArchiveStatus->setObjectName(QStringLiteral("ArchiveStatus"));
    MakeOneLineStatus(ArchiveStatus);
    ArchiveStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ArchiveCheck->setObjectName(QStringLiteral("ArchiveCheck"));
    MakeOneLineStatus(ArchiveCheck);
    ArchiveCheck->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* filters = new QHBoxLayout;
    auto* deviceCaption = new QLabel(QStringLiteral("Прибор:"), this);
    deviceCaption->setBuddy(DeviceFilter);
    filters->addWidget(deviceCaption);
    filters->addWidget(DeviceFilter);
    filters->addSpacing(16);
    filters->addWidget(PeriodFilter);
    filters->addWidget(PeriodFrom);
    filters->addWidget(new QLabel(QStringLiteral("по"), this));
    filters->addWidget(PeriodTo);
    filters->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonOpen);
    buttons->addWidget(ButtonSaveCopy);
    buttons->addWidget(ButtonDelete);
    buttons->addWidget(ButtonBackup);
    buttons->addWidget(ButtonTrail);
    buttons->addStretch();
    copyControls_->addTo(*buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(EntryList, 1);
    layout->addLayout(buttons);
    auto* statusLine = new QHBoxLayout;
    statusLine->addWidget(ArchiveStatus, 1);
    statusLine->addWidget(ArchiveCheck, 1);
    layout->addLayout(statusLine);

    connect(DeviceFilter, &QComboBox::currentIndexChanged, this, &TArchiveWindow::applyFilter);
    connect(PeriodFilter, &QCheckBox::toggled, this, [this](bool on) {
        PeriodFrom->setEnabled(on);
        PeriodTo->setEnabled(on);
        applyFilter();
    });
    connect(PeriodFrom, &QDateEdit::dateChanged, this, &TArchiveWindow::applyFilter);
    connect(PeriodTo, &QDateEdit::dateChanged, this, &TArchiveWindow::applyFilter);
    connect(EntryList, &QTableView::doubleClicked, this, &TArchiveWindow::ButtonOpenClick);
    connect(ButtonOpen, &QPushButton::clicked, this, &TArchiveWindow::ButtonOpenClick);
    connect(ButtonSaveCopy, &QPushButton::clicked, this, &TArchiveWindow::ButtonSaveCopyClick);
    connect(ButtonDelete, &QPushButton::clicked, this, &TArchiveWindow::ButtonDeleteClick);
    connect(ButtonBackup, &QPushButton::clicked, this, &TArchiveWindow::ButtonBackupClick);
    connect(ButtonTrail, &QPushButton::clicked, this, &TArchiveWindow::ButtonTrailClick);
    connect(entries_, &TArchiveListModel::pageWanted, this, &TArchiveWindow::readPage);
    connect(entries_, &TArchiveListModel::pageRead, this, &TArchiveWindow::showPage);
    connect(EntryList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TArchiveWindow::updateButtons);
    connect(entries_, &QAbstractItemModel::modelReset, this, &TArchiveWindow::updateButtons);
    connect(job_, &TBackgroundJob::started, this, [this](const QString& title) {
        ShowMessageLine(ArchiveStatus, title + QStringLiteral("..."));
        updateButtons();
    });
    connect(job_, &TBackgroundJob::finished, this, &TArchiveWindow::updateButtons);
    updateButtons();
}

// No answer of the session reaches the window once it goes.
TArchiveWindow::~TArchiveWindow()
{
    session_.reset();
}

void TArchiveWindow::showArchive()
{
    if (!isVisible()) {
        checkDue_ = true;
        ArchiveCheck->clear();
    }
    if (unavailableReason_.isEmpty())
        listArchive();
    else
        ShowMessageLine(ArchiveStatus, unavailableReason_);
    if (!placed_) {
        WindowLook::centreOn(this, mainWindow_);
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

void TArchiveWindow::archiveChanged()
{
    if (isVisible() && unavailableReason_.isEmpty())
        listArchive();
}

void TArchiveWindow::archiveUnavailable(const QString& reason)
{
    unavailableReason_ = reason;
    if (entries_->rowCount() == 0)
        ShowMessageLine(ArchiveStatus, reason);
}

void TArchiveWindow::archiveOpened()
{
    unavailableReason_.clear();
}

void TArchiveWindow::closeEvent(QCloseEvent* event)
{
    session_->cancel();
    job_->cancel();
    backupRunning_ = false;
    setActionRunning(false);
    QWidget::closeEvent(event);
}

// The devices first, then the entries by the filter as it then stands: a
// device whose last entry went is no longer asked for. Each is read on the
// session's thread; an opening that fails says why here, and is tried again
// next time, as a file locked at start may be free by now.
void TArchiveWindow::listArchive()
{
    entries_->clear();
    ShowMessageLine(ArchiveStatus, Waiting);
    session_->withdraw(labelsTicket_);
    labelsTicket_ = session_->ask(
        TArchiveSession::Access::Read, [](TArchive& archive, QString* error) { return archive.labels(error); },
        [this](const QStringList& labels, const QString& error) {
            if (!error.isEmpty()) {
                ShowMessageLine(ArchiveStatus, error);
                return;
            }
            listDevices(labels);
            applyFilter();
        });
}

// The device list keeps the chosen device while it still has entries.
void TArchiveWindow::listDevices(const QStringList& labels)
{
    const QString chosen = DeviceFilter->currentIndex() > 0 ? DeviceFilter->currentText() : QString();
    const QSignalBlocker quiet(DeviceFilter);
    DeviceFilter->clear();
    DeviceFilter->addItem(AllDevices);
    DeviceFilter->addItems(labels);
    DeviceFilter->setCurrentIndex(std::max(0, DeviceFilter->findText(chosen)));
}

void TArchiveWindow::applyFilter()
{
    if (!unavailableReason_.isEmpty() || DeviceFilter->count() == 0)
        return;
    TArchiveQuery filter;
    if (DeviceFilter->currentIndex() > 0)
        filter.label = DeviceFilter->currentText();
    if (PeriodFilter->isChecked()) {
        const QDate from = PeriodFrom->date();
        const QDate to = PeriodTo->date();
        filter.from = TimestampSeconds(from.year(), from.month(), from.day(), 0, 0, 0);
        filter.to = TimestampSeconds(to.year(), to.month(), to.day(), 23, 59, 59);
    }
    columnsFitted_ = false;
    entries_->setFilter(filter);
}

// A page of a filter changed meanwhile is not read, or its answer is dropped.
void TArchiveWindow::readPage(quint64 serial, const TArchiveQuery& page)
{
    ShowMessageLine(ArchiveStatus, Waiting);
    session_->withdraw(pageTicket_);
    pageTicket_ = session_->ask(
        TArchiveSession::Access::Read,
        [page](TArchive& archive, QString* error) { return archive.entries(page, error); },
        [this, serial](std::vector<TArchiveEntry> entries, const QString& error) {
            entries_->addPage(serial, std::move(entries), error);
        });
}

void TArchiveWindow::showPage(const QString& error)
{
    updateButtons();
    const QString notice = std::exchange(notice_, QString());
    if (!error.isEmpty()) {
        ShowMessageLine(ArchiveStatus, error);
        return;
    }
    if (std::exchange(checkDue_, false))
        checkArchive();
    // An empty list keeps the columns as they were, fitted to entries.
    if (entries_->rowCount() == 0) {
        const bool filtered = DeviceFilter->currentIndex() > 0 || PeriodFilter->isChecked();
        ShowMessageLine(ArchiveStatus,
                        filtered ? QStringLiteral("Нет журналов, подходящих под отбор")
                                 : QStringLiteral("В архиве %1 пока нет журналов").arg(location_.displayName()));
        return;
    }
    if (!columnsFitted_) {
        EntryList->resizeColumnsToContents();
        columnsFitted_ = true;
    }
    ShowMessageLine(ArchiveStatus, notice.isEmpty() ? QStringLiteral("Архив: ") + location_.displayName() : notice);
}

void TArchiveWindow::updateButtons()
{
    const bool chosen = selectedEntry() != nullptr && !actionRunning_;
    ButtonOpen->setEnabled(chosen);
    ButtonSaveCopy->setEnabled(chosen && !job_->isRunning());
    ButtonDelete->setEnabled(chosen);
    ButtonBackup->setEnabled(!backupRunning_);
}

const TArchiveEntry* TArchiveWindow::selectedEntry() const
{
    const int row = selectedRow();
    return row < 0 ? nullptr : &entries_->entryAt(row);
}

int TArchiveWindow::selectedRow() const
{
    const QModelIndexList rows = EntryList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

// One at a time, the buttons greyed meanwhile and the pointer busy; the
// entry is taken as chosen now, whatever is chosen when the records come.
void TArchiveWindow::readChosenLog(std::optional<TArchiveEventKind> noted, LogUse use)
{
    const TArchiveEntry* chosen = selectedEntry();
    if (!chosen || actionRunning_)
        return;
    setActionRunning(true);
    session_->ask(
        TArchiveSession::Access::Read,
        [id = chosen->id, noted, stamp = TArchiveStamp::now()](TArchive& archive,
                                                               QString* error) -> std::optional<QByteArray> {
            bool damaged = false;
            std::optional<QByteArray> raw = archive.rawRecords(id, error, &damaged);
            if (damaged)
                noteDamage(archive, id, stamp, error);
            if (raw && noted && !archive.addEvent(id, *noted, QString(), stamp, error))
                return std::nullopt;
            return raw;
        },
        [this, entry = *chosen, use = std::move(use)](const std::optional<QByteArray>& raw, const QString& error) {
            setActionRunning(false);
            if (!raw) {
                dialogs_.showError(this, error);
                return;
            }
            use(entry, *raw);
        });
}

void TArchiveWindow::setActionRunning(bool running)
{
    actionRunning_ = running;
    if (running)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
    updateButtons();
}

void TArchiveWindow::ButtonOpenClick()
{
    readChosenLog(TArchiveEventKind::Open,
                  [this](const TArchiveEntry& entry, const QByteArray& raw) { emit openRequested(entry.label, raw); });
}

void TArchiveWindow::ButtonSaveCopyClick()
{
    readChosenLog(std::nullopt, [this](const TArchiveEntry& entry, const QByteArray& raw) { saveCopy(entry, raw); });
}

// Written on the window's job, with its progress and "Отмена": a pipe
// without a reader holds only the job. The trail notes the copy once whole.
void TArchiveWindow::saveCopy(const TArchiveEntry& entry, const QByteArray& raw)
{
    QString stem = entry.label;
    if (stem.endsWith(QLatin1String(".log"), Qt::CaseInsensitive))
        stem.chop(4);
    const QString path = dialogs_.saveFileName(
        this, ExportFileName(stem, entry.summary.firstTime, entry.summary.lastTime, QStringLiteral("log")), true);
    if (path.isEmpty())
        return;
    struct Outcome {
        bool saved = false;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    const QString shownPath = QDir::toNativeSeparators(path);
    job_->start(
        QStringLiteral("Запись %1").arg(shownPath),
        [outcome, path, raw](TJobProgress& progress) {
            outcome->saved = SaveFile(
                path,
                [&raw, &progress](QIODevice& file, QString* reason) {
                    return WriteRawBytes(raw, file, reason, &progress);
                },
                &outcome->error, &progress);
        },
        [this, outcome, path, shownPath, id = entry.id](bool cancelled) {
            if (outcome->saved) {
                noteExport(id, path);
            } else if (cancelled) {
                ShowMessageLine(ArchiveStatus, QStringLiteral("Запись отменена: ") + shownPath);
            } else {
                const QString message = QStringLiteral("Не удалось записать %1: %2").arg(path, outcome->error);
                ShowMessageLine(ArchiveStatus, message);
                dialogs_.showError(this, message);
            }
        });
}

void TArchiveWindow::noteExport(qint64 entryId, const QString& path)
{
    session_->ask(
        TArchiveSession::Access::Write,
        [entryId, detail = OutputFileDetail(OutputFormatOf(TOutputKind::RawLog), path),
         stamp = TArchiveStamp::now()](TArchive& archive, QString* error) {
            return archive.addEvent(entryId, TArchiveEventKind::Export, detail, stamp, error);
        },
        [this, path](bool noted, const QString& error) {
            if (!noted) {
                dialogs_.showError(this, error);
                return;
            }
            ShowMessageLine(ArchiveStatus, QStringLiteral("Сохранено: ") + QDir::toNativeSeparators(path));
        });
}

void TArchiveWindow::ButtonDeleteClick()
{
    const int row = selectedRow();
    if (row < 0 || actionRunning_)
        return;
    const TArchiveEntry doomed = entries_->entryAt(row);
    const QString period = entries_->index(row, TArchiveListModel::ColumnPeriod).data().toString();
    const QString question = QStringLiteral("Удалить из архива журнал прибора %1 за период %2?\n"
                                            "Записи журнала будут удалены безвозвратно; в архиве останется "
                                            "отметка об удалении.")
                                 .arg(doomed.label, period);
    if (!dialogs_.confirm(this, question))
        return;
    setActionRunning(true);
    session_->ask(
        TArchiveSession::Access::Write,
        [id = doomed.id, stamp = TArchiveStamp::now()](TArchive& archive, QString* error) {
            return archive.remove(id, stamp, error);
        },
        [this, doomed, period](bool removed, const QString& error) {
            setActionRunning(false);
            if (!removed) {
                dialogs_.showError(this, error);
                return;
            }
            notice_ = QStringLiteral("Удалён журнал прибора %1 за период %2").arg(doomed.label, period);
            listArchive();
        });
}

// A PostgreSQL archive is not asked a file for: its server's administrator
// backs it up. The copy is written on the session's thread, after the calls
// asked before it, and is made even if the window closes meanwhile.
void TArchiveWindow::ButtonBackupClick()
{
    if (const QString refusal = ArchiveBackupRefusal(location_); !refusal.isEmpty()) {
        ShowMessageLine(ArchiveStatus, refusal);
        return;
    }
    const QString path = dialogs_.saveFileName(
        this, QStringLiteral("archive_%1.sqlite").arg(QDate::currentDate().toString(Qt::ISODate)), true);
    if (path.isEmpty())
        return;
    backupRunning_ = true;
    updateButtons();
    ShowMessageLine(ArchiveStatus, QStringLiteral("Запись резервной копии %1...").arg(QDir::toNativeSeparators(path)));
    session_->ask(
        TArchiveSession::Access::Write,
        [path](TArchive& archive, QString* error) { return archive.backup(path, error); },
        [this, path](std::optional<qint64> logs, const QString& error) {
            backupRunning_ = false;
            updateButtons();
            if (!logs) {
                ShowMessageLine(ArchiveStatus, error);
                dialogs_.showError(this, error);
                return;
            }
            ShowMessageLine(ArchiveStatus, ArchiveBackupSavedText(path, *logs));
        });
}

void TArchiveWindow::ButtonTrailClick()
{
    if (!trail_)
        trail_ = new TTrailWindow(location_, dialogs_, this);
    trail_->showTrail();
}

// The list shows first; a check read to its end says what it found, a
// broken link in red. Closing the window interrupts it.
void TArchiveWindow::checkArchive()
{
    ShowMessageLine(ArchiveCheck, QStringLiteral("Проверка архива…"), false);
    session_->ask(
        TArchiveSession::Access::Read, [](TArchive& archive, QString* error) { return archive.verify(error); },
        [this](const std::optional<TArchiveCheck>& check, const QString& error) {
            if (!check) {
                ShowMessageLine(ArchiveCheck, error, true);
                return;
            }
            ShowMessageLine(ArchiveCheck, ArchiveCheckedText(*check), !check->brokenLink.isEmpty());
        });
}
