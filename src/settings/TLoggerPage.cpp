#include "settings/TLoggerPage.h"

#include "device/RegisterConversions.h"
#include "device/RegisterMap.h"
#include "device/TDeviceLink.h"
#include "settings/PageControls.h"
#include "text/FormatLocale.h"

#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>

namespace {

// Levels are kept in tenths of a degree or a percent.
constexpr int LevelScale = 10;
constexpr qint32 OptionBits[] = {OptionRecTemperature, OptionRecHumidity, OptionRecPressure};

// A value the page shows as read from the logger and never writes.
QLineEdit* makeReadValue(const char* name, QWidget* parent)
{
    auto* edit = NewNamedControl<QLineEdit>(name, parent);
    edit->setReadOnly(true);
    return edit;
}

enum class EraseAnswer { Erase, Keep, ReadFirst };

QString whereTheLogIs(const TEraseFacts& facts)
{
    switch (facts.archive) {
    case TEraseFacts::Archive::Kept:
        return QStringLiteral("Журнал, прочитанный с него %1, сохранён в архиве; записей, сделанных после чтения, "
                              "в архиве нет.")
            .arg(FormatLocale().toString(facts.keptAt, QLocale::ShortFormat));
    case TEraseFacts::Archive::Absent:
        return QStringLiteral("В архиве нет ни одного журнала этого даталоггера.");
    case TEraseFacts::Archive::NotKnown:
        return QStringLiteral("Есть ли его журнал в архиве, неизвестно: архив ещё не ответил.");
    case TEraseFacts::Archive::None:
        break;
    }
    return QStringLiteral("Архив не ведётся: сохранён ли где-нибудь его журнал, неизвестно.");
}

// The question before an erase, which cannot be undone; "Нет" unless the
// user picks otherwise.
EraseAnswer askToErase(QWidget* parent, const TEraseFacts& facts)
{
    const QString logger = facts.label.isEmpty() ? QStringLiteral("даталоггера")
                                                 : QStringLiteral("даталоггера %1").arg(facts.label);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Очистка памяти"),
                    QStringLiteral("Очистить память %1? Все записи его журнала будут удалены.").arg(logger),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("EraseQuestion"));
    box.setInformativeText(whereTheLogIs(facts));
    QPushButton* erase = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton* keep = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    QPushButton* readFirst = nullptr;
    if (facts.archive != TEraseFacts::Archive::Kept)
        readFirst = box.addButton(QStringLiteral("Сначала прочитать"), QMessageBox::ActionRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    if (box.clickedButton() == erase)
        return EraseAnswer::Erase;
    if (readFirst && box.clickedButton() == readFirst)
        return EraseAnswer::ReadFirst;
    return EraseAnswer::Keep;
}

} // namespace

TLoggerPage::TLoggerPage(TLoggerRequests& requests, QWidget* parent)
    : TDevicePage(requests, parent)
    , clock_([] { return QDateTime::currentDateTime(); })
    , eraseFacts_([] { return TEraseFacts(); })
{
    setObjectName(QStringLiteral("TLoggerPage"));
    const QLocale locale = FormatLocale();
    LabelTime = NewNamedControl<QLabel>("LabelTime", QString::fromUtf8("Время"), this);
    DateTimePickerTime = new QTimeEdit(this);
    DateTimePickerTime->setObjectName(QStringLiteral("DateTimePickerTime"));
    DateTimePickerTime->setDisplayFormat(LongTimeFormat(locale));
    LabelDate = NewNamedControl<QLabel>("LabelDate", QString::fromUtf8("Дата"), this);
    DateTimePickerDate = new QDateEdit(this);
    DateTimePickerDate->setObjectName(QStringLiteral("DateTimePickerDate"));
    DateTimePickerDate->setDisplayFormat(locale.dateFormat(QLocale::ShortFormat));
    DateTimePickerDate->setCalendarPopup(true);
    DateTimePickerTime->setAccessibleName(QStringLiteral("Время прибора"));
    DateTimePickerDate->setAccessibleName(QStringLiteral("Дата прибора"));

    LabelInterval = NewNamedControl<QLabel>("LabelInterval", QString::fromUtf8("Интервал записи"), this);
    EditLogInterval = makeReadValue("EditLogInterval", this);

    LabelOptionsRec = NewNamedControl<QLabel>("LabelOptionsRec", QString::fromUtf8("Параметры записи"), this);
    CheckListBoxOptionsRec = new QListWidget(this);
    CheckListBoxOptionsRec->setObjectName(QStringLiteral("CheckListBoxOptionsRec"));
    // The ticks are the logger's and appear with its answer; the user cannot change them.
    for (const char* channel : {"Температура", "Влажность", "Давление"}) {
        auto* item = new QListWidgetItem(QString::fromUtf8(channel), CheckListBoxOptionsRec);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }

    LabelKL = NewNamedControl<QLabel>("LabelKL", QString::fromUtf8("Критические уровни:"), this);
    LabelKLT = NewNamedControl<QLabel>("LabelKLT", QString::fromUtf8("Температура"), this);
    LabelKLRH = NewNamedControl<QLabel>("LabelKLRH", QString::fromUtf8("Влажность"), this);
    EditTLimitMin = makeReadValue("EditTLimitMin", this);
    EditTLimitMax = makeReadValue("EditTLimitMax", this);
    EditRHLimitMin = makeReadValue("EditRHLimitMin", this);
    EditRHLimitMax = makeReadValue("EditRHLimitMax", this);

    ButtonLogReadAll = NewPageButton("Прочитать", "ButtonLogReadAll", this);
    ButtonLogWriteAll = NewPageButton("Записать", "ButtonLogWriteAll", this);
    ButtonLogMemErase = NewPageButton("Очистить память", "ButtonLogMemErase", this);
    buildLayout();

    // A click on the text goes to the picker's inner edit, one on its buttons to the picker.
    for (QAbstractSpinBox* picker : {static_cast<QAbstractSpinBox*>(DateTimePickerTime),
                                     static_cast<QAbstractSpinBox*>(DateTimePickerDate)}) {
        picker->installEventFilter(this);
        picker->findChild<QLineEdit*>()->installEventFilter(this);
    }
    connect(DateTimePickerTime, &QTimeEdit::timeChanged, this, &TLoggerPage::pickerTouched);
    connect(DateTimePickerDate, &QDateEdit::dateChanged, this, &TLoggerPage::pickerTouched);
    connect(ButtonLogReadAll, &QPushButton::clicked, this, &TLoggerPage::ButtonLogReadAllClick);
    connect(ButtonLogWriteAll, &QPushButton::clicked, this, &TLoggerPage::ButtonLogWriteAllClick);
    connect(ButtonLogMemErase, &QPushButton::clicked, this, &TLoggerPage::ButtonLogMemEraseClick);
}

void TLoggerPage::buildLayout()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setVerticalSpacing(4);
    grid->addWidget(LabelTime, 0, 0);
    grid->addWidget(DateTimePickerTime, 0, 1);
    grid->addWidget(LabelDate, 0, 2);
    grid->addWidget(DateTimePickerDate, 0, 3);
    grid->addWidget(LabelInterval, 1, 0, 1, 2);
    grid->addWidget(EditLogInterval, 1, 2, 1, 2);
    grid->addWidget(LabelOptionsRec, 2, 0, 1, 2);
    grid->addWidget(CheckListBoxOptionsRec, 2, 2, 1, 2);
    CheckListBoxOptionsRec->setFixedHeight(3 * CheckListBoxOptionsRec->sizeHintForRow(0) + 6);
    grid->addWidget(LabelKL, 3, 0, 1, 4);
    grid->addWidget(LabelKLT, 4, 0, 1, 2);
    grid->addWidget(EditTLimitMin, 4, 2);
    grid->addWidget(EditTLimitMax, 4, 3);
    grid->addWidget(LabelKLRH, 5, 0, 1, 2);
    grid->addWidget(EditRHLimitMin, 5, 2);
    grid->addWidget(EditRHLimitMax, 5, 3);
    grid->setRowStretch(6, 1);
    grid->addWidget(ButtonLogMemErase, 7, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonLogReadAll);
    buttons->addWidget(ButtonLogWriteAll);
    grid->addLayout(buttons, 8, 0, 1, 4);
}

QList<QWidget*> TLoggerPage::deviceControls() const
{
    return {DateTimePickerTime, DateTimePickerDate, ButtonLogMemErase, ButtonLogReadAll, ButtonLogWriteAll};
}

void TLoggerPage::setClockSource(std::function<QDateTime()> clock)
{
    clock_ = std::move(clock);
}

void TLoggerPage::setEraseFacts(std::function<TEraseFacts()> facts)
{
    eraseFacts_ = std::move(facts);
}

bool TLoggerPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        emit pickerTouched();
    return QWidget::eventFilter(watched, event);
}

void TLoggerPage::TimerDateTimeTimer()
{
    // Following the clock is no change by the user.
    const QDateTime now = clock_();
    const QSignalBlocker timeBlocker(DateTimePickerTime);
    const QSignalBlocker dateBlocker(DateTimePickerDate);
    DateTimePickerTime->setTime(now.time());
    DateTimePickerDate->setDate(now.date());
}

void TLoggerPage::showLevels(const QList<qint32>& levels)
{
    QLineEdit* const edits[] = {EditTLimitMin, EditTLimitMax, EditRHLimitMin, EditRHLimitMax};
    for (int i = 0; i < levels.size(); ++i)
        edits[i]->setText(RegisterText(levels[i], LevelScale, FormatLocale()));
}

void TLoggerPage::ButtonLogReadAllClick()
{
    readRegisters(QString::fromUtf8("Чтение настроек даталоггера…"),
                  {RegLogInterval, RegOptionsRec, RegTLimitMin, RegTLimitMax, RegRHLimitMin, RegRHLimitMax}, {},
                  [this](const QList<qint32>& values) { showSettings(values); });
}

void TLoggerPage::showSettings(const QList<qint32>& values)
{
    // A code outside the list is shown as it is rather than as a wrong interval.
    const std::optional<int> interval = LogIntervalCode().indexForCode(values[0]);
    EditLogInterval->setText(interval ? LogIntervalCode().items()[*interval]
                                      : QStringLiteral("неизвестный код %1").arg(values[0]));
    for (int i = 0; i < CheckListBoxOptionsRec->count(); ++i) {
        CheckListBoxOptionsRec->item(i)->setCheckState(values[1] & OptionBits[i] ? Qt::Checked
                                                                                   : Qt::Unchecked);
    }
    showLevels(values.mid(2));
    emit levelsRead(TUserLimits{values[2], values[3], values[4], values[5]});
}

void TLoggerPage::ButtonLogWriteAllClick()
{
    const QDateTime moment(DateTimePickerDate->date(), DateTimePickerTime->time());
    const QLocale locale = FormatLocale();
    const QString set =
        locale.toString(moment, locale.dateFormat(QLocale::ShortFormat) + u' ' + LongTimeFormat(locale));
    runChange(
        QString::fromUtf8("Установка часов даталоггера…"),
        [moment](TDeviceLink& link) {
            if (!link.SetClock(moment))
                return false;
            link.LogStatus(QString::fromUtf8("Запись настроек для даталоггера успешно выполнена"));
            return true;
        },
        TLoggerChange::Clock, QStringLiteral("Часы установлены на ") + set);
}

void TLoggerPage::ButtonLogMemEraseClick()
{
    switch (askToErase(window(), eraseFacts_())) {
    case EraseAnswer::Erase:
        return runChange(
            QString::fromUtf8("Очистка памяти прибора…"),
            [](TDeviceLink& link) {
                if (!link.EraseLogMemory())
                    return false;
                link.LogStatus(QStringLiteral("Память даталоггера очищена"));
                return true;
            },
            TLoggerChange::Erase, QStringLiteral("Память даталоггера очищена"));
    case EraseAnswer::ReadFirst:
        emit logReadRequested();
        return refuseWith(QStringLiteral("Память не очищена: сначала читается журнал даталоггера"));
    case EraseAnswer::Keep:
        break;
    }
    refuseWith(QStringLiteral("Очистка памяти отменена, журнал остался в даталоггере"));
}
