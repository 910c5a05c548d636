#include "app/TKorviApplication.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

// Qt's own dialogs speak Russian on a system without a locale, as the program
// starts there: the C locale is set before the application object is made.
class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxButtonsAreRussian();
    void fileDialogButtonsAreRussian();
    void lineEditContextMenuIsRussian();
};

void QtTranslationsTest::messageBoxButtonsAreRussian()
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Ошибка"), QStringLiteral("текст"),
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Save);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
    QCOMPARE(box.button(QMessageBox::Save)->text(), QStringLiteral("Сохранить"));
}

void QtTranslationsTest::fileDialogButtonsAreRussian()
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    QCOMPARE(dialog.labelText(QFileDialog::Accept), QStringLiteral("&Сохранить"));
    QCOMPARE(dialog.labelText(QFileDialog::FileName), QStringLiteral("&Имя файла:"));
}

void QtTranslationsTest::lineEditContextMenuIsRussian()
{
    QLineEdit edit(QStringLiteral("45,6"));
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    QVERIFY2(texts.contains(QStringLiteral("&Копировать\tCtrl+C")), qPrintable(texts.join(u'|')));
}

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale::c());
    TKorviApplication application(argc, argv);
    QtTranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "QtTranslationsTest.moc"
