#pragma once

#include "shell/TUserDialogs.h"

#include <QPrinter>
#include <QStringList>

// Answers the program's dialogs as a test tells it and remembers what the
// program asked and said.
class FakeDialogs : public TUserDialogs {
public:
    QString openFileName(QWidget*, const QString&) override { return nextAnswer(); }
    QString saveFileName(QWidget*, const QString& proposedName, bool confirmOverwrite) override
    {
        proposedNames.append(proposedName);
        overwriteConfirmed.append(confirmOverwrite);
        return nextAnswer();
    }
    QString saveFileNameOffering(QWidget*, const QString& proposedName, const QStringList& suffixes) override
    {
        proposedNames.append(proposedName);
        offeredSuffixes.append(suffixes);
        overwriteConfirmed.append(true);
        return nextAnswer();
    }
    void showError(QWidget*, const QString& text) override { errors.append(text); }
    bool confirm(QWidget*, const QString& question) override
    {
        questions.append(question);
        return confirms;
    }
    // Prints into the PDF file `printToPdf`; cancelled when it is empty.
    bool setUpPrinter(QWidget*, QPrinter& printer) override
    {
        if (printToPdf.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToPdf);
        return true;
    }

    QStringList answers;  // file names to give, in order; empty: cancelled
    QStringList proposedNames;
    QList<bool> overwriteConfirmed;
    QList<QStringList> offeredSuffixes;
    QStringList errors;
    QStringList questions;
    bool confirms = false; // the answer to every question
    QString printToPdf;

private:
    QString nextAnswer() { return answers.isEmpty() ? QString() : answers.takeFirst(); }
};
