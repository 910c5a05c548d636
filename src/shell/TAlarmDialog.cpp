#include "shell/TAlarmDialog.h"

#include "shell/TMailSettingsBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox* spinBox(const QString& name, int highest, const QString& suffix, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(0, highest);
    spin->setSuffix(suffix);
    return spin;
}

} // namespace

TAlarmDialog::TAlarmDialog(QWidget* parent)
    : QDialog(parent)
    , CheckEnabled(new QCheckBox(QStringLiteral("Поднимать тревогу, когда показания выходят за пределы"), this))
    , SpinDelay(spinBox(QStringLiteral("SpinDelay"), TAlarmSettings::LongestDelaySeconds, QStringLiteral(" с"), this))
    , SpinRepeat(spinBox(QStringLiteral("SpinRepeat"), TAlarmSettings::LongestRepeatMinutes, QStringLiteral(" мин"), this))
    , CheckWatched{new QCheckBox(QStringLiteral("температура"), this), new QCheckBox(QStringLiteral("влажность"), this),
                   new QCheckBox(QStringLiteral("давление"), this)}
    , MailBox(new TMailSettingsBox(this))
    , LabelProblem(new QLabel(this))
    , Buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("AlarmDialog"));
    setWindowTitle(QStringLiteral("Оповещения"));
    CheckEnabled->setObjectName(QStringLiteral("CheckEnabled"));
    SpinDelay->setSpecialValueText(QStringLiteral("сразу"));
    SpinRepeat->setSpecialValueText(QStringLiteral("не повторять"));
    const char* const watchedNames[] = {"CheckTemperature", "CheckHumidity", "CheckPressure"};
    auto* watched = new QHBoxLayout;
    for (size_t slot = 0; slot < CheckWatched.size(); ++slot) {
        CheckWatched[slot]->setObjectName(QLatin1String(watchedNames[slot]));
        watched->addWidget(CheckWatched[slot]);
    }
    LabelProblem->setObjectName(QStringLiteral("LabelProblem"));
    LabelProblem->setStyleSheet(QStringLiteral("color: #c00000"));
    LabelProblem->setWordWrap(true);
    Buttons->setObjectName(QStringLiteral("Buttons"));
    Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Задержка тревоги:"), SpinDelay);
    form->addRow(QStringLiteral("Повторять неподтверждённую каждые:"), SpinRepeat);
    form->addRow(QStringLiteral("Наблюдать:"), watched);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckEnabled);
    layout->addLayout(form);
    layout->addWidget(MailBox);
    layout->addWidget(LabelProblem);
    layout->addWidget(Buttons);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TAlarmDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(MailBox, &TMailSettingsBox::passwordNotStored, this, &TAlarmDialog::passwordNotStored);
}

void TAlarmDialog::load(const TAlarmSettings& settings, const TMailSettings& mail)
{
    CheckEnabled->setChecked(settings.enabled);
    SpinDelay->setValue(settings.delaySeconds);
    SpinRepeat->setValue(settings.repeatMinutes);
    for (size_t slot = 0; slot < CheckWatched.size(); ++slot)
        CheckWatched[slot]->setChecked(settings.watched[slot]);
    MailBox->load(mail);
    LabelProblem->clear();
}

void TAlarmDialog::accept()
{
    if (const QString problem = MailBox->validationError(); !problem.isEmpty()) {
        LabelProblem->setText(problem);
        return;
    }
    MailBox->apply();
    QDialog::accept();
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
