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
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(ButtonLoggerLevels);
    layout->addWidget(LabelProblem);
    layout->addWidget(Buttons);

    connect(ButtonLoggerLevels, &QPushButton::clicked, this, &TLimitsDialog::ButtonLoggerLevelsClick);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TLimitsDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &TLimitsDialog::reject);
    showLimits(limits);
}

void TLimitsDialog::showLimits(const TUserLimits& limits)
{
    const QLocale locale = FormatLocale();
    EditTLimitMin->setText(RegisterText(limits.temperatureMin, LevelScale, locale));
    EditTLimitMax->setText(RegisterText(limits.temperatureMax, LevelScale, locale));
    EditRHLimitMin->setText(RegisterText(limits.humidityMin, LevelScale, locale));
    EditRHLimitMax->setText(RegisterText(limits.humidityMax, LevelScale, locale));
}

void TLimitsDialog::ButtonLoggerLevelsClick()
{
    if (loggerLevels_)
        showLimits(*loggerLevels_);
}

void TLimitsDialog::accept()
{
    // The levels the dialog does not show stay as they were.
    TUserLimits typed = chosen_;
    const std::pair<QLineEdit*, int&> levels[] = {{EditTLimitMin, typed.temperatureMin},
                                                  {EditTLimitMax, typed.temperatureMax},
                                                  {EditRHLimitMin, typed.humidityMin},
                                                  {EditRHLimitMax, typed.humidityMax}};
    for (const auto& [edit, level] : levels) {
        const std::optional<qint32> value = ConvertField(edit->text(), LevelScale).value;
        if (!value) {
            LabelProblem->setText(QStringLiteral("«%1» — не число: введите уровень, например 8,0").arg(edit->text()));
            edit->setFocus();
            return;
        }
        level = *value;
    }
    if (!LimitsAreOrdered(typed)) {
        LabelProblem->setText(QStringLiteral("Нижний предел должен быть меньше верхнего"));
        return;
    }
    chosen_ = typed;
    QDialog::accept();
}
