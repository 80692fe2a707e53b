#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "daemon/linux/DiskImageJob.h"

namespace harbormind {

// The daemon's disk image jobs, one per calling user: a user follows and stops only their own.
class DiskImageJobs {
public:
    // Keeps the job as the caller's; false when the caller's last job still runs.
    bool start(std::uint32_t uid, const std::function<std::unique_ptr<DiskImageJob>()>& make);
    bool running(std::uint32_t uid) const;
    DiskImageStatus status(std::uint32_t uid) const;
    void stop(std::uint32_t uid);
    // Returns once the caller's job (if any) has ended.
    void waitUntilFinished(std::uint32_t uid);
    // Stops every job and waits for each to end (the daemon ends).
    void stopAll();

private:
    mutable std::mutex mutex_;
    std::map<std::uint32_t, std::shared_ptr<DiskImageJob>> jobs_;
};

}  // namespace harbormind
