#pragma once

#include "device/RegisterWrite.h"

#include <QList>
#include <QString>

// 0 when the dotted text holds four decimal groups of at most 255 each, 1 when a
// group is no decimal number (an empty or blank group included), 2 when a group
// exceeds 255. Blanks and control characters around a group are ignored.
int ValidateIpAddress(const QString& text);

// The text without any blank: what a masked address edit sends.
QString RemoveBlanks(const QString& text);

// The texts of the Wi-Fi page, the address fields with their blanks.
struct WiFiSettings {
    QString deviceName;
    QString deviceGroup;
    int intervalIndex = -1; // item of the interval list; -1 for none
    QString netName;
    QString passw;
    QString ipAddr;
    QString mask;
    QString gateway;
};

// The outcome of checking the page: the status line of the first failed check,
// or the registers of the write transaction and what the archive's trail
// tells of it: every setting sent but the password.
struct WiFiWritePlan {
    QString error;
    QList<RegisterWrite> writes;
    QString detail;
};

// Checks in the page's order, then lays out registers 45 to 85 (the group is
// checked but never sent). Texts that Windows-1251 cannot carry and a missing
// interval are refused after the page's own checks.
WiFiWritePlan PlanWiFiWrite(const WiFiSettings& settings);
