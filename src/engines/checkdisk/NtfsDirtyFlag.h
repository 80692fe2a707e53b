#pragma once

#include <optional>
#include <string>

namespace harbormind {

// Reads the "volume is dirty" flag of an NTFS volume ($Volume's volume information), which
// ntfsfix neither reports nor, without -d, clears. Every offset read from the volume is
// checked against what was read.
class NtfsDirtyFlag {
public:
    // True when set, false when clear, none when the volume's records cannot be read.
    static std::optional<bool> read(const std::string& devicePath);
    // The flag from the raw bytes of $Volume's file record, as read from the volume.
    static std::optional<bool> parseVolumeRecord(std::string record);
};

}  // namespace harbormind
