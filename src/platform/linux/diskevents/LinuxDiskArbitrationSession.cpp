#include "platform/linux/diskevents/LinuxDiskArbitrationSession.h"

#include "platform/linux/diskevents/LinuxDeviceLocks.h"
#include "platform/linux/mounting/MountHelper.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {
namespace {

std::string kernelName(const std::string& bsdName) {
    return bsdName.rfind("/dev/", 0) == 0 ? bsdName.substr(5) : bsdName;
}

// The helper's own error line, without its program name and line break, is the reason the
// user is shown.
std::string reasonOf(const ProcessResult& result) {
    if (!result.launched) {
        return "the mount helper did not start";
    }
    std::string message = result.standardError;
    while (!message.empty() && message.back() == '\n') {
        message.pop_back();
    }
    if (auto line = message.rfind('\n'); line != std::string::npos) {
        message = message.substr(line + 1);
    }
    const std::string prefix = "harbormind-mount: ";
    if (message.rfind(prefix, 0) == 0) {
        message = message.substr(prefix.size());
    }
    return message.empty() ? "the mount helper failed (status " + std::to_string(result.exitStatus) + ")" : message;
}

}  // namespace

LinuxDiskArbitrationSession::LinuxDiskArbitrationSession(std::shared_ptr<LinuxDiskWatcher> watcher,
                                                         std::shared_ptr<LinuxDeviceRegistry> registry,
                                                         ProcessLauncher& processes, std::string mountHelper)
    : watcher_(std::move(watcher)),
      registry_(std::move(registry)),
      processes_(processes),
      mountHelper_(std::move(mountHelper)) {}

void LinuxDiskArbitrationSession::setDispatchQueue(std::shared_ptr<DispatchQueue> queue) {
    // The previous queue and the dropped events are released outside the lock: the queue may
    // be released for good here, and its thread may be waiting for this lock in drain().
    std::shared_ptr<DispatchQueue> previous;
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(mutex_);
        previous = std::move(queue_);
        queue_ = std::move(queue);
        if (!queue_) {
            dropped.swap(pending_);
        }
    }
}

void LinuxDiskArbitrationSession::registerDiskAppeared(DiskCallback callback) {
    auto self = shared_from_this();
    watcher_->attach(self, [self, callback = std::move(callback)](const std::vector<std::string>& present) {
        {
            std::lock_guard lock(self->mutex_);
            self->appeared_ = callback;
        }
        for (const auto& name : present) {
            self->notifyAppeared(name);
        }
    });
}

void LinuxDiskArbitrationSession::registerDiskDisappeared(DiskCallback callback) {
    auto self = shared_from_this();
    watcher_->attach(self, [self, callback = std::move(callback)](const std::vector<std::string>&) {
        std::lock_guard lock(self->mutex_);
        self->disappeared_ = callback;
    });
}

void LinuxDiskArbitrationSession::registerDiskDescriptionChanged(DescriptionChangedCallback callback) {
    auto self = shared_from_this();
    watcher_->attach(self, [self, callback = std::move(callback)](const std::vector<std::string>&) {
        std::lock_guard lock(self->mutex_);
        self->changed_ = callback;
    });
}

void LinuxDiskArbitrationSession::registerDiskMountApproval(ApprovalCallback callback) {
    auto self = shared_from_this();
    watcher_->attach(self, [self, callback = std::move(callback)](const std::vector<std::string>&) {
        std::lock_guard lock(self->mutex_);
        self->mountApproval_ = callback;
    });
}

void LinuxDiskArbitrationSession::registerDiskUnmountApproval(ApprovalCallback callback) {
    auto self = shared_from_this();
    watcher_->attach(self, [self, callback = std::move(callback)](const std::vector<std::string>&) {
        std::lock_guard lock(self->mutex_);
        self->unmountApproval_ = callback;
    });
}

std::optional<DADisk> LinuxDiskArbitrationSession::diskFromBSDName(const std::string& bsdName) {
    std::string name = kernelName(bsdName);
    if (!watcher_->shownDevice(name)) {
        return std::nullopt;
    }
    return DADisk(name);
}

std::optional<DADisk> LinuxDiskArbitrationSession::diskFromVolumePath(const std::string& path) {
    auto name = watcher_->nameForVolumePath(path);
    if (!name) {
        return std::nullopt;
    }
    return DADisk(*name);
}

std::optional<DiskDescription> LinuxDiskArbitrationSession::copyDescription(const DADisk& disk) {
    return watcher_->description(kernelName(disk.bsdName()));
}

std::optional<RegistryEntryId> LinuxDiskArbitrationSession::copyIOMedia(const DADisk& disk) {
    return registry_->entryForName(kernelName(disk.bsdName()));
}

void LinuxDiskArbitrationSession::mount(const DADisk& disk, std::optional<std::string> path, std::uint32_t,
                                        CompletionCallback completion) {
    std::vector<std::string> arguments{"mount", kernelName(disk.bsdName())};
    if (path && !path->empty()) {
        arguments.push_back(*path);
    }
    runHelper(Approval::Mount, disk, std::move(arguments), std::move(completion));
}

void LinuxDiskArbitrationSession::unmount(const DADisk& disk, std::uint32_t options, CompletionCallback completion) {
    std::vector<std::string> arguments{"unmount"};
    if ((options & unmountForce) != 0) {
        arguments.emplace_back("--force");
    }
    if ((options & unmountWhole) != 0) {
        arguments.emplace_back("--whole");
    }
    arguments.push_back(kernelName(disk.bsdName()));
    runHelper(Approval::Unmount, disk, std::move(arguments), std::move(completion));
}

void LinuxDiskArbitrationSession::eject(const DADisk& disk, std::uint32_t, CompletionCallback completion) {
    runHelper(Approval::Unmount, disk, {"eject", kernelName(disk.bsdName())}, std::move(completion));
}

void LinuxDiskArbitrationSession::runHelper(Approval kind, const DADisk& disk, std::vector<std::string> arguments,
                                            CompletionCallback completion) {
    auto self = shared_from_this();
    Dispatch::global()->async([self, kind, disk, arguments = std::move(arguments),
                               completion = std::move(completion)] {
        const std::string name = kernelName(disk.bsdName());
        if (auto dissent = self->watcher_->askApproval(kind, name)) {
            self->complete(completion, disk, dissent);
            return;
        }
        ProcessResult result;
        {
            auto held = LinuxDeviceLocks::hold(name);
            self->watcher_->expect(kind, name);
            result = self->processes_.run(self->mountHelper_, arguments);
            self->watcher_->settle(kind, name);
        }
        if (!result.launched || result.exitStatus != 0) {
            std::string message = reasonOf(result);
            Log::info("Mount helper failed for " + name + ": " + message);
            const bool busy = result.launched && result.exitStatus == MountHelper::busyStatus;
            self->complete(completion, disk, DADissenter{busy ? DADissenter::busy : DADissenter::error, message});
            return;
        }
        self->complete(completion, disk, std::nullopt);
    });
}

void LinuxDiskArbitrationSession::complete(const CompletionCallback& completion, const DADisk& disk,
                                           std::optional<DADissenter> result) {
    if (!completion) {
        return;
    }
    deliver([completion, disk, result] { completion(disk, result); });
}

void LinuxDiskArbitrationSession::notifyAppeared(const std::string& name) {
    deliver([self = shared_from_this(), name] {
        DiskCallback callback;
        {
            std::lock_guard lock(self->mutex_);
            callback = self->appeared_;
        }
        if (callback) {
            callback(DADisk(name));
        }
    });
}

void LinuxDiskArbitrationSession::notifyDisappeared(const std::string& name) {
    deliver([self = shared_from_this(), name] {
        DiskCallback callback;
        {
            std::lock_guard lock(self->mutex_);
            callback = self->disappeared_;
        }
        if (callback) {
            callback(DADisk(name));
        }
    });
}

void LinuxDiskArbitrationSession::notifyChanged(const std::string& name, const std::vector<std::string>& keys) {
    deliver([self = shared_from_this(), name, keys] {
        DescriptionChangedCallback callback;
        {
            std::lock_guard lock(self->mutex_);
            callback = self->changed_;
        }
        if (callback) {
            callback(DADisk(name), keys);
        }
    });
}

bool LinuxDiskArbitrationSession::ask(Approval kind, const std::string& name,
                                      std::function<void(std::optional<DADissenter>)> answer) {
    ApprovalCallback callback;
    {
        std::lock_guard lock(mutex_);
        callback = kind == Approval::Mount ? mountApproval_ : unmountApproval_;
        if (!callback || !queue_) {
            return false;
        }
    }
    deliver([callback, name, answer = std::move(answer)] { answer(callback(DADisk(name))); });
    return true;
}

void LinuxDiskArbitrationSession::deliver(std::function<void()> event) {
    std::shared_ptr<DispatchQueue> queue;
    {
        std::lock_guard lock(mutex_);
        if (!queue_) {
            return;
        }
        pending_.push_back(std::move(event));
        if (draining_) {
            return;
        }
        draining_ = true;
        queue = queue_;
    }
    queue->async([self = shared_from_this()] { self->drain(); });
}

void LinuxDiskArbitrationSession::drain() {
    for (;;) {
        std::function<void()> event;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty() || !queue_) {
                draining_ = false;
                return;
            }
            event = std::move(pending_.front());
            pending_.pop_front();
        }
        event();
    }
}

}  // namespace harbormind
