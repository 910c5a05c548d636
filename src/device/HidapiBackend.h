#pragma once

#include "device/HidBackend.h"

// Whether a write of a report of reportSize bytes went out: Windows pads an
// output report to the device's report length and counts the padding too.
bool HidWriteAccepted(int written, int reportSize);

// Real loggers through hidapi (hidraw on Linux, hid.dll and SetupAPI on Windows).
class HidapiBackend : public HidBackend {
public:
    HidapiBackend() = default;
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    bool initialise() override;
    QList<HidDeviceInfo> enumerate(quint16 vendorId) override;
    std::unique_ptr<HidDevice> open(const QString& path, QString* reason) override;
    void sleep(int ms) override;

private:
    bool initialised_ = false;
};
