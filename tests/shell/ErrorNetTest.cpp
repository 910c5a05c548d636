#include "KorviTestMain.h"

#include "SimulatedWindows.h"

#include "shell/TFormRead.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <memory>
#include <stdexcept>

// The application object's last net: an error that escapes a handler shows
// the error box and the program goes on. Its own program, because the thrown
// error unwinds through Qt's dispatch, which leaves a Qt buffer behind that
// the leak check must not take for ours.
class ErrorNetTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void errorInAHandlerShowsTheBoxAndTheProgramGoesOn();

private:
    std::unique_ptr<SimulatedWindows> simulation;
    TApplicationWindows* windows = nullptr;
};

void ErrorNetTest::init()
{
    simulation = std::make_unique<SimulatedWindows>();
    windows = simulation->windows.get();
    windows->showMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(windows->formRead_.get()));
}

void ErrorNetTest::cleanup()
{
    simulation.reset();
}

void ErrorNetTest::errorInAHandlerShowsTheBoxAndTheProgramGoesOn()
{
    TFormRead& monitor = *windows->formRead_;
    const MonitorControls controls = simulation->monitorControls();
    controls.ButtonStartMon->setEnabled(true);
    connect(controls.ButtonStartMon, &QPushButton::clicked, this,
            [] { throw std::runtime_error("'x1' is not a valid integer value"); });
    QString shown;
    QString detail;
    QTimer::singleShot(0, this, [&shown, &detail] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->text();
        detail = box->detailedText();
        box->accept();
    });
    QTest::mouseClick(controls.ButtonStartMon, Qt::LeftButton);
    // The user reads one Russian line; the exception's own English is the detail.
    QCOMPARE(shown, QStringLiteral("Действие прервано из-за ошибки в программе"));
    QCOMPARE(detail, QStringLiteral("'x1' is not a valid integer value"));

    QTest::keyClick(&monitor, Qt::Key_F9, Qt::ShiftModifier);
    QCOMPARE(controls.ButtonReg->Tag, TFormRead::TestModeTag);
}

KORVI_QTEST_MAIN(ErrorNetTest)
#include "ErrorNetTest.moc"
