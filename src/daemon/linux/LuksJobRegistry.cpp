#include "daemon/linux/LuksJobRegistry.h"

namespace harbormind {

bool LuksJobRegistry::claim(const std::string& name, std::uint32_t uid, std::shared_ptr<LuksEncryptionJob> job) {
    std::lock_guard lock(mutex_);
    return jobs_.emplace(name, Entry{uid, std::move(job)}).second;
}

void LuksJobRegistry::release(const std::string& name) {
    std::lock_guard lock(mutex_);
    jobs_.erase(name);
}

bool LuksJobRegistry::running(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return jobs_.count(name) != 0;
}

std::string LuksJobRegistry::recoveryKey(const std::string& name, std::uint32_t uid) const {
    std::lock_guard lock(mutex_);
    auto found = jobs_.find(name);
    if (found == jobs_.end() || (uid != 0 && uid != found->second.uid)) {
        return {};
    }
    return found->second.job->recoveryKey();
}

}  // namespace harbormind
