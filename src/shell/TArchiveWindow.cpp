#include "shell/TArchiveWindow.h"

#include "archive/TArchive.h"
#include "archive/TArchiveListModel.h"
#include "data/FileSave.h"
#include "data/LogExport.h"
#include "data/Timestamp.h"
#include "shell/TUserDialogs.h"
#include "shell/WindowLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString AllDevices = QStringLiteral("Все приборы");

QDateEdit* datePicker(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* picker = new QDateEdit(QDate::currentDate(), parent);
    picker->setObjectName(name);
    picker->setAccessibleName(accessibleName);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    return picker;
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* control = new QPushButton(caption, parent);
    control->setObjectName(name);
    return control;
}

} // namespace

TArchiveWindow::TArchiveWindow(const TArchiveLocation& location, TUserDialogs& dialogs, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window)
    , location_(location)
    , dialogs_(dialogs)
    , mainWindow_(mainWindow)
    , DeviceFilter(new QComboBox(this))
    , PeriodFilter(new QCheckBox(QStringLiteral("Период с"), this))
    , PeriodFrom(datePicker(QStringLiteral("PeriodFrom"), QStringLiteral("Период с"), this))
    , PeriodTo(datePicker(QStringLiteral("PeriodTo"), QStringLiteral("Период по"), this))
    , EntryList(new QTableView(this))
    , ButtonOpen(button(QStringLiteral("ButtonOpen"), QStringLiteral("Открыть"), this))
    , ButtonSaveCopy(button(QStringLiteral("ButtonSaveCopy"), QStringLiteral("Сохранить копию"), this))
    , ButtonDelete(button(QStringLiteral("ButtonDelete"), QStringLiteral("Удалить"), this))
    , ArchiveStatus(new QLabel(this))
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
    ArchiveStatus->setObjectName(QStringLiteral("ArchiveStatus"));
    ArchiveStatus->setWordWrap(true);
    ArchiveStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

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
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(EntryList, 1);
    layout->addLayout(buttons);
    layout->addWidget(ArchiveStatus);

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
    updateButtons();
}

// The model reads through the archive to its last moment.
TArchiveWindow::~TArchiveWindow()
{
    delete EntryList;
    delete entries_;
}

void TArchiveWindow::showArchive()
{
    if (openArchive()) {
        listDevices();
        applyFilter();
    }
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
    if (isVisible() && archive_) {
        listDevices();
        applyFilter();
    }
}

void TArchiveWindow::archiveUnavailable(const QString& reason)
{
    unavailableReason_ = reason;
    if (!archive_)
        ArchiveStatus->setText(reason);
}

void TArchiveWindow::archiveOpened()
{
    unavailableReason_.clear();
}

// Opened when first shown, and again while it could not be: a file locked
// at start may be free by now.
bool TArchiveWindow::openArchive()
{
    if (archive_)
        return true;
    if (!unavailableReason_.isEmpty()) {
        ArchiveStatus->setText(unavailableReason_);
        updateButtons();
        return false;
    }
    QString error;
    archive_ = TArchive::open(location_, &error);
    if (!archive_) {
        ArchiveStatus->setText(error);
        updateButtons();
        return false;
    }
    entries_ = new TArchiveListModel(*archive_, this);
    connect(entries_, &TArchiveListModel::failed, ArchiveStatus, &QLabel::setText);
    EntryList->setModel(entries_);
    connect(EntryList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TArchiveWindow::updateButtons);
    connect(entries_, &QAbstractItemModel::modelReset, this, &TArchiveWindow::updateButtons);
    return true;
}

// The device list keeps the chosen device while it still has entries.
void TArchiveWindow::listDevices()
{
    QString error;
    const QStringList labels = archive_->labels(&error);
    if (!error.isEmpty())
        ArchiveStatus->setText(error);
    const QString chosen = DeviceFilter->currentIndex() > 0 ? DeviceFilter->currentText() : QString();
    const QSignalBlocker quiet(DeviceFilter);
    DeviceFilter->clear();
    DeviceFilter->addItem(AllDevices);
    DeviceFilter->addItems(labels);
    DeviceFilter->setCurrentIndex(std::max(0, DeviceFilter->findText(chosen)));
}

void TArchiveWindow::applyFilter()
{
    if (!entries_)
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
    entries_->setFilter(filter);
    // An empty list keeps the columns as they were, fitted to entries.
    if (entries_->rowCount() == 0) {
        const bool filtered = !filter.label.isEmpty() || filter.from;
        ArchiveStatus->setText(filtered ? QStringLiteral("Нет журналов, подходящих под отбор")
                                        : QStringLiteral("В архиве %1 пока нет журналов").arg(location_.displayName()));
        return;
    }
    EntryList->resizeColumnsToContents();
    ArchiveStatus->setText(QStringLiteral("Архив: ") + location_.displayName());
}

void TArchiveWindow::updateButtons()
{
    const bool chosen = selectedEntry() != nullptr;
    for (QPushButton* control : {ButtonOpen, ButtonSaveCopy, ButtonDelete})
        control->setEnabled(chosen);
}

const TArchiveEntry* TArchiveWindow::selectedEntry() const
{
    const int row = selectedRow();
    return row < 0 ? nullptr : &entries_->entryAt(row);
}

int TArchiveWindow::selectedRow() const
{
    if (!entries_)
        return -1;
    const QModelIndexList rows = EntryList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

std::optional<TArchiveWindow::ChosenLog> TArchiveWindow::chosenLog()
{
    const TArchiveEntry* entry = selectedEntry();
    if (!entry)
        return std::nullopt;
    ChosenLog log{*entry, {}};
    QString error;
    std::optional<QByteArray> raw = archive_->rawRecords(log.entry.id, &error);
    if (!raw) {
        dialogs_.showError(this, error);
        return std::nullopt;
    }
    log.raw = std::move(*raw);
    return log;
}

void TArchiveWindow::ButtonOpenClick()
{
    const std::optional<ChosenLog> log = chosenLog();
    if (!log)
        return;
    QString error;
    if (!archive_->addEvent(log->entry.id, TArchiveEventKind::Open, QString(), TArchiveStamp::now(), &error)) {
        dialogs_.showError(this, error);
        return;
    }
    emit openRequested(log->entry.label, log->raw);
}

void TArchiveWindow::ButtonSaveCopyClick()
{
    const std::optional<ChosenLog> log = chosenLog();
    if (!log)
        return;
    const TArchiveEntry& saved = log->entry;
    QString stem = saved.label;
    if (stem.endsWith(QLatin1String(".log"), Qt::CaseInsensitive))
        stem.chop(4);
    const QString path = dialogs_.saveFileName(
        this, ExportFileName(stem, saved.summary.firstTime, saved.summary.lastTime, QStringLiteral("log")), true);
    if (path.isEmpty())
        return;
    QString error;
    const bool written = SaveFile(
        path, [&log](QIODevice& file, QString* reason) { return WriteRawBytes(log->raw, file, reason); }, &error);
    if (!written) {
        dialogs_.showError(this, QStringLiteral("Не удалось записать %1: %2").arg(path, error));
        return;
    }
    if (!archive_->addEvent(saved.id, TArchiveEventKind::Export, QStringLiteral("log ") + path, TArchiveStamp::now(),
                           &error)) {
        dialogs_.showError(this, error);
        return;
    }
    ArchiveStatus->setText(QStringLiteral("Сохранено: ") + QDir::toNativeSeparators(path));
}

void TArchiveWindow::ButtonDeleteClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const TArchiveEntry doomed = entries_->entryAt(row);
    const QString period = entries_->index(row, TArchiveListModel::ColumnPeriod).data().toString();
    const QString question = QStringLiteral("Удалить из архива журнал прибора %1 за период %2?\n"
                                            "Записи журнала будут удалены безвозвратно; в архиве останется "
                                            "отметка об удалении.")
                                 .arg(doomed.label, period);
    if (!dialogs_.confirm(this, question))
        return;
    QString error;
    if (!archive_->remove(doomed.id, TArchiveStamp::now(), &error)) {
        dialogs_.showError(this, error);
        return;
    }
    listDevices();
    applyFilter();
    ArchiveStatus->setText(QStringLiteral("Удалён журнал прибора %1 за период %2").arg(doomed.label, period));
}
