#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DADisk.h"
#include "platform/DADissenter.h"
#include "platform/DiskDescription.h"
#include "platform/RegistryEntryId.h"
#include "support/DispatchQueue.h"

namespace harbormind {

// One session with the disk-arbitration service: callbacks for disks appearing, disappearing,
// changing and asking to mount or unmount, delivered on the session's queue, and requests to
// mount, unmount and eject. Registering the appeared callback reports every present disk.
class DiskArbitrationSession {
public:
    using DiskCallback = std::function<void(const DADisk&)>;
    using DescriptionChangedCallback = std::function<void(const DADisk&, const std::vector<std::string>& keys)>;
    // Returning no dissenter approves.
    using ApprovalCallback = std::function<std::optional<DADissenter>(const DADisk&)>;
    using CompletionCallback = std::function<void(const DADisk&, std::optional<DADissenter>)>;

    static constexpr std::uint32_t unmountDefault = 0;
    static constexpr std::uint32_t unmountWhole = 1;
    static constexpr std::uint32_t unmountForce = 0x80000;
    static constexpr std::uint32_t ejectDefault = 0;
    static constexpr std::uint32_t mountDefault = 0;

    virtual ~DiskArbitrationSession() = default;

    // Callbacks run on this queue; no queue (nullptr) stops every callback.
    virtual void setDispatchQueue(std::shared_ptr<DispatchQueue> queue) = 0;

    virtual void registerDiskAppeared(DiskCallback callback) = 0;
    virtual void registerDiskDisappeared(DiskCallback callback) = 0;
    // An empty key list means every key.
    virtual void registerDiskDescriptionChanged(DescriptionChangedCallback callback) = 0;
    virtual void registerDiskMountApproval(ApprovalCallback callback) = 0;
    virtual void registerDiskUnmountApproval(ApprovalCallback callback) = 0;

    virtual std::optional<DADisk> diskFromBSDName(const std::string& bsdName) = 0;
    virtual std::optional<DADisk> diskFromVolumePath(const std::string& path) = 0;
    // A fresh copy each call; none when the disk is gone.
    virtual std::optional<DiskDescription> copyDescription(const DADisk& disk) = 0;
    virtual std::optional<RegistryEntryId> copyIOMedia(const DADisk& disk) = 0;

    virtual void mount(const DADisk& disk, std::optional<std::string> path, std::uint32_t options,
                       CompletionCallback completion) = 0;
    virtual void unmount(const DADisk& disk, std::uint32_t options, CompletionCallback completion) = 0;
    virtual void eject(const DADisk& disk, std::uint32_t options, CompletionCallback completion) = 0;
};

}  // namespace harbormind
