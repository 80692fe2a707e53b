#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/NetworkMountRequest.h"
#include "platform/NetworkMountResult.h"
#include "platform/NetworkVolume.h"
#include "support/DispatchQueue.h"

namespace harbormind {

// Mounting network shares, and the network volumes mounted on the machine.
class NetworkMounter {
public:
    using RequestId = std::uint64_t;
    using Completion = std::function<void(NetworkMountResult)>;
    using VolumeCallback = std::function<void(const NetworkVolume&)>;
    enum class Unmount { Normal, Force };

    // Stops reporting volumes when released.
    class Watch {
    public:
        virtual ~Watch() = default;
    };

    virtual ~NetworkMounter() = default;

    // Creates the folder and its parents; false when it cannot.
    virtual bool createMountDirectory(const std::string& path) = 0;
    // Starts mounting and returns at once; `completion` runs later on `queue`, never before
    // this call has returned.
    virtual RequestId mountAsync(const NetworkMountRequest& request, std::shared_ptr<DispatchQueue> queue,
                                 Completion completion) = 0;
    // A pending request completes with NetworkMountStatus::cancelled; a finished one is left alone.
    virtual void cancel(RequestId request) = 0;
    // Starts unmounting a mounted network volume; false when no network volume is mounted there.
    virtual bool unmount(const std::string& mountPoint, Unmount mode) = 0;
    // Unmounts on the caller's thread and waits: 0 when the volume is gone,
    // NetworkMountStatus::inUse while something holds it, -1 when no network volume is
    // mounted there or unmounting failed otherwise.
    virtual int unmountNow(const std::string& mountPoint, Unmount mode) = 0;
    // How many files written to the volume have not reached the server yet. A file system
    // that sends everything before its unmount completes always answers 0.
    virtual int pendingWrites(const std::string& mountPoint) = 0;

    virtual std::vector<NetworkVolume> mountedVolumes() = 0;
    // Reports every network volume already mounted as appeared, then each change, on `queue`.
    virtual std::unique_ptr<Watch> watchVolumes(std::shared_ptr<DispatchQueue> queue, VolumeCallback appeared,
                                                VolumeCallback disappeared) = 0;
};

}  // namespace harbormind
