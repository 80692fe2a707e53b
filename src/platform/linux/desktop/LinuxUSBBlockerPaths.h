#pragma once

#include <string>
#include <vector>

#include "platform/USBBlockerPaths.h"

namespace harbormind {

// The lists file lives in /var/lib/kestrane, which installation creates; only that folder is
// watched, not all of /var. HARBORMIND_USBBLOCKER_LISTS names another file (tests, trials).
// The administrator's lists are the "*.cnf" files of /etc/kestrane/usbblocker.d; with
// another lists file, of the folder "usbblocker.d" beside it.
class LinuxUSBBlockerPaths final : public USBBlockerPaths {
public:
    static constexpr const char* defaultListsFile = "/var/lib/kestrane/usbblocker.cnf";
    static constexpr const char* defaultDropInFolder = "/etc/kestrane/usbblocker.d";

    LinuxUSBBlockerPaths();
    explicit LinuxUSBBlockerPaths(std::string listsFile);

    std::string listsFilePath() override { return listsFile_; }
    std::string watchedFolder() override;
    std::vector<std::string> dropInFiles() override;
    std::string dropInFolder() const;

    // The "*.cnf" files of `folder` that only root can change (the folder and the file owned
    // by root and writable by nobody else, the file plain), sorted by name.
    static std::vector<std::string> trustedDropIns(const std::string& folder);

private:
    std::string listsFile_;
};

}  // namespace harbormind
