#include "settings/TCalibrationPage.h"

#include "device/RegisterConversions.h"
#include "device/RegisterMap.h"
#include "device/TDeviceLink.h"
#include "settings/DigitKeyFilter.h"
#include "settings/FieldConversion.h"
#include "settings/PageControls.h"
#include "settings/SignedDecimalKeyFilter.h"
#include "text/FormatLocale.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

void installKeyFilter(QLineEdit* edit, FieldKeyFilter filter)
{
    switch (filter) {
    case FieldKeyFilter::Digits:
        edit->installEventFilter(new DigitKeyFilter(edit));
        break;
    case FieldKeyFilter::Decimal:
        edit->installEventFilter(new DecimalKeyFilter(edit));
        break;
    case FieldKeyFilter::SignedDecimal:
        edit->installEventFilter(new SignedDecimalKeyFilter(edit));
        break;
    case FieldKeyFilter::None:
        break;
    }
}

QLabel* makeLabel(const char* caption, QWidget* parent)
{
    return new QLabel(QString::fromUtf8(caption), parent);
}

} // namespace

TCalibrationPage::TCalibrationPage(const CalibrationPageTable& table, TLoggerRequests& requests,
                                   QWidget* parent)
    : TDevicePage(requests, parent), table_(table), known_(table.fields.size())
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);

    for (int i = 0; i < table_.fields.size(); ++i) {
        const CalibrationField& field = table_.fields[i];
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(field.edit));
        edit->setAccessibleName(QString::fromUtf8(field.label));
        installKeyFilter(edit, field.filter);
        edits_.append(edit);

        QLabel* label = makeLabel(field.label, this);
        label->setBuddy(edit);
        if (i < CalibrationHeadFields) {
            grid->addWidget(label, i, 0);
            grid->addWidget(edit, i, 1);
        } else {
            const int coefficient = i - CalibrationHeadFields;
            const int row = CalibrationHeadFields + 1 + coefficient % table_.coefficientRows;
            const int column = 2 * (coefficient / table_.coefficientRows);
            grid->addWidget(label, row, column);
            grid->addWidget(edit, row, column + 1);
        }
    }
    for (int index = 0; index < table_.singles.size(); ++index) {
        const SingleValueAction& single = table_.singles[index];
        QPushButton* read = addButton(single.readButton, "Чтение");
        QPushButton* write = addButton(single.writeButton, "Запись");
        grid->addWidget(read, single.field, 2);
        grid->addWidget(write, single.field, 3);
        connect(read, &QPushButton::clicked, this, [this, index] { readOne(index); });
        connect(write, &QPushButton::clicked, this, [this, index] { writeOne(index); });
    }
    int nextRow = CalibrationHeadFields;
    if (table_.fields.size() > CalibrationHeadFields) {
        grid->addWidget(makeLabel("Коэффициенты:", this), nextRow, 0, 1, 4);
        nextRow += 1 + table_.coefficientRows;
    }
    grid->setRowStretch(nextRow, 1);

    if (table_.defaultButton) {
        auto* row = new QHBoxLayout;
        QPushButton* defaults = addButton(table_.defaultButton, "По умолчанию");
        QPushButton* readAll = addButton(table_.readAllButton, "Прочитать");
        QPushButton* writeAll = addButton(table_.writeAllButton, "Записать");
        row->addWidget(defaults);
        row->addStretch();
        row->addWidget(readAll);
        row->addWidget(writeAll);
        grid->addLayout(row, nextRow + 1, 0, 1, 4);
        connect(defaults, &QPushButton::clicked, this, &TCalibrationPage::showDefaults);
        connect(readAll, &QPushButton::clicked, this, &TCalibrationPage::readPage);
        connect(writeAll, &QPushButton::clicked, this, &TCalibrationPage::writePage);
    }
}

QPushButton* TCalibrationPage::addButton(const char* objectName, const char* caption)
{
    auto* button = NewNamedControl<QPushButton>(objectName, QString::fromUtf8(caption), this);
    buttons_.append(button);
    return button;
}

QList<QWidget*> TCalibrationPage::deviceControls() const
{
    QList<QWidget*> controls(buttons_.begin(), buttons_.end());
    controls.append(QList<QWidget*>(edits_.begin(), edits_.end()));
    return controls;
}

QLineEdit* TCalibrationPage::edit(const QString& name) const
{
    return findChild<QLineEdit*>(name);
}

QPushButton* TCalibrationPage::button(const QString& name) const
{
    return findChild<QPushButton*>(name);
}

QString TCalibrationPage::shownValue(const CalibrationField& field, qint32 value) const
{
    return RegisterText(value, field.scale, FormatLocale());
}

void TCalibrationPage::readOne(int single)
{
    const SingleValueAction& action = table_.singles[single];
    const CalibrationField& field = table_.fields[action.field];
    // The table is the program's own and outlives every request.
    readRegisters(QString::fromUtf8("Чтение: %1…").arg(QString::fromUtf8(field.label)), {field.reg},
                  QString::fromUtf8(action.readMessage),
                  [this, &action, &field](const QList<qint32>& values) {
                      known_[action.field] = values[0];
                      edits_[action.field]->setText(shownValue(field, values[0]));
                  });
}

void TCalibrationPage::writeOne(int single)
{
    const SingleValueAction& action = table_.singles[single];
    const CalibrationField& field = table_.fields[action.field];
    const TFieldValue converted = ConvertField(edits_[action.field]->text(), field.scale, QString::fromUtf8(field.label));
    if (!converted.error.isEmpty()) {
        ShowErrorBox(window(), converted.error);
        return refuse();
    }
    const std::optional<qint32> value = converted.value;
    if (!value || *value < action.min || *value > action.max)
        return refuseWith(QString::fromUtf8(action.errorMessage));
    writeRegisters(QString::fromUtf8("Запись: %1…").arg(QString::fromUtf8(field.label)), {{field.reg, *value}},
                   TDeviceLink::ReplyTimeoutMs, QString::fromUtf8(action.writeMessage), TLoggerChange::Calibration,
                   changeText(action.field, *value),
                   [this, fieldIndex = action.field, written = *value] { known_[fieldIndex] = written; });
}

void TCalibrationPage::readPage()
{
    QList<int> registers;
    for (const CalibrationField& field : table_.fields)
        registers.append(field.reg);
    readRegisters(QString::fromUtf8("Чтение всех коэффициентов…"), registers, QString::fromUtf8(table_.readAllMessage),
                  [this](const QList<qint32>& values) {
        for (int i = 0; i < table_.fields.size(); ++i) {
            known_[i] = values[i];
            edits_[i]->setText(shownValue(table_.fields[i], values[i]));
        }
    });
}

void TCalibrationPage::writePage()
{
    QList<std::optional<qint32>> values;
    for (int i = 0; i < table_.fields.size(); ++i) {
        const CalibrationField& field = table_.fields[i];
        const TFieldValue converted = ConvertField(edits_[i]->text(), field.scale, QString::fromUtf8(field.label));
        if (!converted.error.isEmpty()) {
            ShowErrorBox(window(), converted.error);
            return refuse();
        }
        values.append(converted.value);
    }

    QList<RegisterWrite> writes;
    QStringList changes;
    for (int i = 0; i < table_.fields.size(); ++i) {
        const CalibrationField& field = table_.fields[i];
        if (!values[i] || *values[i] < field.pageMin || *values[i] > field.pageMax)
            return refuseWith(QString::fromUtf8(field.pageError));
        writes.append({field.reg, *values[i]});
        changes.append(changeText(i, *values[i]));
    }
    writeRegisters(QString::fromUtf8("Запись всех коэффициентов…"), writes, TDeviceLink::ReplyTimeoutMs,
                   QString::fromUtf8(table_.writeAllMessage), TLoggerChange::Calibration,
                   changes.join(QStringLiteral("; ")), [this, writes] {
                       for (int i = 0; i < writes.size(); ++i)
                           known_[i] = writes[i].value;
                   });
}

void TCalibrationPage::noteInitialised()
{
    for (int i = 0; i < table_.fields.size(); ++i) {
        const auto reg = std::size_t(table_.fields[i].reg);
        if (reg < DefaultRegisterImage.size())
            known_[i] = DefaultRegisterImage[reg];
    }
}

QString TCalibrationPage::changeText(int field, qint32 value) const
{
    const CalibrationField& shown = table_.fields[field];
    const std::optional<QString> before =
        known_[field] ? std::optional<QString>(shownValue(shown, *known_[field])) : std::nullopt;
    return ValueChangeText(QString::fromUtf8(shown.label), before, shownValue(shown, value));
}

void TCalibrationPage::showDefaults()
{
    for (int i = 0; i < table_.fields.size(); ++i)
        edits_[i]->setText(shownValue(table_.fields[i], table_.fields[i].defaultValue));
}
