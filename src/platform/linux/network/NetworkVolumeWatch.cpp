#include "platform/linux/network/NetworkVolumeWatch.h"

#include <unistd.h>

#include <functional>
#include <vector>

#include "platform/linux/network/NetworkMountTable.h"

namespace harbormind {

NetworkVolumeWatch::~NetworkVolumeWatch() {
    std::optional<Clock::TimerId> timer;
    {
        std::lock_guard lock(state_->mutex);
        state_->active = false;
        timer = state_->timer;
    }
    // No poll is left waiting to fire after the watch, or the process, has gone.
    if (timer) {
        Clock::current().cancel(*timer);
    }
}

std::unique_ptr<NetworkMounter::Watch> NetworkVolumeWatch::start(std::string mountInfoPath,
                                                                 Clock::Duration interval,
                                                                 std::shared_ptr<DispatchQueue> queue,
                                                                 NetworkMounter::VolumeCallback appeared,
                                                                 NetworkMounter::VolumeCallback disappeared) {
    auto state = std::make_shared<State>();
    // Each poll reads the table, reports the differences and schedules the next poll, until
    // the watch is released.
    auto poll = std::make_shared<std::function<void()>>();
    std::weak_ptr<std::function<void()>> weakPoll = poll;
    *poll = [state, queue, appeared, disappeared, mountInfoPath, interval, weakPoll, poll]() mutable {
        std::vector<NetworkVolume> gone;
        std::vector<NetworkVolume> added;
        {
            std::lock_guard lock(state->mutex);
            if (!state->active) {
                poll.reset();
                return;
            }
            std::map<std::string, NetworkVolume> now;
            for (NetworkMountEntry& entry : NetworkMountTable::read(mountInfoPath, ::getuid())) {
                now[entry.volume.mountPoint] = entry.volume;
            }
            for (const auto& [path, volume] : state->known) {
                auto it = now.find(path);
                if (it == now.end() || !(it->second == volume)) {
                    gone.push_back(volume);
                }
            }
            for (const auto& [path, volume] : now) {
                auto it = state->known.find(path);
                if (it == state->known.end() || !(it->second == volume)) {
                    added.push_back(volume);
                }
            }
            state->known = std::move(now);
        }
        for (const NetworkVolume& volume : gone) {
            disappeared(volume);
        }
        for (const NetworkVolume& volume : added) {
            appeared(volume);
        }
        if (auto next = weakPoll.lock()) {
            std::lock_guard lock(state->mutex);
            if (state->active) {
                state->timer = Clock::current().schedule(
                    interval, [queue, next] { queue->async([next] { (*next)(); }); });
            }
        }
    };
    queue->async([poll] { (*poll)(); });
    return std::unique_ptr<NetworkMounter::Watch>(new NetworkVolumeWatch(state));
}

}  // namespace harbormind
