#include "shell/TTrailWindow.h"

#include "archive/ArchiveTexts.h"
#include "archive/TArchiveSession.h"
#include "archive/TTrailModel.h"
#include "data/CellFormatter.h"
#include "data/CsvExport.h"
#include "data/FileSave.h"
#include "data/TextTable.h"
#include "reports/PdfReport.h"
#include "shell/MessageLabel.h"
#include "shell/TBackgroundJob.h"
#include "shell/TJobControls.h"
#include "shell/TUserDialogs.h"
#include "shell/WindowLook.h"
#include "text/FormatLocale.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString AllLoggers = QStringLiteral("Все приборы");
const QString AllUsers = QStringLiteral("Все пользователи");
const QString AllKinds = QStringLiteral("Все события");
const QString Title = QStringLiteral("Журнал событий");
// The status line while a page is read, and while the trail is read for a file.
const QString Waiting = QStringLiteral("…");
const QString Reading = QStringLiteral("Читается…");
// Events a call reads for a file: a page a server gives well within its time limit.
constexpr int EventsPerRead = 1000;

// Every event the filter lets through, newest first, read a page at a time.
std::optional<std::vector<TArchiveEvent>> wholeTrail(TArchive& archive, TTrailQuery query, QString* error)
{
    std::vector<TArchiveEvent> events;
    query.beforeId = 0;
    query.limit = EventsPerRead;
    while (true) {
        std::vector<TArchiveEvent> page = archive.trail(query, error);
        if (!error->isEmpty())
            return std::nullopt;
        events.insert(events.end(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
        if (int(page.size()) < EventsPerRead)
            return events;
        query.beforeId = events.back().id;
    }
}

// The file's rows as the window shows them.
TTextTable trailTable(const std::vector<TArchiveEvent>& events)
{
    const TCellFormatter formatter(FormatLocale());
    TTextTable table{TrailColumnCaptions(), {}};
    table.rows.reserve(events.size());
    for (const TArchiveEvent& event : events)
        table.rows.push_back(TrailRowTexts(event, formatter));
    return table;
}

// One item a choice, after the one that lets everything through.
void fillChoices(QComboBox* combo, const QString& all, const QStringList& choices)
{
    const QString chosen = combo->currentIndex() > 0 ? combo->currentText() : QString();
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItem(all);
    combo->addItems(choices);
    combo->setCurrentIndex(std::max(0, combo->findText(chosen)));
}

QComboBox* filterCombo(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setAccessibleName(accessibleName);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

} // namespace

// The logger and user filters list what the trail names.
struct TTrailWindow::Choices {
    QStringList labels;
    QStringList users;
};

TTrailWindow::TTrailWindow(const TArchiveLocation& location, TUserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , location_(location)
    , dialogs_(dialogs)
    , session_(std::make_unique<TArchiveSession>(location))
    , events_(new TTrailModel(this))
    , job_(new TBackgroundJob(this))
    , LoggerFilter(filterCombo(QStringLiteral("LoggerFilter"), QStringLiteral("Прибор"), this))
    , PeriodFilter(new QCheckBox(QStringLiteral("Период с"), this))
    , PeriodFrom(WindowLook::datePicker(QStringLiteral("PeriodFrom"), QStringLiteral("Период с"), this))
    , PeriodTo(WindowLook::datePicker(QStringLiteral("PeriodTo"), QStringLiteral("Период по"), this))
    , UserFilter(filterCombo(QStringLiteral("UserFilter"), QStringLiteral("Пользователь"), this))
    , KindFilter(filterCombo(QStringLiteral("KindFilter"), QStringLiteral("Событие"), this))
    , EventList(new QTableView(this))
    , ButtonSave(new QPushButton(QStringLiteral("Сохранить..."), this))
    , saveControls_(new TJobControls(*job_, "SaveProgress", "ButtonSaveCancel", this))
    , TrailStatus(new QLabel(this))
{
    setObjectName(QStringLiteral("FormTrail"));
    setWindowTitle(Title);
    WindowLook::applyWhiteBackground(this);
    resize(900, 480);

    PeriodFilter->setObjectName(QStringLiteral("PeriodFilter"));
    PeriodFrom->setDate(QDate::currentDate().addMonths(-1));
    PeriodFrom->setEnabled(false);
    PeriodTo->setEnabled(false);
    KindFilter->addItem(AllKinds);
    for (int kind = 0; kind < ArchiveEventKindCount; ++kind)
        KindFilter->addItem(ArchiveEventKindTitle(TArchiveEventKind(kind)), kind);
    EventList->setObjectName(QStringLiteral("EventList"));
    EventList->setSelectionBehavior(QAbstractItemView::SelectRows);
    EventList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EventList->verticalHeader()->hide();
    EventList->verticalHeader()->setMinimumSectionSize(fontMetrics().height() + 4);
    EventList->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    EventList->setAlternatingRowColors(true);
    EventList->horizontalHeader()->setStretchLastSection(true);
    EventList->setModel(events_);
    ButtonSave->setObjectName(QStringLiteral("ButtonSave"));
    TrailStatus->setObjectName(QStringLiteral("TrailStatus"));
    MakeOneLineStatus(TrailStatus);
    TrailStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* filters = new QHBoxLayout;
    for (auto [caption, combo] : {std::pair{QStringLiteral("Прибор:"), LoggerFilter},
                                  std::pair{QStringLiteral("Пользователь:"), UserFilter},
                                  std::pair{QStringLiteral("Событие:"), KindFilter}}) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(combo);
        filters->addWidget(label);
        filters->addWidget(combo);
        filters->addSpacing(12);
    }
    auto* period = new QHBoxLayout;
    period->addWidget(PeriodFilter);
    period->addWidget(PeriodFrom);
    period->addWidget(new QLabel(QStringLiteral("по"), this));
    period->addWidget(PeriodTo);
    period->addStretch();
    filters->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonSave);
    buttons->addStretch();
    saveControls_->addTo(*buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(period);
    layout->addWidget(EventList, 1);
    layout->addLayout(buttons);
    layout->addWidget(TrailStatus);

    for (QComboBox* combo : {LoggerFilter, UserFilter, KindFilter})
        connect(combo, &QComboBox::currentIndexChanged, this, &TTrailWindow::applyFilter);
    connect(PeriodFilter, &QCheckBox::toggled, this, [this](bool on) {
        PeriodFrom->setEnabled(on);
        PeriodTo->setEnabled(on);
        applyFilter();
    });
    connect(PeriodFrom, &QDateEdit::dateChanged, this, &TTrailWindow::applyFilter);
    connect(PeriodTo, &QDateEdit::dateChanged, this, &TTrailWindow::applyFilter);
    connect(ButtonSave, &QPushButton::clicked, this, &TTrailWindow::ButtonSaveClick);
    connect(events_, &TTrailModel::pageWanted, this, &TTrailWindow::readPage);
    connect(events_, &TTrailModel::pageRead, this, &TTrailWindow::showPage);
    connect(job_, &TBackgroundJob::started, this,
            [this](const QString& title) { ShowMessageLine(TrailStatus, title + QStringLiteral("...")); });
}

// No answer of the session reaches the window once it goes.
TTrailWindow::~TTrailWindow()
{
    session_.reset();
}

void TTrailWindow::showTrail()
{
    listTrail();
    if (!isVisible() && parentWidget())
        WindowLook::centreOn(this, parentWidget());
    show();
    raise();
    activateWindow();
}

void TTrailWindow::closeEvent(QCloseEvent* event)
{
    session_->cancel();
    job_->cancel();
    setSaving(false);
    QWidget::closeEvent(event);
}

// The choices of the filters first, then the events by the filter as it
// then stands; each read on the session's thread.
void TTrailWindow::listTrail()
{
    events_->clear();
    ShowMessageLine(TrailStatus, Waiting);
    session_->withdraw(choicesTicket_);
    choicesTicket_ = session_->ask(
        TArchiveSession::Access::Read,
        [](TArchive& archive, QString* error) {
            Choices choices{archive.trailLabels(error), {}};
            if (error->isEmpty())
                choices.users = archive.trailUsers(error);
            return choices;
        },
        [this](const Choices& choices, const QString& error) {
            if (!error.isEmpty()) {
                ShowMessageLine(TrailStatus, error);
                return;
            }
            listChoices(choices);
            applyFilter();
        });
}

void TTrailWindow::listChoices(const Choices& choices)
{
    fillChoices(LoggerFilter, AllLoggers, choices.labels);
    fillChoices(UserFilter, AllUsers, choices.users);
}

void TTrailWindow::applyFilter()
{
    // Not before the choices came: the first filter is applied then.
    if (LoggerFilter->count() == 0)
        return;
    columnsFitted_ = false;
    events_->setFilter(chosenFilter());
}

// The period is of the PC's days, from the start of the first to the end of the last.
TTrailQuery TTrailWindow::chosenFilter() const
{
    TTrailQuery filter;
    if (LoggerFilter->currentIndex() > 0)
        filter.label = LoggerFilter->currentText();
    if (PeriodFilter->isChecked()) {
        filter.fromUtc = QDateTime(PeriodFrom->date(), QTime(0, 0)).toSecsSinceEpoch();
        filter.toUtc = QDateTime(PeriodTo->date(), QTime(23, 59, 59)).toSecsSinceEpoch();
    }
    if (UserFilter->currentIndex() > 0)
        filter.user = UserFilter->currentText();
    if (KindFilter->currentIndex() > 0)
        filter.kind = TArchiveEventKind(KindFilter->currentData().toInt());
    return filter;
}

// The filter in words, atop a saved PDF.
QString TTrailWindow::chosenFilterText() const
{
    QStringList parts;
    if (LoggerFilter->currentIndex() > 0)
        parts << QStringLiteral("прибор ") + LoggerFilter->currentText();
    if (PeriodFilter->isChecked())
        parts << QStringLiteral("с %1 по %2").arg(PeriodFrom->text(), PeriodTo->text());
    if (UserFilter->currentIndex() > 0)
        parts << QStringLiteral("пользователь ") + UserFilter->currentText();
    if (KindFilter->currentIndex() > 0)
        parts << QStringLiteral("событие «%1»").arg(KindFilter->currentText());
    const QString archive = QStringLiteral("Архив: ") + location_.displayName();
    return parts.isEmpty() ? archive + QStringLiteral("; все события")
                           : archive + QStringLiteral("; отбор: ") + parts.join(QStringLiteral(", "));
}

// A page of a filter changed meanwhile is not read, or its answer is dropped.
void TTrailWindow::readPage(quint64 serial, const TTrailQuery& page)
{
    ShowMessageLine(TrailStatus, Waiting);
    session_->withdraw(pageTicket_);
    pageTicket_ = session_->ask(
        TArchiveSession::Access::Read,
        [page](TArchive& archive, QString* error) { return archive.trail(page, error); },
        [this, serial](std::vector<TArchiveEvent> events, const QString& error) {
            events_->addPage(serial, std::move(events), error);
        });
}

void TTrailWindow::showPage(const QString& error)
{
    if (!error.isEmpty()) {
        ShowMessageLine(TrailStatus, error);
        return;
    }
    if (events_->rowCount() == 0) {
        const TTrailQuery filter = events_->filter();
        const bool filtered = !filter.label.isEmpty() || filter.fromUtc || !filter.user.isEmpty() || filter.kind;
        ShowMessageLine(TrailStatus,
                        filtered ? QStringLiteral("Нет событий, подходящих под отбор")
                                 : QStringLiteral("В архиве %1 пока нет событий").arg(location_.displayName()));
        return;
    }
    if (!columnsFitted_) {
        EventList->resizeColumnsToContents();
        columnsFitted_ = true;
    }
    ShowMessageLine(TrailStatus, QStringLiteral("Архив: ") + location_.displayName());
}

void TTrailWindow::setSaving(bool saving)
{
    saving_ = saving;
    ButtonSave->setEnabled(!saving);
}

// The whole trail as filtered, not only the pages shown: read on the
// session's thread, then written on the window's job, with its progress
// and "Отмена".
void TTrailWindow::ButtonSaveClick()
{
    if (saving_)
        return;
    const QString path = dialogs_.saveFileNameOffering(
        this, QStringLiteral("Журнал_событий_%1.csv").arg(QDate::currentDate().toString(Qt::ISODate)),
        {QStringLiteral("csv"), QStringLiteral("pdf")});
    if (path.isEmpty())
        return;
    setSaving(true);
    ShowMessageLine(TrailStatus, Reading);
    session_->ask(
        TArchiveSession::Access::Read,
        [filter = events_->filter()](TArchive& archive, QString* error) { return wholeTrail(archive, filter, error); },
        [this, path, filterText = chosenFilterText()](std::optional<std::vector<TArchiveEvent>> events,
                                                      const QString& error) {
            if (!events) {
                setSaving(false);
                const QString message = QStringLiteral("Не удалось записать %1: %2").arg(path, error);
                ShowMessageLine(TrailStatus, message);
                dialogs_.showError(this, message);
                return;
            }
            writeFile(path, std::move(*events), filterText);
        });
}

// CSV, or PDF for a name ending in ".pdf"; the rows' texts are made on the job too.
void TTrailWindow::writeFile(const QString& path, std::vector<TArchiveEvent> events, const QString& filterText)
{
    struct Outcome {
        bool saved = false;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    const bool pdf = QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
    const QString shownPath = QDir::toNativeSeparators(path);
    job_->start(
        QStringLiteral("Запись %1").arg(shownPath),
        [outcome, path, pdf, filterText, events = std::move(events)](TJobProgress& progress) {
            const TTextTable table = trailTable(events);
            outcome->saved = SaveFile(
                path,
                [&](QIODevice& file, QString* reason) {
                    return pdf ? WritePdfTable(Title, filterText, table, file, reason)
                               : WriteCsvTable(table, file, reason, &progress);
                },
                &outcome->error, &progress);
        },
        [this, outcome, path, shownPath](bool cancelled) {
            setSaving(false);
            if (outcome->saved) {
                ShowMessageLine(TrailStatus, QStringLiteral("Сохранено: ") + shownPath);
            } else if (cancelled) {
                ShowMessageLine(TrailStatus, QStringLiteral("Запись отменена: ") + shownPath);
            } else {
                const QString message = QStringLiteral("Не удалось записать %1: %2").arg(path, outcome->error);
                ShowMessageLine(TrailStatus, message);
                dialogs_.showError(this, message);
            }
        });
}
