#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "daemon/clone/CloneMapStore.h"
#include "daemon/clone/CloneOptions.h"
#include "daemon/clone/CloneOutcome.h"
#include "daemon/clone/CloneProgress.h"
#include "daemon/clone/CloneSysfs.h"

namespace harbormind::clone {

struct ClonePair;

// The device-clone service's work, one call per request of the service. Device names may be
// "/dev/NAME" or "/dev/rNAME" (the same device). One clone runs at a time.
class CloneEngine {
public:
    explicit CloneEngine(CloneOptions options = {}, CloneSysfs sysfs = CloneSysfs());
    ~CloneEngine();
    CloneEngine(const CloneEngine&) = delete;
    CloneEngine& operator=(const CloneEngine&) = delete;

    // 0 when the pair may be cloned, else a DMCloneErrorCode raw value; writes nothing.
    std::int64_t checkDiskWithStrDestinDevice(const std::string& strDestinDevice,
                                              const std::string& strSourceDevice);
    // Checks the pair again and starts the copy on a thread of its own; returns at once with 0,
    // a pair check code, or -1 while another clone runs. `isCover` discards the destination's
    // map and copies from the start; otherwise a map of the same source is resumed.
    std::int64_t clonDeviceWithStrDestinDevice(const std::string& strDestinDevice,
                                               const std::string& strSourceDevice, bool isCover,
                                               CloneProgressSink progress);
    // True when the destination carries the map of an interrupted clone.
    bool isCloneInterruptDeviceWithStrDevice(const std::string& strDevice) const;
    // The device name (such as "sdb") of the source of the interrupted clone on this
    // destination when that source is attached; its recorded identity (matching no drive)
    // when it is not; empty when there is no interrupted clone.
    std::string getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(
        const std::string& strDestinDevice) const;
    // `true` asks a running clone to stop; it saves its map within about a second.
    void stopCloneWithFlag(bool flag);

    // Stops a running clone and returns once its map is saved (daemon shutdown, SIGTERM).
    void stopAndWait();
    // Returns once the running clone (if any) has ended, without asking it to stop.
    void waitUntilFinished();
    bool isRunning() const { return running_.load(); }
    // The outcome of the last clone that ended.
    CloneOutcome lastOutcome() const;

private:
    std::optional<std::string> identityOf(const std::string& device) const;
    void copy(std::shared_ptr<ClonePair> pair, CloneMap map, bool keepsMap, CloneProgressSink progress);
    CloneMap startingMap(const ClonePair& pair, const std::optional<std::string>& destination,
                         bool isCover) const;
    void finish(const CloneOutcome& outcome, const CloneMap& map, bool keepsMap, const ClonePair& pair,
                const CloneProgressSink& progress);

    CloneOptions options_;
    CloneSysfs sysfs_;
    CloneMapStore store_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    mutable std::mutex mutex_;
    std::thread worker_;
    mutable std::mutex outcomeMutex_;
    CloneOutcome lastOutcome_;
};

}  // namespace harbormind::clone
