#include "drivemodel/FakePlatform.h"

#include <cstdio>

#include "platform/DiskDescriptionKey.h"
#include "support/ShellQuote.h"

namespace harbormind::test {

struct FakePlatform::Session final : DiskArbitrationSession, std::enable_shared_from_this<Session> {
    explicit Session(FakePlatform& owner) : platform(owner) {}

    void setDispatchQueue(std::shared_ptr<DispatchQueue> newQueue) override {
        std::lock_guard lock(mutex);
        queue = std::move(newQueue);
    }
    void post(std::function<void()> work) {
        std::shared_ptr<DispatchQueue> target;
        {
            std::lock_guard lock(mutex);
            target = queue;
        }
        if (target) {
            target->async(std::move(work));
        }
    }
    void registerDiskAppeared(DiskCallback callback) override {
        {
            std::lock_guard lock(mutex);
            appeared = callback;
        }
        std::vector<std::string> present;
        {
            std::lock_guard lock(platform.mutex_);
            for (const auto& [name, disk] : platform.disks_) {
                if (platform.announced_.count(name)) {
                    present.push_back(name);
                }
            }
        }
        for (const auto& name : present) {
            post([callback, name] { callback(DADisk(name)); });
        }
    }
    void registerDiskDisappeared(DiskCallback callback) override {
        std::lock_guard lock(mutex);
        disappeared = std::move(callback);
    }
    void registerDiskDescriptionChanged(DescriptionChangedCallback callback) override {
        std::lock_guard lock(mutex);
        changed = std::move(callback);
    }
    void registerDiskMountApproval(ApprovalCallback callback) override {
        std::lock_guard lock(mutex);
        mountApproval = std::move(callback);
    }
    void registerDiskUnmountApproval(ApprovalCallback callback) override {
        std::lock_guard lock(mutex);
        unmountApproval = std::move(callback);
    }
    std::optional<DADisk> diskFromBSDName(const std::string& bsdName) override {
        return platform.hasDisk(bsdName) ? std::optional<DADisk>(DADisk(bsdName)) : std::nullopt;
    }
    std::optional<DADisk> diskFromVolumePath(const std::string&) override { return std::nullopt; }
    std::optional<DiskDescription> copyDescription(const DADisk& disk) override { return platform.describe(disk.bsdName()); }
    std::optional<RegistryEntryId> copyIOMedia(const DADisk& disk) override { return platform.mediaOf(disk.bsdName()); }
    void mount(const DADisk& disk, std::optional<std::string>, std::uint32_t options,
               CompletionCallback completion) override {
        platform.recordDiskRequest("mount " + disk.bsdName(), options);
        answer(disk, std::move(completion));
    }
    void unmount(const DADisk& disk, std::uint32_t options, CompletionCallback completion) override {
        platform.recordDiskRequest("unmount " + disk.bsdName(), options);
        if (platform.unmountsTakeEffect && !platform.refusalFor(disk.bsdName())) {
            platform.removeDescription(disk.bsdName(), DiskDescriptionKey::volumePath);
        }
        answer(disk, std::move(completion));
    }
    void eject(const DADisk& disk, std::uint32_t options, CompletionCallback completion) override {
        platform.recordDiskRequest("eject " + disk.bsdName(), options);
        answer(disk, std::move(completion));
    }
    void answer(const DADisk& disk, CompletionCallback completion) {
        if (!completion) {
            return;
        }
        auto deliver = [self = shared_from_this(), completion, disk, refusal = platform.refusalFor(disk.bsdName())] {
            self->post([completion, disk, refusal] { completion(disk, refusal); });
        };
        if (platform.holdDiskAnswers) {
            platform.holdDiskAnswer(std::move(deliver));
        } else {
            deliver();
        }
    }

    FakePlatform& platform;
    std::mutex mutex;
    std::shared_ptr<DispatchQueue> queue;
    DiskCallback appeared;
    DiskCallback disappeared;
    DescriptionChangedCallback changed;
    ApprovalCallback mountApproval;
    ApprovalCallback unmountApproval;
};

RegistryEntryId FakePlatform::addEntry(std::optional<RegistryEntryId> parent, PlatformValue::Dictionary properties) {
    std::lock_guard lock(mutex_);
    RegistryEntryId id = nextEntry_++;
    entries_[id] = Entry{parent, {}, std::move(properties)};
    if (parent) {
        entries_[*parent].children.push_back(id);
    }
    return id;
}

void FakePlatform::setProperty(RegistryEntryId entry, const std::string& key, PlatformValue value) {
    std::lock_guard lock(mutex_);
    entries_[entry].properties[key] = std::move(value);
}

RegistryEntryId FakePlatform::addDisk(const std::string& bsdName, PlatformValue::Dictionary description,
                                      std::optional<RegistryEntryId> parentEntry) {
    description[DiskDescriptionKey::mediaBSDName] = bsdName;
    RegistryEntryId media = addEntry(parentEntry, {{"BSD Name", bsdName}});
    std::lock_guard lock(mutex_);
    disks_[bsdName] = Disk{std::move(description), media};
    return media;
}

void FakePlatform::setDescription(const std::string& bsdName, const std::string& key, PlatformValue value) {
    std::lock_guard lock(mutex_);
    disks_[bsdName].description[key] = std::move(value);
}

void FakePlatform::removeDescription(const std::string& bsdName, const std::string& key) {
    std::lock_guard lock(mutex_);
    disks_[bsdName].description.erase(key);
}

void FakePlatform::forEachSession(const std::function<void(Session&)>& action) {
    std::vector<std::shared_ptr<Session>> live;
    {
        std::lock_guard lock(mutex_);
        for (auto& weak : sessions_) {
            if (auto session = weak.lock()) {
                live.push_back(session);
            }
        }
    }
    for (auto& session : live) {
        action(*session);
    }
}

void FakePlatform::appear(const std::string& bsdName) {
    {
        std::lock_guard lock(mutex_);
        announced_.insert(bsdName);
    }
    forEachSession([&](Session& session) {
        std::lock_guard lock(session.mutex);
        if (session.appeared) {
            auto callback = session.appeared;
            auto target = session.queue;
            if (target) {
                target->async([callback, bsdName] { callback(DADisk(bsdName)); });
            }
        }
    });
}

void FakePlatform::disappear(const std::string& bsdName) {
    {
        std::lock_guard lock(mutex_);
        disks_.erase(bsdName);
        announced_.erase(bsdName);
    }
    forEachSession([&](Session& session) {
        std::lock_guard lock(session.mutex);
        if (session.disappeared && session.queue) {
            auto callback = session.disappeared;
            session.queue->async([callback, bsdName] { callback(DADisk(bsdName)); });
        }
    });
}

void FakePlatform::requestMount(const std::string& bsdName) {
    forEachSession([&](Session& session) {
        std::lock_guard lock(session.mutex);
        if (session.mountApproval && session.queue) {
            auto callback = session.mountApproval;
            session.queue->async([callback, bsdName] { callback(DADisk(bsdName)); });
        }
    });
}

void FakePlatform::requestUnmount(const std::string& bsdName) {
    forEachSession([&](Session& session) {
        std::lock_guard lock(session.mutex);
        if (session.unmountApproval && session.queue) {
            auto callback = session.unmountApproval;
            session.queue->async([callback, bsdName] { callback(DADisk(bsdName)); });
        }
    });
}

void FakePlatform::changeDescription(const std::string& bsdName) {
    forEachSession([&](Session& session) {
        std::lock_guard lock(session.mutex);
        if (session.changed && session.queue) {
            auto callback = session.changed;
            session.queue->async([callback, bsdName] { callback(DADisk(bsdName), {}); });
        }
    });
}

void FakePlatform::answerCommand(const std::string& prefix, std::string standardOutput, std::string standardError) {
    std::lock_guard lock(mutex_);
    answers_.insert(answers_.begin(), {prefix, {std::move(standardOutput), std::move(standardError)}});
}

std::vector<std::string> FakePlatform::commandLines() const {
    std::lock_guard lock(mutex_);
    return commandLines_;
}

std::vector<std::pair<std::string, std::uint32_t>> FakePlatform::diskRequests() const {
    std::lock_guard lock(mutex_);
    return diskRequests_;
}

std::vector<std::string> FakePlatform::openedFolders() const {
    std::lock_guard lock(mutex_);
    return openedFolders_;
}

std::vector<std::string> FakePlatform::openedURLs() const {
    std::lock_guard lock(mutex_);
    return openedURLs_;
}

std::shared_ptr<DiskArbitrationSession> FakePlatform::createSession() {
    if (refuseSessions) {
        return nullptr;
    }
    auto session = std::make_shared<Session>(*this);
    std::lock_guard lock(mutex_);
    sessions_.push_back(session);
    return session;
}

std::optional<RegistryEntryId> FakePlatform::parentEntry(RegistryEntryId entry) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(entry);
    return it == entries_.end() ? std::nullopt : it->second.parent;
}

std::vector<RegistryEntryId> FakePlatform::childEntries(RegistryEntryId entry) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(entry);
    return it == entries_.end() ? std::vector<RegistryEntryId>{} : it->second.children;
}

std::optional<PlatformValue> FakePlatform::property(RegistryEntryId entry, const std::string& key) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(entry);
    if (it == entries_.end()) {
        return std::nullopt;
    }
    auto found = it->second.properties.find(key);
    return found == it->second.properties.end() ? std::nullopt : std::optional<PlatformValue>(found->second);
}

std::string FakePlatform::ejectDisk(const std::string& bsdName) {
    return "diskutil eject " + ShellQuote::quote(bsdName) + " &";
}

std::string FakePlatform::lockVolume(const std::string& bsdName) {
    return "diskutil apfs lockVolume " + ShellQuote::quote(bsdName);
}

std::string FakePlatform::encryptAPFSVolume(const std::string& bsdName, const std::string& passphrase) {
    return "/usr/sbin/diskutil apfs encryptVolume " + ShellQuote::quote(bsdName) + " -user disk -passphrase " +
           ShellQuote::quote(passphrase);
}

std::string FakePlatform::convertToCoreStorage(const std::string& bsdName, const std::string& passphrase) {
    return "/usr/sbin/diskutil coreStorage convert " + ShellQuote::quote(bsdName) + " -passphrase " +
           ShellQuote::quote(passphrase);
}

std::string FakePlatform::listAPFSContainer(const std::string& wholeDisk) {
    return "/usr/sbin/diskutil apfs list " + ShellQuote::quote(wholeDisk);
}

std::string FakePlatform::unlockVolume(const std::string& bsdName, const std::string& passphrase) {
    return "diskutil apfs unlockVolume " + ShellQuote::quote(bsdName) + " -passphrase " + ShellQuote::quote(passphrase);
}

std::string FakePlatform::listCoreStorage() {
    return "diskutil cs list -plist";
}

std::string FakePlatform::unlockCoreStorageVolume(const std::string& logicalVolume, const std::string& passphrase) {
    return "diskutil coreStorage unlockVolume " + ShellQuote::quote(logicalVolume) + " -passphrase " +
           ShellQuote::quote(passphrase);
}

std::vector<FakePlatform::ProgramRun> FakePlatform::programRuns() const {
    std::lock_guard lock(mutex_);
    return programRuns_;
}

ProcessResult FakePlatform::run(const std::string& launchPath, const std::vector<std::string>& arguments,
                                const std::optional<std::string>& input) {
    if (launchPath != "/bin/sh") {
        std::lock_guard lock(mutex_);
        programRuns_.push_back({launchPath, arguments, input});
        return programAnswer;
    }
    std::string line = arguments.size() == 2 ? arguments[1] : std::string();
    ProcessResult result;
    result.launched = true;
    {
        std::lock_guard lock(mutex_);
        commandLines_.push_back(line);
        if (!runCommandsForReal) {
            for (const auto& [prefix, texts] : answers_) {
                if (line.starts_with(prefix)) {
                    result.standardOutput = texts.first;
                    result.standardError = texts.second;
                    break;
                }
            }
            result.exitStatus = 0;
            return result;
        }
    }
    // The real shell, standard error folded away: tests read what the command printed.
    std::string command = ShellQuote::quote(launchPath);
    for (const auto& argument : arguments) {
        command += " " + ShellQuote::quote(argument);
    }
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            result.standardOutput.append(buffer, n);
        }
        result.exitStatus = pclose(pipe);
    }
    return result;
}

FileSystemSpace FakePlatform::space(const std::string& mountPoint) {
    std::lock_guard lock(mutex_);
    auto it = spaces.find(mountPoint);
    return it == spaces.end() ? FileSystemSpace{} : it->second;
}

bool FakePlatform::exists(const std::string& path) {
    std::lock_guard lock(mutex_);
    return existing.count(path) > 0;
}

bool FakePlatform::isReadable(const std::string& path) {
    std::lock_guard lock(mutex_);
    return readable.count(path) > 0;
}

bool FakePlatform::isWritable(const std::string& path) {
    std::lock_guard lock(mutex_);
    return writable.count(path) > 0;
}

bool FakePlatform::canListFolder(const std::string& path) {
    std::lock_guard lock(mutex_);
    return listable.count(path) > 0;
}

bool FakePlatform::openFolder(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (openingUnavailable) {
        return false;
    }
    openedFolders_.push_back(path);
    return true;
}

bool FakePlatform::openURL(const std::string& url) {
    std::lock_guard lock(mutex_);
    openedURLs_.push_back(url);
    return true;
}

std::optional<std::string> FakePlatform::environment(const std::string& variable) {
    std::lock_guard lock(mutex_);
    auto it = environmentValues.find(variable);
    return it == environmentValues.end() ? std::nullopt : std::optional<std::string>(it->second);
}

std::optional<DiskDescription> FakePlatform::describe(const std::string& bsdName) {
    std::lock_guard lock(mutex_);
    auto it = disks_.find(bsdName);
    return it == disks_.end() ? std::nullopt : std::optional<DiskDescription>(DiskDescription(it->second.description));
}

std::optional<RegistryEntryId> FakePlatform::mediaOf(const std::string& bsdName) {
    std::lock_guard lock(mutex_);
    auto it = disks_.find(bsdName);
    return it == disks_.end() ? std::nullopt : std::optional<RegistryEntryId>(it->second.media);
}

bool FakePlatform::hasDisk(const std::string& bsdName) {
    std::lock_guard lock(mutex_);
    return disks_.count(bsdName) > 0;
}

std::optional<DADissenter> FakePlatform::refusalFor(const std::string& bsdName) const {
    std::lock_guard lock(mutex_);
    auto it = diskRequestRefusals.find(bsdName);
    return it == diskRequestRefusals.end() ? std::nullopt : std::optional<DADissenter>(it->second);
}

void FakePlatform::holdDiskAnswer(std::function<void()> deliver) {
    std::lock_guard lock(mutex_);
    heldDiskAnswers_.push_back(std::move(deliver));
}

void FakePlatform::releaseDiskAnswers() {
    std::vector<std::function<void()>> held;
    {
        std::lock_guard lock(mutex_);
        held.swap(heldDiskAnswers_);
    }
    for (const auto& deliver : held) {
        deliver();
    }
}

void FakePlatform::recordDiskRequest(const std::string& what, std::uint32_t options) {
    std::lock_guard lock(mutex_);
    diskRequests_.emplace_back(what, options);
}

}  // namespace harbormind::test
