#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/NetworkMounter.h"
#include "platform/linux/network/NetworkMountTable.h"
#include "support/Clock.h"

namespace harbormind {

class ProcessLauncher;

struct LinuxNetworkMounterOptions {
    std::string mountInfoPath = "/proc/self/mountinfo";
    std::string filesystemsPath = "/proc/filesystems";
    // How often the mount table is read for volumes appearing and disappearing.
    Clock::Duration pollInterval = seconds(1);
    // Where credential files are made, each in a private folder of its own; empty: the
    // user's runtime folder, else the system's temporary folder.
    std::string privateFolderParent;
    // Where rclone keeps written files until they reach the server, one folder per share;
    // empty: "harbormind/network" in the user's cache folder.
    std::string cacheFolder;
};

// Mounts network shares with what a Linux machine has: the kernel's cifs and nfs clients
// when the kernel offers them (and their mount helpers are installed), else rclone over
// FUSE for SMB, and rclone for FTP and WebDAV. Passwords go to the helpers through files
// of mode 0600 in a private folder, removed once the mount is done, never on a command line.
// Volumes appearing and disappearing are read from the mount table.
class LinuxNetworkMounter final : public NetworkMounter {
public:
    explicit LinuxNetworkMounter(ProcessLauncher& processes, LinuxNetworkMounterOptions options = {});
    ~LinuxNetworkMounter() override;

    bool createMountDirectory(const std::string& path) override;
    RequestId mountAsync(const NetworkMountRequest& request, std::shared_ptr<DispatchQueue> queue,
                         Completion completion) override;
    void cancel(RequestId request) override;
    bool unmount(const std::string& mountPoint, Unmount mode) override;
    int unmountNow(const std::string& mountPoint, Unmount mode) override;
    int pendingWrites(const std::string& mountPoint) override;
    std::vector<NetworkVolume> mountedVolumes() override;
    std::unique_ptr<Watch> watchVolumes(std::shared_ptr<DispatchQueue> queue, VolumeCallback appeared,
                                        VolumeCallback disappeared) override;

    std::vector<NetworkMountEntry> mountTable();
    // The folder rclone keeps the written files of the share mounted as `devname` in.
    std::string cacheFolderFor(const std::string& devname) const;

    struct Shared;

private:
    NetworkMountResult mountNow(const NetworkMountRequest& request);
    NetworkMountResult mountWithRclone(const NetworkMountRequest& request, const std::string& mountPoint,
                                       const std::string& devname);
    NetworkMountResult mountWithKernel(const NetworkMountRequest& request, const std::string& type,
                                       const std::string& mountPoint);
    bool kernelSupports(const std::string& type);
    void removeMountFolders(const std::string& mountPoint);
    // Waits up to ten seconds, polling every `poll`, until the kernel lists `mountPoint`
    // (`listed`) or no longer does; false when it did not come to that in time.
    bool waitForListing(const std::string& mountPoint, bool listed, Clock::Duration poll);

    ProcessLauncher& processes_;
    LinuxNetworkMounterOptions options_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace harbormind
