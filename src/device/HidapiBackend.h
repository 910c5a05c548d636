#pragma once

#include "device/HidBackend.h"

// Real loggers through hidapi (hidraw on Linux, hid.dll and SetupAPI on Windows).
class HidapiBackend : public HidBackend {
public:
    HidapiBackend() = default;
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    bool initialise() override;
    QList<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const QString& path, QString* reason) override;
    void sleep(int ms) override;

private:
    bool initialised_ = false;
};
