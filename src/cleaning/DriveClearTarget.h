#pragma once

#include <optional>
#include <string>

namespace harbormind {

class DeviceNaming;
class DirectoryWalker;

// Decides whether a folder may be offered for drive clear. Clearing marks whole folders for
// permanent deletion, so the running system's volumes and the volume holding the user's home
// folder are never offered, and the folder must be the very mount point of the chosen drive.
class DriveClearTarget {
public:
    enum class Verdict {
        allowed,
        notTheDrivesMountPoint,
        systemVolume,
        homeVolume,
    };

    // `path` is what would be scanned; `driveMountPoint` the mount point the drive reports now.
    static Verdict check(const std::string& path, const std::optional<std::string>& driveMountPoint,
                         const std::string& home, const DeviceNaming& naming, DirectoryWalker& walker);
    // A one-line reason for a refusal, for the command line and the log.
    static std::string describe(Verdict verdict);
    // `path` without trailing slashes ("/" stays "/").
    static std::string normalised(std::string path);
};

}  // namespace harbormind
