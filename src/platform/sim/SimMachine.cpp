#include "platform/sim/SimMachine.h"

#include <algorithm>

#include "platform/DiskDescription.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/sim/SimTimeline.h"

namespace harbormind {
namespace {

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::optional<std::string> textValue(const PlatformValue::Dictionary& values, const char* key) {
    auto it = values.find(key);
    return it == values.end() ? std::nullopt : it->second.asText();
}

std::optional<bool> boolValue(const PlatformValue::Dictionary& values, const char* key) {
    auto it = values.find(key);
    return it == values.end() ? std::nullopt : it->second.asBool();
}

}  // namespace

SimMachine::SimMachine(SimScenario scenario)
    : scenario_(std::move(scenario)), externalAdapter_(scenario_.externalAdapter) {
    for (const auto& entry : scenario_.registry) {
        registry_.put(entry.key, entry.parent, entry.otherParents, entry.name, entry.properties);
    }
    for (const auto& disk : scenario_.disks) {
        addDisk(disk);
    }
}

// ---- Disks ----

SimMachine::Disk* SimMachine::findDisk(const std::string& bsdName) {
    auto it = std::find_if(disks_.begin(), disks_.end(), [&](const Disk& d) { return d.definition.bsdName == bsdName; });
    return it == disks_.end() ? nullptr : &*it;
}

std::vector<std::string> SimMachine::diskNames() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    for (const auto& disk : disks_) {
        names.push_back(disk.definition.bsdName);
    }
    return names;
}

bool SimMachine::hasDisk(const std::string& bsdName) {
    std::lock_guard lock(mutex_);
    return findDisk(bsdName) != nullptr;
}

std::optional<DiskDescription> SimMachine::description(const std::string& bsdName, bool allowDeparted) {
    std::lock_guard lock(mutex_);
    if (const Disk* disk = findDisk(bsdName)) {
        return DiskDescription(disk->description);
    }
    if (allowDeparted) {
        if (auto it = departed_.find(bsdName); it != departed_.end()) {
            return DiskDescription(it->second);
        }
    }
    return std::nullopt;
}

namespace {

// A scenario may give the mount point as a path or as a file URL, as real descriptions do.
std::optional<std::string> mountedPath(const PlatformValue::Dictionary& description) {
    auto it = description.find(DiskDescriptionKey::volumePath);
    std::optional<std::string> text = it == description.end() ? std::nullopt : it->second.asText();
    return text ? DiskDescription::pathFromText(*text) : std::nullopt;
}

}  // namespace

std::optional<std::string> SimMachine::diskMountedAt(const std::string& path) {
    std::lock_guard lock(mutex_);
    const std::string wanted = withoutTrailingSlash(path);
    for (const auto& disk : disks_) {
        auto mounted = mountedPath(disk.description);
        if (mounted && withoutTrailingSlash(*mounted) == wanted) {
            return disk.definition.bsdName;
        }
    }
    return std::nullopt;
}

std::vector<std::string> SimMachine::mountPoints() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> points;
    for (const auto& disk : disks_) {
        if (auto mounted = mountedPath(disk.description)) {
            points.push_back(withoutTrailingSlash(*mounted));
        }
    }
    return points;
}

std::optional<RegistryEntryId> SimMachine::mediaEntry(const std::string& bsdName) {
    std::lock_guard lock(mutex_);
    const Disk* disk = findDisk(bsdName);
    if (disk == nullptr) {
        return std::nullopt;
    }
    return registry_.id(disk->definition.mediaKey());
}

// ---- Registry ----

void SimMachine::addRegistryEntry(const SimRegistryEntryDefinition& definition) {
    std::lock_guard lock(mutex_);
    registry_.put(definition.key, definition.parent, definition.otherParents, definition.name, definition.properties);
}

std::optional<RegistryEntryId> SimMachine::parentEntry(RegistryEntryId id) {
    std::lock_guard lock(mutex_);
    return registry_.parent(id);
}

std::vector<RegistryEntryId> SimMachine::childEntries(RegistryEntryId id) {
    std::lock_guard lock(mutex_);
    return registry_.children(id);
}

std::optional<PlatformValue> SimMachine::property(RegistryEntryId id, const std::string& key) {
    std::lock_guard lock(mutex_);
    return registry_.property(id, key);
}

std::optional<std::string> SimMachine::registryPath(RegistryEntryId id) {
    std::lock_guard lock(mutex_);
    return registry_.path(id);
}

std::optional<RegistryEntryId> SimMachine::entryFromPath(const std::string& path) {
    std::lock_guard lock(mutex_);
    return registry_.fromPath(path);
}

std::vector<std::string> SimMachine::familyDeepestFirst(const std::string& bsdName) {
    const Disk* root = findDisk(bsdName);
    if (root == nullptr) {
        return {};
    }
    const std::string rootKey = root->definition.mediaKey();
    std::vector<std::pair<std::size_t, std::string>> members{{0, bsdName}};
    for (const auto& disk : disks_) {
        auto ancestors = registry_.ancestorKeys(disk.definition.mediaKey());
        auto at = std::find(ancestors.begin(), ancestors.end(), rootKey);
        if (at != ancestors.end()) {
            members.emplace_back(static_cast<std::size_t>(at - ancestors.begin()) + 1, disk.definition.bsdName);
        }
    }
    std::stable_sort(members.begin(), members.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> names;
    for (auto& member : members) {
        names.push_back(std::move(member.second));
    }
    return names;
}

std::string SimMachine::topmostDisk(const std::string& bsdName) {
    std::string top = bsdName;
    const Disk* disk = findDisk(bsdName);
    if (disk == nullptr) {
        return top;
    }
    for (const auto& key : registry_.ancestorKeys(disk->definition.mediaKey())) {
        for (const auto& candidate : disks_) {
            if (candidate.definition.mediaKey() == key) {
                top = candidate.definition.bsdName;
            }
        }
    }
    return top;
}

// ---- Sessions ----

void SimMachine::attach(const std::shared_ptr<SimAttachedSession>& session) {
    std::lock_guard lock(mutex_);
    sessions_.attach(session);
}

void SimMachine::reportPresentDisks(SimAttachedSession& session) {
    std::lock_guard lock(mutex_);
    auto callbacks = session.takeUnreportedAppeared();
    if (callbacks.empty()) {
        return;
    }
    std::vector<DADisk> present;
    for (const auto& disk : disks_) {
        present.emplace_back(disk.definition.bsdName);
    }
    session.deliverInitial(present, callbacks);
}

// ---- Changes ----

bool SimMachine::addDisk(const SimDiskDefinition& definition) {
    if (definition.bsdName.empty()) {
        return false;
    }
    std::lock_guard lock(mutex_);
    if (findDisk(definition.bsdName) != nullptr) {
        return false;
    }
    Disk disk{definition, definition.description};
    disk.description.try_emplace(DiskDescriptionKey::mediaBSDName, definition.bsdName);
    PlatformValue::Dictionary properties = definition.mediaProperties;
    properties.try_emplace("BSD Name", definition.bsdName);
    properties.try_emplace("IOClass", "IOMedia");
    registry_.put(definition.mediaKey(), definition.registryParent, definition.otherRegistryParents,
             definition.registryName, std::move(properties));
    departed_.erase(definition.bsdName);
    disks_.push_back(std::move(disk));
    sessions_.announceAppeared(definition.bsdName);
    return true;
}

bool SimMachine::removeFamily(const std::vector<std::string>& family) {
    for (const auto& name : family) {
        auto it = std::find_if(disks_.begin(), disks_.end(), [&](const Disk& d) { return d.definition.bsdName == name; });
        if (it == disks_.end()) {
            continue;
        }
        registry_.hide(it->definition.mediaKey());
        departed_[name] = it->description;
        disks_.erase(it);
        sessions_.announceDisappeared(name);
    }
    return !family.empty();
}

bool SimMachine::removeDisk(const std::string& bsdName) {
    std::lock_guard lock(mutex_);
    return removeFamily(familyDeepestFirst(bsdName));
}

bool SimMachine::setDescriptionValue(const std::string& bsdName, const std::string& key, const PlatformValue& value) {
    std::lock_guard lock(mutex_);
    Disk* disk = findDisk(bsdName);
    if (disk == nullptr) {
        return false;
    }
    disk->description[key] = value;
    sessions_.announceChanged(bsdName, {key});
    return true;
}

bool SimMachine::removeDescriptionValue(const std::string& bsdName, const std::string& key) {
    std::lock_guard lock(mutex_);
    Disk* disk = findDisk(bsdName);
    if (disk == nullptr || disk->description.erase(key) == 0) {
        return false;
    }
    sessions_.announceChanged(bsdName, {key});
    return true;
}

bool SimMachine::setBusy(const std::string& bsdName, bool busy) {
    std::lock_guard lock(mutex_);
    Disk* disk = findDisk(bsdName);
    if (disk == nullptr) {
        return false;
    }
    disk->definition.busy = busy;
    return true;
}

std::string SimMachine::freeMountPath(const Disk& disk, const std::optional<std::string>& path) {
    std::string base = path ? *path
                            : disk.definition.mountPath.value_or(
                                  "/Volumes/" + textValue(disk.description, DiskDescriptionKey::volumeName)
                                                    .value_or(disk.definition.bsdName));
    base = withoutTrailingSlash(base);
    auto taken = [&](const std::string& candidate) {
        return std::any_of(disks_.begin(), disks_.end(), [&](const Disk& other) {
            auto mounted = mountedPath(other.description);
            return mounted && withoutTrailingSlash(*mounted) == candidate;
        });
    };
    // Like the real mounter, a second volume of the same name gets " 1", " 2"...
    std::string candidate = base;
    for (int n = 1; taken(candidate); ++n) {
        candidate = base + " " + std::to_string(n);
    }
    return candidate;
}

void SimMachine::record(SimRequest request) {
    requests_.push_back(std::move(request));
}

std::optional<DADissenter> SimMachine::mount(const std::string& bsdName, const std::optional<std::string>& path,
                                             std::uint32_t options, SimRequest::Origin origin) {
    SimRequest request{SimRequest::Kind::Mount, origin, bsdName, path, options, std::nullopt};
    SimAttachedSessions::Approvals asked;
    {
        std::lock_guard lock(mutex_);
        Disk* disk = findDisk(bsdName);
        if (disk == nullptr) {
            request.dissenter = DADissenter{DADissenter::error, "No such disk"};
        } else if (textValue(disk->description, DiskDescriptionKey::volumePath)) {
            return std::nullopt;  // already mounted: nothing to ask
        } else if (!disk->definition.mountable.value_or(
                       textValue(disk->description, DiskDescriptionKey::volumeKind).has_value())) {
            request.dissenter = DADissenter{DADissenter::error, "No mountable file system"};
        }
        if (request.dissenter) {
            record(request);
            return request.dissenter;
        }
        asked = sessions_.approvals(SimAttachedSessions::ApprovalKind::Mount);
    }
    request.dissenter = SimAttachedSessions::ask(asked, DADisk(bsdName));
    std::lock_guard lock(mutex_);
    Disk* disk = findDisk(bsdName);
    if (!request.dissenter && disk == nullptr) {
        request.dissenter = DADissenter{DADissenter::error, "No such disk"};
    }
    if (!request.dissenter && !textValue(disk->description, DiskDescriptionKey::volumePath)) {
        disk->description[DiskDescriptionKey::volumePath] = freeMountPath(*disk, path);
        sessions_.announceChanged(bsdName, {DiskDescriptionKey::volumePath});
    }
    record(request);
    return request.dissenter;
}

std::optional<DADissenter> SimMachine::unmount(const std::string& bsdName, std::uint32_t options,
                                               SimRequest::Origin origin) {
    SimRequest request{SimRequest::Kind::Unmount, origin, bsdName, std::nullopt, options, std::nullopt};
    std::vector<std::string> volumes;
    SimAttachedSessions::Approvals asked;
    {
        std::lock_guard lock(mutex_);
        if (findDisk(bsdName) == nullptr) {
            request.dissenter = DADissenter{DADissenter::error, "No such disk"};
            record(request);
            return request.dissenter;
        }
        std::vector<std::string> candidates{bsdName};
        if ((options & DiskArbitrationSession::unmountWhole) != 0) {
            // The whole option unmounts every volume of the disk's whole disk.
            candidates = familyDeepestFirst(wholeDiskOf(bsdName));
        }
        volumes = mountedAmong(candidates);
        asked = sessions_.approvals(SimAttachedSessions::ApprovalKind::Unmount);
    }
    const bool force = (options & DiskArbitrationSession::unmountForce) != 0;
    for (const auto& volume : volumes) {
        auto dissent = unmountVolume(volume, asked, force);
        if (dissent && !request.dissenter) {
            request.dissenter = dissent;
        }
    }
    std::lock_guard lock(mutex_);
    record(request);
    return request.dissenter;
}

std::string SimMachine::wholeDiskOf(const std::string& bsdName) {
    std::string whole = bsdName;
    auto isWhole = [&](const std::string& name) {
        return boolValue(findDisk(name)->description, DiskDescriptionKey::mediaWhole).value_or(false);
    };
    for (const auto& key : registry_.ancestorKeys(findDisk(bsdName)->definition.mediaKey())) {
        if (isWhole(whole)) {
            break;
        }
        for (const auto& disk : disks_) {
            if (disk.definition.mediaKey() == key) {
                whole = disk.definition.bsdName;
            }
        }
    }
    return whole;
}

std::vector<std::string> SimMachine::mountedAmong(const std::vector<std::string>& names) {
    std::vector<std::string> volumes;
    for (const auto& name : names) {
        if (textValue(findDisk(name)->description, DiskDescriptionKey::volumePath)) {
            volumes.push_back(name);
        }
    }
    return volumes;
}

std::optional<DADissenter> SimMachine::unmountVolume(const std::string& volume,
                                                     const SimAttachedSessions::Approvals& asked, bool force) {
    auto dissent = SimAttachedSessions::ask(asked, DADisk(volume));
    std::lock_guard lock(mutex_);
    Disk* disk = findDisk(volume);
    if (!dissent && disk != nullptr && disk->definition.busy && !force) {
        dissent = DADissenter{DADissenter::busy, "Busy"};
    }
    if (!dissent && disk != nullptr && disk->description.erase(DiskDescriptionKey::volumePath) != 0) {
        sessions_.announceChanged(volume, {DiskDescriptionKey::volumePath});
    }
    return dissent;
}

std::optional<DADissenter> SimMachine::eject(const std::string& bsdName, std::uint32_t options,
                                             SimRequest::Origin origin) {
    SimRequest request{SimRequest::Kind::Eject, origin, bsdName, std::nullopt, options, std::nullopt};
    std::string top;
    {
        std::lock_guard lock(mutex_);
        Disk* disk = findDisk(bsdName);
        top = topmostDisk(bsdName);
        if (disk == nullptr) {
            request.dissenter = DADissenter{DADissenter::error, "No such disk"};
        } else if (boolValue(findDisk(top)->description, DiskDescriptionKey::mediaEjectable) == false) {
            request.dissenter = DADissenter{DADissenter::error, "Not ejectable"};
        }
        if (request.dissenter) {
            record(request);
            return request.dissenter;
        }
    }
    // Ejecting unmounts every volume of the device first; a refusal keeps the device.
    SimAttachedSessions::Approvals asked;
    std::vector<std::string> volumes;
    {
        std::lock_guard lock(mutex_);
        volumes = mountedAmong(familyDeepestFirst(top));
        asked = sessions_.approvals(SimAttachedSessions::ApprovalKind::Unmount);
    }
    for (const auto& volume : volumes) {
        if (auto dissent = unmountVolume(volume, asked, false)) {
            std::lock_guard lock(mutex_);
            request.dissenter = dissent;
            record(request);
            return request.dissenter;
        }
    }
    std::lock_guard lock(mutex_);
    removeFamily(familyDeepestFirst(top));
    record(request);
    return std::nullopt;
}

bool SimMachine::apply(const SimAction& action, SimRequest::Origin origin) {
    switch (action.kind) {
    case SimAction::Kind::AddDisk:
        return addDisk(action.disk);
    case SimAction::Kind::RemoveDisk:
        return removeDisk(action.bsdName);
    case SimAction::Kind::Mount:
        return !mount(action.bsdName, action.path, DiskArbitrationSession::mountDefault, origin);
    case SimAction::Kind::Unmount:
        return !unmount(action.bsdName, action.options, origin);
    case SimAction::Kind::Eject:
        return !eject(action.bsdName, action.options, origin);
    case SimAction::Kind::SetKey:
        return setDescriptionValue(action.bsdName, action.key, action.value);
    case SimAction::Kind::RemoveKey:
        return removeDescriptionValue(action.bsdName, action.key);
    case SimAction::Kind::SetExternalAdapter:
        setExternalAdapter(action.flag);
        return true;
    }
    return false;
}

std::vector<SimRequest> SimMachine::requests() {
    std::lock_guard lock(mutex_);
    return requests_;
}

// ---- Timeline ----

void SimMachine::start() {
    if (started_.exchange(true)) {
        return;
    }
    std::weak_ptr<SimMachine> weak = weak_from_this();
    SimTimeline::schedule(scenario_.events, [weak](const std::vector<SimAction>& actions) {
        if (auto machine = weak.lock()) {
            for (const auto& action : actions) {
                machine->apply(action, SimRequest::Origin::Event);
            }
        }
    });
}

}  // namespace harbormind
