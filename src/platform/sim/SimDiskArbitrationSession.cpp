#include "platform/sim/SimDiskArbitrationSession.h"

#include "platform/sim/SimMachine.h"
#include "support/SerialQueue.h"

namespace harbormind {
namespace {

// Requests of every simulated session are carried out one at a time, in order, away from the
// callers' queues (approvals run on the sessions' queues meanwhile). The queue lives for the
// whole process so that no request ever destroys it from its own thread.
std::shared_ptr<SerialQueue> requestQueue() {
    static auto* queue = new std::shared_ptr<SerialQueue>(SerialQueue::create("sim.diskarbitration"));
    return *queue;
}

}  // namespace

SimDiskArbitrationSession::SimDiskArbitrationSession(std::shared_ptr<SimMachine> machine)
    : machine_(std::move(machine)) {}

void SimDiskArbitrationSession::setDispatchQueue(std::shared_ptr<DispatchQueue> queue) {
    {
        std::lock_guard lock(mutex_);
        queue_ = std::move(queue);
    }
    machine_->reportPresentDisks(*this);
}

void SimDiskArbitrationSession::registerDiskAppeared(DiskCallback callback) {
    {
        std::lock_guard lock(mutex_);
        appeared_.push_back(std::move(callback));
    }
    machine_->reportPresentDisks(*this);
}

void SimDiskArbitrationSession::registerDiskDisappeared(DiskCallback callback) {
    std::lock_guard lock(mutex_);
    disappeared_.push_back(std::move(callback));
}

void SimDiskArbitrationSession::registerDiskDescriptionChanged(DescriptionChangedCallback callback) {
    std::lock_guard lock(mutex_);
    changed_.push_back(std::move(callback));
}

void SimDiskArbitrationSession::registerDiskMountApproval(ApprovalCallback callback) {
    std::lock_guard lock(mutex_);
    mountApprovals_.push_back(std::move(callback));
}

void SimDiskArbitrationSession::registerDiskUnmountApproval(ApprovalCallback callback) {
    std::lock_guard lock(mutex_);
    unmountApprovals_.push_back(std::move(callback));
}

std::optional<DADisk> SimDiskArbitrationSession::diskFromBSDName(const std::string& bsdName) {
    if (!machine_->hasDisk(bsdName)) {
        return std::nullopt;
    }
    return DADisk(bsdName);
}

std::optional<DADisk> SimDiskArbitrationSession::diskFromVolumePath(const std::string& path) {
    auto bsdName = machine_->diskMountedAt(path);
    if (!bsdName) {
        return std::nullopt;
    }
    return DADisk(*bsdName);
}

std::optional<DiskDescription> SimDiskArbitrationSession::copyDescription(const DADisk& disk) {
    return machine_->description(disk.bsdName(), true);
}

std::optional<RegistryEntryId> SimDiskArbitrationSession::copyIOMedia(const DADisk& disk) {
    return machine_->mediaEntry(disk.bsdName());
}

void SimDiskArbitrationSession::request(std::function<std::optional<DADissenter>()> work, const DADisk& disk,
                                        CompletionCallback completion) {
    auto self = shared_from_this();
    requestQueue()->async([self, work = std::move(work), disk, completion = std::move(completion)] {
        auto dissenter = work();
        if (completion) {
            self->post([completion, disk, dissenter] { completion(disk, dissenter); });
        }
    });
}

void SimDiskArbitrationSession::mount(const DADisk& disk, std::optional<std::string> path, std::uint32_t options,
                                      CompletionCallback completion) {
    auto machine = machine_;
    request([machine, disk, path, options] { return machine->mount(disk.bsdName(), path, options, SimRequest::Origin::Session); },
            disk, std::move(completion));
}

void SimDiskArbitrationSession::unmount(const DADisk& disk, std::uint32_t options, CompletionCallback completion) {
    auto machine = machine_;
    request([machine, disk, options] { return machine->unmount(disk.bsdName(), options, SimRequest::Origin::Session); },
            disk, std::move(completion));
}

void SimDiskArbitrationSession::eject(const DADisk& disk, std::uint32_t options, CompletionCallback completion) {
    auto machine = machine_;
    request([machine, disk, options] { return machine->eject(disk.bsdName(), options, SimRequest::Origin::Session); },
            disk, std::move(completion));
}

void SimDiskArbitrationSession::post(std::function<void()> work) {
    std::shared_ptr<DispatchQueue> queue;
    {
        std::lock_guard lock(mutex_);
        queue = queue_;
    }
    if (queue) {
        queue->async(std::move(work));
    }
}

void SimDiskArbitrationSession::deliverAppeared(const DADisk& disk) {
    std::lock_guard lock(mutex_);
    if (!queue_) {
        return;
    }
    for (std::size_t i = 0; i < appearedReported_; ++i) {
        queue_->async([callback = appeared_[i], disk] { callback(disk); });
    }
}

void SimDiskArbitrationSession::deliverInitial(const std::vector<DADisk>& disks,
                                               const std::vector<DiskCallback>& callbacks) {
    std::lock_guard lock(mutex_);
    if (!queue_) {
        return;
    }
    for (const auto& callback : callbacks) {
        for (const auto& disk : disks) {
            queue_->async([callback, disk] { callback(disk); });
        }
    }
}

void SimDiskArbitrationSession::deliverDisappeared(const DADisk& disk) {
    std::lock_guard lock(mutex_);
    if (!queue_) {
        return;
    }
    for (const auto& callback : disappeared_) {
        queue_->async([callback, disk] { callback(disk); });
    }
}

void SimDiskArbitrationSession::deliverChanged(const DADisk& disk, const std::vector<std::string>& keys) {
    std::lock_guard lock(mutex_);
    if (!queue_) {
        return;
    }
    for (const auto& callback : changed_) {
        queue_->async([callback, disk, keys] { callback(disk, keys); });
    }
}

std::vector<DiskArbitrationSession::DiskCallback> SimDiskArbitrationSession::takeUnreportedAppeared() {
    std::lock_guard lock(mutex_);
    if (!queue_) {
        return {};
    }
    std::vector<DiskCallback> unreported(appeared_.begin() + static_cast<std::ptrdiff_t>(appearedReported_),
                                         appeared_.end());
    appearedReported_ = appeared_.size();
    return unreported;
}

std::vector<SimDiskArbitrationSession::Approval> SimDiskArbitrationSession::mountApprovals() {
    std::lock_guard lock(mutex_);
    std::vector<Approval> approvals;
    if (queue_) {
        for (const auto& callback : mountApprovals_) {
            approvals.push_back({queue_, callback});
        }
    }
    return approvals;
}

std::vector<SimDiskArbitrationSession::Approval> SimDiskArbitrationSession::unmountApprovals() {
    std::lock_guard lock(mutex_);
    std::vector<Approval> approvals;
    if (queue_) {
        for (const auto& callback : unmountApprovals_) {
            approvals.push_back({queue_, callback});
        }
    }
    return approvals;
}

}  // namespace harbormind
