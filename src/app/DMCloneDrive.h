#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace harbormind {

class DMDriveObjectProtocol;

// A drive as the clone windows show it, read away from the user-interface thread.
struct DMCloneDrive {
    std::shared_ptr<DMDriveObjectProtocol> drive;
    std::string identifier;  // the device name, such as "sdb"
    std::string name;
    std::string icon;
    std::int64_t size = 0;
};

}  // namespace harbormind
