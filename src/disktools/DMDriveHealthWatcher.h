#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "disktools/DMDriveHealth.h"
#include "support/Clock.h"

namespace harbormind {

class DispatchQueue;
class Timer;

// Checks every whole disk's health periodically (an hour by default, on the clock) and warns
// once per change: when a disk starts failing, or its reallocated or pending sector count
// grows. A disk seen for the first time warns only if it is failing already; a reading that
// tells nothing (the disk cannot report, the daemon did not answer) keeps what was known, so
// a disk that flickers between answers never warns twice for the same thing.
class DMDriveHealthWatcher : public std::enable_shared_from_this<DMDriveHealthWatcher> {
public:
    static constexpr Clock::Duration defaultInterval = seconds(3600);

    struct Disk {
        std::string identifier;
        std::string name;  // what a person calls it in the warning
    };
    using DiskList = std::function<std::vector<Disk>()>;
    using HealthSource = std::function<DMDriveHealth(const std::string& identifier)>;
    using Warn = std::function<void(const std::string& title, const std::string& text)>;

    static constexpr const char* failingTitle = "A disk is failing";
    static constexpr const char* failingText = "%@ reports that it is failing. Back up its data now.";
    static constexpr const char* wearingTitle = "A disk is wearing out";
    static constexpr const char* reallocatedText = "%@ has reallocated more sectors (%d now). Back up its data.";
    static constexpr const char* pendingText = "%@ has more sectors waiting to be reallocated (%d now). Back up its data.";

    DMDriveHealthWatcher(DiskList disks, HealthSource health, Warn warn, Clock::Duration interval = defaultInterval);
    ~DMDriveHealthWatcher();

    // Checks now, on a queue of its own, and then every interval.
    void start();
    void stop();
    // One round over every disk, on the caller's thread.
    void checkAll();

private:
    struct Known {
        bool failing = false;
        std::optional<std::int64_t> reallocated;
        std::optional<std::int64_t> pending;
    };
    void check(const Disk& disk);

    DiskList disks_;
    HealthSource health_;
    Warn warn_;
    Clock::Duration interval_;
    std::mutex mutex_;
    std::map<std::string, Known> known_;
    std::shared_ptr<DispatchQueue> queue_;
    std::shared_ptr<Timer> timer_;
};

}  // namespace harbormind
