#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/DiskArbitration.h"
#include "platform/FileContents.h"
#include "platform/FileEvents.h"
#include "support/DispatchQueue.h"
#include "usbblocker/DriveTools.h"

namespace harbormind {

// What a USBDiskList works with. A missing file service keeps the lists in memory only; a
// missing event service leaves them unwatched.
struct USBDiskListServices {
    FileContents* files = nullptr;
    FileEvents* fileEvents = nullptr;
    DiskArbitration* diskArbitration = nullptr;
    DriveTools* driveTools = nullptr;
    // Where the watch's handler runs.
    std::shared_ptr<DispatchQueue> watchQueue;
    std::string savePath;
    std::string watchedFolder;
    // The administrator's lists files, merged after the lists file at every load.
    std::function<std::vector<std::string>()> dropInFiles;
};

}  // namespace harbormind
