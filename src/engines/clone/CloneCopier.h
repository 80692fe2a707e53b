#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "engines/clone/ByteRangeSet.h"
#include "engines/clone/CloneIo.h"
#include "engines/clone/CloneMap.h"
#include "engines/clone/CloneOptions.h"
#include "engines/clone/CloneOutcome.h"
#include "engines/clone/CloneProgress.h"
#include "support/Clock.h"

namespace harbormind::clone {

class CloneBufferRing;
class CloneCheckpoints;

// Copies what `map` does not yet hold from the source to the destination. A reader thread
// fills a small ring of buffers while this thread writes them, and a third makes what was
// written durable meanwhile (CloneCheckpoints). Ranges enter `map.done` only once the
// destination has been flushed after writing them, and every such checkpoint hands the map
// to `saveMap`. An unreadable area is skipped, retried at the end in smaller blocks, and what
// stays unreadable is written as zeros and recorded in `map.unreadable` (after the flush that
// made the zeros durable).
class CloneCopier {
public:
    using MapSink = std::function<void(const CloneMap&)>;

    CloneCopier(CloneSource& source, CloneDestination& destination, CloneMap& map,
                const CloneOptions& options, const std::atomic<bool>& stopRequested, MapSink saveMap,
                CloneProgressSink progress, Clock& clock = Clock::current());

    CloneOutcome run();

private:
    void readAll(CloneBufferRing& ring, const std::vector<ByteRange>& todo);
    void writeAll(CloneBufferRing& ring);
    void retrySkipped();
    void retryBlock(ByteRange block, std::byte* buffer);
    void readSectors(ByteRange block, std::byte* buffer);
    bool write(ByteRange range, const std::byte* data);
    void maybeCheckpoint();
    void report(DMProgressStatus status, DMProgressError error, bool force);
    bool stopping() const;
    void fail(CloneEnd end, const std::string& reason);

    CloneSource& source_;
    CloneDestination& destination_;
    CloneMap& map_;
    CloneOptions options_;
    const std::atomic<bool>& stopRequested_;
    MapSink saveMap_;
    CloneProgressSink progress_;
    Clock& clock_;

    std::atomic<bool> cancelled_{false};
    std::atomic<bool> failed_{false};
    std::optional<CloneEnd> failure_;  // written by whichever thread fails first
    std::string failureReason_;
    std::mutex failureMutex_;
    std::mutex skippedMutex_;
    ByteRangeSet skipped_;
    ByteRangeSet pending_;            // written since the last hand-over to the checkpoints
    ByteRangeSet pendingUnreadable_;  // written as zeros since then
    CloneCheckpoints* checkpoints_ = nullptr;
    std::uint64_t bytesWritten_ = 0;
    Clock::TimePoint lastCheckpoint_{};
    std::optional<Clock::TimePoint> lastReport_;
};

}  // namespace harbormind::clone
