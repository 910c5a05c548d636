#include "shell/TLimitsDialog.h"

#include "data/UserLimitsSettings.h"
#include "device/RegisterConversions.h"
#include "settings/FieldConversion.h"
#include "settings/SignedDecimalKeyFilter.h"
#include "text/FormatLocale.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int LevelScale = 10; // levels are kept in tenths

// The level each field holds, in the order of TLimitsDialog::levelEdits().
constexpr std::array<int TUserLimits::*, 6> FieldLevels = {
    &TUserLimits::temperatureMin, &TUserLimits::temperatureMax, &TUserLimits::humidityMin,
    &TUserLimits::humidityMax,    &TUserLimits::pressureMin,    &TUserLimits::pressureMax};
constexpr size_t AllLevels = FieldLevels.size();
// The logger's critical levels are those of temperature and humidity, the first four.
constexpr size_t LoggerLevels = 4;

QLineEdit* levelEdit(const QString& name, DecimalKeyFilter* filter, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    filter->setParent(edit);
    edit->installEventFilter(filter);
    return edit;
}

} // namespace

TLimitsDialog::TLimitsDialog(const TUserLimits& limits, const std::optional<TUserLimits>& loggerLevels,
                             QWidget* parent)
    : QDialog(parent)
    , EditTLimitMin(levelEdit(QStringLiteral("EditTLimitMin"), new SignedDecimalKeyFilter, this))
    , EditTLimitMax(levelEdit(QStringLiteral("EditTLimitMax"), new SignedDecimalKeyFilter, this))
    , EditRHLimitMin(levelEdit(QStringLiteral("EditRHLimitMin"), new DecimalKeyFilter, this))
    , EditRHLimitMax(levelEdit(QStringLiteral("EditRHLimitMax"), new DecimalKeyFilter, this))
    , EditPLimitMin(levelEdit(QStringLiteral("EditPLimitMin"), new DecimalKeyFilter, this))
    , EditPLimitMax(levelEdit(QStringLiteral("EditPLimitMax"), new DecimalKeyFilter, this))
    , ButtonLoggerLevels(new QPushButton(QStringLiteral("Использовать уровни прибора"), this))
    , LabelProblem(new QLabel(this))
    , Buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
    , loggerLevels_(loggerLevels)
    , chosen_(limits)
{
    setObjectName(QStringLiteral("LimitsDialog"));
    setWindowTitle(QStringLiteral("Пределы"));
    ButtonLoggerLevels->setObjectName(QStringLiteral("ButtonLoggerLevels"));
    ButtonLoggerLevels->setEnabled(loggerLevels_.has_value());
    ButtonLoggerLevels->setToolTip(loggerLevels_ ? QString()
                                                : QStringLiteral("Прочитайте уровни на странице «Даталоггер»"));
    LabelProblem->setObjectName(QStringLiteral("LabelProblem"));
    Buttons->setObjectName(QStringLiteral("Buttons"));
    LabelProblem->setStyleSheet(QStringLiteral("color: #c00000"));
    LabelProblem->setWordWrap(true);
    Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Нижний"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Верхний"), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Температура, *С"), this), 1, 0);
    grid->addWidget(EditTLimitMin, 1, 1);
    grid->addWidget(EditTLimitMax, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Влажность, %"), this), 2, 0);
    grid->addWidget(EditRHLimitMin, 2, 1);
    grid->addWidget(EditRHLimitMax, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Давление, кПа"), this), 3, 0);
    grid->addWidget(EditPLimitMin, 3, 1);
    grid->addWidget(EditPLimitMax, 3, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(ButtonLoggerLevels);
    layout->addWidget(LabelProblem);
    layout->addWidget(Buttons);

    connect(ButtonLoggerLevels, &QPushButton::clicked, this, &TLimitsDialog::ButtonLoggerLevelsClick);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TLimitsDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &TLimitsDialog::reject);
    showLevels(limits, AllLevels);
}

std::array<QLineEdit*, 6> TLimitsDialog::levelEdits() const
{
    return {EditTLimitMin, EditTLimitMax, EditRHLimitMin, EditRHLimitMax, EditPLimitMin, EditPLimitMax};
}

void TLimitsDialog::showLevels(const TUserLimits& limits, size_t count)
{
    const QLocale locale = FormatLocale();
    const std::array<QLineEdit*, 6> edits = levelEdits();
    for (size_t field = 0; field < count; ++field)
        edits[field]->setText(RegisterText(limits.*FieldLevels[field], LevelScale, locale));
}

// The pressure fields keep what they hold: the logger has no pressure levels.
void TLimitsDialog::ButtonLoggerLevelsClick()
{
    if (loggerLevels_)
        showLevels(*loggerLevels_, LoggerLevels);
}

void TLimitsDialog::accept()
{
    TUserLimits typed;
    const std::array<QLineEdit*, 6> edits = levelEdits();
    for (size_t field = 0; field < AllLevels; ++field) {
        QLineEdit* edit = edits[field];
        const std::optional<qint32> value = ConvertField(edit->text(), LevelScale).value;
        if (!value) {
            LabelProblem->setText(QStringLiteral("«%1» — не число: введите уровень, например 8,0").arg(edit->text()));
            edit->setFocus();
            return;
        }
        typed.*FieldLevels[field] = *value;
    }
    if (!LimitsAreOrdered(typed)) {
        LabelProblem->setText(QStringLiteral("Нижний предел должен быть меньше верхнего"));
        return;
    }
    chosen_ = typed;
    QDialog::accept();
}
