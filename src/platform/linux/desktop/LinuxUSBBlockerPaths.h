#pragma once

#include <string>

#include "platform/USBBlockerPaths.h"

namespace harbormind {

// The lists file lives in /var/lib/kestrane, which installation creates; only that folder is
// watched, not all of /var. HARBORMIND_USBBLOCKER_LISTS names another file (tests, trials).
class LinuxUSBBlockerPaths final : public USBBlockerPaths {
public:
    static constexpr const char* defaultListsFile = "/var/lib/kestrane/usbblocker.cnf";

    LinuxUSBBlockerPaths();
    explicit LinuxUSBBlockerPaths(std::string listsFile);

    std::string listsFilePath() override { return listsFile_; }
    std::string watchedFolder() override;

private:
    std::string listsFile_;
};

}  // namespace harbormind
