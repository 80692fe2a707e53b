#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// One change reported by a file-event stream: the path it concerns, the per-event flag bits
// (FileEvents::event*) and an identifier that grows with every event the process sees.
struct FileEvent {
    std::string path;
    std::uint32_t flags = 0;
    std::uint64_t eventId = 0;

    bool operator==(const FileEvent& other) const = default;
};

}  // namespace harbormind
