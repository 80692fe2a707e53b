#pragma once

#include <string>

#include "platform/linux/VolumeFacts.h"

namespace harbormind {

enum class ProbeTable { Read, Skip };

// Reads a device's signatures with libblkid (no udev database is needed). A partition is
// probed with ProbeTable::Skip: a partition is never a partitioned disk, whatever boot
// signature its file system carries (exFAT looks like an MBR to a table probe).
class BlkidProbe {
public:
    static VolumeFacts probe(const std::string& devicePath, ProbeTable table);
};

}  // namespace harbormind
