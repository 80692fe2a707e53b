#pragma once

#include <memory>
#include <mutex>
#include <vector>

namespace harbormind {

class DMNetworkDriveObject;

// The listed network drives, in the order they were listed; safe to use from any queue.
// Drives are equal when they reach the same share as the same account.
class NetworkDriveList {
public:
    using DriveRef = std::shared_ptr<DMNetworkDriveObject>;
    struct Removal {
        DriveRef removed;
        // Another listed drive is equal to the removed one.
        bool identityStillUsed = false;
    };

    std::vector<DriveRef> all() const;
    void set(std::vector<DriveRef> drives);
    void append(DriveRef drive);
    void append(const std::vector<DriveRef>& drives);
    // The first listed drive equal to `drive`, or null.
    DriveRef find(const DMNetworkDriveObject& drive) const;
    // Removes the first listed drive equal to `drive`; removes nothing and gives null when none is.
    Removal removeEqual(const DMNetworkDriveObject& drive);
    // Removes these very drives.
    void remove(const std::vector<DriveRef>& drives);
    // Removes those of these very drives that are not saved.
    void removeUnsaved(const std::vector<DriveRef>& drives);
    std::vector<DriveRef> saved() const;

private:
    mutable std::mutex mutex_;
    std::vector<DriveRef> drives_;
};

}  // namespace harbormind
