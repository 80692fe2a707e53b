#pragma once

#include <string>

#include "platform/USBBlockerPaths.h"

namespace harbormind {

// The lists file at its original place, "/private/var/kestrane/usbblocker.cnf", with the whole
// of "/private/var" watched. Tests point both elsewhere.
class SimUSBBlockerPaths final : public USBBlockerPaths {
public:
    static constexpr const char* defaultListsFile = "/private/var/kestrane/usbblocker.cnf";
    static constexpr const char* defaultWatchedFolder = "/private/var";

    SimUSBBlockerPaths() = default;
    SimUSBBlockerPaths(std::string listsFile, std::string watchedFolder)
        : listsFile_(std::move(listsFile)), watchedFolder_(std::move(watchedFolder)) {}

    std::string listsFilePath() override { return listsFile_; }
    std::string watchedFolder() override { return watchedFolder_; }

private:
    std::string listsFile_ = defaultListsFile;
    std::string watchedFolder_ = defaultWatchedFolder;
};

}  // namespace harbormind
