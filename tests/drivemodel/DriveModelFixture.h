#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "drivemodel/DMDriveManagerDelegateProtocol.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "drivemodel/FakePlatform.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind::test {

// Records what a manager reports, with the time and whether it came on the main thread.
class RecordingDelegate : public DMDriveManagerDelegateProtocol {
public:
    struct Event {
        std::string kind;
        std::string identifier;
        double at;
        bool onMain;
        std::shared_ptr<DMDriveObjectProtocol> drive;
    };

    void driveAdded(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("added", drive); }
    void driveRemoved(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("removed", drive); }
    void driveMounted(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("mounted", drive); }
    void driveUnmounted(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("unmounted", drive); }
    void driveChanged(std::shared_ptr<DMDriveObjectProtocol> drive) override { record("changed", drive); }

    std::vector<Event> events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::vector<Event> eventsOf(const std::string& kind) const {
        std::vector<Event> found;
        for (const auto& event : events()) {
            if (event.kind == kind) {
                found.push_back(event);
            }
        }
        return found;
    }

private:
    void record(const std::string& kind, const std::shared_ptr<DMDriveObjectProtocol>& drive);

    mutable std::mutex mutex_;
    std::vector<Event> events_;
};

// A virtual clock, a fake machine and an in-process daemon; helpers to build disks.
class DriveModelTest : public VirtualClockTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lets every queued callback and background update finish (time moves by 1 ms).
    void settle();
    std::shared_ptr<DMLocalDriveManager> startManager();
    // Makes an object of a started manager for a disk that the platform has (not announced).
    std::shared_ptr<DMLocalDriveObject> objectFor(const std::string& bsdName);

    // A whole disk on a controller entry with its characteristics; returns the media entry.
    RegistryEntryId addWholeDisk(const std::string& bsdName, const std::string& mediaName, bool internal,
                                 const std::string& protocol, std::int64_t size,
                                 const std::string& content = "GUID_partition_scheme");
    RegistryEntryId addVolume(const std::string& bsdName, RegistryEntryId parentMedia, const std::string& volumeName,
                              const std::string& kind, std::int64_t size,
                              std::optional<std::string> mountPoint = std::nullopt);
    // The Mac-style laptop: disk0 with EFI and an APFS store disk0s2, the container disk3 on
    // it with its volumes, and a USB stick disk4 with an exFAT volume.
    void buildLaptop();
    void setDaemonAnswers(PlatformValue::Dictionary answers);

    std::shared_ptr<FakePlatform> platform;
    std::shared_ptr<InProcessDaemon> daemon;
    std::shared_ptr<RecordingDelegate> delegate;
    std::shared_ptr<DMLocalDriveManager> manager;
};

}  // namespace harbormind::test
