#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/DADissenter.h"
#include "platform/DiskDescription.h"
#include "platform/linux/diskevents/Approval.h"
#include "platform/linux/diskevents/LinuxDiskSessions.h"
#include "platform/linux/diskevents/LinuxKnownDisks.h"
#include "platform/linux/diskevents/LinuxMountExpectations.h"
#include "platform/linux/disks/LinuxDiskDescriber.h"
#include "platform/linux/disks/LinuxPaths.h"
#include "platform/linux/disks/DescribePass.h"
#include "platform/linux/disks/MountTable.h"
#include "platform/linux/disks/MountTableSource.h"
#include "platform/linux/disks/UeventMonitor.h"
#include "support/SerialQueue.h"
#include "support/Timer.h"

namespace harbormind {

class LinuxDiskArbitrationSession;

// The one view of the machine's disks that every session of a process shares. Kernel events
// and writes to device nodes say which disk to look at again; the mount table is compared
// with the last one seen every poll interval. What changed is handed to each session, which
// delivers it on its own queue. All state changes run on one serial queue.
class LinuxDiskWatcher : public std::enable_shared_from_this<LinuxDiskWatcher> {
public:
    explicit LinuxDiskWatcher(LinuxPaths paths);
    ~LinuxDiskWatcher();
    LinuxDiskWatcher(const LinuxDiskWatcher&) = delete;
    LinuxDiskWatcher& operator=(const LinuxDiskWatcher&) = delete;

    const LinuxPaths& paths() const { return paths_; }
    const LinuxDiskDescriber& describer() const { return describer_; }

    // Starts watching (once) and adds the session to those told about changes. Then runs
    // `registration` on the watcher's queue, with the names of every present disk in order,
    // so that nothing happens between the report of present disks and the next event.
    void attach(const std::shared_ptr<LinuxDiskArbitrationSession>& session,
                const std::function<void(const std::vector<std::string>&)>& registration);

    // A fresh description: the disk's last known facts (probed again when unknown) and its
    // mount point read from the mount table now.
    std::optional<DiskDescription> description(const std::string& name);
    // The kernel name of the disk whose file system holds `path`.
    std::optional<std::string> nameForVolumePath(const std::string& path);
    // Cached device contents, for the registry.
    VolumeFacts facts(const SysfsBlockDevice& device);
    // A device's sysfs facts as the watcher last read them, which it does again on every kernel
    // event for the device or its disk, every write to its node, every mapping appearing on it
    // or going, and every rescan. Read from sysfs now when the watcher does not keep the device
    // (not started, not shown, not seen yet).
    std::optional<SysfsBlockDevice> knownDevice(const std::string& name);
    // The same for a disk this system shows (LinuxDiskDescriber::shown).
    std::optional<SysfsBlockDevice> shownDevice(const std::string& name);

    // Asks every session whether a mount or unmount of `name` may go ahead, before the platform
    // performs one itself. True when no session dissents; the dissent otherwise.
    std::optional<DADissenter> askApproval(Approval kind, const std::string& name);
    // Around a mount or unmount the platform performs: the change it causes in the mount
    // table was approved already and is reported as a description change only.
    void expect(Approval kind, const std::string& name);
    void settle(Approval kind, const std::string& name);
    // What takes a refused volume away again (the platform unmounts it with its helper).
    void setVetoHandler(std::function<void(const std::string&)> handler);

    // Looks at a device again (what a kernel event does); used by tests of a recorded tree.
    void deviceEvent(const UeventMessage& message);
    // Compares the mount table with the last one seen (what each poll does).
    void pollMounts();
    // Runs `work` on the watcher's queue and waits for it (on the caller's thread, one at a time,
    // when the watcher looks once).
    void sync(const std::function<void()>& work);

    // Stops watching for good, and waits until the watcher's threads have ended: a look or an
    // approval question in flight ends first (the question without waiting for its answers).
    // Sessions hear of nothing afterwards; questions are answered from what was last known.
    void stop();

private:
    void startOnQueue();
    void rescan();
    // `alreadyRead`: the device as just read from sysfs, so it is not read twice.
    void look(const std::string& name, const std::optional<SysfsBlockDevice>* alreadyRead = nullptr);
    std::optional<KnownDisk> build(const std::string& name, double appearanceTime,
                               const std::optional<SysfsBlockDevice>* alreadyRead);
    void forget(const std::string& name);
    void handleMountChanges(const MountTable& before, const MountTable& after);
    void appeared(const std::string& name);
    void disappeared(const std::string& name);
    void changed(const std::string& name, const std::vector<std::string>& keys);
    void takeMounts(MountTable mounts);
    std::shared_ptr<const MountTable> mountsFor(const std::string& name);

    LinuxPaths paths_;
    LinuxDiskDescriber describer_;
    std::shared_ptr<SerialQueue> queue_;  // none when the watcher looks once
    std::recursive_mutex onceMutex_;       // what stands for the queue then
    UeventMonitor monitor_;
    MountTableSource mountSource_;
    // What the look in progress (a rescan or a kernel event) has read; only on the queue.
    DescribePass* pass_ = nullptr;
    std::shared_ptr<Timer> mountTimer_;  // under mutex_
    bool started_ = false;
    std::atomic<bool> stopped_{false};

    std::mutex mutex_;  // guards mountTimer_
    // Read from any thread; written on the queue.
    LinuxKnownDisks known_;
    LinuxDiskSessions sessions_;
    LinuxMountExpectations expectations_;

    MountTable mounts_;
};

}  // namespace harbormind
