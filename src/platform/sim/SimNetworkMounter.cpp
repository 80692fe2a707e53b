#include "platform/sim/SimNetworkMounter.h"

#include <algorithm>

#include "platform/NetworkMountStatus.h"
#include "platform/NetworkURL.h"

namespace harbormind {

struct SimNetworkMounter::State {
    struct Watcher {
        std::shared_ptr<DispatchQueue> queue;
        VolumeCallback appeared;
        VolumeCallback disappeared;
    };
    struct Pending {
        std::shared_ptr<DispatchQueue> queue;
        Completion completion;
    };

    std::mutex mutex;
    Responder responder;
    Clock::Duration delay = seconds(1);
    RequestId nextRequest = 1;
    std::map<RequestId, Pending> pending;
    std::vector<NetworkMountRequest> requests;
    std::vector<std::string> directories;
    std::vector<std::pair<std::string, Unmount>> unmounts;
    std::vector<NetworkVolume> volumes;
    std::map<std::string, int> pendingWrites;
    std::set<std::string> busy;
    std::map<int, Watcher> watchers;
    int nextWatcher = 1;

    // Changes the volume list and tells every watcher on its queue.
    void add(const NetworkVolume& volume) {
        std::vector<Watcher> toTell;
        {
            std::lock_guard lock(mutex);
            if (std::any_of(volumes.begin(), volumes.end(),
                            [&volume](const NetworkVolume& v) { return v.mountPoint == volume.mountPoint; })) {
                return;
            }
            volumes.push_back(volume);
            for (auto& [id, watcher] : watchers) {
                toTell.push_back(watcher);
            }
        }
        for (auto& watcher : toTell) {
            watcher.queue->async([watcher, volume] { watcher.appeared(volume); });
        }
    }

    void remove(const std::string& mountPoint) {
        std::vector<Watcher> toTell;
        NetworkVolume gone;
        {
            std::lock_guard lock(mutex);
            auto it = std::find_if(volumes.begin(), volumes.end(),
                                   [&mountPoint](const NetworkVolume& v) { return v.mountPoint == mountPoint; });
            if (it == volumes.end()) {
                return;
            }
            gone = *it;
            volumes.erase(it);
            for (auto& [id, watcher] : watchers) {
                toTell.push_back(watcher);
            }
        }
        for (auto& watcher : toTell) {
            watcher.queue->async([watcher, gone] { watcher.disappeared(gone); });
        }
    }
};

namespace {

class SimWatch final : public NetworkMounter::Watch {
public:
    SimWatch(std::weak_ptr<SimNetworkMounter::State> state, int id) : state_(std::move(state)), id_(id) {}
    ~SimWatch() override {
        if (auto state = state_.lock()) {
            std::lock_guard lock(state->mutex);
            state->watchers.erase(id_);
        }
    }

private:
    std::weak_ptr<SimNetworkMounter::State> state_;
    int id_;
};

}  // namespace

SimNetworkMounter::SimNetworkMounter() : state_(std::make_shared<State>()) {}

SimNetworkMounter::~SimNetworkMounter() = default;

NetworkMountResult SimNetworkMounter::mountedAnswer(const NetworkMountRequest& request) {
    NetworkMountResult result;
    auto url = NetworkURL::parse(request.url);
    if (!url) {
        result.status = NetworkMountStatus::hostDown;
        return result;
    }
    std::string share = url->lastPathComponent();
    result.status = NetworkMountStatus::success;
    result.mountPoints.push_back(share.empty() ? request.mountDirectory : request.mountDirectory + "/" + share);
    return result;
}

bool SimNetworkMounter::createMountDirectory(const std::string& path) {
    std::lock_guard lock(state_->mutex);
    state_->directories.push_back(path);
    return true;
}

NetworkMounter::RequestId SimNetworkMounter::mountAsync(const NetworkMountRequest& request,
                                                        std::shared_ptr<DispatchQueue> queue, Completion completion) {
    RequestId id = 0;
    Clock::Duration delay{};
    {
        std::lock_guard lock(state_->mutex);
        id = state_->nextRequest++;
        delay = state_->delay;
        state_->requests.push_back(request);
        state_->pending[id] = State::Pending{queue, std::move(completion)};
    }
    std::weak_ptr<State> weakState = state_;
    queue->asyncAfter(delay, [weakState, id, request] {
        auto state = weakState.lock();
        if (!state) {
            return;
        }
        Completion done;
        Responder responder;
        {
            std::lock_guard lock(state->mutex);
            auto it = state->pending.find(id);
            if (it == state->pending.end()) {
                return;  // cancelled
            }
            done = std::move(it->second.completion);
            state->pending.erase(it);
            responder = state->responder;
        }
        NetworkMountResult result = responder ? responder(request) : mountedAnswer(request);
        if (result.status == NetworkMountStatus::success && !result.mountPoints.empty()) {
            auto url = NetworkURL::parse(request.url);
            NetworkVolume volume;
            volume.mountPoint = result.mountPoints.front();
            volume.kind = url ? NetworkURL::volumeKind(url->scheme) : "";
            if (url) {
                NetworkURL remount = *url;
                remount.user = request.guest ? "" : request.user;
                volume.remountURL = remount.text();
            }
            done(result);
            state->add(volume);
            return;
        }
        done(result);
    });
    return id;
}

void SimNetworkMounter::cancel(RequestId request) {
    State::Pending pending;
    {
        std::lock_guard lock(state_->mutex);
        auto it = state_->pending.find(request);
        if (it == state_->pending.end()) {
            return;
        }
        pending = std::move(it->second);
        state_->pending.erase(it);
    }
    pending.queue->async([completion = std::move(pending.completion)] {
        NetworkMountResult result;
        result.status = NetworkMountStatus::cancelled;
        completion(result);
    });
}

bool SimNetworkMounter::unmount(const std::string& mountPoint, Unmount mode) {
    {
        std::lock_guard lock(state_->mutex);
        state_->unmounts.emplace_back(mountPoint, mode);
        if (std::none_of(state_->volumes.begin(), state_->volumes.end(),
                         [&mountPoint](const NetworkVolume& v) { return v.mountPoint == mountPoint; })) {
            return false;
        }
    }
    state_->remove(mountPoint);
    return true;
}

int SimNetworkMounter::unmountNow(const std::string& mountPoint, Unmount mode) {
    {
        std::lock_guard lock(state_->mutex);
        state_->unmounts.emplace_back(mountPoint, mode);
        if (std::none_of(state_->volumes.begin(), state_->volumes.end(),
                         [&mountPoint](const NetworkVolume& v) { return v.mountPoint == mountPoint; })) {
            return -1;
        }
        if (mode == Unmount::Normal && state_->busy.contains(mountPoint)) {
            return NetworkMountStatus::inUse;
        }
    }
    state_->remove(mountPoint);
    return 0;
}

int SimNetworkMounter::pendingWrites(const std::string& mountPoint) {
    std::lock_guard lock(state_->mutex);
    auto it = state_->pendingWrites.find(mountPoint);
    return it == state_->pendingWrites.end() ? 0 : it->second;
}

void SimNetworkMounter::setPendingWrites(const std::string& mountPoint, int count) {
    std::lock_guard lock(state_->mutex);
    state_->pendingWrites[mountPoint] = count;
}

void SimNetworkMounter::setBusy(const std::string& mountPoint, bool busy) {
    std::lock_guard lock(state_->mutex);
    if (busy) {
        state_->busy.insert(mountPoint);
    } else {
        state_->busy.erase(mountPoint);
    }
}

std::vector<NetworkVolume> SimNetworkMounter::mountedVolumes() {
    std::lock_guard lock(state_->mutex);
    return state_->volumes;
}

std::unique_ptr<NetworkMounter::Watch> SimNetworkMounter::watchVolumes(std::shared_ptr<DispatchQueue> queue,
                                                                       VolumeCallback appeared,
                                                                       VolumeCallback disappeared) {
    std::vector<NetworkVolume> present;
    int id = 0;
    {
        std::lock_guard lock(state_->mutex);
        id = state_->nextWatcher++;
        state_->watchers[id] = State::Watcher{queue, appeared, std::move(disappeared)};
        present = state_->volumes;
    }
    for (const NetworkVolume& volume : present) {
        queue->async([appeared, volume] { appeared(volume); });
    }
    return std::make_unique<SimWatch>(state_, id);
}

void SimNetworkMounter::setResponder(Responder responder) {
    std::lock_guard lock(state_->mutex);
    state_->responder = std::move(responder);
}

void SimNetworkMounter::setMountDelay(Clock::Duration delay) {
    std::lock_guard lock(state_->mutex);
    state_->delay = delay;
}

void SimNetworkMounter::addVolume(const NetworkVolume& volume) {
    state_->add(volume);
}

void SimNetworkMounter::removeVolume(const std::string& mountPoint) {
    state_->remove(mountPoint);
}

std::vector<NetworkMountRequest> SimNetworkMounter::requests() {
    std::lock_guard lock(state_->mutex);
    return state_->requests;
}

std::vector<std::string> SimNetworkMounter::createdDirectories() {
    std::lock_guard lock(state_->mutex);
    return state_->directories;
}

std::vector<std::pair<std::string, NetworkMounter::Unmount>> SimNetworkMounter::unmountRequests() {
    std::lock_guard lock(state_->mutex);
    return state_->unmounts;
}

int SimNetworkMounter::pendingRequests() {
    std::lock_guard lock(state_->mutex);
    return static_cast<int>(state_->pending.size());
}

}  // namespace harbormind
