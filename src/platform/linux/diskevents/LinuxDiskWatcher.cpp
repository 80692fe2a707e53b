#include "platform/linux/diskevents/LinuxDiskWatcher.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>
#include <filesystem>

#include "platform/DiskDescriptionKey.h"
#include "platform/linux/diskevents/DescriptionChanges.h"
#include "platform/linux/diskevents/LinuxDiskArbitrationSession.h"
#include "platform/linux/diskevents/LinuxDiskWatcherLog.h"
#include "platform/linux/diskevents/NaturalNameOrder.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {

LinuxDiskWatcher::LinuxDiskWatcher(LinuxPaths paths)
    : paths_(std::move(paths)),
      describer_(paths_),
      queue_(paths_.diskWatch == DiskWatch::Follow ? SerialQueue::create("harbormind.linux.disks") : nullptr),
      mountSource_(paths_.mountInfo) {}

LinuxDiskWatcher::~LinuxDiskWatcher() {
    if (!queue_ || !queue_->isCurrent()) {
        stop();
        return;
    }
    stopped_ = true;
    monitor_.stop();
    if (mountTimer_) {
        mountTimer_->invalidate();
    }
    // The last reference went in a task on the watcher's own queue; the queue's thread cannot
    // wait for itself, so another thread releases it once that task has returned.
    Dispatch::global()->async([queue = std::move(queue_)] {});
}

void LinuxDiskWatcher::stop() {
    stopped_ = true;
    // An approval question in flight looks at its answers again and sees the stop.
    Clock::current().notifyAll();
    monitor_.stop();
    std::shared_ptr<Timer> timer;
    {
        std::lock_guard lock(mutex_);
        timer = std::move(mountTimer_);
    }
    if (timer) {
        timer->invalidate();
    }
    if (queue_) {
        queue_->stop();
    }
}

void LinuxDiskWatcher::sync(const std::function<void()>& work) {
    if (queue_) {
        queue_->sync(work);
        return;
    }
    // Looking once, the watcher starts no thread: its work runs on the caller's, one at a time.
    std::lock_guard lock(onceMutex_);
    work();
}

void LinuxDiskWatcher::attach(const std::shared_ptr<LinuxDiskArbitrationSession>& session,
                              const std::function<void(const std::vector<std::string>&)>& registration) {
    sync([&] {
        startOnQueue();
        const std::vector<std::string> present = known_.orderedNames();
        if (sessions_.add(session)) {
            LinuxDiskWatcherLog::note({}, "a session registered; " + std::to_string(present.size()) + " disks present");
        }
        registration(present);
    });
}

void LinuxDiskWatcher::startOnQueue() {
    if (started_) {
        return;
    }
    started_ = true;
    takeMounts(*mountSource_.current());
    const bool follow = paths_.diskWatch == DiskWatch::Follow;
    if (follow && paths_.kernelEvents == KernelEvents::Listen) {
        std::weak_ptr<LinuxDiskWatcher> weak = weak_from_this();
        std::shared_ptr<SerialQueue> queue = queue_;
        const bool listening = monitor_.start([weak, queue](const UeventMessage& message) {
            queue->async([weak, message] {
                if (auto self = weak.lock(); self && !self->stopped_) {
                    self->deviceEvent(message);
                }
            });
        });
        LinuxDiskWatcherLog::note({}, listening ? "listening to kernel events" : "cannot listen to kernel events");
    }
    rescan();
    if (!follow) {
        return;
    }
    std::weak_ptr<LinuxDiskWatcher> weak = weak_from_this();
    auto timer = Timer::scheduled(queue_, paths_.mountPollInterval, TimerRepeat::Repeating, [weak] {
        // While the helper mounts or unmounts for this process, the change is taken in when it
        // has finished (settle), so the volume is reported mounted or unmounted only once its
        // mount folder is made or removed too.
        if (auto self = weak.lock(); self && !self->stopped_ && !self->expectations_.helperRunning()) {
            self->pollMounts();
        }
    });
    std::lock_guard lock(mutex_);
    mountTimer_ = std::move(timer);
}

std::optional<KnownDisk> LinuxDiskWatcher::build(const std::string& name, double appearanceTime,
                                                               const std::optional<SysfsBlockDevice>* alreadyRead) {
    std::optional<SysfsBlockDevice> read;
    if (alreadyRead != nullptr) {
        read = *alreadyRead;
    } else {
        read = SysfsBlockDevice::read(paths_.sysfsRoot, name);
        if (pass_ != nullptr) {
            pass_->remember(name, read);
        }
    }
    auto device = LinuxDiskDescriber::shown(std::move(read));
    if (!device) {
        return std::nullopt;
    }
    KnownDisk known;
    known.device = *device;
    // What a rescan probed ahead (all devices at once) is as fresh as its sysfs read.
    std::optional<VolumeFacts> probed = alreadyRead != nullptr && pass_ != nullptr ? pass_->facts(name) : std::nullopt;
    known.facts = probed ? std::move(*probed) : describer_.probe(*device, pass_);
    known.appearanceTime = appearanceTime;
    known.description = describer_.describe(*device, known.facts, mounts_, appearanceTime, pass_);
    return known;
}

void LinuxDiskWatcher::rescan() {
    // Disks first, then partitions, then mappings, each in natural name order (loop2 before
    // loop10), so that the first report reads like the machine.
    DescribePass pass(paths_.sysfsRoot, paths_.devRoot);
    DescribePass* outer = std::exchange(pass_, &pass);
    const std::vector<std::string> names = SysfsBlockDevice::list(paths_.sysfsRoot);
    const Clock::TimePoint started = Clock::current().now();
    LinuxDiskWatcherLog::note({}, "scan of " + std::to_string(names.size()) + " devices started");
    // Every device is read, and every disk probed, before the first is looked at: the reads
    // run a few at a time, and what they found is as fresh as a read in the look itself.
    auto probe = [this, &pass](const SysfsBlockDevice& device) -> std::optional<VolumeFacts> {
        if (!LinuxDiskDescriber::shown(device)) {
            return std::nullopt;
        }
        const Clock::TimePoint probing = Clock::current().now();
        VolumeFacts facts = describer_.probe(device, &pass);
        if (double took = toSeconds(Clock::current().now() - probing); took > LinuxDiskWatcherLog::slowProbeSeconds) {
            LinuxDiskWatcherLog::note(device.name, "probed in " + std::to_string(took) + " s");
        }
        return facts;
    };
    // A look taken once is not worth the threads: a command that prints and ends spends more
    // on starting them, and on waiting for a busy machine to run them, than they save.
    pass.readAll(names, probe, paths_.diskWatch == DiskWatch::Follow ? DescribePass::maximumHelpers : 0);
    std::vector<std::tuple<int, std::string>> order;
    const std::set<std::string> present(names.begin(), names.end());
    for (const auto& name : names) {
        const auto& device = pass.device(name);
        int rank = !device ? 3 : device->isPartition ? 1 : device->slaves.empty() ? 0 : 2;
        order.emplace_back(rank, name);
    }
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        if (std::get<0>(a) != std::get<0>(b)) {
            return std::get<0>(a) < std::get<0>(b);
        }
        return NaturalNameOrder::less(std::get<1>(a), std::get<1>(b));
    });
    for (const auto& entry : order) {
        const std::optional<SysfsBlockDevice> read = pass.device(std::get<1>(entry));
        look(std::get<1>(entry), &read);
    }
    pass_ = outer;
    for (const auto& name : known_.namesOutside(present)) {
        forget(name);
    }
    LinuxDiskWatcherLog::note({}, "scan ended after " + std::to_string(toSeconds(Clock::current().now() - started)) +
                                      " s; " + std::to_string(known_.orderedNames().size()) + " disks shown");
}

void LinuxDiskWatcher::deviceEvent(const UeventMessage& message) {
    if (message.action == "resync") {
        LinuxDiskWatcherLog::note({}, "kernel events were lost; rescanning");
        takeMounts(*mountSource_.current());
        rescan();
        return;
    }
    const std::string name = message.deviceName();
    if (name.empty()) {
        return;
    }
    LinuxDiskWatcherLog::note(name, message.field("SOURCE") == "write" ? "written" : message.action + " event");
    if (message.action == "remove") {
        forget(name);
        return;
    }
    DescribePass pass(paths_.sysfsRoot, paths_.devRoot);
    DescribePass* outer = std::exchange(pass_, &pass);
    look(name);
    // A disk that changed may have a new partition table or lost its medium: its partitions
    // are looked at again too (the kernel reports removed partitions, not rewritten ones).
    for (const auto& partition : known_.partitionsOf(name)) {
        look(partition);
    }
    pass_ = outer;
}

void LinuxDiskWatcher::look(const std::string& name, const std::optional<SysfsBlockDevice>* alreadyRead) {
    const std::optional<KnownDisk> previous = known_.find(name);
    const double appearance = previous ? previous->appearanceTime : toSeconds(Clock::current().now());
    // Watched before it is read: a write that ends while it is being read is not missed. A
    // device a rescan read already and found no disk is not watched (it waits for an event).
    const bool readAsNoDisk = alreadyRead != nullptr && !LinuxDiskDescriber::shown(*alreadyRead);
    if (!previous && !readAsNoDisk) {
        monitor_.watchNode(name, describer_.devicePath(name));
    }
    auto current = build(name, appearance, alreadyRead);
    if (!current) {
        if (alreadyRead == nullptr) {
            LinuxDiskWatcherLog::note(name, "not shown (gone, no medium or hidden)");
        }
        // Gone, or no longer a disk (a detached loop device keeps its node with size 0).
        if (previous) {
            forget(name);
        } else if (!readAsNoDisk) {
            monitor_.unwatchNode(name);
        }
        return;
    }
    // A loop device reattached to another image is another disk: the old one goes (and with it
    // the watch on its node), and the new one is looked at, and watched, as a new disk.
    if (previous && previous->device.loopBackingFile != current->device.loopBackingFile) {
        forget(name);
        look(name);
        return;
    }
    known_.keep(name, *current);
    if (!previous) {
        LinuxDiskWatcherLog::note(name, "appeared");
        appeared(name);
        // What a new mapping sits on now has it among its holders.
        for (const auto& below : current->device.slaves) {
            if (below != name) {
                look(below);
            }
        }
        return;
    }
    auto keys = DescriptionChanges::keys(previous->description, current->description);
    if (!keys.empty()) {
        changed(name, keys);
    }
}

void LinuxDiskWatcher::forget(const std::string& name) {
    const std::optional<std::vector<std::string>> below = known_.forget(name);
    if (!below) {
        return;
    }
    monitor_.unwatchNode(name);
    LinuxDiskWatcherLog::note(name, "gone");
    disappeared(name);
    // A mapping that went away no longer holds what it was on.
    for (const auto& device : *below) {
        if (device != name) {
            look(device);
        }
    }
}

std::optional<DiskDescription> LinuxDiskWatcher::description(const std::string& name) {
    std::optional<DiskDescription> description;
    std::optional<SysfsBlockDevice> device;
    if (auto known = known_.find(name)) {
        description = std::move(known->description);
        device = std::move(known->device);
    }
    std::shared_ptr<const MountTable> mounts = mountsFor(name);
    if (!description) {
        device = describer_.device(name);
        if (!device) {
            return std::nullopt;
        }
        description = describer_.describe(*device, describer_.probe(*device), *mounts,
                                          toSeconds(Clock::current().now()));
        return description;
    }
    auto& values = description->values();
    values.erase(DiskDescriptionKey::volumePath);
    if (auto mountPoint = mounts->mountPointOf(device->devNumber, describer_.devicePath(name))) {
        values[DiskDescriptionKey::volumePath] = *mountPoint;
    }
    return description;
}

VolumeFacts LinuxDiskWatcher::facts(const SysfsBlockDevice& device) {
    if (auto kept = known_.facts(device)) {
        return std::move(*kept);
    }
    return describer_.probe(device);
}

std::optional<SysfsBlockDevice> LinuxDiskWatcher::knownDevice(const std::string& name) {
    if (auto known = known_.device(name)) {
        return known;
    }
    return SysfsBlockDevice::read(paths_.sysfsRoot, name);
}

std::optional<SysfsBlockDevice> LinuxDiskWatcher::shownDevice(const std::string& name) {
    if (auto known = known_.device(name)) {
        return known;
    }
    return describer_.device(name);
}

std::optional<std::string> LinuxDiskWatcher::nameForVolumePath(const std::string& path) {
    std::error_code error;
    std::string resolved = std::filesystem::weakly_canonical(path, error).string();
    if (error) {
        resolved = path;
    }
    auto entry = mountSource_.current()->entryContaining(resolved);
    if (!entry) {
        return std::nullopt;
    }
    auto known = known_.firstName([&](const std::string& name, const KnownDisk& disk) {
        return disk.device.devNumber == entry->devNumber || describer_.devicePath(name) == entry->source;
    });
    if (known) {
        return known;
    }
    // Not watched yet: sysfs knows the device by its number.
    auto target = std::filesystem::read_symlink(std::filesystem::path(paths_.sysfsRoot) / "dev" / "block" /
                                                    entry->devNumber, error);
    if (error) {
        return std::nullopt;
    }
    return target.filename().string();
}

void LinuxDiskWatcher::pollMounts() {
    std::shared_ptr<const MountTable> latest = mountSource_.current();
    if (*latest == mounts_) {
        return;
    }
    MountTable current = *latest;
    MountTable before = std::move(mounts_);
    takeMounts(current);
    handleMountChanges(before, current);
}

void LinuxDiskWatcher::handleMountChanges(const MountTable& before, const MountTable& after) {
    for (auto& [name, known] : known_.all()) {
        const std::string node = describer_.devicePath(name);
        auto was = before.mountPointOf(known.device.devNumber, node);
        auto now = after.mountPointOf(known.device.devNumber, node);
        if (was == now) {
            continue;
        }
        known.description = describer_.describe(known.device, known.facts, after, known.appearanceTime);
        known_.setDescription(name, known.description);
        const bool expected = expectations_.expects(now.has_value(), name);
        const bool vetoed = !now && expectations_.takeVeto(name);
        if (now && !expected) {
            // A mount this process did not ask for: the sessions hear of it now, and a dissent
            // takes the volume away again. Linux has no hook that vetoes a mount beforehand.
            if (auto dissent = sessions_.ask(Approval::Mount, name, stopped_)) {
                Log::info("Mount of " + name + " at " + *now + " refused (" + dissent->statusString +
                          "); unmounting it");
                expectations_.veto(name);
                // The unmount runs off the queue; a later poll sees it, without asking again.
                if (auto handler = expectations_.vetoHandler()) {
                    handler(name);
                }
            }
        } else if (!now && !expected && !vetoed) {
            // Seen after the fact: a dissent cannot bring the volume back, and is only logged.
            if (auto dissent = sessions_.ask(Approval::Unmount, name, stopped_)) {
                Log::info("Unmount of " + name + " was refused (" + dissent->statusString +
                          ") after it happened");
            }
        }
        changed(name, {DiskDescriptionKey::volumePath});
    }
}

std::optional<DADissenter> LinuxDiskWatcher::askApproval(Approval kind, const std::string& name) {
    if (stopped_) {
        // Nobody is left to approve it: a program that is ending starts no mount or unmount.
        return DADissenter{DADissenter::error, "the program is ending"};
    }
    return sessions_.ask(kind, name, stopped_);
}

void LinuxDiskWatcher::setVetoHandler(std::function<void(const std::string&)> handler) {
    expectations_.setVetoHandler(std::move(handler));
}

void LinuxDiskWatcher::takeMounts(MountTable mounts) {
    mounts_ = std::move(mounts);
    expectations_.take(mounts_);
}

std::shared_ptr<const MountTable> LinuxDiskWatcher::mountsFor(const std::string& name) {
    {
        // While the helper mounts or unmounts this disk for the process, its mount state is
        // the one last taken in: the change shows once the helper is done, its mount folder
        // made or removed.
        if (auto held = expectations_.heldTable(name)) {
            return std::make_shared<const MountTable>(std::move(*held));
        }
    }
    return mountSource_.current();
}

void LinuxDiskWatcher::expect(Approval kind, const std::string& name) {
    expectations_.expect(kind, name);
}

void LinuxDiskWatcher::settle(Approval kind, const std::string& name) {
    // The change the helper made is taken in now, while it is still expected. When another
    // helper still works on the same disk (an unmount and an unmount of the whole disk run side
    // by side), the last one to finish takes in both changes: the disk's mount state changes
    // only once every helper is done, its mount folder included.
    sync([this, kind, name] {
        if (expectations_.isLastHelper(name)) {
            pollMounts();
        }
        expectations_.settled(kind, name);
    });
}

void LinuxDiskWatcher::appeared(const std::string& name) {
    if (stopped_) {
        return;
    }
    sessions_.appeared(name);
}

void LinuxDiskWatcher::disappeared(const std::string& name) {
    if (stopped_) {
        return;
    }
    sessions_.disappeared(name);
}

void LinuxDiskWatcher::changed(const std::string& name, const std::vector<std::string>& keys) {
    if (stopped_) {
        return;
    }
    sessions_.changed(name, keys);
}

}  // namespace harbormind
