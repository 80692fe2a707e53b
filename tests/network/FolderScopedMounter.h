#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/NetworkMounter.h"

namespace harbormind::test {

// The real mounter, showing a test only the network volumes mounted below the test's own
// folder: the network mounts of the account running the tests (a user's rclone share, another
// test's server running at the same time) are not the test's and would be adopted as drives.
class FolderScopedMounter final : public NetworkMounter {
public:
    FolderScopedMounter(NetworkMounter& inner, std::string folder) : inner_(inner), folder_(std::move(folder) + "/") {}

    bool createMountDirectory(const std::string& path) override { return inner_.createMountDirectory(path); }
    RequestId mountAsync(const NetworkMountRequest& request, std::shared_ptr<DispatchQueue> queue,
                         Completion completion) override {
        return inner_.mountAsync(request, std::move(queue), std::move(completion));
    }
    void cancel(RequestId request) override { inner_.cancel(request); }
    bool unmount(const std::string& mountPoint, Unmount mode) override { return inner_.unmount(mountPoint, mode); }
    int unmountNow(const std::string& mountPoint, Unmount mode) override { return inner_.unmountNow(mountPoint, mode); }
    int pendingWrites(const std::string& mountPoint) override { return inner_.pendingWrites(mountPoint); }
    std::vector<NetworkVolume> mountedVolumes() override {
        std::vector<NetworkVolume> ours;
        for (NetworkVolume& volume : inner_.mountedVolumes()) {
            if (isOurs(volume)) {
                ours.push_back(std::move(volume));
            }
        }
        return ours;
    }
    std::unique_ptr<Watch> watchVolumes(std::shared_ptr<DispatchQueue> queue, VolumeCallback appeared,
                                        VolumeCallback disappeared) override {
        auto only = [folder = folder_](VolumeCallback report) {
            return [folder, report = std::move(report)](const NetworkVolume& volume) {
                if (volume.mountPoint.starts_with(folder)) {
                    report(volume);
                }
            };
        };
        return inner_.watchVolumes(std::move(queue), only(std::move(appeared)), only(std::move(disappeared)));
    }

private:
    bool isOurs(const NetworkVolume& volume) const { return volume.mountPoint.starts_with(folder_); }

    NetworkMounter& inner_;
    std::string folder_;
};

}  // namespace harbormind::test
