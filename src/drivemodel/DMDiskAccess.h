#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/DADisk.h"
#include "platform/DiskArbitrationSession.h"
#include "platform/DiskDescription.h"
#include "platform/RegistryEntryId.h"

namespace harbormind {

// Opens disks by device name on the current platform, for reading. Every read copies the
// description afresh; a disk that cannot be opened reads as no description.
class DMDiskAccess {
public:
    struct OpenDisk {
        std::shared_ptr<DiskArbitrationSession> session;
        DADisk disk;
    };

    static std::optional<OpenDisk> open(const std::string& bsdName);
    static std::optional<DiskDescription> description(const std::string& bsdName);
    static std::optional<RegistryEntryId> ioMedia(const std::string& bsdName);

private:
    static std::shared_ptr<DiskArbitrationSession> readingSession();
};

}  // namespace harbormind
