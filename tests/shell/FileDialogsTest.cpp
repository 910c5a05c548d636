#include "KorviTestMain.h"

#include "shell/FileDialogSetup.h"
#include "shell/TUserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

// The program's file dialogs on real QFileDialogs, answered from a timer as
// soon as they show; the remembered folder lives in a temporary settings file.
class FileDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void filtersFitEachKindOfFile();
    void saveProposesTheNameWithItsFilterAndSuffix();
    void aSaveOfSeveralKindsOffersAFilterEachAndTheChosenOnesSuffix();
    void theNextDialogStartsInTheLastFolder();
    void cancelGivesNothingAndRemembersNothing();

private:
    // Runs `ask` while `answer` handles the dialog it shows.
    QString answerDialog(const std::function<QString()>& ask, const std::function<void(QFileDialog&)>& answer);

    QTemporaryDir folder;
    std::unique_ptr<TQtDialogs> dialogs;
    QString settingsFile;
};

void FileDialogsTest::init()
{
    settingsFile = folder.filePath(QStringLiteral("settings-%1.ini").arg(QTest::currentTestFunction()));
    dialogs = std::make_unique<TQtDialogs>(std::make_unique<QSettings>(settingsFile, QSettings::IniFormat));
}

QString FileDialogsTest::answerDialog(const std::function<QString()>& ask,
                                      const std::function<void(QFileDialog&)>& answer)
{
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answered = true;
        answer(*dialog);
    });
    const QString path = ask();
    [&] { QVERIFY(answered); }();
    return path;
}

void FileDialogsTest::filtersFitEachKindOfFile()
{
    const struct {
        const char* suffix;
        const char* filter;
    } cases[] = {
        {"xlsx", "Отчёт Excel (*.xlsx)"}, {"pdf", "PDF (*.pdf)"}, {"bmp", "Рисунок BMP (*.bmp)"},
        {"csv", "CSV (*.csv)"},           {"log", "Журнал прибора (*.log)"},
        {"sqlite", "Архив SQLite (*.sqlite)"},
    };
    for (const auto& c : cases)
        QCOMPARE(FileDialogSetup::NameFilters(QString::fromLatin1(c.suffix)),
                 QStringList({QString::fromUtf8(c.filter), QStringLiteral("Все файлы (*)")}));
    QCOMPARE(FileDialogSetup::NameFilters(QStringLiteral("bin")), QStringList{QStringLiteral("Все файлы (*)")});
}

void FileDialogsTest::saveProposesTheNameWithItsFilterAndSuffix()
{
    const QString path = answerDialog(
        [&] { return dialogs->saveFileName(nullptr, folder.filePath(QStringLiteral("10.12.2026.xlsx")), false); },
        [&](QFileDialog& dialog) {
            QCOMPARE(dialog.nameFilters().value(0), QStringLiteral("Отчёт Excel (*.xlsx)"));
            QCOMPARE(dialog.defaultSuffix(), QStringLiteral("xlsx"));
            QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
            auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            QCOMPARE(name->text(), QStringLiteral("10.12.2026.xlsx"));
            // A name typed without a suffix gets the report's.
            name->setText(QStringLiteral("склад"));
            static_cast<QDialog&>(dialog).accept();
        });
    QCOMPARE(path, folder.filePath(QStringLiteral("склад.xlsx")));
}

void FileDialogsTest::aSaveOfSeveralKindsOffersAFilterEachAndTheChosenOnesSuffix()
{
    const QString path = answerDialog(
        [&] {
            return dialogs->saveFileNameOffering(nullptr, folder.filePath(QStringLiteral("журнал.csv")),
                                                 {QStringLiteral("csv"), QStringLiteral("pdf")});
        },
        [&](QFileDialog& dialog) {
            QCOMPARE(dialog.nameFilters(),
                     QStringList({QStringLiteral("CSV (*.csv)"), QStringLiteral("PDF (*.pdf)"),
                                  QStringLiteral("Все файлы (*)")}));
            QCOMPARE(dialog.defaultSuffix(), QStringLiteral("csv"));
            QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
            // The user picks the PDF filter and types a name without a suffix.
            auto* kinds = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(kinds);
            QTest::keyClick(kinds, Qt::Key_Down);
            QCOMPARE(kinds->currentText(), QStringLiteral("PDF (*.pdf)"));
            QCOMPARE(dialog.defaultSuffix(), QStringLiteral("pdf"));
            dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("склад"));
            static_cast<QDialog&>(dialog).accept();
        });
    QCOMPARE(path, folder.filePath(QStringLiteral("склад.pdf")));
}

void FileDialogsTest::theNextDialogStartsInTheLastFolder()
{
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("отчёты")));
    const QString reports = folder.filePath(QStringLiteral("отчёты"));
    answerDialog([&] { return dialogs->saveFileName(nullptr, reports + QStringLiteral("/a.csv"), true); },
                 [](QFileDialog& dialog) { static_cast<QDialog&>(dialog).accept(); });
    QCOMPARE(QSettings(settingsFile, QSettings::IniFormat).value(QStringLiteral("FileDialogs/LastFolder")).toString(),
             reports);

    // A program started later reads the same settings.
    dialogs = std::make_unique<TQtDialogs>(std::make_unique<QSettings>(settingsFile, QSettings::IniFormat));
    answerDialog([&] { return dialogs->openFileName(nullptr, QStringLiteral("Открыть файл журнала")); },
                 [&](QFileDialog& dialog) {
                     QCOMPARE(dialog.directory().absolutePath(), reports);
                     QCOMPARE(dialog.nameFilters().value(0), QStringLiteral("Журнал прибора (*.log)"));
                     QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
                     dialog.reject();
                 });
}

void FileDialogsTest::cancelGivesNothingAndRemembersNothing()
{
    const QString path = answerDialog(
        [&] { return dialogs->saveFileName(nullptr, folder.filePath(QStringLiteral("a.bmp")), false); },
        [](QFileDialog& dialog) {
            QCOMPARE(dialog.nameFilters().value(0), QStringLiteral("Рисунок BMP (*.bmp)"));
            dialog.reject();
        });
    QVERIFY(path.isEmpty());
    QVERIFY(!QSettings(settingsFile, QSettings::IniFormat).contains(QStringLiteral("FileDialogs/LastFolder")));
}

KORVI_QTEST_MAIN(FileDialogsTest)
#include "FileDialogsTest.moc"
