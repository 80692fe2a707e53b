#include "daemon/DaemonJobs.h"

#include <thread>

namespace harbormind {

bool DaemonJobs::start(std::function<void()> job) {
    if (running_.fetch_add(1) >= maxRunning) {
        running_.fetch_sub(1);
        return false;
    }
    std::thread([this, job = std::move(job)] {
        job();
        running_.fetch_sub(1);
    }).detach();
    return true;
}

}  // namespace harbormind
