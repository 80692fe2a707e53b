#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

class DMDriveObjectProtocol;

// A drive as the clone windows show it, read away from the user-interface thread.
struct DMCloneDrive {
    // A volume on the drive: what a clone onto it erases, or what must not change while it
    // is copied.
    struct Volume {
        std::string name;
        std::optional<std::string> mountPoint;
    };

    std::shared_ptr<DMDriveObjectProtocol> drive;
    std::string identifier;  // the device name, such as "sdb"
    std::string name;
    std::string icon;
    std::int64_t size = 0;
    std::vector<Volume> volumes;

    std::vector<Volume> mountedVolumes() const {
        std::vector<Volume> mounted;
        for (const Volume& volume : volumes) {
            if (volume.mountPoint) {
                mounted.push_back(volume);
            }
        }
        return mounted;
    }
};

}  // namespace harbormind
