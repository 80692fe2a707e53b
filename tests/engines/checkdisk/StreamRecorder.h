#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engines/checkdisk/CheckDiskSink.h"

namespace harbormind::test {

// Collects a First Aid stream as it arrives, from any thread.
class StreamRecorder {
public:
    using Entry = std::pair<DMCheckStatus, std::string>;

    CheckDiskSink sink() {
        return [this](DMCheckStatus status, const std::string& line) {
            {
                std::lock_guard lock(mutex_);
                entries_.emplace_back(status, line);
            }
            changed_.notify_all();
        };
    }

    std::vector<Entry> entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }

    // The checkRuning lines, in order.
    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        for (const Entry& entry : entries()) {
            if (entry.first == DMCheckStatus::checkRuning) {
                result.push_back(entry.second);
            }
        }
        return result;
    }

    std::string text() const {
        std::string all;
        for (const std::string& line : lines()) {
            all += line;
        }
        return all;
    }

    // Waits (bounded, for a real child process) until `count` entries have arrived.
    bool waitForEntries(std::size_t count, std::chrono::seconds limit = std::chrono::seconds(20)) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return entries_.size() >= count; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Entry> entries_;
};

}  // namespace harbormind::test
