#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// Where the user's disk image job stands, as the daemon reports it.
struct DMDiskImageStatus {
    enum class State { none, running, finished, stopped, failed };

    State state = State::none;
    bool restoring = false;
    std::string device;
    std::uint64_t totalBytes = 0;
    std::uint64_t doneBytes = 0;
    std::uint64_t unreadableBytes = 0;
    std::uint64_t imageBytes = 0;
    std::string reason;

    // A report that cannot be read is `failed`, saying so.
    static DMDiskImageStatus parse(const std::string& json);
    static DMDiskImageStatus unknown(const std::string& reason);
    bool ended() const { return state != State::running; }
    // "412 MB of 1 GB", and "; 4 KB could not be read (written as zeros)" when some was not.
    std::string progressText() const;
};

}  // namespace harbormind
