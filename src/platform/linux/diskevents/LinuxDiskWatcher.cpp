#include "platform/linux/diskevents/LinuxDiskWatcher.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>
#include <filesystem>

#include "platform/DiskDescriptionKey.h"
#include "platform/linux/diskevents/LinuxDiskArbitrationSession.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {
namespace {

// How long the platform waits for the sessions of its own process to answer an approval
// question before it goes ahead without them.
constexpr Clock::Duration approvalTimeLimit = seconds(30);

std::vector<std::string> differingKeys(const DiskDescription& before, const DiskDescription& after) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : after.values()) {
        if (key == DiskDescriptionKey::appearanceTime) {
            continue;
        }
        auto it = before.values().find(key);
        if (it == before.values().end() || !(it->second == value)) {
            keys.push_back(key);
        }
    }
    for (const auto& [key, value] : before.values()) {
        if (after.values().count(key) == 0) {
            keys.push_back(key);
        }
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// "loop2" before "loop10": runs of digits compare by value.
bool naturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (std::isdigit(static_cast<unsigned char>(a[i])) != 0 && std::isdigit(static_cast<unsigned char>(b[j])) != 0) {
            std::size_t iEnd = i;
            std::size_t jEnd = j;
            while (iEnd < a.size() && std::isdigit(static_cast<unsigned char>(a[iEnd])) != 0) {
                ++iEnd;
            }
            while (jEnd < b.size() && std::isdigit(static_cast<unsigned char>(b[jEnd])) != 0) {
                ++jEnd;
            }
            std::string left = a.substr(i, iEnd - i);
            std::string right = b.substr(j, jEnd - j);
            left.erase(0, std::min(left.find_first_not_of('0'), left.size()));
            right.erase(0, std::min(right.find_first_not_of('0'), right.size()));
            if (left.size() != right.size()) {
                return left.size() < right.size();
            }
            if (left != right) {
                return left < right;
            }
            i = iEnd;
            j = jEnd;
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

}  // namespace

LinuxDiskWatcher::LinuxDiskWatcher(LinuxPaths paths)
    : paths_(std::move(paths)),
      describer_(paths_),
      queue_(SerialQueue::create("harbormind.linux.disks")),
      mountSource_(paths_.mountInfo) {}

LinuxDiskWatcher::~LinuxDiskWatcher() {
    if (!queue_->isCurrent()) {
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
    queue_->stop();
}

void LinuxDiskWatcher::sync(const std::function<void()>& work) {
    queue_->sync(work);
}

void LinuxDiskWatcher::attach(const std::shared_ptr<LinuxDiskArbitrationSession>& session,
                              const std::function<void(const std::vector<std::string>&)>& registration) {
    queue_->sync([&] {
        startOnQueue();
        {
            std::lock_guard lock(mutex_);
            bool present = std::any_of(sessions_.begin(), sessions_.end(),
                                       [&](const auto& weak) { return weak.lock() == session; });
            if (!present) {
                sessions_.push_back(session);
            }
        }
        registration(orderedNames());
    });
}

void LinuxDiskWatcher::startOnQueue() {
    if (started_) {
        return;
    }
    started_ = true;
    takeMounts(*mountSource_.current());
    if (paths_.kernelEvents == KernelEvents::Listen) {
        std::weak_ptr<LinuxDiskWatcher> weak = weak_from_this();
        std::shared_ptr<SerialQueue> queue = queue_;
        monitor_.start([weak, queue](const UeventMessage& message) {
            queue->async([weak, message] {
                if (auto self = weak.lock(); self && !self->stopped_) {
                    self->deviceEvent(message);
                }
            });
        });
    }
    rescan();
    std::weak_ptr<LinuxDiskWatcher> weak = weak_from_this();
    auto timer = Timer::scheduled(queue_, paths_.mountPollInterval, TimerRepeat::Repeating, [weak] {
        // While the helper mounts or unmounts for this process, the change is taken in when it
        // has finished (settle), so the volume is reported mounted or unmounted only once its
        // mount folder is made or removed too.
        if (auto self = weak.lock(); self && !self->stopped_ && !self->helperRunning()) {
            self->pollMounts();
        }
    });
    std::lock_guard lock(mutex_);
    mountTimer_ = std::move(timer);
}

std::vector<std::string> LinuxDiskWatcher::orderedNames() const {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<std::uint64_t, std::string>> order;
    for (const auto& [name, known] : known_) {
        order.push_back({known.sequence, name});
    }
    std::sort(order.begin(), order.end());
    std::vector<std::string> names;
    for (auto& entry : order) {
        names.push_back(std::move(entry.second));
    }
    return names;
}

std::optional<LinuxDiskWatcher::Known> LinuxDiskWatcher::build(const std::string& name, double appearanceTime,
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
    Known known;
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
    // Every device is read, and every disk probed, before the first is looked at: the reads
    // run a few at a time, and what they found is as fresh as a read in the look itself.
    pass.readAll(names, [this, &pass](const SysfsBlockDevice& device) -> std::optional<VolumeFacts> {
        if (!LinuxDiskDescriber::shown(device)) {
            return std::nullopt;
        }
        return describer_.probe(device, &pass);
    });
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
        return naturalLess(std::get<1>(a), std::get<1>(b));
    });
    for (const auto& entry : order) {
        const std::optional<SysfsBlockDevice> read = pass.device(std::get<1>(entry));
        look(std::get<1>(entry), &read);
    }
    pass_ = outer;
    std::vector<std::string> gone;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [name, known] : known_) {
            if (present.count(name) == 0) {
                gone.push_back(name);
            }
        }
    }
    for (const auto& name : gone) {
        forget(name);
    }
}

void LinuxDiskWatcher::deviceEvent(const UeventMessage& message) {
    if (message.action == "resync") {
        takeMounts(*mountSource_.current());
        rescan();
        return;
    }
    const std::string name = message.deviceName();
    if (name.empty()) {
        return;
    }
    if (message.action == "remove") {
        forget(name);
        return;
    }
    DescribePass pass(paths_.sysfsRoot, paths_.devRoot);
    DescribePass* outer = std::exchange(pass_, &pass);
    look(name);
    // A disk that changed may have a new partition table or lost its medium: its partitions
    // are looked at again too (the kernel reports removed partitions, not rewritten ones).
    std::vector<std::string> partitions;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [other, known] : known_) {
            if (other != name && known.device.isPartition && known.device.wholeDiskName == name) {
                partitions.push_back(other);
            }
        }
    }
    for (const auto& partition : partitions) {
        look(partition);
    }
    pass_ = outer;
}

void LinuxDiskWatcher::look(const std::string& name, const std::optional<SysfsBlockDevice>* alreadyRead) {
    std::optional<Known> previous;
    {
        std::lock_guard lock(mutex_);
        auto it = known_.find(name);
        if (it != known_.end()) {
            previous = it->second;
        }
    }
    const double appearance = previous ? previous->appearanceTime : toSeconds(Clock::current().now());
    // Watched before it is read: a write that ends while it is being read is not missed. A
    // device a rescan read already and found no disk is not watched (it waits for an event).
    const bool readAsNoDisk = alreadyRead != nullptr && !LinuxDiskDescriber::shown(*alreadyRead);
    if (!previous && !readAsNoDisk) {
        monitor_.watchNode(name, describer_.devicePath(name));
    }
    auto current = build(name, appearance, alreadyRead);
    if (!current) {
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
    {
        std::lock_guard lock(mutex_);
        current->sequence = previous ? previous->sequence : nextSequence_++;
        known_[name] = *current;
    }
    if (!previous) {
        appeared(name);
        // What a new mapping sits on now has it among its holders.
        for (const auto& below : current->device.slaves) {
            if (below != name) {
                look(below);
            }
        }
        return;
    }
    auto keys = differingKeys(previous->description, current->description);
    if (!keys.empty()) {
        changed(name, keys);
    }
}

void LinuxDiskWatcher::forget(const std::string& name) {
    std::vector<std::string> below;
    {
        std::lock_guard lock(mutex_);
        auto it = known_.find(name);
        if (it == known_.end()) {
            return;
        }
        below = it->second.device.slaves;
        known_.erase(it);
    }
    monitor_.unwatchNode(name);
    disappeared(name);
    // A mapping that went away no longer holds what it was on.
    for (const auto& device : below) {
        if (device != name) {
            look(device);
        }
    }
}

std::optional<DiskDescription> LinuxDiskWatcher::description(const std::string& name) {
    std::optional<DiskDescription> description;
    std::optional<SysfsBlockDevice> device;
    {
        std::lock_guard lock(mutex_);
        auto it = known_.find(name);
        if (it != known_.end()) {
            description = it->second.description;
            device = it->second.device;
        }
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
    {
        std::lock_guard lock(mutex_);
        auto it = known_.find(device.name);
        if (it != known_.end() && it->second.device.sysPath == device.sysPath) {
            return it->second.facts;
        }
    }
    return describer_.probe(device);
}

std::optional<SysfsBlockDevice> LinuxDiskWatcher::cachedDevice(const std::string& name) const {
    std::lock_guard lock(mutex_);
    auto it = known_.find(name);
    if (it == known_.end()) {
        return std::nullopt;
    }
    return it->second.device;
}

std::optional<SysfsBlockDevice> LinuxDiskWatcher::knownDevice(const std::string& name) {
    if (auto known = cachedDevice(name)) {
        return known;
    }
    return SysfsBlockDevice::read(paths_.sysfsRoot, name);
}

std::optional<SysfsBlockDevice> LinuxDiskWatcher::shownDevice(const std::string& name) {
    if (auto known = cachedDevice(name)) {
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
    std::lock_guard lock(mutex_);
    for (const auto& [name, known] : known_) {
        if (known.device.devNumber == entry->devNumber || describer_.devicePath(name) == entry->source) {
            return name;
        }
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
    std::vector<std::pair<std::string, Known>> disks;
    {
        std::lock_guard lock(mutex_);
        disks.assign(known_.begin(), known_.end());
    }
    for (auto& [name, known] : disks) {
        const std::string node = describer_.devicePath(name);
        auto was = before.mountPointOf(known.device.devNumber, node);
        auto now = after.mountPointOf(known.device.devNumber, node);
        if (was == now) {
            continue;
        }
        known.description = describer_.describe(known.device, known.facts, after, known.appearanceTime);
        {
            std::lock_guard lock(mutex_);
            auto it = known_.find(name);
            if (it != known_.end()) {
                it->second.description = known.description;
            }
        }
        bool expected = false;
        bool vetoed = false;
        {
            std::lock_guard lock(mutex_);
            auto& pending = now ? expectedMounts_ : expectedUnmounts_;
            expected = pending.count(name) != 0;
            vetoed = !now && vetoed_.erase(name) != 0;
        }
        if (now && !expected) {
            // A mount this process did not ask for: the sessions hear of it now, and a dissent
            // takes the volume away again. Linux has no hook that vetoes a mount beforehand.
            if (auto dissent = askSessions(Approval::Mount, name)) {
                Log::info("Mount of " + name + " at " + *now + " refused (" + dissent->statusString +
                          "); unmounting it");
                {
                    std::lock_guard lock(mutex_);
                    vetoed_.insert(name);
                }
                // The unmount runs off the queue; a later poll sees it, without asking again.
                std::function<void(const std::string&)> handler;
                {
                    std::lock_guard lock(mutex_);
                    handler = vetoHandler_;
                }
                if (handler) {
                    handler(name);
                }
            }
        } else if (!now && !expected && !vetoed) {
            // Seen after the fact: a dissent cannot bring the volume back, and is only logged.
            if (auto dissent = askSessions(Approval::Unmount, name)) {
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
    return askSessions(kind, name);
}

std::optional<DADissenter> LinuxDiskWatcher::askSessions(Approval kind, const std::string& name) {
    struct Ballot {
        std::mutex mutex;
        int pending = 0;
        std::optional<DADissenter> dissent;
    };
    auto ballot = std::make_shared<Ballot>();
    Clock& clock = Clock::current();
    for (const auto& session : liveSessions()) {
        {
            std::lock_guard lock(ballot->mutex);
            ++ballot->pending;
        }
        bool asked = session->ask(kind, name, [ballot, &clock](std::optional<DADissenter> answer) {
            {
                std::lock_guard lock(ballot->mutex);
                if (answer && !ballot->dissent) {
                    ballot->dissent = answer;
                }
                --ballot->pending;
            }
            clock.notifyAll();
        });
        if (!asked) {
            std::lock_guard lock(ballot->mutex);
            --ballot->pending;
        }
    }
    bool answered = clock.waitUntil(
        [this, &ballot] {
            std::lock_guard lock(ballot->mutex);
            return ballot->pending == 0 || stopped_;
        },
        clock.now() + approvalTimeLimit);
    if (stopped_) {
        return std::nullopt;  // the process is ending: nobody is left to act on a dissent
    }
    if (!answered) {
        Log::warning("No answer to the " + std::string(kind == Approval::Mount ? "mount" : "unmount") +
                     " approval of " + name + "; going ahead");
    }
    std::lock_guard lock(ballot->mutex);
    return ballot->dissent;
}

void LinuxDiskWatcher::setVetoHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard lock(mutex_);
    vetoHandler_ = std::move(handler);
}

void LinuxDiskWatcher::takeMounts(MountTable mounts) {
    mounts_ = std::move(mounts);
    std::lock_guard lock(mutex_);
    takenMounts_ = mounts_;
}

std::shared_ptr<const MountTable> LinuxDiskWatcher::mountsFor(const std::string& name) {
    {
        // While the helper mounts or unmounts this disk for the process, its mount state is
        // the one last taken in: the change shows once the helper is done, its mount folder
        // made or removed.
        std::lock_guard lock(mutex_);
        if (expectedMounts_.count(name) != 0 || expectedUnmounts_.count(name) != 0) {
            return std::make_shared<const MountTable>(takenMounts_);
        }
    }
    return mountSource_.current();
}

bool LinuxDiskWatcher::helperRunning() const {
    std::lock_guard lock(mutex_);
    return !expectedMounts_.empty() || !expectedUnmounts_.empty();
}

void LinuxDiskWatcher::expect(Approval kind, const std::string& name) {
    std::lock_guard lock(mutex_);
    (kind == Approval::Mount ? expectedMounts_ : expectedUnmounts_).insert(name);
}

void LinuxDiskWatcher::settle(Approval kind, const std::string& name) {
    // The change the helper made is taken in now, while it is still expected. When another
    // helper still works on the same disk (an unmount and an unmount of the whole disk run side
    // by side), the last one to finish takes in both changes: the disk's mount state changes
    // only once every helper is done, its mount folder included.
    queue_->sync([this, kind, name] {
        bool last = false;
        {
            std::lock_guard lock(mutex_);
            last = expectedMounts_.count(name) + expectedUnmounts_.count(name) <= 1;
        }
        if (last) {
            pollMounts();
        }
        std::lock_guard lock(mutex_);
        auto& pending = kind == Approval::Mount ? expectedMounts_ : expectedUnmounts_;
        auto it = pending.find(name);
        if (it != pending.end()) {
            pending.erase(it);
        }
    });
}

std::vector<std::shared_ptr<LinuxDiskArbitrationSession>> LinuxDiskWatcher::liveSessions() {
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<LinuxDiskArbitrationSession>> live;
    sessions_.erase(std::remove_if(sessions_.begin(), sessions_.end(),
                                   [&live](const auto& weak) {
                                       auto session = weak.lock();
                                       if (!session) {
                                           return true;
                                       }
                                       live.push_back(std::move(session));
                                       return false;
                                   }),
                    sessions_.end());
    return live;
}

void LinuxDiskWatcher::appeared(const std::string& name) {
    if (stopped_) {
        return;
    }
    for (const auto& session : liveSessions()) {
        session->notifyAppeared(name);
    }
}

void LinuxDiskWatcher::disappeared(const std::string& name) {
    if (stopped_) {
        return;
    }
    for (const auto& session : liveSessions()) {
        session->notifyDisappeared(name);
    }
}

void LinuxDiskWatcher::changed(const std::string& name, const std::vector<std::string>& keys) {
    if (stopped_) {
        return;
    }
    for (const auto& session : liveSessions()) {
        session->notifyChanged(name, keys);
    }
}

}  // namespace harbormind
