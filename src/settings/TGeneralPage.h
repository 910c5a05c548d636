#pragma once

#include <QList>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class TDeviceLink;

// The settings window's page "Обшие": the device number, the initialisation of
// the calibration registers and the reading of the log memory in use.
class TGeneralPage : public QWidget {
    Q_OBJECT

public:
    explicit TGeneralPage(TDeviceLink& link, QWidget* parent = nullptr);

    // The controls that follow the connection state (SetDeviceControlsEnabled).
    QList<QWidget*> deviceControls() const;

    QLabel* Label16;
    QLineEdit* EditDeviceNumber;
    QPushButton* ButtonDeviceNumberRead;
    QPushButton* ButtonDeviceNumberWrite;
    QPushButton* ButtonDeviceInit;
    QPushButton* ButtonNumRecord;

public slots:
    // Each returns whether the logger answered; on failure the link has logged it.
    bool ButtonDeviceNumberReadClick();
    // Shows "'<text>' is not a valid integer value" in the error box before
    // anything is sent when the field does not hold a 32-bit integer.
    bool ButtonDeviceNumberWriteClick();
    bool ButtonDeviceInitClick();
    void ButtonNumRecordClick();

public:
    // Reads the bytes of log memory in use, logs them and emits the record count
    // (whole 16-byte records).
    std::optional<qint64> ReadLogMemoryUsage();

signals:
    void recordCountRead(qint64 recordCount);

private:
    TDeviceLink& link_;
};
