#pragma once

#include "settings/TDevicePage.h"

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The settings window's page "Обшие": the device number, the initialisation of
// the calibration registers and the reading of the log memory in use.
class TGeneralPage : public TDevicePage {
    Q_OBJECT

public:
    explicit TGeneralPage(TLoggerRequests& requests, QWidget* parent = nullptr);

    // The controls that follow the connection state (SetDeviceControlsEnabled).
    QList<QWidget*> deviceControls() const;
    // The number a newly detected logger told, empty when it told none.
    void showDetectedNumber(const QString& numberText);

    QLabel* Label16;
    QLineEdit* EditDeviceNumber;
    QPushButton* ButtonDeviceNumberRead;
    QPushButton* ButtonDeviceNumberWrite;
    QPushButton* ButtonDeviceInit;
    QPushButton* ButtonNumRecord;

public slots:
    // Each ends with requestFinished; on a silent logger the link has logged it.
    void ButtonDeviceNumberReadClick();
    // Says in the error box that the field wants a 32-bit integer, before
    // anything is sent, when it does not hold one.
    void ButtonDeviceNumberWriteClick();
    void ButtonDeviceInitClick();
    void ButtonNumRecordClick();

public:
    // Reads the bytes of log memory in use, logs them and emits the record count
    // (whole 16-byte records).
    void ReadLogMemoryUsage();

signals:
    void recordCountRead(qint64 recordCount);
    // "Инициализировать" went through: the registers hold their defaults.
    void initialised();

private:
    // The number the logger holds as far as the page knows: told at
    // detection, read, or written since; none while unknown.
    std::optional<qint32> knownNumber_;
};
