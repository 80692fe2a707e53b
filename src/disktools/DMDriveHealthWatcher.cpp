#include "disktools/DMDriveHealthWatcher.h"

#include "support/SerialQueue.h"
#include "support/Timer.h"

namespace harbormind {
namespace {

std::string filled(std::string format, const std::string& name, std::optional<std::int64_t> number = {}) {
    if (auto at = format.find("%@"); at != std::string::npos) {
        format.replace(at, 2, name);
    }
    if (auto at = format.find("%d"); at != std::string::npos && number) {
        format.replace(at, 2, std::to_string(*number));
    }
    return format;
}

bool grew(const std::optional<std::int64_t>& before, const std::optional<std::int64_t>& now) {
    return before && now && *now > *before;
}

}  // namespace

DMDriveHealthWatcher::DMDriveHealthWatcher(DiskList disks, HealthSource health, Warn warn, Clock::Duration interval)
    : disks_(std::move(disks)), health_(std::move(health)), warn_(std::move(warn)), interval_(interval) {}

DMDriveHealthWatcher::~DMDriveHealthWatcher() {
    stop();
}

void DMDriveHealthWatcher::start() {
    if (timer_) {
        return;
    }
    queue_ = SerialQueue::create("drive health");
    std::weak_ptr<DMDriveHealthWatcher> weak = weak_from_this();
    auto round = [weak] {
        if (auto self = weak.lock()) {
            self->checkAll();
        }
    };
    queue_->async(round);
    timer_ = Timer::scheduled(queue_, interval_, TimerRepeat::Repeating, round);
}

void DMDriveHealthWatcher::stop() {
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
}

void DMDriveHealthWatcher::checkAll() {
    for (const Disk& disk : disks_()) {
        check(disk);
    }
}

void DMDriveHealthWatcher::check(const Disk& disk) {
    DMDriveHealth health = health_(disk.identifier);
    const bool failing = health.assessment == DMDriveHealthAssessment::failing;
    if (!failing && health.assessment != DMDriveHealthAssessment::good) {
        return;
    }
    std::vector<std::pair<std::string, std::string>> warnings;
    {
        std::lock_guard lock(mutex_);
        auto it = known_.find(disk.identifier);
        const bool firstSeen = it == known_.end();
        Known before = firstSeen ? Known{} : it->second;
        if (failing && !before.failing) {
            warnings.emplace_back(failingTitle, filled(failingText, disk.name));
        }
        if (!firstSeen && grew(before.reallocated, health.reallocatedSectors)) {
            warnings.emplace_back(wearingTitle, filled(reallocatedText, disk.name, health.reallocatedSectors));
        }
        if (!firstSeen && grew(before.pending, health.pendingSectors)) {
            warnings.emplace_back(wearingTitle, filled(pendingText, disk.name, health.pendingSectors));
        }
        Known now{failing, health.reallocatedSectors ? health.reallocatedSectors : before.reallocated,
                  health.pendingSectors ? health.pendingSectors : before.pending};
        known_[disk.identifier] = now;
    }
    for (const auto& [title, text] : warnings) {
        warn_(title, text);
    }
}

}  // namespace harbormind
