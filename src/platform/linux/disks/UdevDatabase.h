#pragma once

#include <optional>
#include <string>

#include "platform/linux/disks/VolumeFacts.h"

namespace harbormind {

// What udev learnt about a block device when it probed it as root, from its database
// (/run/udev/data/b<major>:<minor>, lines "E:KEY=VALUE"). An ordinary user cannot open a
// desktop's device nodes (root:disk 0660), but may read this.
class UdevDatabase {
public:
    // `root` is "/run/udev/data" except in tests.
    explicit UdevDatabase(std::string root = "/run/udev/data") : root_(std::move(root)) {}

    // The file-system and partition facts of the device "major:minor"; none without a record.
    std::optional<VolumeFacts> facts(const std::string& devNumber) const;

    // udev's "\x20"-style escapes undone (the *_ENC values).
    static std::string decoded(const std::string& value);

private:
    std::string root_;
};

}  // namespace harbormind
