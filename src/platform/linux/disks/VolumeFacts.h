#pragma once

#include <optional>
#include <string>

namespace harbormind {

// What the contents of a block device say about themselves: the file system (or other
// signature) it carries, the partition table of a disk, and the partition's own table entry.
struct VolumeFacts {
    std::optional<std::string> type;           // "ext4", "vfat", "crypto_LUKS", "swap", ...
    std::optional<std::string> label;
    std::optional<std::string> uuid;
    std::optional<std::string> tableType;      // "gpt", "dos", "mac" on a partitioned disk
    std::optional<std::string> tableUuid;
    std::optional<std::string> entryType;      // GPT type GUID or MBR type ("0x83")
    std::optional<std::string> entryUuid;
    std::optional<std::string> entryName;
    std::optional<std::string> entryScheme;    // the table the entry belongs to
};

}  // namespace harbormind
