#pragma once

#include "shell/SettingsControls.h"
#include "shell/SimulatedWindows.h"

#include "device/TDeviceReport.h"
#include "shell/TFormSetting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <memory>

// The real settings window on a connected simulated logger, with the page under
// test shown; the detection lines and requests are cleared before each case.
struct SettingsWindowFixture {
    explicit SettingsWindowFixture(QWidget* SettingsControls::*sheet)
        : simulation(std::make_unique<SimulatedWindows>())
        , settings(simulation->windows->formSetting_.get())
        , logger(simulation->logger.get())
    {
        simulation->connectLogger();
        for (QWidget* page : settings->servicePages())
            settings->setPageVisible(page, true);
        SettingsControls(*settings).PageControl->setCurrentWidget(SettingsControls(*settings).*sheet);
        settings->show();
        SettingsControls(*settings).ListBox1->clear();
        logger->clearRequests();
    }

    // The status lines without their time stamps.
    QStringList messages() const
    {
        QStringList result;
        for (int row = 0; row < SettingsControls(*settings).ListBox1->count(); ++row)
            result << SettingsControls(*settings).ListBox1->item(row)->text().section(QStringLiteral(" -> "), 1);
        return result;
    }

    QList<int> commands() const
    {
        QList<int> result;
        for (const TDeviceReport& request : logger->requests())
            result.append(request.command());
        return result;
    }

    // Clicks the button and answers every message box it raises; returns their texts.
    static QStringList clickCollectingBoxes(QAbstractButton* button)
    {
        QStringList texts;
        QTimer closer;
        closer.setInterval(0);
        QObject::connect(&closer, &QTimer::timeout, [&texts] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                box->done(QMessageBox::Ok);
            }
        });
        closer.start();
        QTest::mouseClick(button, Qt::LeftButton);
        closer.stop();
        return texts;
    }

    // Clicks the button and lets the requests it asks end.
    void click(QAbstractButton* button) const
    {
        QTest::mouseClick(button, Qt::LeftButton);
        simulation->finishRequests();
    }

    std::unique_ptr<SimulatedWindows> simulation;
    TFormSetting* settings;
    SimulatedLogger* logger;
};
