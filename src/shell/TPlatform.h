#pragma once

#include "data/VolumeSource.h"
#include "device/HidBackend.h"
#include "shell/TUserDialogs.h"

#include <memory>

// What the program talks to outside itself: the HID devices, the mounted
// volumes and the user's file dialogs, real or simulated.
struct TPlatform {
    std::unique_ptr<HidBackend> hid;
    std::unique_ptr<VolumeSource> volumes;
    std::unique_ptr<TUserDialogs> dialogs = std::make_unique<TQtDialogs>();
};
