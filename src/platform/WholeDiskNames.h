#pragma once

#include <optional>
#include <string>

namespace harbormind {

// How a device name shows the whole disk it belongs to, read from the name alone (the device
// may be gone). A platform without this service uses disk names of the form disk4s2 -> disk4.
class WholeDiskNames {
public:
    virtual ~WholeDiskNames() = default;
    // The whole disk's name as the name spells it (sdb1 -> sdb); none when the name is not a disk's.
    virtual std::optional<std::string> wholeDiskPrefix(const std::string& bsdName) = 0;
};

}  // namespace harbormind
