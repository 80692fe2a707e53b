#include "platform/linux/diskevents/LinuxMountExpectations.h"

namespace harbormind {

void LinuxMountExpectations::expect(Approval kind, const std::string& name) {
    std::lock_guard lock(mutex_);
    (kind == Approval::Mount ? mounts_ : unmounts_).insert(name);
}

bool LinuxMountExpectations::isLastHelper(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return mounts_.count(name) + unmounts_.count(name) <= 1;
}

void LinuxMountExpectations::settled(Approval kind, const std::string& name) {
    std::lock_guard lock(mutex_);
    auto& pending = kind == Approval::Mount ? mounts_ : unmounts_;
    auto it = pending.find(name);
    if (it != pending.end()) {
        pending.erase(it);
    }
}

bool LinuxMountExpectations::helperRunning() const {
    std::lock_guard lock(mutex_);
    return !mounts_.empty() || !unmounts_.empty();
}

bool LinuxMountExpectations::expects(bool mounted, const std::string& name) const {
    std::lock_guard lock(mutex_);
    return (mounted ? mounts_ : unmounts_).count(name) != 0;
}

std::optional<MountTable> LinuxMountExpectations::heldTable(const std::string& name) const {
    std::lock_guard lock(mutex_);
    if (mounts_.count(name) == 0 && unmounts_.count(name) == 0) {
        return std::nullopt;
    }
    return taken_;
}

void LinuxMountExpectations::take(const MountTable& mounts) {
    std::lock_guard lock(mutex_);
    taken_ = mounts;
}

void LinuxMountExpectations::veto(const std::string& name) {
    std::lock_guard lock(mutex_);
    vetoed_.insert(name);
}

bool LinuxMountExpectations::takeVeto(const std::string& name) {
    std::lock_guard lock(mutex_);
    return vetoed_.erase(name) != 0;
}

void LinuxMountExpectations::setVetoHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard lock(mutex_);
    vetoHandler_ = std::move(handler);
}

std::function<void(const std::string&)> LinuxMountExpectations::vetoHandler() const {
    std::lock_guard lock(mutex_);
    return vetoHandler_;
}

}  // namespace harbormind
