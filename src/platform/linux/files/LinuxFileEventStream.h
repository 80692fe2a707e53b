#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileEvents.h"

namespace harbormind {

// One inotify instance over a set of folder trees. A reader thread turns kernel events into
// FileEvents, gathers them for the latency (events for the same path in one batch merge their
// flags) and posts each batch to the stream's queue.
class LinuxFileEventStream final : public FileEventStream {
public:
    LinuxFileEventStream(std::vector<std::string> paths, std::uint32_t createFlags, Clock::Duration latency,
                         FileEvents::BatchHandler handler);
    ~LinuxFileEventStream() override;

    bool start(std::shared_ptr<DispatchQueue> queue) override;
    void stop() override;

    struct State;

private:
    std::shared_ptr<State> state_;
    std::thread reader_;
};

}  // namespace harbormind
