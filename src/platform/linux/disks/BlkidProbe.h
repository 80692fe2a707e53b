#pragma once

#include <string>
#include <vector>

#include "platform/linux/disks/VolumeFacts.h"

namespace harbormind {

enum class ProbeTable { Read, Skip };

// Reads a device's signatures with libblkid (no udev database is needed). A partition is
// probed with ProbeTable::Skip: a partition is never a partitioned disk, whatever boot
// signature its file system carries (exFAT looks like an MBR to a table probe). Each call takes
// the device's node already open (`node`, kept open) or opens it by path when `node` is -1.
class BlkidProbe {
public:
    // A partition table entry as the disk's table gives it.
    struct Entry {
        int number = 0;
        std::optional<std::string> type;
        std::optional<std::string> uuid;
        std::optional<std::string> name;
    };

    // With ProbeTable::Skip only the device's own signatures are read (no partition entry).
    static VolumeFacts probe(const std::string& devicePath, ProbeTable table, int node = -1);
    // The entries of a disk's partition table and its scheme ("gpt", "dos"); read once per
    // disk, which is far cheaper than letting libblkid find the disk of each partition (it
    // searches /dev for the disk's node every time).
    struct Table {
        std::optional<std::string> scheme;  // "gpt", "dos", "mac"
        std::optional<std::string> id;      // the table's UUID (or MBR disk id)
        std::vector<Entry> entries;
    };
    static Table partitionTable(const std::string& diskPath, int node = -1);
    // A whole disk whose partition table was read already: what probe(ProbeTable::Read) finds.
    static VolumeFacts probeDisk(const std::string& diskPath, const Table& table, int node = -1);

private:
    // The file system signatures of the device, added to `facts`.
    static VolumeFacts superblocks(const std::string& devicePath, int node, VolumeFacts facts);
};

}  // namespace harbormind
