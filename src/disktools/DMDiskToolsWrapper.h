#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "disktools/DMDiskImageStatus.h"
#include "disktools/DMDriveHealth.h"
#include "xpc/DMEraseFileSystem.h"
#include "disktools/DMPartitionTable.h"
#include "support/Clock.h"
#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCRemoteObject.h"

namespace harbormind {

// The client of the daemon's disk tools. Every request waits for its answer with a time
// limit; a daemon that cannot be reached or does not answer gives a failure whose message
// says so.
class DMDiskToolsWrapper {
public:
    // Erasing may wait for an administrator's password and then format a large volume.
    static constexpr Clock::Duration eraseLimit = seconds(3600);

    DMDiskToolsWrapper();

    // The whole disk's health; "Not available" with the reason when it cannot report.
    DMDriveHealth health(const std::string& bsdname);
    XPCCodeAnswer startSelfTest(const std::string& bsdname, bool extended);
    // The table, or none with `error` saying why.
    std::optional<DMPartitionTable> partitionTable(const std::string& bsdname, std::string& error);
    XPCCodeAnswer erase(const std::string& bsdname, DMEraseFileSystem fileSystem, const std::string& label,
                        const std::string& password);
    XPCCodeAnswer createPartition(const std::string& disk, std::int64_t startBytes, std::int64_t sizeBytes,
                                  DMEraseFileSystem fileSystem, const std::string& label, const std::string& password);
    XPCCodeAnswer deletePartition(const std::string& bsdname);
    // Disk images; `imageFd` is the image file the user opened (kept and closed by the caller).
    XPCCodeAnswer checkImageRestore(const std::string& bsdname, int imageFd);
    XPCCodeAnswer createImage(const std::string& bsdname, int imageFd, bool compress);
    XPCCodeAnswer restoreImage(const std::string& bsdname, int imageFd);
    // The caller's image job; `failed` with the reason when the daemon cannot say.
    DMDiskImageStatus imageStatus();
    XPCCodeAnswer stopImage();

private:
    std::unique_ptr<XPCRemoteObject> diskToolsXPCObj_;
};

}  // namespace harbormind
