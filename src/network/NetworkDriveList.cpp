#include "network/NetworkDriveList.h"

#include <algorithm>

#include "network/DMNetworkDriveObject.h"

namespace harbormind {

std::vector<NetworkDriveList::DriveRef> NetworkDriveList::all() const {
    std::lock_guard lock(mutex_);
    return drives_;
}

void NetworkDriveList::set(std::vector<DriveRef> drives) {
    std::lock_guard lock(mutex_);
    drives_ = std::move(drives);
}

void NetworkDriveList::append(DriveRef drive) {
    std::lock_guard lock(mutex_);
    drives_.push_back(std::move(drive));
}

void NetworkDriveList::append(const std::vector<DriveRef>& drives) {
    std::lock_guard lock(mutex_);
    drives_.insert(drives_.end(), drives.begin(), drives.end());
}

NetworkDriveList::DriveRef NetworkDriveList::find(const DMNetworkDriveObject& drive) const {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(drives_.begin(), drives_.end(), [&drive](const DriveRef& root) { return *root == drive; });
    return it == drives_.end() ? nullptr : *it;
}

NetworkDriveList::Removal NetworkDriveList::removeEqual(const DMNetworkDriveObject& drive) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(drives_.begin(), drives_.end(), [&drive](const DriveRef& root) { return *root == drive; });
    if (it == drives_.end()) {
        return {};
    }
    Removal removal{*it, false};
    drives_.erase(it);
    removal.identityStillUsed = std::any_of(drives_.begin(), drives_.end(),
                                            [&removal](const DriveRef& root) { return *root == *removal.removed; });
    return removal;
}

void NetworkDriveList::remove(const std::vector<DriveRef>& drives) {
    std::lock_guard lock(mutex_);
    std::erase_if(drives_, [&drives](const DriveRef& root) {
        return std::find(drives.begin(), drives.end(), root) != drives.end();
    });
}

void NetworkDriveList::removeUnsaved(const std::vector<DriveRef>& drives) {
    std::lock_guard lock(mutex_);
    std::erase_if(drives_, [&drives](const DriveRef& root) {
        return !root->saved() && std::find(drives.begin(), drives.end(), root) != drives.end();
    });
}

std::vector<NetworkDriveList::DriveRef> NetworkDriveList::saved() const {
    std::lock_guard lock(mutex_);
    std::vector<DriveRef> found;
    std::copy_if(drives_.begin(), drives_.end(), std::back_inserter(found),
                 [](const DriveRef& drive) { return drive->saved(); });
    return found;
}

}  // namespace harbormind
