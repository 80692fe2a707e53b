#include "app/DMDriveRules.h"

#include "app/disktools/DMDiskToolsTexts.h"

#include "app/DMDriveAction.h"
#include "app/DMTexts.h"

namespace harbormind {
namespace {

bool available(const DMDriveRulesContext& context, std::uint8_t action, DMDriveObjectCategory category) {
    return !context.isActionAvailable || context.isActionAvailable(action, category);
}

// A mounted volume that can be encrypted, or one whose encryption was interrupted (it cannot
// be mounted, and "Encrypt" resumes it).
bool offersEncryption(const DMDrivePredicates& drive) {
    return drive.canEncrypt && (drive.hasMountPoint() || drive.status == DMLocalDriveStatus::encrypting);
}

}  // namespace

bool DMDriveRules::needsDriver(const DMDrivePredicates& drive, const DMDriveRulesContext& context) {
    return drive.isBitLocker() && context.driverMissing;
}

std::vector<DMMenuEntry> DMDriveRules::sidebarMenu(const DMDriveSnapshot& drive, const DMDriveRulesContext& context) {
    std::vector<DMMenuEntry> entries;
    auto add = [&](const char* title, std::uint8_t action) {
        entries.push_back({title, action, available(context, action, drive.category), false});
    };
    if (drive.isNetwork()) {
        const bool mounted = drive.own.hasMountPoint();
        if (mounted) {
            add(DMTexts::menuOpen, DMDriveAction::open);
        } else {
            add(DMTexts::menuConnect, DMDriveAction::mount);
        }
        if (mounted) {
            add(DMTexts::menuDisconnect, DMDriveAction::unmount);
        }
        if (drive.isSaved && !mounted) {
            add(DMTexts::menuEdit, DMDriveAction::edit);
            add(DMTexts::menuRemove, DMDriveAction::remove);
        }
        return entries;
    }
    const DMDrivePredicates& logical = drive.logical;
    if (context.offerWhitelist) {
        entries.push_back({DMTexts::addWhitelist, 0, true, true});
    }
    if (logical.isMounted) {
        add(DMTexts::menuOpen, DMDriveAction::open);
    }
    if (needsDriver(logical, context) || logical.canUnlock) {
        add(DMTexts::menuUnlock, DMDriveAction::unlock);
    }
    if (logical.canLock) {
        add(DMTexts::menuLock, DMDriveAction::lock);
    }
    if ((!drive.physicalIsWhole || drive.isWholeDiskVolume) && !needsDriver(logical, context) && logical.canMount) {
        add(DMTexts::menuMount, DMDriveAction::mount);
    }
    if (logical.canUnmount) {
        add(DMTexts::menuUnmount, DMDriveAction::unmount);
    }
    if (logical.canEject && !needsDriver(logical, context)) {
        add(DMTexts::menuEject, DMDriveAction::eject);
    }
    if (offersEncryption(logical)) {
        add(DMTexts::menuEncrypt, DMDriveAction::encrypt);
    }
    if (logical.hasDetachedHeader) {
        add(DMTexts::menuExportHeader, DMDriveAction::exportHeader);
    }
    return entries;
}

std::vector<DMMacDockViewBaseItem> DMDriveRules::partitionItems() {
    return {
        {DMTexts::itemOpen, "menu_open", DMDriveAction::open},
        {DMTexts::itemUnlock, "menu_unlock", DMDriveAction::unlock},
        {DMTexts::itemLock, "menu_lock", DMDriveAction::lock},
        {DMTexts::itemMount, "menu_mount", DMDriveAction::mount},
        {DMTexts::itemUnmount, "menu_unmount", DMDriveAction::unmount},
        {DMTexts::itemEncrypt, "menu_encrypt", DMDriveAction::encrypt},
        {DMTexts::itemCleanDrive, "menu_driveclean", DMDriveAction::driveClean},
        {DMTexts::itemCleanJunk, "menu_cleanup", DMDriveAction::junkClean},
        {DMTexts::itemFirstAid, "menu_firstAid", DMDriveAction::firstAid},
        {DMDiskToolsTexts::itemErase, "menu_erase", DMDriveAction::erase},
        {DMDiskToolsTexts::itemDeletePartition, "menu_remove", DMDriveAction::deletePartition},
    };
}

std::vector<DMMacDockViewBaseItem> DMDriveRules::wholeDiskVolumeItems() {
    // No partition to delete; erasing and unmounting are the volume's own items already.
    std::vector<DMMacDockViewBaseItem> items;
    for (const auto& item : partitionItems()) {
        if (item.action != DMDriveAction::deletePartition) {
            items.push_back(item);
        }
    }
    for (const auto& item : wholeDiskItems()) {
        if (item.action == DMDriveAction::eject || item.action == DMDriveAction::clone ||
            item.action == DMDriveAction::resumeClone) {
            items.push_back(item);
        }
    }
    return items;
}

std::vector<DMMacDockViewBaseItem> DMDriveRules::wholeDiskItems() {
    return {
        {DMTexts::itemUnmountAll, "menu_unmount", DMDriveAction::unmount},
        {DMTexts::itemEject, "menu_eject", DMDriveAction::eject},
        {DMTexts::itemClone, "menu_clone", DMDriveAction::clone},
        {DMTexts::itemResumeClone, "menu_recoverClone", DMDriveAction::resumeClone},
        {DMDiskToolsTexts::itemErase, "menu_erase", DMDriveAction::erase},
        {DMDiskToolsTexts::itemNewPartition, "menu_partition", DMDriveAction::newPartition},
    };
}

std::vector<DMMacDockViewBaseItem> DMDriveRules::networkItems() {
    return {
        {DMTexts::itemOpen, "menu_open", DMDriveAction::open},
        {DMTexts::itemConnect, "menu_connect", DMDriveAction::mount},
        {DMTexts::itemDisconnect, "menu_disconnect", DMDriveAction::unmount},
        {DMTexts::itemEdit, "menu_edit", DMDriveAction::edit},
        {DMTexts::itemRemove, "menu_remove", DMDriveAction::remove},
    };
}

bool DMDriveRules::partitionRule(std::uint8_t action, const DMDriveSnapshot& drive, const DMDriveRulesContext& context) {
    const DMDrivePredicates& own = drive.own;
    switch (action) {
    case DMDriveAction::open:
        return own.isMounted;
    case DMDriveAction::unlock:
        return needsDriver(own, context) || own.canUnlock;
    case DMDriveAction::lock:
        return own.canLock;
    case DMDriveAction::mount:
        return !needsDriver(own, context) && own.canMount;
    case DMDriveAction::unmount:
        return own.canUnmount;
    case DMDriveAction::encrypt:
        return offersEncryption(own);
    case DMDriveAction::driveClean:
        return own.hasMountPoint() && own.mayClear;
    case DMDriveAction::junkClean:
        return own.hasMountPoint() && own.onSystemMountPoint;
    case DMDriveAction::firstAid:
        return !needsDriver(own, context) && own.fileSystem != DMDriveObjectFilesystem::unknown && !own.canUnlock &&
               own.location != DMDriveObjectLocation::internal;
    case DMDriveAction::eject:
    case DMDriveAction::clone:
    case DMDriveAction::resumeClone:
        return drive.isWholeDiskVolume && wholeDiskRule(action, drive);
    // The system's volumes are never offered; the rest say themselves why they are refused.
    case DMDriveAction::erase:
    case DMDriveAction::deletePartition:
        return !own.onSystemMountPoint;
    default:
        return false;
    }
}

bool DMDriveRules::wholeDiskRule(std::uint8_t action, const DMDriveSnapshot& drive) {
    switch (action) {
    case DMDriveAction::unmount:
        return drive.own.canUnmount;
    case DMDriveAction::eject:
        return drive.own.canEject;
    case DMDriveAction::clone:
        return drive.own.location != DMDriveObjectLocation::unknown &&
               ((drive.logicalHasChildren && drive.partitionMap != DMDriveObjectPartitionMap::unknown) ||
                drive.isWholeDiskVolume);
    case DMDriveAction::resumeClone:
        return drive.isCloneInterrupted;
    case DMDriveAction::erase:
        return drive.own.location != DMDriveObjectLocation::unknown;
    case DMDriveAction::newPartition:
        return drive.partitionMap == DMDriveObjectPartitionMap::guid || drive.partitionMap == DMDriveObjectPartitionMap::mbr;
    default:
        return false;
    }
}

bool DMDriveRules::networkRule(std::uint8_t action, const DMDriveSnapshot& drive) {
    const bool mounted = drive.own.hasMountPoint();
    switch (action) {
    case DMDriveAction::open:
    case DMDriveAction::unmount:
        return mounted;
    case DMDriveAction::mount:
        return !mounted;
    case DMDriveAction::edit:
    case DMDriveAction::remove:
        return drive.isSaved && !mounted;
    default:
        return false;
    }
}

}  // namespace harbormind
