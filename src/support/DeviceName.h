#pragma once

#include <compare>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace harbormind {

// The kernel's name of a block device ("sdb1", "nvme0n1p2", "loop3", "dm-0"), checked once
// when it is made: not empty, at most `maximumLength` bytes, letters, digits and "-_.:!"
// only (the kernel writes a '/' in a name as '!'), and never starting with '.'. So "/dev/" +
// name is always a node directly inside /dev, whatever a caller sent.
class DeviceName {
public:
    static constexpr std::size_t maximumLength = 64;

    // A bare name ("sdb1"); none when it is not a device name.
    static std::optional<DeviceName> fromName(std::string_view name);
    // "/dev/NAME" or a bare NAME.
    static std::optional<DeviceName> parse(std::string_view text);
    // As parse, also taking the raw form "/dev/rNAME" that older callers send for a copy.
    // Only for a machine whose device names never start with 'r' ("/dev/ram0" would be read
    // as "am0").
    static std::optional<DeviceName> parseAcceptingRaw(std::string_view text);

    const std::string& name() const { return name_; }
    std::string path() const { return std::string(devFolder) + name_; }

    bool operator==(const DeviceName&) const = default;
    auto operator<=>(const DeviceName&) const = default;

private:
    static constexpr std::string_view devFolder = "/dev/";

    explicit DeviceName(std::string name) : name_(std::move(name)) {}
    std::string name_;
};

}  // namespace harbormind
