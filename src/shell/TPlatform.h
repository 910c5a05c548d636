#pragma once

#include "data/VolumeSource.h"
#include "device/HidBackend.h"

#include <memory>

// What the program talks to outside itself: the HID devices and the mounted
// volumes, real or simulated.
struct TPlatform {
    std::unique_ptr<HidBackend> hid;
    std::unique_ptr<VolumeSource> volumes;
};
