#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/DeviceRegistry.h"
#include "platform/DiskArbitration.h"
#include "platform/DiskArbitrationSession.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/SettingsStore.h"
#include "support/Clock.h"

namespace harbormind::test {

// A registry tree held in memory.
class FakeRegistry final : public DeviceRegistry {
public:
    RegistryEntryId add(std::optional<RegistryEntryId> parent, PlatformValue::Dictionary properties) {
        std::lock_guard lock(mutex_);
        RegistryEntryId id = next_++;
        entries_[id] = Entry{parent, std::move(properties)};
        return id;
    }

    std::optional<RegistryEntryId> entryFromPath(const std::string&) override { return std::nullopt; }
    std::optional<RegistryEntryId> parentEntry(RegistryEntryId entry) override {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(entry);
        return it == entries_.end() ? std::nullopt : it->second.parent;
    }
    std::vector<RegistryEntryId> childEntries(RegistryEntryId) override { return {}; }
    std::optional<PlatformValue> property(RegistryEntryId entry, const std::string& key) override {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(entry);
        if (it == entries_.end()) {
            return std::nullopt;
        }
        auto value = it->second.properties.find(key);
        return value == it->second.properties.end() ? std::nullopt : std::optional(value->second);
    }

private:
    struct Entry {
        std::optional<RegistryEntryId> parent;
        PlatformValue::Dictionary properties;
    };
    std::mutex mutex_;
    std::map<RegistryEntryId, Entry> entries_;
    RegistryEntryId next_ = 100;
};

// A disk-arbitration session over disks the test declares. Callbacks run on the session's queue;
// mount and unmount requests are recorded.
class FakeSession final : public DiskArbitrationSession {
public:
    FakeSession() : store_(std::make_shared<Store>()) {}

    // Another session over the same disks, with callbacks and failures of its own.
    std::shared_ptr<FakeSession> sibling() {
        auto other = std::make_shared<FakeSession>();
        other->store_ = store_;
        return other;
    }

    void addDisk(const std::string& bsdName, PlatformValue::Dictionary description,
                 std::optional<RegistryEntryId> media) {
        std::lock_guard lock(store_->mutex);
        description[DiskDescriptionKey::mediaBSDName] = bsdName;
        store_->disks[bsdName] = Disk{DiskDescription(std::move(description)), media};
    }
    void removeDisk(const std::string& bsdName) {
        std::lock_guard lock(store_->mutex);
        store_->disks.erase(bsdName);
    }

    void setDispatchQueue(std::shared_ptr<DispatchQueue> queue) override {
        std::lock_guard lock(mutex_);
        queue_ = std::move(queue);
    }
    void registerDiskAppeared(DiskCallback callback) override {
        std::vector<std::string> present;
        {
            std::lock_guard lock(mutex_);
            appeared_ = callback;
        }
        {
            std::lock_guard lock(store_->mutex);
            for (const auto& [name, disk] : store_->disks) {
                present.push_back(name);
            }
        }
        for (const auto& name : present) {
            post([callback, name] { callback(DADisk(name)); });
        }
    }
    void registerDiskDisappeared(DiskCallback callback) override {
        std::lock_guard lock(mutex_);
        disappeared_ = std::move(callback);
    }
    void registerDiskDescriptionChanged(DescriptionChangedCallback) override {}
    void registerDiskMountApproval(ApprovalCallback callback) override {
        std::lock_guard lock(mutex_);
        mountApproval_ = std::move(callback);
    }
    void registerDiskUnmountApproval(ApprovalCallback callback) override {
        std::lock_guard lock(mutex_);
        unmountApproval_ = std::move(callback);
    }

    std::optional<DADisk> diskFromBSDName(const std::string& bsdName) override {
        {
            std::lock_guard lock(mutex_);
            if (unmakeable_.count(bsdName) != 0) {
                return std::nullopt;
            }
        }
        std::lock_guard lock(store_->mutex);
        if (store_->disks.count(bsdName) == 0) {
            return std::nullopt;
        }
        return DADisk(bsdName);
    }
    std::optional<DADisk> diskFromVolumePath(const std::string&) override { return std::nullopt; }
    std::optional<DiskDescription> copyDescription(const DADisk& disk) override {
        std::lock_guard lock(store_->mutex);
        auto it = store_->disks.find(disk.bsdName());
        return it == store_->disks.end() ? std::nullopt : std::optional(it->second.description);
    }
    std::optional<RegistryEntryId> copyIOMedia(const DADisk& disk) override {
        std::lock_guard lock(store_->mutex);
        auto it = store_->disks.find(disk.bsdName());
        return it == store_->disks.end() ? std::nullopt : it->second.media;
    }

    void mount(const DADisk& disk, std::optional<std::string>, std::uint32_t, CompletionCallback) override {
        {
            std::lock_guard lock(mutex_);
            mounts_.push_back(disk.bsdName());
        }
        Clock::current().notifyAll();
    }
    void unmount(const DADisk& disk, std::uint32_t, CompletionCallback) override {
        {
            std::lock_guard lock(mutex_);
            unmounts_.push_back(disk.bsdName());
        }
        Clock::current().notifyAll();
    }
    void eject(const DADisk&, std::uint32_t, CompletionCallback) override {}

    // A disk whose disk object this session cannot make, though its description is known.
    void makeUnmakeable(const std::string& bsdName) {
        std::lock_guard lock(mutex_);
        unmakeable_[bsdName] = true;
    }

    // Asks the mount-approval callback on the session's queue and waits for its answer.
    std::optional<DADissenter> requestMount(const std::string& bsdName) {
        return ask(bsdName, [this] { return mountApproval_; });
    }
    std::optional<DADissenter> requestUnmount(const std::string& bsdName) {
        return ask(bsdName, [this] { return unmountApproval_; });
    }
    // Reports the disk gone (it is removed first, as the platform does) and waits for the callback.
    void disappear(const std::string& bsdName) {
        removeDisk(bsdName);
        DiskCallback callback;
        {
            std::lock_guard lock(mutex_);
            callback = disappeared_;
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        post([callback, bsdName, done] {
            if (callback) {
                callback(DADisk(bsdName));
            }
            done->store(true);
            Clock::current().notifyAll();
        });
        Clock::current().waitUntil([done] { return done->load(); }, Clock::current().now() + seconds(10));
    }

    std::vector<std::string> mounts() {
        std::lock_guard lock(mutex_);
        return mounts_;
    }
    std::vector<std::string> unmounts() {
        std::lock_guard lock(mutex_);
        return unmounts_;
    }
    void post(std::function<void()> work) {
        std::shared_ptr<DispatchQueue> queue;
        {
            std::lock_guard lock(mutex_);
            queue = queue_;
        }
        if (queue) {
            queue->async(std::move(work));
        }
    }

private:
    struct Disk {
        DiskDescription description;
        std::optional<RegistryEntryId> media;
    };
    struct Store {
        std::mutex mutex;
        std::map<std::string, Disk> disks;
    };

    template <typename Pick>
    std::optional<DADissenter> ask(const std::string& bsdName, Pick pick) {
        ApprovalCallback callback;
        {
            std::lock_guard lock(mutex_);
            callback = pick();
        }
        if (!callback) {
            return std::nullopt;
        }
        struct Answer {
            std::mutex mutex;
            std::optional<DADissenter> value;
            std::atomic<bool> done{false};
        };
        auto answer = std::make_shared<Answer>();
        post([callback, bsdName, answer] {
            auto value = callback(DADisk(bsdName));
            {
                std::lock_guard lock(answer->mutex);
                answer->value = value;
            }
            answer->done.store(true);
            Clock::current().notifyAll();
        });
        Clock::current().waitUntil([answer] { return answer->done.load(); }, Clock::current().now() + seconds(10));
        std::lock_guard lock(answer->mutex);
        return answer->value;
    }

    std::shared_ptr<Store> store_;
    std::mutex mutex_;
    std::map<std::string, bool> unmakeable_;
    std::shared_ptr<DispatchQueue> queue_;
    DiskCallback appeared_;
    DiskCallback disappeared_;
    ApprovalCallback mountApproval_;
    ApprovalCallback unmountApproval_;
    std::vector<std::string> mounts_;
    std::vector<std::string> unmounts_;
};

class FakeDiskArbitration final : public DiskArbitration {
public:
    explicit FakeDiskArbitration(std::shared_ptr<FakeSession> session) : session_(std::move(session)) {}
    std::shared_ptr<DiskArbitrationSession> createSession() override { return session_; }

private:
    std::shared_ptr<FakeSession> session_;
};

class FakeSettings final : public SettingsStore {
public:
    std::optional<PlatformValue> value(const std::string& key) override {
        auto it = values_.find(key);
        return it == values_.end() ? std::nullopt : std::optional(it->second);
    }
    void setValue(const std::string& key, const PlatformValue& value) override { values_[key] = value; }
    void removeValue(const std::string& key) override { values_.erase(key); }
    std::vector<std::string> keys() override {
        std::vector<std::string> names;
        for (const auto& [key, value] : values_) {
            names.push_back(key);
        }
        return names;
    }

private:
    std::map<std::string, PlatformValue> values_;
};

// A machine with disks laid out as the registry shows them: a bus device, its block storage
// driver, the whole disk's media, a partition scheme and the partitions' media.
class FakeMachine {
public:
    FakeMachine()
        : session(std::make_shared<FakeSession>()), toolsSession(session->sibling()), diskArbitration(session) {}

    struct DiskDefinition {
        std::string bsdName;  // the whole disk, e.g. disk4
        std::string mediaName;
        std::int64_t mediaSize = 32'000'000'000;
        std::optional<std::string> protocol = "USB";
        std::optional<bool> internal = false;
        int partitions = 1;
    };

    void addDisk(const DiskDefinition& definition) {
        auto bus = registry.add(std::nullopt, {{"IOClass", "IOUSBHostDevice"}});
        auto driver = registry.add(bus, {{"IOClass", "IOBlockStorageDriver"}});
        auto whole = registry.add(driver, {{"IOClass", "IOMedia"}, {"BSD Name", definition.bsdName}});
        session->addDisk(definition.bsdName, describe(definition, definition.mediaName, definition.mediaSize, true), whole);
        auto scheme = registry.add(whole, {{"IOClass", "IOGUIDPartitionScheme"}});
        for (int index = 1; index <= definition.partitions; ++index) {
            std::string name = definition.bsdName + "s" + std::to_string(index);
            auto media = registry.add(scheme, {{"IOClass", "IOMedia"}, {"BSD Name", name}});
            session->addDisk(name, describe(definition, "Untitled " + std::to_string(index), definition.mediaSize / 4, false),
                             media);
        }
    }

    std::shared_ptr<FakeSession> session;       // the engine's
    std::shared_ptr<FakeSession> toolsSession;  // the one DriveTools makes for itself
    FakeDiskArbitration diskArbitration;
    FakeRegistry registry;

private:
    static PlatformValue::Dictionary describe(const DiskDefinition& definition, const std::string& mediaName, std::int64_t size,
                                              bool whole) {
        PlatformValue::Dictionary values{{DiskDescriptionKey::mediaName, mediaName},
                                         {DiskDescriptionKey::mediaSize, size},
                                         {DiskDescriptionKey::mediaWhole, whole}};
        if (definition.protocol) {
            values[DiskDescriptionKey::deviceProtocol] = *definition.protocol;
        }
        if (definition.internal) {
            values[DiskDescriptionKey::deviceInternal] = *definition.internal;
        }
        return values;
    }
};

}  // namespace harbormind::test
