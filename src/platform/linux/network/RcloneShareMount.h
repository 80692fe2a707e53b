#pragma once

#include <string>

#include "platform/NetworkMountRequest.h"
#include "platform/NetworkMountResult.h"

namespace harbormind {

class ProcessLauncher;

// Mounts a share with rclone over FUSE (SMB, FTP, WebDAV). The password reaches rclone only
// through a configuration file of mode 0600 in a private folder under `privateFolderParent`,
// in rclone's obscured form, and the file is gone once the mount is done.
class RcloneShareMount {
public:
    RcloneShareMount(ProcessLauncher& processes, std::string privateFolderParent)
        : processes_(processes), privateFolderParent_(std::move(privateFolderParent)) {}

    // Mounts the share of `request` at `mountPoint`, named `devname` in the mount table, its
    // written files kept in `cacheFolder` until they reach the server.
    NetworkMountResult mount(const NetworkMountRequest& request, const std::string& mountPoint,
                             const std::string& devname, const std::string& cacheFolder);

private:
    // The configuration of the remote "share"; false (with `result` set) when it cannot be made.
    bool configure(const std::string& rclone, const NetworkMountRequest& request, std::string& config,
                   NetworkMountResult& result);

    ProcessLauncher& processes_;
    std::string privateFolderParent_;
};

}  // namespace harbormind
