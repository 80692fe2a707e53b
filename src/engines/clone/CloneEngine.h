#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "support/CodeResult.h"
#include "engines/clone/CloneMapStore.h"
#include "engines/clone/CloneOptions.h"
#include "engines/clone/CloneOutcome.h"
#include "engines/clone/CloneProgress.h"
#include "engines/clone/CloneSysfs.h"
#include "support/Clock.h"

namespace harbormind::clone {

struct ClonePair;

// The device-clone service's work, one call per request of the service. Device names may be
// "/dev/NAME" or "/dev/rNAME" (the same device). One clone runs at a time.
class CloneEngine {
public:
    // `startRefused`: a clone that a stop request came before, another clone running, or a
    // resume the destination's record does not allow.
    static constexpr std::int64_t startRefused = -1;

    explicit CloneEngine(CloneOptions options = {}, CloneSysfs sysfs = CloneSysfs());
    ~CloneEngine();
    CloneEngine(const CloneEngine&) = delete;
    CloneEngine& operator=(const CloneEngine&) = delete;

    // 0 when the pair may be cloned, else a DMCloneErrorCode raw value with the reason;
    // writes nothing.
    CodeResult checkPair(const std::string& strDestinDevice, const std::string& strSourceDevice);
    std::int64_t checkDiskWithStrDestinDevice(const std::string& strDestinDevice,
                                              const std::string& strSourceDevice);
    // Checks the pair again and starts the copy on a thread of its own; returns at once with 0
    // (and a notice, if any), a pair check code, or `startRefused`, each with its reason.
    // `isCover` discards the destination's map and copies from the start; otherwise a map of
    // the same source is resumed, and a damaged map starts over (the notice says so).
    CodeResult startClone(const std::string& strDestinDevice, const std::string& strSourceDevice, bool isCover,
                           CloneProgressSink progress);
    std::int64_t clonDeviceWithStrDestinDevice(const std::string& strDestinDevice,
                                               const std::string& strSourceDevice, bool isCover,
                                               CloneProgressSink progress);
    // True when the destination carries the map of an interrupted clone (a damaged one too).
    bool isCloneInterruptDeviceWithStrDevice(const std::string& strDevice) const;
    // The device name (such as "sdb") of the source of the interrupted clone on this
    // destination when that source is attached; its recorded identity (matching no drive)
    // when it is not; empty when there is no interrupted clone or its map is damaged.
    std::string getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(
        const std::string& strDestinDevice) const;
    // `true` asks the running clone to stop; it saves its map within about a second. Asked
    // while no clone runs, it stops the clone whose start follows within `earlyStopWindow`:
    // the request to stop and the one to start may arrive in either order.
    void stopCloneWithFlag(bool flag);

    // Stops a running clone and returns once its map is saved (daemon shutdown, SIGTERM).
    void stopAndWait();
    // Returns once the running clone (if any) has ended, without asking it to stop.
    void waitUntilFinished();
    bool isRunning() const { return running_.load(); }
    // True while a clone onto this device runs (an application asks when reports stop coming).
    bool isCloneRunningOnto(const std::string& strDestinDevice) const;
    // The outcome of the last clone that ended.
    CloneOutcome lastOutcome() const;

private:
    struct Start;

    std::optional<std::string> identityOf(const std::string& device) const;
    std::optional<CodeResult> prepare(Start& start, bool isCover) const;
    bool takeEarlyStop();
    void copy(std::shared_ptr<Start> start, CloneProgressSink progress);
    // Settles the destination's record after the copy; returns the last report.
    CloneProgress finish(const CloneOutcome& outcome, const Start& start);

    CloneOptions options_;
    CloneSysfs sysfs_;
    CloneMapStore store_;
    Clock& clock_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    mutable std::mutex stopMutex_;  // orders stop requests against a clone's start
    std::optional<Clock::TimePoint> earlyStop_;
    dev_t runningDestination_ = 0;  // under stopMutex_
    mutable std::mutex mutex_;
    std::thread worker_;
    mutable std::mutex outcomeMutex_;
    CloneOutcome lastOutcome_;
};

}  // namespace harbormind::clone
