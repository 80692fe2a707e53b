#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/NetworkMounter.h"
#include "support/Clock.h"

namespace harbormind {

// A network that answers mount requests as tests and scenarios script it. By default every
// request succeeds after the mount delay: the share is mounted in a folder named after it
// inside the request's folder, and its volume appears.
class SimNetworkMounter final : public NetworkMounter {
public:
    using Responder = std::function<NetworkMountResult(const NetworkMountRequest&)>;

    SimNetworkMounter();
    ~SimNetworkMounter() override;

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

    // Scripting. A responder's successful result mounts the volume of its first mount point.
    void setResponder(Responder responder);
    void setMountDelay(Clock::Duration delay);
    // What a share mounted by the default answer looks like.
    static NetworkMountResult mountedAnswer(const NetworkMountRequest& request);
    // A volume mounted or unmounted by another program.
    void addVolume(const NetworkVolume& volume);
    void removeVolume(const std::string& mountPoint);
    // Files written to a volume that have not reached the server; a normal unmount refuses
    // while `busy` holds.
    void setPendingWrites(const std::string& mountPoint, int count);
    void setBusy(const std::string& mountPoint, bool busy);

    // What was asked.
    std::vector<NetworkMountRequest> requests();
    std::vector<std::string> createdDirectories();
    std::vector<std::pair<std::string, Unmount>> unmountRequests();
    int pendingRequests();

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace harbormind
