#pragma once

#include <cstdint>
#include <string>

#include "daemon/linux/DiskToolRunner.h"
#include "daemon/linux/DiskToolsDevices.h"
#include "xpc/DMEraseFileSystem.h"
#include "disktools/DMPartitionTable.h"
#include "xpc/XPCCodeAnswer.h"

namespace harbormind {

// Who the new file system is made for: its top folder is theirs (ext4).
struct EraseOwner {
    std::uint32_t uid = 0;
    std::uint32_t gid = 0;
};

// Erasing and partitioning with sfdisk and the mkfs programs. Each step's outcome is checked
// before the next, and the result is read back (the table, the new file system's type and
// label) before `done` is answered. Devices are kernel names that the daemon has checked.
class DiskEraser {
public:
    DiskEraser(DiskToolRunner& runner, const DiskToolsDevices& devices, std::string procRoot = "/proc");

    // The disk's table as JSON for DMPartitionTable::parse.
    XPCCodeAnswer partitionTable(const std::string& disk);
    // A whole disk: a new GPT with one partition, formatted. A partition: formatted.
    XPCCodeAnswer erase(const std::string& device, DMEraseFileSystem fileSystem, const std::string& label,
                        const std::string& password, EraseOwner owner);
    XPCCodeAnswer createPartition(const std::string& disk, std::int64_t startBytes, std::int64_t sizeBytes,
                                  DMEraseFileSystem fileSystem, const std::string& label, const std::string& password,
                                  EraseOwner owner);
    XPCCodeAnswer deletePartition(const std::string& partition);

private:
    std::optional<DMPartitionTable> readTable(const std::string& disk, std::string& json);
    XPCCodeAnswer format(const std::string& partition, DMEraseFileSystem fileSystem, const std::string& label,
                         const std::string& password, EraseOwner owner);
    XPCCodeAnswer formatEncrypted(const std::string& partition, const std::string& label, const std::string& password,
                                  EraseOwner owner);
    XPCCodeAnswer checkMade(const std::string& partition, DMEraseFileSystem fileSystem, const std::string& label);
    // Waits (a few seconds at most) for the kernel to show partition `number` of the disk.
    std::string waitForPartition(const std::string& disk, std::int64_t number);
    bool waitUntilGone(const std::string& partition, const std::string& disk, const std::string& number);
    XPCCodeAnswer failure(const std::string& what, const ProcessResult& result) const;

    DiskToolRunner& runner_;
    const DiskToolsDevices& devices_;
    std::string procRoot_;
};

}  // namespace harbormind
