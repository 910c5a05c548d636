#pragma once

#include "settings/TDevicePage.h"

#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct WiFiSettings;

// The settings window's page "Wi-Fi": the logger's name, group and poll
// interval, and the network it joins (name, password, address, mask, gateway).
class TWiFiPage : public TDevicePage {
    Q_OBJECT

public:
    explicit TWiFiPage(TLoggerRequests& requests, QWidget* parent = nullptr);

    QList<QWidget*> deviceControls() const;
    // An address edit's text with its blanks, "   .   .   .   " when empty.
    static QString addressText(const QLineEdit* edit);

    QLabel* LabelLogger;
    QLabel* LabelNet;
    QLineEdit* EditDeviceName;
    QLineEdit* EditDeviceGroup;
    QComboBox* ComboBoxWiFiInterval;
    QLineEdit* EditNetName;
    QLineEdit* EditPassw;
    QLineEdit* MaskEditIPAddr;
    QLineEdit* MaskEditMask;
    QLineEdit* MaskEditGateway;
    QPushButton* ButtonWiFiDefault;
    QPushButton* ButtonWiFiReadAll;
    QPushButton* ButtonWiFiWriteAll;

public slots:
    void ShowWiFiDefaults();
    void ButtonWiFiDefaultClick() { ShowWiFiDefaults(); }
    // Each ends with requestFinished, telling whether it went through; a
    // silent logger leaves every field alone.
    void ButtonWiFiReadAllClick();
    void ButtonWiFiWriteAllClick();

private:
    WiFiSettings currentSettings() const;
};
