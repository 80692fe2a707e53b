#pragma once

#include "platform/FileEvents.h"

namespace harbormind {

// File events from inotify: every folder of each watched tree gets a watch, and folders
// created later are added as they appear.
class LinuxFileEvents final : public FileEvents {
public:
    std::unique_ptr<FileEventStream> createStream(const std::vector<std::string>& paths, std::uint32_t createFlags,
                                                  Clock::Duration latency, BatchHandler handler) override;
};

}  // namespace harbormind
