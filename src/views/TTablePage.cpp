#include "views/TTablePage.h"

#include "data/MeasurementStore.h"
#include "data/RowTableColumns.h"
#include "data/Timestamp.h"
#include "views/PeriodPickers.h"
#include "views/TRowTableModel.h"
#include "views/TVirtualGrid.h"
#include "views/TableFilter.h"

#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

constexpr int DefaultColumnWidth = 141;

QLabel* newLabel(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}

template <typename Picker>
Picker* newPicker(const QString& name, const QString& format, QWidget* parent)
{
    auto* picker = new Picker(parent);
    picker->setObjectName(name);
    picker->setDisplayFormat(format);
    return picker;
}

qint64 momentOf(const QDateEdit& date, const QTimeEdit& time)
{
    const QDate day = date.date();
    const QTime clock = time.time();
    return TimestampSeconds(day.year(), day.month(), day.day(), clock.hour(), clock.minute(), clock.second());
}

} // namespace

TTablePage::TTablePage(const TMeasurementStore& store, QWidget* parent)
    : QWidget(parent)
    , store_(store)
    , rows_(new TRowTableModel(store, this))
{
    setObjectName(QStringLiteral("TablePage"));
    buildGrid();
    buildPanel();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The table takes whatever height the page has above the panel; no size is
    // fixed, so the window can always shrink back.
    layout->addWidget(StringGridFiltr, 1);
    layout->addWidget(PanelSFiltr);

    setPanelEnabled(false);
}

void TTablePage::buildGrid()
{
    StringGridFiltr = new TVirtualGrid(this);
    StringGridFiltr->setObjectName(QStringLiteral("StringGridFiltr"));
    StringGridFiltr->setAccessibleName(QStringLiteral("Таблица измерений"));
    StringGridFiltr->setModel(rows_);
    StringGridFiltr->setRowHeight(18);
    for (int column = 0; column < ColumnInterval; ++column)
        StringGridFiltr->setColumnWidth(column, DefaultColumnWidth);
    StringGridFiltr->setColumnWidth(ColumnInterval, 0);
}

void TTablePage::buildPanel()
{
    PanelSFiltr = new QFrame(this);
    PanelSFiltr->setObjectName(QStringLiteral("PanelSFiltr"));
    PanelSFiltr->setFixedHeight(60);

    LabelFilter = newLabel(QStringLiteral("Фильтр"), PanelSFiltr);
    LabelByValues = newLabel(QStringLiteral("по значениям:"), PanelSFiltr);
    LabelByPeriod = newLabel(QStringLiteral("по дате/времени:"), PanelSFiltr);
    EditTMax = newBoundEdit(QStringLiteral("EditTMax"), {55, QStringLiteral("55")});
    EditTMin = newBoundEdit(QStringLiteral("EditTMin"), {55, QStringLiteral("0")});
    EditRHMax = newBoundEdit(QStringLiteral("EditRHMax"), {99, QStringLiteral("99")});
    EditRHMin = newBoundEdit(QStringLiteral("EditRHMin"), {99, QStringLiteral("0")});
    const QString dateFormat = QStringLiteral("dd.MM.yy");
    const QString timeFormat = QStringLiteral("HH:mm:ss");
    DateTimePickerDFStartS = newPicker<QDateEdit>(QStringLiteral("DateTimePickerDFStartS"), dateFormat, PanelSFiltr);
    DateTimePickerTFStartS = newPicker<QTimeEdit>(QStringLiteral("DateTimePickerTFStartS"), timeFormat, PanelSFiltr);
    DateTimePickerDFStopS = newPicker<QDateEdit>(QStringLiteral("DateTimePickerDFStopS"), dateFormat, PanelSFiltr);
    DateTimePickerTFStopS = newPicker<QTimeEdit>(QStringLiteral("DateTimePickerTFStopS"), timeFormat, PanelSFiltr);
    NamePeriodPickers(*DateTimePickerDFStartS, *DateTimePickerTFStartS, *DateTimePickerDFStopS, *DateTimePickerTFStopS);
    DateTimePickerDFStartS->setCalendarPopup(true);
    DateTimePickerDFStopS->setCalendarPopup(true);
    ButtonFiltrS = new QPushButton(QStringLiteral("Выбрать"), PanelSFiltr);
    ButtonFiltrS->setObjectName(QStringLiteral("ButtonFiltrS"));
    ButtonFilterClearS = new QPushButton(QStringLiteral("Сбросить"), PanelSFiltr);
    ButtonFilterClearS->setObjectName(QStringLiteral("ButtonFilterClearS"));
    connect(ButtonFiltrS, &QPushButton::clicked, this, &TTablePage::ButtonFiltrSClick);
    connect(ButtonFilterClearS, &QPushButton::clicked, this, &TTablePage::ButtonFilterClearSClick);

    auto* layout = new QGridLayout(PanelSFiltr);
    layout->setContentsMargins(4, 3, 4, 3);
    layout->setVerticalSpacing(2);
    layout->addWidget(LabelFilter, 0, 0);
    layout->addWidget(LabelByValues, 0, 1);
    const std::pair<const char*, QLineEdit*> bounds[] = {
        {"tmax", EditTMax}, {"tmin", EditTMin}, {"RHmax", EditRHMax}, {"RHmin", EditRHMin}};
    int column = 2;
    for (const auto& [caption, edit] : bounds) {
        auto* label = newLabel(QString::fromLatin1(caption), PanelSFiltr);
        label->setBuddy(edit);
        edit->setAccessibleName(label->text());
        layout->addWidget(label, 0, column++, Qt::AlignRight);
        layout->addWidget(edit, 0, column++);
    }
    auto* from = newLabel(QStringLiteral("с"), PanelSFiltr);
    auto* to = newLabel(QStringLiteral("по"), PanelSFiltr);
    from->setBuddy(DateTimePickerDFStartS);
    to->setBuddy(DateTimePickerDFStopS);
    layout->addWidget(LabelByPeriod, 1, 1);
    layout->addWidget(from, 1, 2, Qt::AlignRight);
    layout->addWidget(DateTimePickerDFStartS, 1, 3);
    layout->addWidget(DateTimePickerTFStartS, 1, 4);
    layout->addWidget(to, 1, 5, Qt::AlignRight);
    layout->addWidget(DateTimePickerDFStopS, 1, 6);
    layout->addWidget(DateTimePickerTFStopS, 1, 7);
    layout->addWidget(ButtonFiltrS, 1, 8);
    layout->addWidget(ButtonFilterClearS, 1, 9);
    layout->setColumnStretch(10, 1);
}

QLineEdit* TTablePage::newBoundEdit(const QString& name, const TBoundRange& range)
{
    auto* edit = new QLineEdit(PanelSFiltr);
    edit->setObjectName(name);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, [this, edit, range] { editBoundChange(*edit, range); });
    return edit;
}

void TTablePage::storeLoaded()
{
    rows_->reload();
    showPeriodBounds();
    setPanelEnabled(store_.DataRowCount() > 0);
}

void TTablePage::ButtonFiltrSClick()
{
    TTableFilter filter(momentOf(*DateTimePickerDFStartS, *DateTimePickerTFStartS),
                        momentOf(*DateTimePickerDFStopS, *DateTimePickerTFStopS));
    filter.setBoundTexts(EditTMax->text(), EditTMin->text(), EditRHMax->text(), EditRHMin->text(),
                         store_.loadLocale());
    rows_->showView(std::make_unique<TRowSpanView>(filter.apply(store_)));
}

void TTablePage::ButtonFilterClearSClick()
{
    rows_->reload();
    showPeriodBounds();
    for (QLineEdit* edit : {EditTMax, EditTMin, EditRHMax, EditRHMin})
        edit->clear();
}

void TTablePage::showPeriodBounds()
{
    DateTimePickerTFStartS->setTime(TimeOf(store_.firstTimestamp()));
    DateTimePickerDFStartS->setDate(DateOf(store_.firstTimestamp()));
    DateTimePickerTFStopS->setTime(TimeOf(store_.lastTimestamp()));
    DateTimePickerDFStopS->setDate(DateOf(store_.lastTimestamp()));
}

void TTablePage::setPanelEnabled(bool enabled)
{
    const QList<QWidget*> controls{EditTMax, EditTMin, EditRHMax, EditRHMin,
                                   DateTimePickerDFStartS, DateTimePickerTFStartS,
                                   DateTimePickerDFStopS, DateTimePickerTFStopS,
                                   ButtonFiltrS, ButtonFilterClearS};
    for (QWidget* control : controls)
        control->setEnabled(enabled);
}

bool TTablePage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            return editBoundKeyPress(*edit, static_cast<const QKeyEvent&>(*event));
    }
    return QWidget::eventFilter(watched, event);
}

bool TTablePage::editBoundKeyPress(QLineEdit& edit, const QKeyEvent& event)
{
    // Editing keys and shortcuts (arrows, Delete, cut and paste) always work:
    // the rule is about the characters typed into the edit.
    const QString text = event.text();
    if (text.isEmpty() || (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    const std::optional<QChar> accepted =
        BoundEditKey(text.front(), edit.text(), store_.loadLocale().decimalPoint());
    if (!accepted)
        return true;
    if (*accepted == text.front())
        return false;
    edit.insert(QString(*accepted));
    return true;
}

void TTablePage::editBoundChange(QLineEdit& edit, const TBoundRange& range)
{
    if (const std::optional<QString> replacement = BoundEditRangeFix(edit.text(), range, store_.loadLocale()))
        edit.setText(*replacement);
}
