#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileEvents.h"

namespace harbormind {

// File events of the simulated machine: whoever changes a simulated file (the simulated file
// contents, a scenario, a test) posts an event, and every started stream whose tree holds the
// path reports it after the stream's latency on the virtual clock.
class SimFileEvents final : public FileEvents {
public:
    std::unique_ptr<FileEventStream> createStream(const std::vector<std::string>& paths, std::uint32_t createFlags,
                                                  Clock::Duration latency, BatchHandler handler) override;

    void post(const std::string& path, std::uint32_t flags);

    struct Stream;

private:
    std::mutex mutex_;
    std::vector<std::weak_ptr<Stream>> streams_;
    std::uint64_t nextEventId_ = 1;
};

}  // namespace harbormind
