#include "drivemodel/DMCoreStorageWrapper.h"

#include "drivemodel/DMCommandLine.h"
#include "drivemodel/DMCoreStorageList.h"
#include "drivemodel/DMDiskAccess.h"
#include "drivemodel/DMRegistrySearch.h"
#include "platform/CommandTable.h"
#include "platform/DeviceRegistry.h"
#include "platform/Platform.h"

#include <set>
#include <vector>

namespace harbormind {
namespace {

// True when an entry below `entry` carries both the logical volume's "UUID" and a
// "BSD Name": the unlocked volume has appeared as a device.
bool hasUnlockedDevice(RegistryEntryId entry, const std::string& logicalVolumeUUID) {
    DeviceRegistry& registry = Platform::current().registry();
    std::vector<RegistryEntryId> pending{entry};
    std::set<RegistryEntryId> seen;
    while (!pending.empty()) {
        RegistryEntryId current = pending.back();
        pending.pop_back();
        if (!seen.insert(current).second) {
            continue;
        }
        auto uuid = registry.property(current, "UUID");
        if (current != entry && uuid && uuid->asText() == logicalVolumeUUID && registry.property(current, "BSD Name")) {
            return true;
        }
        for (RegistryEntryId child : registry.childEntries(current)) {
            pending.push_back(child);
        }
    }
    return false;
}

}  // namespace

std::shared_ptr<DMCoreStorageWrapper> DMCoreStorageWrapper::shared() {
    static auto* instance = new std::shared_ptr<DMCoreStorageWrapper>(std::make_shared<DMCoreStorageWrapper>());
    return *instance;
}

std::optional<DMCoreStorageVolume> DMCoreStorageWrapper::lookup(const std::string& bsdName) {
    std::optional<RegistryEntryId> media = DMDiskAccess::ioMedia(bsdName);
    if (!media) {
        return std::nullopt;
    }
    auto ownUUID = DMRegistrySearch::own(*media, "UUID");
    // Only the drive's own children: a whole disk whose partition is a physical volume is
    // not itself one (searching deeper would make its unlock unlock the logical volume).
    auto physicalVolume = DMRegistrySearch::ownOrChildren(*media, "com.apple.corestorage.pv.uuid");
    if (!(ownUUID && ownUUID->asText()) && !(physicalVolume && physicalVolume->asText())) {
        return std::nullopt;
    }
    DMCoreStorageList list =
        DMCoreStorageList::parse(DMCommandLine::run(Platform::current().commands().listCoreStorage()).standardOutput);

    // The drive is itself an unlocked logical volume.
    if (ownUUID && ownUUID->asText() && list.hasLogicalVolume(*ownUUID->asText())) {
        return DMCoreStorageVolume{*ownUUID->asText(), std::nullopt, DMLocalDriveStatus::unlocked};
    }
    // The drive is a physical volume of a group: its first logical volume stands for it.
    if (physicalVolume && physicalVolume->asText()) {
        const DMCoreStorageList::Group* group = list.groupWithPhysicalVolume(*physicalVolume->asText());
        if (!group || group->logicalVolumes.empty()) {
            return std::nullopt;
        }
        DMCoreStorageVolume volume;
        volume.logicalVolumeUUID = group->logicalVolumes.front();
        if (auto name = DMRegistrySearch::ownOrChildren(*media, "com.apple.corestorage.lvg.name")) {
            volume.name = name->asText();
        }
        volume.status = hasUnlockedDevice(*media, volume.logicalVolumeUUID) ? DMLocalDriveStatus::unlocked
                                                                             : DMLocalDriveStatus::locked;
        return volume;
    }
    return std::nullopt;
}

int DMCoreStorageWrapper::unlock(const std::string& bsdName, const std::string& password) {
    if (password.empty()) {
        return -1;
    }
    std::optional<DMCoreStorageVolume> volume = lookup(bsdName);
    if (!volume) {
        return -1;
    }
    DMCommandOutput output = DMCommandLine::run(
        Platform::current().commands().unlockCoreStorageVolume(volume->logicalVolumeUUID, password));
    return !output.standardOutput.empty() && !output.standardError ? 0 : -1;
}

}  // namespace harbormind
