#include "platform/linux/files/LinuxFileEvents.h"

#include "platform/linux/files/LinuxFileEventStream.h"

namespace harbormind {

std::unique_ptr<FileEventStream> LinuxFileEvents::createStream(const std::vector<std::string>& paths,
                                                               std::uint32_t createFlags, Clock::Duration latency,
                                                               BatchHandler handler) {
    if (paths.empty() || !handler) {
        return nullptr;
    }
    return std::make_unique<LinuxFileEventStream>(paths, createFlags, latency, std::move(handler));
}

}  // namespace harbormind
