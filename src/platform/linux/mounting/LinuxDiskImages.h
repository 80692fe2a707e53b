#pragma once

#include "platform/DiskImages.h"

namespace harbormind {

// Opens the image with the user's own rights (for reading, and for writing unless read-only)
// and hands the open file to the daemon, which attaches it as a loop device recorded as the
// user's; the daemon never opens the path itself.
class LinuxDiskImages final : public DiskImages {
public:
    Answer attach(const std::string& path, bool readOnly) override;
};

}  // namespace harbormind
