#include "shell/TAcknowledgeDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TAcknowledgeDialog::TAcknowledgeDialog(const QString& alarms, QWidget* parent)
    : QDialog(parent)
    , EditComment(new QPlainTextEdit(this))
    , LabelProblem(new QLabel(this))
    , Buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("AcknowledgeDialog"));
    setWindowTitle(QStringLiteral("Подтверждение тревоги"));
    auto* shown = new QLabel(alarms, this);
    shown->setWordWrap(true);
    auto* prompt = new QLabel(QStringLiteral("Что сделано (комментарий обязателен):"), this);
    EditComment->setObjectName(QStringLiteral("EditComment"));
    EditComment->setTabChangesFocus(true);
    prompt->setBuddy(EditComment);
    LabelProblem->setObjectName(QStringLiteral("LabelProblem"));
    LabelProblem->setStyleSheet(QStringLiteral("color: #c00000"));
    Buttons->setObjectName(QStringLiteral("Buttons"));
    Buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Подтвердить"));
    Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(shown);
    layout->addWidget(prompt);
    layout->addWidget(EditComment);
    layout->addWidget(LabelProblem);
    layout->addWidget(Buttons);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TAcknowledgeDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(420, 220);
}

QString TAcknowledgeDialog::comment() const
{
    return EditComment->toPlainText().trimmed();
}

void TAcknowledgeDialog::accept()
{
    if (comment().isEmpty()) {
        LabelProblem->setText(QStringLiteral("Напишите, что сделано: без комментария тревога не подтверждается"));
        EditComment->setFocus();
        return;
    }
    QDialog::accept();
}
