#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/DiskArbitrationSession.h"
#include "platform/sim/SimAttachedSession.h"

namespace harbormind {

class SimMachine;

// A disk-arbitration session on a simulated machine. Requests are carried out in order on
// one background queue; their completions, like every callback, run on the session's queue.
class SimDiskArbitrationSession final : public DiskArbitrationSession,
                                        public SimAttachedSession,
                                        public std::enable_shared_from_this<SimDiskArbitrationSession> {
public:
    explicit SimDiskArbitrationSession(std::shared_ptr<SimMachine> machine);

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

    // SimAttachedSession
    void deliverAppeared(const DADisk& disk) override;
    void deliverInitial(const std::vector<DADisk>& disks, const std::vector<DiskCallback>& callbacks) override;
    void deliverDisappeared(const DADisk& disk) override;
    void deliverChanged(const DADisk& disk, const std::vector<std::string>& keys) override;
    std::vector<DiskCallback> takeUnreportedAppeared() override;
    std::vector<Approval> mountApprovals() override;
    std::vector<Approval> unmountApprovals() override;

private:
    void post(std::function<void()> work);
    void request(std::function<std::optional<DADissenter>()> work, const DADisk& disk, CompletionCallback completion);

    std::shared_ptr<SimMachine> machine_;
    std::mutex mutex_;
    std::shared_ptr<DispatchQueue> queue_;
    std::vector<DiskCallback> appeared_;
    std::size_t appearedReported_ = 0;
    std::vector<DiskCallback> disappeared_;
    std::vector<DescriptionChangedCallback> changed_;
    std::vector<ApprovalCallback> mountApprovals_;
    std::vector<ApprovalCallback> unmountApprovals_;
};

}  // namespace harbormind
