#include "shell/TAlarmDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox* spinBox(const QString& name, int highest, const QString& suffix, int value, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(0, highest);
    spin->setSuffix(suffix);
    spin->setValue(value);
    return spin;
}

} // namespace

TAlarmDialog::TAlarmDialog(const TAlarmSettings& settings, QWidget* parent)
    : QDialog(parent)
    , CheckEnabled(new QCheckBox(QStringLiteral("Поднимать тревогу, когда показания выходят за пределы"), this))
    , SpinDelay(spinBox(QStringLiteral("SpinDelay"), TAlarmSettings::LongestDelaySeconds, QStringLiteral(" с"),
                        settings.delaySeconds, this))
    , SpinRepeat(spinBox(QStringLiteral("SpinRepeat"), TAlarmSettings::LongestRepeatMinutes, QStringLiteral(" мин"),
                         settings.repeatMinutes, this))
    , CheckWatched{new QCheckBox(QStringLiteral("температура"), this), new QCheckBox(QStringLiteral("влажность"), this),
                   new QCheckBox(QStringLiteral("давление"), this)}
    , Buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("AlarmDialog"));
    setWindowTitle(QStringLiteral("Оповещения"));
    CheckEnabled->setObjectName(QStringLiteral("CheckEnabled"));
    CheckEnabled->setChecked(settings.enabled);
    SpinDelay->setSpecialValueText(QStringLiteral("сразу"));
    SpinRepeat->setSpecialValueText(QStringLiteral("не повторять"));
    const char* const watchedNames[] = {"CheckTemperature", "CheckHumidity", "CheckPressure"};
    auto* watched = new QHBoxLayout;
    for (size_t slot = 0; slot < CheckWatched.size(); ++slot) {
        CheckWatched[slot]->setObjectName(QLatin1String(watchedNames[slot]));
        CheckWatched[slot]->setChecked(settings.watched[slot]);
        watched->addWidget(CheckWatched[slot]);
    }
    Buttons->setObjectName(QStringLiteral("Buttons"));
    Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Задержка тревоги:"), SpinDelay);
    form->addRow(QStringLiteral("Повторять неподтверждённую каждые:"), SpinRepeat);
    form->addRow(QStringLiteral("Наблюдать:"), watched);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckEnabled);
    layout->addLayout(form);
    layout->addWidget(Buttons);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

TAlarmSettings TAlarmDialog::settings() const
{
    TAlarmSettings settings;
    settings.enabled = CheckEnabled->isChecked();
    settings.delaySeconds = SpinDelay->value();
    settings.repeatMinutes = SpinRepeat->value();
    for (size_t slot = 0; slot < CheckWatched.size(); ++slot)
        settings.watched[slot] = CheckWatched[slot]->isChecked();
    return settings;
}
