#pragma once

#include <deque>
#include <memory>
#include <mutex>

#include "platform/DiskArbitrationSession.h"
#include "platform/linux/disks/LinuxDeviceRegistry.h"
#include "platform/linux/diskevents/LinuxDiskWatcher.h"
#include "platform/linux/mounting/MountRequests.h"

namespace harbormind {

// A disk-arbitration session on Linux. Events come from the shared watcher and are delivered
// on the session's queue one at a time, in the order they happened (also on a concurrent
// queue). Mount, unmount and eject are made in this process (asked of the daemon, or done
// by root itself) away from the caller's thread, after asking every session of the process
// for approval; their completion comes on the session's queue with the reason of a failure.
class LinuxDiskArbitrationSession final : public DiskArbitrationSession,
                                          public std::enable_shared_from_this<LinuxDiskArbitrationSession> {
public:
    LinuxDiskArbitrationSession(std::shared_ptr<LinuxDiskWatcher> watcher, std::shared_ptr<LinuxDeviceRegistry> registry,
                                std::shared_ptr<MountRequests> requests);

    void setDispatchQueue(std::shared_ptr<DispatchQueue> queue) override;

    void registerDiskAppeared(DiskCallback callback) override;
    void registerDiskDisappeared(DiskCallback callback) override;
    void registerDiskDescriptionChanged(DescriptionChangedCallback callback) override;
    void registerDiskMountApproval(ApprovalCallback callback) override;
    void registerDiskUnmountApproval(ApprovalCallback callback) override;

    std::optional<DADisk> diskFromBSDName(const std::string& bsdName) override;
    std::optional<DADisk> diskFromVolumePath(const std::string& path) override;
    std::optional<DiskDescription> copyDescription(const DADisk& disk) override;
    std::optional<RegistryEntryId> copyIOMedia(const DADisk& disk) override;

    void mount(const DADisk& disk, std::optional<std::string> path, std::uint32_t options,
               CompletionCallback completion) override;
    void unmount(const DADisk& disk, std::uint32_t options, CompletionCallback completion) override;
    void eject(const DADisk& disk, std::uint32_t options, CompletionCallback completion) override;

    // Called by the watcher, on its queue.
    void notifyAppeared(const std::string& name);
    void notifyDisappeared(const std::string& name);
    void notifyChanged(const std::string& name, const std::vector<std::string>& keys);
    // Queues the approval question; false when this session asks none of that kind.
    bool ask(Approval kind, const std::string& name, std::function<void(std::optional<DADissenter>)> answer);

private:
    void deliver(std::function<void()> event);
    void drain();
    // The work of a request, given the disk's kernel name.
    using Work = std::function<MountRequests::Answer(MountRequests&, const std::string& name)>;
    void request(Approval kind, const DADisk& disk, Work work, CompletionCallback completion);
    void complete(const CompletionCallback& completion, const DADisk& disk, std::optional<DADissenter> result);

    std::shared_ptr<LinuxDiskWatcher> watcher_;
    std::shared_ptr<LinuxDeviceRegistry> registry_;
    std::shared_ptr<MountRequests> requests_;

    std::mutex mutex_;
    std::shared_ptr<DispatchQueue> queue_;
    std::deque<std::function<void()>> pending_;
    bool draining_ = false;
    DiskCallback appeared_;
    DiskCallback disappeared_;
    DescriptionChangedCallback changed_;
    ApprovalCallback mountApproval_;
    ApprovalCallback unmountApproval_;
};

}  // namespace harbormind
