#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "support/Clock.h"

namespace harbormind::clone {

// Tuning of the copy. Memory in use is chunkBytes × bufferCount (32 MiB by default).
struct CloneOptions {
    std::size_t chunkBytes = 8u << 20;
    std::size_t bufferCount = 4;
    // A checkpoint (destination flushed, map saved) after this many bytes or this much time,
    // whichever comes first: an interruption costs at most one interval of copying again. A
    // flush holds up the destination's queue (a loop device writes nothing else meanwhile), so
    // the byte interval is large and the time interval bounds the loss on slow devices.
    std::uint64_t checkpointBytes = 1u << 30;
    Clock::Duration checkpointInterval = seconds(5);
    Clock::Duration progressInterval = seconds(0.1);
    // Skipped areas are retried in blocks of this size, then sector by sector.
    std::size_t retryBytes = 64u << 10;
    // Direct I/O past the page cache on both devices.
    bool directIo = true;
    // A stop request that finds no clone running stops one that starts this soon after.
    Clock::Duration earlyStopWindow = seconds(30);
    // Where the maps of interrupted clones live.
    std::filesystem::path stateFolder = "/var/lib/kestrane/clone";
};

}  // namespace harbormind::clone
