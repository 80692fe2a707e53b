#pragma once

#include <cstdint>
#include <string>

#include "xpc/DMEraseFileSystem.h"
#include "disktools/DMPartitionTable.h"
#include "platform/ProgramCall.h"

namespace harbormind {

// The command lines of erasing, each value its own argument: the file system's mkfs, and
// sfdisk's scripts with the partition type that fits the file system.
class EraseCommands {
public:
    // Makes `fileSystem` on `devicePath` (for an encrypted volume, the ext4 inside it). An ext4
    // file system's top folder belongs to `uid`:`gid`, so the user who erased it can write.
    static ProgramCall mkfs(DMEraseFileSystem fileSystem, const std::string& devicePath, const std::string& label,
                            std::uint32_t uid, std::uint32_t gid);
    // The partition type of the file system: a GPT type GUID or an MBR type code.
    static std::string partitionType(DMEraseFileSystem fileSystem, DMPartitionTable::Scheme scheme);
    // sfdisk's script for a new GPT holding one partition over the whole disk.
    static std::string newTableScript(DMEraseFileSystem fileSystem);
    // sfdisk's script for one more partition, in sectors.
    static std::string appendScript(std::int64_t startSector, std::int64_t sizeSectors, const std::string& type);
    // What libblkid reports as TYPE for the file system once made ("vfat", "crypto_LUKS").
    static std::string blkidType(DMEraseFileSystem fileSystem);
};

}  // namespace harbormind
