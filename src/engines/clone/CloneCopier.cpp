#include "engines/clone/CloneCopier.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "engines/clone/CloneBufferRing.h"
#include "engines/clone/CloneCheckpoints.h"
#include "support/Log.h"

namespace harbormind::clone {
namespace {

const char* const sourceGoneReason = "the source is no longer attached";
const char* const destinationGoneReason = "the destination is no longer attached";

}  // namespace

CloneCopier::CloneCopier(CloneSource& source, CloneDestination& destination, CloneMap& map,
                         const CloneOptions& options, const std::atomic<bool>& stopRequested, MapSink saveMap,
                         CloneProgressSink progress, Clock& clock)
    : source_(source),
      destination_(destination),
      map_(map),
      options_(options),
      stopRequested_(stopRequested),
      saveMap_(std::move(saveMap)),
      progress_(std::move(progress)),
      clock_(clock) {}

bool CloneCopier::stopping() const {
    return stopRequested_.load() || cancelled_.load() || failed_.load();
}

void CloneCopier::fail(CloneEnd end, const std::string& reason) {
    std::lock_guard lock(failureMutex_);
    if (!failure_) {
        failure_ = end;
        failureReason_ = reason;
    }
    failed_ = true;
}

CloneOutcome CloneCopier::run() {
    lastCheckpoint_ = clock_.now();
    ByteRangeSet covered = map_.done;
    covered.add(map_.unreadable);
    std::vector<ByteRange> todo = covered.gapsWithin(map_.sourceSize);
    CloneCheckpoints checkpoints(destination_, map_, saveMap_,
                                 [this](CloneEnd end, const std::string& reason) { fail(end, reason); });
    checkpoints_ = &checkpoints;
    report(DMProgressStatus::running, DMProgressError::noError, true);
    {
        CloneBufferRing ring(options_.bufferCount, options_.chunkBytes);
        std::thread reader([&] { readAll(ring, todo); });
        writeAll(ring);
        ring.close();
        reader.join();
    }
    if (!stopping()) {
        retrySkipped();
    }
    bool flushed = checkpoints.finish(pending_, pendingUnreadable_) && !failed_.load();
    checkpoints_ = nullptr;
    CloneOutcome outcome;
    outcome.bytesWritten = bytesWritten_;
    outcome.unreadableBytes = map_.unreadable.totalBytes();
    if (failure_) {
        outcome.end = *failure_;
        outcome.reason = failureReason_;
    } else if (!flushed) {
        outcome.end = CloneEnd::writeFailed;
        outcome.reason = failureReason_;
    } else if (stopRequested_.load() || cancelled_.load()) {
        outcome.end = CloneEnd::stopped;
    } else {
        outcome.end = CloneEnd::finished;
    }
    return outcome;
}

void CloneCopier::readAll(CloneBufferRing& ring, const std::vector<ByteRange>& todo) {
    const std::uint64_t chunk = ring.bufferSize();
    for (const ByteRange& gap : todo) {
        for (std::uint64_t offset = gap.begin; offset < gap.end && !stopping(); offset += chunk) {
            CloneBuffer* buffer = ring.takeFree();
            if (!buffer) {
                return;
            }
            buffer->range = {offset, std::min(gap.end, offset + chunk)};
            CloneIoResult result = source_.readAt(offset, buffer->data, buffer->range.length());
            if (result.status == CloneIoStatus::ok) {
                ring.giveFilled(buffer);
                continue;
            }
            ring.giveFree(buffer);
            if (result.status == CloneIoStatus::gone) {
                fail(CloneEnd::sourceGone, sourceGoneReason);
                break;
            }
            std::lock_guard lock(skippedMutex_);
            skipped_.add(buffer->range);
        }
    }
    ring.finishFilling();
}

void CloneCopier::writeAll(CloneBufferRing& ring) {
    while (CloneBuffer* buffer = ring.takeFilled()) {
        if (stopping()) {
            ring.giveFree(buffer);
            return;
        }
        bool ok = write(buffer->range, buffer->data);
        ring.giveFree(buffer);
        if (!ok) {
            return;
        }
        maybeCheckpoint();
        report(DMProgressStatus::running, DMProgressError::noError, false);
    }
}

bool CloneCopier::write(ByteRange range, const std::byte* data) {
    CloneIoResult result = destination_.writeAt(range.begin, data, range.length());
    if (result.status != CloneIoStatus::ok) {
        std::string reason = result.status == CloneIoStatus::gone
                                 ? destinationGoneReason
                                 : "writing at byte " + std::to_string(range.begin) + " failed: " +
                                       std::strerror(result.error);
        Log::error("clone: " + reason);
        fail(result.status == CloneIoStatus::gone ? CloneEnd::destinationGone : CloneEnd::writeFailed, reason);
        return false;
    }
    pending_.add(range);
    bytesWritten_ += range.length();
    return true;
}

// Half the checkpoint interval is handed over at a time, and the copy waits rather than run a
// whole interval ahead of a flush: a kill loses at most one interval of copying.
void CloneCopier::maybeCheckpoint() {
    const std::uint64_t half = std::max<std::uint64_t>(options_.checkpointBytes / 2, 1);
    bool full = pending_.totalBytes() >= half;
    if (!full && clock_.now() - lastCheckpoint_ < options_.checkpointInterval) {
        return;
    }
    if (checkpoints_->handOver(pending_, pendingUnreadable_, full)) {
        lastCheckpoint_ = clock_.now();
    }
}

void CloneCopier::retrySkipped() {
    std::vector<ByteRange> areas = skipped_.ranges();
    if (areas.empty()) {
        return;
    }
    Log::warning("clone: retrying " + std::to_string(skipped_.totalBytes()) +
                 " bytes that could not be read");
    const std::uint64_t block = std::max<std::uint64_t>(options_.retryBytes, source_.sectorSize());
    CloneBufferRing retryRing(1, block);
    CloneBuffer* buffer = retryRing.takeFree();
    for (const ByteRange& area : areas) {
        for (std::uint64_t offset = area.begin; offset < area.end && !stopping(); offset += block) {
            retryBlock({offset, std::min(area.end, offset + block)}, buffer->data);
            maybeCheckpoint();
            report(DMProgressStatus::running, DMProgressError::noError, false);
        }
    }
}

void CloneCopier::retryBlock(ByteRange block, std::byte* buffer) {
    CloneIoResult result = source_.readAt(block.begin, buffer, block.length());
    if (result.status == CloneIoStatus::gone) {
        fail(CloneEnd::sourceGone, sourceGoneReason);
    } else if (result.status == CloneIoStatus::ok) {
        write(block, buffer);
    } else {
        readSectors(block, buffer);
    }
}

// Reads a failing block sector by sector; a sector that cannot be read is written as zeros.
void CloneCopier::readSectors(ByteRange block, std::byte* buffer) {
    const std::uint64_t sector = source_.sectorSize();
    for (std::uint64_t offset = block.begin; offset < block.end && !stopping(); offset += sector) {
        ByteRange one{offset, std::min(block.end, offset + sector)};
        CloneIoResult result = source_.readAt(offset, buffer, one.length());
        if (result.status == CloneIoStatus::gone) {
            fail(CloneEnd::sourceGone, sourceGoneReason);
            return;
        }
        if (result.status != CloneIoStatus::ok) {
            std::memset(buffer, 0, one.length());
            if (!write(one, buffer)) {
                return;
            }
            pendingUnreadable_.add(one);
            continue;
        }
        if (!write(one, buffer)) {
            return;
        }
    }
}

void CloneCopier::report(DMProgressStatus status, DMProgressError error, bool force) {
    Clock::TimePoint now = clock_.now();
    if (!force && lastReport_ && now - *lastReport_ < options_.progressInterval) {
        return;
    }
    lastReport_ = now;
    if (!progress_) {
        return;
    }
    CloneProgress message;
    message.status = status;
    message.total = map_.sourceSize;
    message.current = std::min(map_.sourceSize, checkpoints_->bytesRecorded() + pending_.totalBytes());
    message.error = error;
    if (progress_(message) == CloneReply::cancel) {
        cancelled_ = true;
    }
}

}  // namespace harbormind::clone
