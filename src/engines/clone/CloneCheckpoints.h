#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "engines/clone/ByteRangeSet.h"
#include "engines/clone/CloneIo.h"
#include "engines/clone/CloneMap.h"
#include "engines/clone/CloneOutcome.h"

namespace harbormind::clone {

// Makes what the copy wrote durable without holding up the copy: written ranges are handed
// over, the destination is flushed on a thread of its own while the copy goes on writing, and
// only then do the ranges enter the map, which is saved. The disk writes out one batch while
// the next is being copied, instead of everything at the end. One flush at a time.
class CloneCheckpoints {
public:
    using MapSink = std::function<void(const CloneMap&)>;
    using FailureSink = std::function<void(CloneEnd, const std::string&)>;

    CloneCheckpoints(CloneDestination& destination, CloneMap& map, MapSink saveMap, FailureSink fail);
    ~CloneCheckpoints();
    CloneCheckpoints(const CloneCheckpoints&) = delete;
    CloneCheckpoints& operator=(const CloneCheckpoints&) = delete;

    // Hands over the ranges written (and those written as zeros because they could not be
    // read) since the last hand-over, emptying both. While a flush runs it waits for it when
    // `wait`, else it hands over nothing and answers false.
    bool handOver(ByteRangeSet& written, ByteRangeSet& unreadable, bool wait);
    // The last checkpoint: waits for the flush still running, then flushes the rest here.
    // False when a flush failed.
    bool finish(ByteRangeSet& written, ByteRangeSet& unreadable);
    // Bytes in the map, and those being made durable.
    std::uint64_t bytesRecorded() const;

private:
    void flushLoop();
    bool flushAndRecord(ByteRangeSet written, ByteRangeSet unreadable);

    CloneDestination& destination_;
    CloneMap& map_;
    MapSink saveMap_;
    FailureSink fail_;
    mutable std::mutex mutex_;  // guards the map's ranges and the batch
    std::condition_variable changed_;
    ByteRangeSet batch_;
    ByteRangeSet batchUnreadable_;
    bool busy_ = false;
    bool ok_ = true;
    bool quit_ = false;
    std::thread flusher_;
};

}  // namespace harbormind::clone
