#include "engines/clone/CloneCheckpoints.h"

#include <cstring>

#include "support/Log.h"

namespace harbormind::clone {

CloneCheckpoints::CloneCheckpoints(CloneDestination& destination, CloneMap& map, MapSink saveMap, FailureSink fail)
    : destination_(destination), map_(map), saveMap_(std::move(saveMap)), fail_(std::move(fail)) {
    flusher_ = std::thread([this] { flushLoop(); });
}

CloneCheckpoints::~CloneCheckpoints() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    flusher_.join();
}

bool CloneCheckpoints::handOver(ByteRangeSet& written, ByteRangeSet& unreadable, bool wait) {
    std::unique_lock lock(mutex_);
    if (busy_ && !wait) {
        return false;
    }
    changed_.wait(lock, [this] { return !busy_; });
    batch_ = std::move(written);
    batchUnreadable_ = std::move(unreadable);
    written.clear();
    unreadable.clear();
    busy_ = true;
    changed_.notify_all();
    return true;
}

void CloneCheckpoints::flushLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || quit_; });
        if (!busy_) {
            return;
        }
        ByteRangeSet written = batch_;
        ByteRangeSet unreadable = batchUnreadable_;
        lock.unlock();
        bool ok = flushAndRecord(std::move(written), std::move(unreadable));
        lock.lock();
        ok_ = ok_ && ok;
        batch_.clear();
        batchUnreadable_.clear();
        busy_ = false;
        changed_.notify_all();
    }
}

// Ranges enter the map only once the destination has been flushed with them written.
bool CloneCheckpoints::flushAndRecord(ByteRangeSet written, ByteRangeSet unreadable) {
    if (!written.empty()) {
        CloneIoResult result = destination_.flush();
        if (result.status != CloneIoStatus::ok) {
            std::string reason = result.status == CloneIoStatus::gone
                                     ? "the destination is no longer attached"
                                     : std::string("making the copy durable failed: ") + std::strerror(result.error);
            Log::error("clone: " + reason);
            fail_(result.status == CloneIoStatus::gone ? CloneEnd::destinationGone : CloneEnd::writeFailed, reason);
            return false;
        }
    }
    CloneMap saved;
    {
        std::lock_guard lock(mutex_);
        map_.done.add(written);
        map_.unreadable.add(unreadable);
        saved = map_;
    }
    saveMap_(saved);
    return true;
}

bool CloneCheckpoints::finish(ByteRangeSet& written, ByteRangeSet& unreadable) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        if (!ok_) {
            return false;
        }
    }
    bool ok = flushAndRecord(std::move(written), std::move(unreadable));
    written.clear();
    unreadable.clear();
    return ok;
}

std::uint64_t CloneCheckpoints::bytesRecorded() const {
    std::lock_guard lock(mutex_);
    ByteRangeSet all = map_.done;
    all.add(batch_);
    return all.totalBytes();
}

}  // namespace harbormind::clone
