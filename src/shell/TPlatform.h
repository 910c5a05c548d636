#pragma once

#include "archive/TArchiveLocation.h"
#include "data/VolumeSource.h"
#include "device/HidBackend.h"
#include "shell/TUserDialogs.h"

#include <memory>
#include <optional>

// What the program talks to outside itself: the HID devices, the mounted
// volumes, the user's file dialogs, real or simulated, and the archive.
struct TPlatform {
    std::unique_ptr<HidBackend> hid;
    std::unique_ptr<VolumeSource> volumes;
    std::unique_ptr<TUserDialogs> dialogs = std::make_unique<TQtDialogs>();
    // Where every load is archived; none: loads are not archived. When none
    // could be chosen, why.
    std::optional<TArchiveLocation> archive = std::nullopt;
    QString archiveUnavailable = {};
};
