#include "platform/sim/SimMachine.h"

#include <algorithm>
#include <map>

#include "platform/DiskDescription.h"
#include "platform/DiskDescriptionKey.h"
#include "support/Clock.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

// Registry walks stop here even if a changed registry ever loops.
constexpr int maximumRegistryDepth = 256;

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
        putEntry(entry.key, entry.parent, entry.otherParents, entry.name, entry.properties);
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
    const Entry* entry = presentEntry(disk->definition.mediaKey());
    return entry ? std::optional(entry->id) : std::nullopt;
}

// ---- Registry ----

SimMachine::Entry* SimMachine::findEntry(RegistryEntryId id) {
    auto key = keysById_.find(id);
    if (key == keysById_.end()) {
        return nullptr;
    }
    return presentEntry(key->second);
}

SimMachine::Entry* SimMachine::presentEntry(const std::string& key) {
    auto it = entries_.find(key);
    return it != entries_.end() && it->second.present ? &it->second : nullptr;
}

void SimMachine::putEntry(const std::string& key, const std::optional<std::string>& parent,
                          const std::vector<std::string>& otherParents, const std::string& name,
                          PlatformValue::Dictionary properties) {
    auto [it, inserted] = entries_.try_emplace(key);
    Entry& entry = it->second;
    if (inserted) {
        // A key keeps its handle for the life of the machine, so a re-added disk is found again.
        entry.id = nextEntryId_++;
        keysById_[entry.id] = key;
        entryOrder_.push_back(key);
    }
    entry.parent = parent;
    entry.otherParents = otherParents;
    entry.name = name.empty() ? key : name;
    entry.properties = std::move(properties);
    entry.present = true;
}

void SimMachine::addRegistryEntry(const SimRegistryEntryDefinition& definition) {
    std::lock_guard lock(mutex_);
    putEntry(definition.key, definition.parent, definition.otherParents, definition.name, definition.properties);
}

std::optional<RegistryEntryId> SimMachine::parentEntry(RegistryEntryId id) {
    std::lock_guard lock(mutex_);
    const Entry* entry = findEntry(id);
    if (entry == nullptr || !entry->parent) {
        return std::nullopt;
    }
    const Entry* parent = presentEntry(*entry->parent);
    return parent ? std::optional(parent->id) : std::nullopt;
}

std::vector<RegistryEntryId> SimMachine::childEntries(RegistryEntryId id) {
    std::lock_guard lock(mutex_);
    std::vector<RegistryEntryId> children;
    const Entry* parent = findEntry(id);
    if (parent == nullptr) {
        return children;
    }
    const std::string& parentKey = keysById_[id];
    for (const auto& key : entryOrder_) {
        const Entry* entry = presentEntry(key);
        if (entry != nullptr && (entry->parent == parentKey ||
                                 std::find(entry->otherParents.begin(), entry->otherParents.end(), parentKey) !=
                                     entry->otherParents.end())) {
            children.push_back(entry->id);
        }
    }
    return children;
}

std::optional<PlatformValue> SimMachine::property(RegistryEntryId id, const std::string& key) {
    std::lock_guard lock(mutex_);
    const Entry* entry = findEntry(id);
    if (entry == nullptr) {
        return std::nullopt;
    }
    auto it = entry->properties.find(key);
    return it == entry->properties.end() ? std::nullopt : std::optional(it->second);
}

std::optional<std::string> SimMachine::registryPath(RegistryEntryId id) {
    std::lock_guard lock(mutex_);
    const Entry* entry = findEntry(id);
    if (entry == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names{entry->name};
    for (int depth = 0; entry->parent && depth < maximumRegistryDepth; ++depth) {
        entry = presentEntry(*entry->parent);
        if (entry == nullptr) {
            return std::nullopt;  // detached from the root
        }
        names.push_back(entry->name);
    }
    std::string path = "IOService:";
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        path += "/" + *it;
    }
    return path;
}

std::optional<RegistryEntryId> SimMachine::entryFromPath(const std::string& path) {
    std::string wanted = path.rfind("IOService:", 0) == 0 ? path : "IOService:" + path;
    std::vector<RegistryEntryId> ids;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [id, key] : keysById_) {
            if (presentEntry(key) != nullptr) {
                ids.push_back(id);
            }
        }
    }
    for (RegistryEntryId id : ids) {
        if (registryPath(id) == wanted) {
            return id;
        }
    }
    return std::nullopt;
}

std::vector<std::string> SimMachine::ancestorKeys(const std::string& key) {
    std::vector<std::string> keys;
    const Entry* entry = presentEntry(key);
    for (int depth = 0; entry != nullptr && entry->parent && depth < maximumRegistryDepth; ++depth) {
        keys.push_back(*entry->parent);
        entry = presentEntry(*entry->parent);
    }
    return keys;
}

std::vector<std::string> SimMachine::familyDeepestFirst(const std::string& bsdName) {
    const Disk* root = findDisk(bsdName);
    if (root == nullptr) {
        return {};
    }
    const std::string rootKey = root->definition.mediaKey();
    std::vector<std::pair<std::size_t, std::string>> members{{0, bsdName}};
    for (const auto& disk : disks_) {
        auto ancestors = ancestorKeys(disk.definition.mediaKey());
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
    for (const auto& key : ancestorKeys(disk->definition.mediaKey())) {
        for (const auto& candidate : disks_) {
            if (candidate.definition.mediaKey() == key) {
                top = candidate.definition.bsdName;
            }
        }
    }
    return top;
}

// ---- Sessions ----

void SimMachine::attach(const std::shared_ptr<SimDiskArbitrationSession>& session) {
    std::lock_guard lock(mutex_);
    std::erase_if(sessions_, [](const auto& weak) { return weak.expired(); });
    sessions_.push_back(session);
}

std::vector<std::shared_ptr<SimDiskArbitrationSession>> SimMachine::liveSessions() {
    std::vector<std::shared_ptr<SimDiskArbitrationSession>> live;
    for (const auto& weak : sessions_) {
        if (auto session = weak.lock()) {
            live.push_back(std::move(session));
        }
    }
    return live;
}

void SimMachine::reportPresentDisks(SimDiskArbitrationSession& session) {
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

std::vector<SimDiskArbitrationSession::Approval> SimMachine::approvals(ApprovalKind kind) {
    std::vector<SimDiskArbitrationSession::Approval> all;
    for (const auto& session : liveSessions()) {
        auto some = kind == ApprovalKind::Mount ? session->mountApprovals() : session->unmountApprovals();
        all.insert(all.end(), some.begin(), some.end());
    }
    return all;
}

std::optional<DADissenter> SimMachine::ask(const std::vector<SimDiskArbitrationSession::Approval>& approvals,
                                           const DADisk& disk) {
    // Every registered callback is asked, so each session learns of the request; the first
    // dissent decides.
    std::optional<DADissenter> first;
    for (const auto& approval : approvals) {
        std::optional<DADissenter> answer;
        approval.queue->sync([&] { answer = approval.callback(disk); });
        if (answer && !first) {
            first = answer;
        }
    }
    return first;
}

void SimMachine::announceChanged(const std::string& bsdName, const std::vector<std::string>& keys) {
    for (const auto& session : liveSessions()) {
        session->deliverChanged(DADisk(bsdName), keys);
    }
}

void SimMachine::announceDisappeared(const std::string& bsdName) {
    for (const auto& session : liveSessions()) {
        session->deliverDisappeared(DADisk(bsdName));
    }
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
    putEntry(definition.mediaKey(), definition.registryParent, definition.otherRegistryParents,
             definition.registryName, std::move(properties));
    departed_.erase(definition.bsdName);
    disks_.push_back(std::move(disk));
    for (const auto& session : liveSessions()) {
        session->deliverAppeared(DADisk(definition.bsdName));
    }
    return true;
}

bool SimMachine::removeFamily(const std::vector<std::string>& family) {
    for (const auto& name : family) {
        auto it = std::find_if(disks_.begin(), disks_.end(), [&](const Disk& d) { return d.definition.bsdName == name; });
        if (it == disks_.end()) {
            continue;
        }
        if (Entry* entry = presentEntry(it->definition.mediaKey())) {
            entry->present = false;
        }
        departed_[name] = it->description;
        disks_.erase(it);
        announceDisappeared(name);
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
    announceChanged(bsdName, {key});
    return true;
}

bool SimMachine::removeDescriptionValue(const std::string& bsdName, const std::string& key) {
    std::lock_guard lock(mutex_);
    Disk* disk = findDisk(bsdName);
    if (disk == nullptr || disk->description.erase(key) == 0) {
        return false;
    }
    announceChanged(bsdName, {key});
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
    std::vector<SimDiskArbitrationSession::Approval> asked;
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
        asked = approvals(ApprovalKind::Mount);
    }
    request.dissenter = ask(asked, DADisk(bsdName));
    std::lock_guard lock(mutex_);
    Disk* disk = findDisk(bsdName);
    if (!request.dissenter && disk == nullptr) {
        request.dissenter = DADissenter{DADissenter::error, "No such disk"};
    }
    if (!request.dissenter && !textValue(disk->description, DiskDescriptionKey::volumePath)) {
        disk->description[DiskDescriptionKey::volumePath] = freeMountPath(*disk, path);
        announceChanged(bsdName, {DiskDescriptionKey::volumePath});
    }
    record(request);
    return request.dissenter;
}

std::optional<DADissenter> SimMachine::unmount(const std::string& bsdName, std::uint32_t options,
                                               SimRequest::Origin origin) {
    SimRequest request{SimRequest::Kind::Unmount, origin, bsdName, std::nullopt, options, std::nullopt};
    std::vector<std::string> volumes;
    std::vector<SimDiskArbitrationSession::Approval> asked;
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
            std::string whole = bsdName;
            auto isWhole = [&](const std::string& name) {
                return boolValue(findDisk(name)->description, DiskDescriptionKey::mediaWhole).value_or(false);
            };
            for (const auto& key : ancestorKeys(findDisk(bsdName)->definition.mediaKey())) {
                if (isWhole(whole)) {
                    break;
                }
                for (const auto& disk : disks_) {
                    if (disk.definition.mediaKey() == key) {
                        whole = disk.definition.bsdName;
                    }
                }
            }
            candidates = familyDeepestFirst(whole);
        }
        for (const auto& name : candidates) {
            if (textValue(findDisk(name)->description, DiskDescriptionKey::volumePath)) {
                volumes.push_back(name);
            }
        }
        asked = approvals(ApprovalKind::Unmount);
    }
    const bool force = (options & DiskArbitrationSession::unmountForce) != 0;
    for (const auto& volume : volumes) {
        auto dissent = ask(asked, DADisk(volume));
        std::lock_guard lock(mutex_);
        Disk* disk = findDisk(volume);
        if (!dissent && disk != nullptr && disk->definition.busy && !force) {
            dissent = DADissenter{DADissenter::busy, "Busy"};
        }
        if (!dissent && disk != nullptr && disk->description.erase(DiskDescriptionKey::volumePath) != 0) {
            announceChanged(volume, {DiskDescriptionKey::volumePath});
        }
        if (dissent && !request.dissenter) {
            request.dissenter = dissent;
        }
    }
    std::lock_guard lock(mutex_);
    record(request);
    return request.dissenter;
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
    std::vector<SimDiskArbitrationSession::Approval> asked;
    std::vector<std::string> volumes;
    {
        std::lock_guard lock(mutex_);
        for (const auto& name : familyDeepestFirst(top)) {
            if (textValue(findDisk(name)->description, DiskDescriptionKey::volumePath)) {
                volumes.push_back(name);
            }
        }
        asked = approvals(ApprovalKind::Unmount);
    }
    for (const auto& volume : volumes) {
        auto dissent = ask(asked, DADisk(volume));
        std::lock_guard lock(mutex_);
        Disk* disk = findDisk(volume);
        if (!dissent && disk != nullptr && disk->definition.busy) {
            dissent = DADissenter{DADissenter::busy, "Busy"};
        }
        if (dissent) {
            request.dissenter = dissent;
            record(request);
            return request.dissenter;
        }
        if (disk != nullptr && disk->description.erase(DiskDescriptionKey::volumePath) != 0) {
            announceChanged(volume, {DiskDescriptionKey::volumePath});
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
    // Events at the same moment run together, in the order the scenario lists them.
    std::map<double, std::vector<SimAction>> moments;
    for (const auto& event : scenario_.events) {
        moments[event.at].push_back(event.action);
    }
    std::weak_ptr<SimMachine> weak = weak_from_this();
    for (auto& [at, actions] : moments) {
        Clock::current().schedule(seconds(at), [weak, actions = std::move(actions)] {
            Dispatch::global()->async([weak, actions] {
                if (auto machine = weak.lock()) {
                    for (const auto& action : actions) {
                        machine->apply(action, SimRequest::Origin::Event);
                    }
                }
            });
        });
    }
}

}  // namespace harbormind
