#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/DADissenter.h"
#include "platform/linux/diskevents/Approval.h"

namespace harbormind {

class LinuxDiskArbitrationSession;

// The sessions of a process that the disk watcher tells about changes and asks for approvals.
// They are held weakly: a session its owner let go is dropped.
class LinuxDiskSessions {
public:
    // False when the session was there already.
    bool add(const std::shared_ptr<LinuxDiskArbitrationSession>& session);

    void appeared(const std::string& name);
    void disappeared(const std::string& name);
    void changed(const std::string& name, const std::vector<std::string>& keys);

    // Asks every session whether a mount or unmount of `name` may go ahead and waits for their
    // answers, for a limited time, after which it goes ahead without them. The first dissent,
    // or none; none too once `stopped` is set (nobody is left to act on a dissent).
    std::optional<DADissenter> ask(Approval kind, const std::string& name, const std::atomic<bool>& stopped);

private:
    std::vector<std::shared_ptr<LinuxDiskArbitrationSession>> live();

    std::mutex mutex_;
    std::vector<std::weak_ptr<LinuxDiskArbitrationSession>> sessions_;
};

}  // namespace harbormind
