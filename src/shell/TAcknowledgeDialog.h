#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;

// "Подтверждение тревоги": what was done about the alarms shown, in the
// user's words. OK keeps the comment only when it says something; otherwise
// the dialog stays and says why.
class TAcknowledgeDialog : public QDialog {
    Q_OBJECT
public:
    // alarms: the monitor's line of the alarms being acknowledged.
    TAcknowledgeDialog(const QString& alarms, QWidget* parent);

    // The comment accepted by OK, without surrounding blanks.
    QString comment() const;

public slots:
    void accept() override;

private:
    QPlainTextEdit* EditComment;
    QLabel* LabelProblem;
    QDialogButtonBox* Buttons;
};
