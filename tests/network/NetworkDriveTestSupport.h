#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "drivemodel/DMDriveManagerDelegateProtocol.h"
#include "drivemodel/DMDriveObjectDelegate.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "support/Dispatch.h"

namespace harbormind::test {

// Records a manager's reports: "added smb://bob@host/share", and whether each came on the main queue.
class RecordingManagerDelegate final : public DMDriveManagerDelegateProtocol {
public:
    void driveAdded(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("added", drive); }
    void driveRemoved(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("removed", drive); }
    void driveMounted(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("mounted", drive); }
    void driveUnmounted(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("unmounted", drive); }
    void driveChanged(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("changed", drive); }

    std::vector<std::string> events() {
        std::lock_guard lock(mutex);
        return events_;
    }
    std::vector<std::shared_ptr<DMDriveObjectProtocol>> drives() {
        std::lock_guard lock(mutex);
        return drives_;
    }
    bool allOnMain() {
        std::lock_guard lock(mutex);
        return allOnMain_;
    }

private:
    void record(const std::string& what, const std::shared_ptr<DMDriveObjectProtocol>& drive) {
        std::lock_guard lock(mutex);
        events_.push_back(what + " " + drive->identifier());
        drives_.push_back(drive);
        allOnMain_ = allOnMain_ && Dispatch::main().isCurrent();
    }
    std::mutex mutex;
    std::vector<std::string> events_;
    std::vector<std::shared_ptr<DMDriveObjectProtocol>> drives_;
    bool allOnMain_ = true;
};

class CountingObjectDelegate final : public DMDriveObjectDelegate {
public:
    void driveObjectDidChange() override {
        ++changes;
        onMain = onMain && Dispatch::main().isCurrent();
    }
    int changes = 0;
    bool onMain = true;
};

}  // namespace harbormind::test
