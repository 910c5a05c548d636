#pragma once

#include "mail/MailSettings.h"

#include <QGroupBox>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class TAlarmMailer;

// "Электронная почта": the server, user, password, sender and recipients of
// the alarms' e-mail. "Проверить" sends a test message with what is entered
// on a mailer of the box's own, in the background, and says in the box how
// it went. The password field shows nothing stored: left empty, the stored
// password stays and is the one used.
class TMailSettingsBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit TMailSettingsBox(QWidget* parent = nullptr);

    void load(const TMailSettings& settings);
    // What the fields hold.
    TMailSettings settings() const;
    // Why what is entered cannot be kept, as one Russian line; empty when it can.
    QString validationError() const;
    // Keeps the settings in the program's settings file and a password
    // entered in the secret store, off the UI thread: passwordStored or
    // passwordNotStored tell how that went, and the box shows it.
    void apply();

signals:
    void passwordStored();
    void passwordNotStored(const QString& message);

private:
    void ButtonMailCheckClick();
    // The password entered; none when the field is empty (the stored one counts).
    std::optional<QString> enteredPassword() const;
    void showResult(const QString& message, bool fault);

    QLineEdit* EditMailServer;
    QLineEdit* EditMailUser;
    QLineEdit* EditMailPassword;
    QLineEdit* EditMailFrom;
    QLineEdit* EditMailRecipients;
    QPushButton* ButtonMailCheck;
    QLabel* LabelMailResult;

    TAlarmMailer* mailer_;
};
