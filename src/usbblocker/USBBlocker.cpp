#include "usbblocker/USBBlocker.h"

#include <array>

#include "platform/DiskArbitration.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/Platform.h"
#include "platform/SettingsStores.h"
#include "support/Dispatch.h"
#include "support/TextCase.h"

namespace harbormind {
namespace {

// Approval callbacks answer no dissenter to approve.
constexpr std::optional<DADissenter> approve = std::nullopt;

// Runs `work` with the engine when it still exists; otherwise returns `absent`.
template <typename Result, typename Context, typename Work>
Result withEngine(const std::shared_ptr<Context>& context, Result absent, Work work) {
    std::shared_lock lock(context->mutex);
    if (context->engine == nullptr) {
        return absent;
    }
    return work(*context->engine);
}

}  // namespace

USBBlocker& USBBlocker::shared() {
    static USBBlocker* engine = [] {
        Platform& platform = Platform::current();
        auto settings = platform.settings().standard();
        // The settings store lives as long as the process; keep it so.
        static std::shared_ptr<SettingsStore> keptSettings = settings;
        return new USBBlocker(platform.diskArbitration().createSession(), USBDiskList::shared(),
                              DriveTools::shared(), keptSettings.get(), Dispatch::global(), Dispatch::mainQueue());
    }();
    return *engine;
}

USBBlocker::USBBlocker(std::shared_ptr<DiskArbitrationSession> session, USBDiskList& diskList,
                       DriveTools& driveTools, SettingsStore* settings, std::shared_ptr<DispatchQueue> callbackQueue,
                       std::shared_ptr<DispatchQueue> delegateQueue)
    : daSession_(std::move(session)),
      diskList_(diskList),
      driveTools_(driveTools),
      callbackQueue_(std::move(callbackQueue)),
      delegateQueue_(std::move(delegateQueue)),
      context_(std::make_shared<Context>()) {
    context_->engine = this;
    if (settings != nullptr) {
        if (auto stored = settings->value(modelKey)) {
            if (auto raw = stored->asInteger()) {
                model_ = *raw == 0   ? AllowDiskMountModel::AllowAllMount
                         : *raw == 2 ? AllowDiskMountModel::OnlyAllowWhitelistMount
                                     : AllowDiskMountModel::PopupsQuery;
            }
        }
    }
    diskList_.load();
    start();
}

USBBlocker::~USBBlocker() {
    // Waits for callbacks that are running; later ones find no engine.
    std::unique_lock lock(context_->mutex);
    context_->engine = nullptr;
}

void USBBlocker::setDelegate(std::weak_ptr<USBlockerDelegate> delegate) {
    std::lock_guard lock(delegateMutex_);
    delegate_ = std::move(delegate);
}

void USBBlocker::start() {
    if (!daSession_) {
        return;
    }
    daSession_->setDispatchQueue(callbackQueue_);
    std::shared_ptr<Context> context = context_;
    daSession_->registerDiskMountApproval([context](const DADisk& disk) {
        return withEngine(context, approve, [&](USBBlocker& engine) { return engine.mountApproval(disk); });
    });
    daSession_->registerDiskDisappeared([context](const DADisk& disk) {
        withEngine(context, 0, [&](USBBlocker& engine) {
            engine.diskDisappeared(disk);
            return 0;
        });
    });
    daSession_->registerDiskUnmountApproval([context](const DADisk& disk) {
        return withEngine(context, approve, [&](USBBlocker& engine) { return engine.unmountApproval(disk); });
    });
    daSession_->registerDiskAppeared([context](const DADisk& disk) {
        withEngine(context, 0, [&](USBBlocker& engine) {
            engine.diskAppeared(disk);
            return 0;
        });
    });
}

DADissenter USBBlocker::refusal() {
    return DADissenter{DADissenter::notPermitted, refusalText};
}

bool USBBlocker::isGuardedProtocol(const std::string& deviceProtocol) {
    static const std::array<std::string, 7> guarded = {"THUNDERBOLT", "USB", "FIREWIRE", "SAS",
                                                       "SATA",        "PCI", "PCI-EXPRESS"};
    std::string upper = TextCase::upper(deviceProtocol);
    for (const auto& name : guarded) {
        if (name == upper) {
            return true;
        }
    }
    return false;
}

void USBBlocker::addWhiteList(const std::string& name, std::int64_t size) {
    diskList_.addWhiteList(name, size);
}

void USBBlocker::allowMount(const DADisk& disk) {
    std::shared_ptr<Context> context = context_;
    callbackQueue_->async([context, disk] {
        withEngine(context, 0, [&](USBBlocker& engine) {
            auto key = engine.driveTools_.resolvedKey(disk);
            if (!key) {
                return 0;
            }
            std::vector<DADisk> held;
            {
                std::lock_guard lock(engine.stateMutex_);
                engine.mountAnnal_[*key] = true;
                if (auto entry = engine.disks_.find(*key); entry != engine.disks_.end()) {
                    held = entry->second;
                }
            }
            // The held list stays: its volumes are mounted now and approved by mountAnnal.
            for (const auto& volume : held) {
                engine.daSession_->mount(volume, std::nullopt, DiskArbitrationSession::mountDefault, nullptr);
            }
            return 0;
        });
    });
}

void USBBlocker::forget(const DADisk& disk) {
    auto key = driveTools_.resolvedKey(disk);
    if (!key) {
        return;
    }
    std::lock_guard lock(stateMutex_);
    disks_.erase(*key);
    mountAnnal_.erase(*key);
}

std::optional<DADissenter> USBBlocker::mountApproval(const DADisk& disk) {
    auto description = daSession_->copyDescription(disk);
    if (!description) {
        return approve;
    }
    auto deviceProtocol = description->text(DiskDescriptionKey::deviceProtocol);
    if (!deviceProtocol || !isGuardedProtocol(*deviceProtocol)) {
        return approve;
    }
    switch (model_) {
        case AllowDiskMountModel::AllowAllMount: return approve;
        case AllowDiskMountModel::PopupsQuery: return queryDecision(disk, *description);
        case AllowDiskMountModel::OnlyAllowWhitelistMount: return whiteListOnlyDecision(disk, *description);
    }
    return approve;
}

std::optional<DADissenter> USBBlocker::whiteListOnlyDecision(const DADisk& disk, const DiskDescription& description) {
    if (description.boolean(DiskDescriptionKey::deviceInternal).value_or(true)) {
        return approve;
    }
    auto drive = driveTools_.drive(disk);
    if (!drive) {
        return refusal();
    }
    return diskList_.isInWhiteList(drive->name) ? approve : std::optional(refusal());
}

std::optional<DADissenter> USBBlocker::queryDecision(const DADisk& disk, const DiskDescription& description) {
    if (description.boolean(DiskDescriptionKey::deviceInternal).value_or(true)) {
        return approve;
    }
    auto key = driveTools_.resolvedKey(disk);
    if (!key) {
        return refusal();
    }
    auto whole = daSession_->diskFromBSDName(*key);
    if (!whole) {
        return approve;
    }
    auto wholeDescription = daSession_->copyDescription(*whole);
    std::string name;
    std::int64_t size = 0;
    if (wholeDescription) {
        name = wholeDescription->text(DiskDescriptionKey::mediaName).value_or("");
        size = wholeDescription->integer(DiskDescriptionKey::mediaSize).value_or(0);
    }
    if (diskList_.isInWhiteList(name)) {
        return approve;
    }
    if (diskList_.isInBlackList(name, size)) {
        return refusal();
    }
    {
        std::lock_guard lock(stateMutex_);
        if (auto allowed = mountAnnal_.find(*key); allowed != mountAnnal_.end() && allowed->second) {
            return approve;
        }
        if (auto held = disks_.find(*key); held != disks_.end()) {
            // The user is being asked, or was asked and has not allowed the disk.
            held->second.push_back(disk);
            return refusal();
        }
        disks_[*key] = {disk};
        mountAnnal_[*key] = false;
    }
    askDelegate(disk);
    return refusal();
}

void USBBlocker::askDelegate(const DADisk& disk) {
    std::weak_ptr<USBlockerDelegate> delegate;
    {
        std::lock_guard lock(delegateMutex_);
        delegate = delegate_;
    }
    delegateQueue_->async([delegate, disk] {
        if (auto current = delegate.lock()) {
            current->blockerNeedsApproval(disk);
        }
    });
}

std::optional<DADissenter> USBBlocker::unmountApproval(const DADisk& disk) {
    forget(disk);
    return approve;
}

void USBBlocker::diskAppeared(const DADisk& disk) {
    auto description = daSession_->copyDescription(disk);
    if (!description || description->boolean(DiskDescriptionKey::deviceInternal).value_or(true)) {
        return;
    }
    auto deviceProtocol = description->text(DiskDescriptionKey::deviceProtocol);
    if (!deviceProtocol || !isGuardedProtocol(*deviceProtocol)) {
        return;
    }
    auto drive = driveTools_.drive(disk);
    if (!drive) {
        return;
    }
    if (!diskList_.isInWhiteList(drive->name)) {
        daSession_->unmount(disk, DiskArbitrationSession::unmountDefault, nullptr);
    }
}

void USBBlocker::diskDisappeared(const DADisk& disk) {
    auto description = daSession_->copyDescription(disk);
    // A disk that is gone may have no description left; its own name is its media name.
    std::string mediaBSDName = disk.bsdName();
    if (description) {
        mediaBSDName = description->text(DiskDescriptionKey::mediaBSDName).value_or(mediaBSDName);
    }
    auto key = driveTools_.shortKey(mediaBSDName);
    if (!key) {
        return;
    }
    std::lock_guard lock(stateMutex_);
    mountAnnal_.erase(*key);
    disks_.erase(*key);
}

std::vector<DADisk> USBBlocker::heldDisks(const std::string& wholeDiskKey) const {
    std::lock_guard lock(stateMutex_);
    auto entry = disks_.find(wholeDiskKey);
    return entry == disks_.end() ? std::vector<DADisk>{} : entry->second;
}

std::optional<bool> USBBlocker::mountAnnalValue(const std::string& wholeDiskKey) const {
    std::lock_guard lock(stateMutex_);
    auto entry = mountAnnal_.find(wholeDiskKey);
    return entry == mountAnnal_.end() ? std::nullopt : std::optional(entry->second);
}

}  // namespace harbormind
