#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// Whether NTFS can be mounted read-write here: ntfs-3g installed, or the kernel's ntfs3 driver
// listed in /proc/filesystems. On Linux this stands for the driver files of other systems.
class LinuxNtfsDriverCheck {
public:
    // The roots differ only in tests.
    explicit LinuxNtfsDriverCheck(std::string procRoot = "/proc", std::vector<std::string> ntfs3gPaths = defaultPaths());

    bool present() const;
    bool kernelHasNtfs3() const;
    std::optional<std::string> ntfs3gProgram() const;

    static std::vector<std::string> defaultPaths();

private:
    std::string procRoot_;
    std::vector<std::string> ntfs3gPaths_;
};

}  // namespace harbormind
