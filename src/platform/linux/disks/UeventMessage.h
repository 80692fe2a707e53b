#pragma once

#include <map>
#include <optional>
#include <string>

namespace harbormind {

// One kernel uevent: "ACTION@DEVPATH" followed by KEY=VALUE fields, each ended by a NUL.
struct UeventMessage {
    std::string action;   // add, remove, change, move, online, offline, bind, unbind
    std::string devPath;
    std::map<std::string, std::string> fields;

    std::string field(const std::string& key) const {
        auto it = fields.find(key);
        return it == fields.end() ? std::string() : it->second;
    }
    bool isBlockDevice() const { return field("SUBSYSTEM") == "block"; }
    // The kernel name of the device ("sda1"), from DEVNAME or the last part of the path.
    std::string deviceName() const;

    // None for anything that is not a kernel uevent (a udev daemon's re-broadcast starts
    // with "libudev" and is ignored: the kernel's own message comes too).
    static std::optional<UeventMessage> parse(const char* data, std::size_t length);
};

}  // namespace harbormind
