#include "daemon/linux/DiskImageJobs.h"

namespace harbormind {

bool DiskImageJobs::start(std::uint32_t uid, const std::function<std::unique_ptr<DiskImageJob>()>& make) {
    std::shared_ptr<DiskImageJob> previous;
    {
        std::lock_guard lock(mutex_);
        auto it = jobs_.find(uid);
        if (it != jobs_.end() && it->second->running()) {
            return false;
        }
        if (it != jobs_.end()) {
            previous = std::move(it->second);
        }
        jobs_[uid] = make();
    }
    return true;
}

bool DiskImageJobs::running(std::uint32_t uid) const {
    std::lock_guard lock(mutex_);
    auto it = jobs_.find(uid);
    return it != jobs_.end() && it->second->running();
}

DiskImageStatus DiskImageJobs::status(std::uint32_t uid) const {
    std::lock_guard lock(mutex_);
    auto it = jobs_.find(uid);
    return it == jobs_.end() ? DiskImageStatus{} : it->second->status();
}

void DiskImageJobs::stop(std::uint32_t uid) {
    std::lock_guard lock(mutex_);
    if (auto it = jobs_.find(uid); it != jobs_.end()) {
        it->second->stop();
    }
}

void DiskImageJobs::waitUntilFinished(std::uint32_t uid) {
    std::shared_ptr<DiskImageJob> job;
    {
        std::lock_guard lock(mutex_);
        if (auto it = jobs_.find(uid); it != jobs_.end()) {
            job = it->second;
        }
    }
    if (job) {
        job->waitUntilFinished();
    }
}

void DiskImageJobs::stopAll() {
    std::map<std::uint32_t, std::shared_ptr<DiskImageJob>> jobs;
    {
        std::lock_guard lock(mutex_);
        jobs.swap(jobs_);
    }
    for (auto& [uid, job] : jobs) {
        job->stop();
        job->waitUntilFinished();
    }
}

}  // namespace harbormind
