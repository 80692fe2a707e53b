#include "platform/linux/diskevents/LinuxDiskArbitrationSession.h"

#include "platform/linux/diskevents/LinuxDeviceLocks.h"
#include "platform/linux/mounting/MountHelper.h"
#include "support/DeviceName.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {
namespace {

// A disk's kernel name ("sdb1" for "sdb1" or "/dev/sdb1"); none for a text that names no device.
std::optional<std::string> kernelName(const std::string& bsdName) {
    auto device = DeviceName::parse(bsdName);
    return device ? std::optional<std::string>(device->name()) : std::nullopt;
}

// The reason the user is shown: the words of whoever did the work, unchanged.
std::optional<DADissenter> dissentOf(const MountRequests::Answer& answer) {
    if (answer.code == 0) {
        return std::nullopt;
    }
    std::string reason =
        answer.message.empty() ? "the request failed (code " + std::to_string(answer.code) + ")" : answer.message;
    return DADissenter{answer.code == MountHelper::busyStatus ? DADissenter::busy : DADissenter::error,
                       std::move(reason)};
}

}  // namespace

LinuxDiskArbitrationSession::LinuxDiskArbitrationSession(std::shared_ptr<LinuxDiskWatcher> watcher,
                                                         std::shared_ptr<LinuxDeviceRegistry> registry,
                                                         std::shared_ptr<MountRequests> requests)
    : watcher_(std::move(watcher)), registry_(std::move(registry)), requests_(std::move(requests)) {}

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
    auto name = kernelName(bsdName);
    if (!name || !watcher_->shownDevice(*name)) {
        return std::nullopt;
    }
    return DADisk(*name);
}

std::optional<DADisk> LinuxDiskArbitrationSession::diskFromVolumePath(const std::string& path) {
    auto name = watcher_->nameForVolumePath(path);
    if (!name) {
        return std::nullopt;
    }
    return DADisk(*name);
}

std::optional<DiskDescription> LinuxDiskArbitrationSession::copyDescription(const DADisk& disk) {
    auto name = kernelName(disk.bsdName());
    return name ? watcher_->description(*name) : std::nullopt;
}

std::optional<RegistryEntryId> LinuxDiskArbitrationSession::copyIOMedia(const DADisk& disk) {
    auto name = kernelName(disk.bsdName());
    return name ? registry_->entryForName(*name) : std::nullopt;
}

void LinuxDiskArbitrationSession::mount(const DADisk& disk, std::optional<std::string> path, std::uint32_t,
                                        CompletionCallback completion) {
    if (path && path->empty()) {
        path.reset();
    }
    request(Approval::Mount, disk,
            [path](MountRequests& requests, const std::string& name) { return requests.mount(name, path); },
            std::move(completion));
}

void LinuxDiskArbitrationSession::unmount(const DADisk& disk, std::uint32_t options, CompletionCallback completion) {
    const UnmountForce force = (options & unmountForce) != 0 ? UnmountForce::Yes : UnmountForce::No;
    const UnmountScope scope = (options & unmountWhole) != 0 ? UnmountScope::WholeDisk : UnmountScope::Volume;
    request(Approval::Unmount, disk,
            [force, scope](MountRequests& requests, const std::string& name) {
                return requests.unmount(name, force, scope);
            },
            std::move(completion));
}

void LinuxDiskArbitrationSession::eject(const DADisk& disk, std::uint32_t, CompletionCallback completion) {
    request(Approval::Unmount, disk,
            [](MountRequests& requests, const std::string& name) { return requests.eject(name); },
            std::move(completion));
}

// The request runs on a worker: the approval questions wait for every session's answer, and
// the daemon answers only once the work is done (after an administrator authenticated, maybe).
// One request per device at a time, so an eject never overtakes the unmount before it.
void LinuxDiskArbitrationSession::request(Approval kind, const DADisk& disk, Work work,
                                          CompletionCallback completion) {
    auto name = kernelName(disk.bsdName());
    if (!name) {
        complete(completion, disk,
                 DADissenter{DADissenter::error, "\"" + disk.bsdName() + "\" is not a device name"});
        return;
    }
    auto self = shared_from_this();
    Dispatch::global()->async([self, kind, disk, name = *name, work = std::move(work),
                               completion = std::move(completion)] {
        if (auto dissent = self->watcher_->askApproval(kind, name)) {
            self->complete(completion, disk, dissent);
            return;
        }
        MountRequests::Answer answer;
        {
            auto held = LinuxDeviceLocks::hold(name);
            self->watcher_->expect(kind, name);
            answer = work(*self->requests_, name);
            self->watcher_->settle(kind, name);
        }
        std::optional<DADissenter> dissent = dissentOf(answer);
        if (dissent) {
            Log::info("Disk request failed for " + name + ": " + dissent->statusString);
        }
        self->complete(completion, disk, std::move(dissent));
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
