#include "shell/TMailSettingsBox.h"

#include "data/UserLimitsSettings.h"
#include "mail/TAlarmMailer.h"
#include "shell/MessageLabel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString CheckSubject = QStringLiteral("Проверка оповещений korvi-monitor");
const QString CheckBody = QStringLiteral("Это проверочное письмо программы korvi-monitor.\n"
                                         "Оповещения о выходе измерений за пределы придут на этот адрес так же.");

QLineEdit* field(const QString& name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

} // namespace

TMailSettingsBox::TMailSettingsBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Электронная почта"), parent)
    , EditMailServer(field(QStringLiteral("EditMailServer"), this))
    , EditMailUser(field(QStringLiteral("EditMailUser"), this))
    , EditMailPassword(field(QStringLiteral("EditMailPassword"), this))
    , EditMailFrom(field(QStringLiteral("EditMailFrom"), this))
    , EditMailRecipients(field(QStringLiteral("EditMailRecipients"), this))
    , ButtonMailCheck(new QPushButton(QStringLiteral("Проверить"), this))
    , LabelMailResult(new QLabel(this))
    , mailer_(new TAlarmMailer({}, this))
{
    setObjectName(QStringLiteral("MailSettingsBox"));
    EditMailServer->setPlaceholderText(QStringLiteral("smtp://сервер:587 или smtps://сервер:465"));
    EditMailPassword->setEchoMode(QLineEdit::Password);
    EditMailPassword->setPlaceholderText(QStringLiteral("пусто — прежний пароль"));
    EditMailFrom->setPlaceholderText(QStringLiteral("имя@домен"));
    EditMailRecipients->setPlaceholderText(QStringLiteral("адреса через запятую"));
    ButtonMailCheck->setObjectName(QStringLiteral("ButtonMailCheck"));
    ButtonMailCheck->setToolTip(QStringLiteral("Отправить проверочное письмо с тем, что введено"));
    LabelMailResult->setObjectName(QStringLiteral("LabelMailResult"));
    MakeOneLineStatus(LabelMailResult);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Сервер"), EditMailServer);
    form->addRow(QStringLiteral("Пользователь"), EditMailUser);
    form->addRow(QStringLiteral("Пароль"), EditMailPassword);
    form->addRow(QStringLiteral("От кого"), EditMailFrom);
    form->addRow(QStringLiteral("Кому"), EditMailRecipients);
    auto* check = new QHBoxLayout;
    check->addWidget(ButtonMailCheck);
    check->addWidget(LabelMailResult, 1);
    form->addRow(check);

    connect(ButtonMailCheck, &QPushButton::clicked, this, &TMailSettingsBox::ButtonMailCheckClick);
    connect(mailer_, &TAlarmMailer::sent, this, [this] {
        showResult(QStringLiteral("Тестовое письмо отправлено"), false);
        ButtonMailCheck->setEnabled(true);
    });
    connect(mailer_, &TAlarmMailer::failed, this, [this](const QString& message) {
        showResult(message, true);
        ButtonMailCheck->setEnabled(true);
    });
    connect(mailer_, &TAlarmMailer::passwordStored, this, [this] {
        showResult(QStringLiteral("Пароль сохранён в хранилище паролей"), false);
        emit passwordStored();
    });
    connect(mailer_, &TAlarmMailer::passwordNotStored, this, [this](const QString& message) {
        showResult(message, true);
        emit passwordNotStored(message);
    });
}

void TMailSettingsBox::load(const TMailSettings& settings)
{
    EditMailServer->setText(settings.url);
    EditMailUser->setText(settings.user);
    EditMailPassword->clear();
    EditMailFrom->setText(settings.from);
    EditMailRecipients->setText(JoinMailRecipients(settings.recipients));
    LabelMailResult->clear();
}

TMailSettings TMailSettingsBox::settings() const
{
    return {EditMailServer->text().trimmed(), EditMailUser->text().trimmed(), EditMailFrom->text().trimmed(),
            SplitMailRecipients(EditMailRecipients->text())};
}

QString TMailSettingsBox::validationError() const
{
    const TMailSettings entered = settings();
    if (entered.user.isEmpty() && enteredPassword())
        return QStringLiteral("Пароль почтового сервера введён без пользователя: укажите пользователя");
    return MailSettingsError(entered);
}

void TMailSettingsBox::apply()
{
    const TMailSettings entered = settings();
    StoreMailSettings(*ProgramSettings(), entered);
    const std::optional<QString> password = enteredPassword();
    if (!password)
        return;
    mailer_->setSettings(entered);
    mailer_->storePassword(*password);
    EditMailPassword->clear();
    showResult(QStringLiteral("Пароль сохраняется в хранилище паролей…"), false);
}

void TMailSettingsBox::ButtonMailCheckClick()
{
    const TMailSettings entered = settings();
    QString problem = validationError();
    if (problem.isEmpty() && !entered.configured())
        problem = QStringLiteral("Укажите сервер, отправителя и получателей");
    if (!problem.isEmpty()) {
        showResult(problem, true);
        return;
    }
    mailer_->setSettings(entered, enteredPassword());
    mailer_->send({CheckSubject, CheckBody});
    ButtonMailCheck->setEnabled(false);
    showResult(QStringLiteral("Отправляется тестовое письмо…"), false);
}

std::optional<QString> TMailSettingsBox::enteredPassword() const
{
    if (EditMailPassword->text().isEmpty())
        return std::nullopt;
    return EditMailPassword->text();
}

void TMailSettingsBox::showResult(const QString& message, bool fault)
{
    ShowMessageLine(LabelMailResult, message, fault);
}
