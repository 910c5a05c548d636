#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <memory>

struct HidDeviceInfo {
    QString path;
    quint16 vendorId = 0;
    quint16 productId = 0;
    // A null string when the device would not tell its serial number.
    QString serialNumber;
};

// An opened HID device. Reports are whole, report id in byte 0 included, in both
// directions, whatever the platform's own convention.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    virtual bool write(const quint8* data, int size) = 0;
    // Bytes read, 0 when nothing came within timeoutMs, -1 on an error.
    virtual int read(quint8* data, int size, int timeoutMs) = 0;
};

// The transport under the device link: real USB or a simulation. Delays go
// through it too, so that a simulated logger can run in virtual time.
class HidBackend {
public:
    virtual ~HidBackend() = default;
    virtual bool initialise() = 0;
    // The HID devices of one vendor (0: of every vendor). Asking for the
    // vendor spares the system opening every other HID device to look at it.
    virtual QList<HidDeviceInfo> enumerate(quint16 vendorId) = 0;
    // Null, with the system's reason, when the device cannot be opened.
    virtual std::unique_ptr<HidDevice> open(const QString& path, QString* reason) = 0;
    virtual void sleep(int ms) = 0;
};
