#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "daemon/linux/LuksEncryptionJob.h"

namespace harbormind {

// The encryption jobs running in the daemon, one per device, each with the uid that
// started it (only that caller, or root, may read its recovery key).
class LuksJobRegistry {
public:
    // False when a job already runs on that device.
    bool claim(const std::string& name, std::uint32_t uid, std::shared_ptr<LuksEncryptionJob> job);
    void release(const std::string& name);
    bool running(const std::string& name) const;
    std::string recoveryKey(const std::string& name, std::uint32_t uid) const;

private:
    struct Entry {
        std::uint32_t uid = 0;
        std::shared_ptr<LuksEncryptionJob> job;
    };
    mutable std::mutex mutex_;
    std::map<std::string, Entry> jobs_;
};

}  // namespace harbormind
