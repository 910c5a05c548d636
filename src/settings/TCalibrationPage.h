#pragma once

#include "settings/CalibrationTables.h"
#include "settings/TDevicePage.h"

#include <QList>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// A calibration page ("Температура", "Влажность", "Давление") built from its
// table: one edit per field, read and write buttons per single action, and the
// page-wide default, read and write buttons where the table has them. The five
// kinds of action are written once here and walk the table.
class TCalibrationPage : public TDevicePage {
    Q_OBJECT

public:
    TCalibrationPage(const CalibrationPageTable& table, TLoggerRequests& requests, QWidget* parent = nullptr);

    // The controls that follow the connection state (SetDeviceControlsEnabled).
    QList<QWidget*> deviceControls() const;

    // Controls by their object names ("EditTempOffset", "ButtonTempReadAll", ...).
    QLineEdit* edit(const QString& name) const;
    QPushButton* button(const QString& name) const;

    // Each ends with requestFinished, telling whether the action went through
    // to its success line; a silent logger has then been reported by the link.
    // The writes show the conversion error of the first field that holds no
    // number, before anything is checked.
    void readOne(int single);
    void writeOne(int single);
    void readPage();
    void writePage();
    // Puts the defaults into the fields; nothing is sent or logged.
    void showDefaults();
    // The logger's initialisation wrote the defaults of the registers it covers.
    void noteInitialised();

private:
    QString shownValue(const CalibrationField& field, qint32 value) const;
    QPushButton* addButton(const char* objectName, const char* caption);
    // The trail's "Смещение: 0,1 → 0,5" of a field about to be written.
    QString changeText(int field, qint32 value) const;

    const CalibrationPageTable& table_;
    QList<QLineEdit*> edits_;
    QList<QPushButton*> buttons_;
    // Per field, what the logger holds as far as the page knows: read or
    // written since the program started; none while unknown.
    QList<std::optional<qint32>> known_;
};
