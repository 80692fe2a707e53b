#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/NetworkMounter.h"
#include "support/Clock.h"

namespace harbormind {

// Reports this user's network volumes appearing and disappearing: the mount table is read on
// `queue` every `interval` and compared with the last reading, until the watch is released.
class NetworkVolumeWatch final : public NetworkMounter::Watch {
public:
    static std::unique_ptr<NetworkMounter::Watch> start(std::string mountInfoPath, Clock::Duration interval,
                                                        std::shared_ptr<DispatchQueue> queue,
                                                        NetworkMounter::VolumeCallback appeared,
                                                        NetworkMounter::VolumeCallback disappeared);
    ~NetworkVolumeWatch() override;

    struct State {
        std::mutex mutex;
        bool active = true;
        std::optional<Clock::TimerId> timer;
        std::map<std::string, NetworkVolume> known;
    };

private:
    explicit NetworkVolumeWatch(std::shared_ptr<State> state) : state_(std::move(state)) {}

    std::shared_ptr<State> state_;
};

}  // namespace harbormind
