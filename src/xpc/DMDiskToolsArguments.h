#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "xpc/DMEraseFileSystem.h"
#include "xpc/XPCCodeAnswer.h"

namespace harbormind {

// A new volume as asked for: its file system and its label as it will be written.
struct DMNewVolume {
    DMEraseFileSystem fileSystem = DMEraseFileSystem::ext4;
    std::string label;
};

// The checks of the disk tools' arguments that need nothing of the machine: the daemon makes
// them before it asks for any authorization, and the simulated daemon makes the same, so a
// window test sees the refusals users see.
class DMDiskToolsArguments {
public:
    static constexpr std::int64_t partitionAlignment = 1 << 20;

    // The volume, or the `invalid` answer naming what is wrong with the name or the label.
    static std::optional<DMNewVolume> newVolume(const std::string& fileSystem, const std::string& label,
                                                XPCCodeAnswer& refusal);
    // The `invalid` answer for space that cannot be a partition's (negative, unaligned, smaller
    // than 1 MiB, or past the largest size a disk has); empty when it can.
    static std::optional<XPCCodeAnswer> spaceProblem(std::int64_t startBytes, std::int64_t sizeBytes);
};

}  // namespace harbormind
