#include "app/drives/DMDriveRules.h"

#include "app/common/DMTr.h"
#include "app/disktools/DMDiskToolsTexts.h"

#include "app/drives/DMDriveAction.h"
#include "app/common/DMTexts.h"

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
            add(DMTr::text(DMTexts::menuOpen), DMDriveAction::open);
        } else {
            add(DMTr::text(DMTexts::menuConnect), DMDriveAction::mount);
        }
        if (mounted) {
            add(DMTr::text(DMTexts::menuDisconnect), DMDriveAction::unmount);
        }
        if (drive.isSaved && !mounted) {
            add(DMTr::text(DMTexts::menuEdit), DMDriveAction::edit);
            add(DMTr::text(DMTexts::menuRemove), DMDriveAction::remove);
        }
        return entries;
    }
    const DMDrivePredicates& logical = drive.logical;
    if (context.offerWhitelist) {
        entries.push_back({DMTr::text(DMTexts::addWhitelist), 0, true, true});
    }
    if (logical.isMounted) {
        add(DMTr::text(DMTexts::menuOpen), DMDriveAction::open);
    }
    if (needsDriver(logical, context) || logical.canUnlock) {
        add(DMTr::text(DMTexts::menuUnlock), DMDriveAction::unlock);
    }
    if (logical.canLock) {
        add(DMTr::text(DMTexts::menuLock), DMDriveAction::lock);
    }
    if ((!drive.physicalIsWhole || drive.isWholeDiskVolume) && !needsDriver(logical, context) && logical.canMount) {
        add(DMTr::text(DMTexts::menuMount), DMDriveAction::mount);
    }
    if (logical.canUnmount) {
        add(DMTr::text(DMTexts::menuUnmount), DMDriveAction::unmount);
    }
    if (logical.canEject && !needsDriver(logical, context)) {
        add(DMTr::text(DMTexts::menuEject), DMDriveAction::eject);
    }
    if (offersEncryption(logical)) {
        add(DMTr::text(DMTexts::menuEncrypt), DMDriveAction::encrypt);
    }
    if (logical.hasDetachedHeader) {
        add(DMTr::text(DMTexts::menuExportHeader), DMDriveAction::exportHeader);
    }
    return entries;
}

std::vector<DMMacDockViewBaseItem> DMDriveRules::partitionItems() {
    return {
        {DMTr::text(DMTexts::itemOpen), "menu_open", DMDriveAction::open},
        {DMTr::text(DMTexts::itemUnlock), "menu_unlock", DMDriveAction::unlock},
        {DMTr::text(DMTexts::itemLock), "menu_lock", DMDriveAction::lock},
        {DMTr::text(DMTexts::itemMount), "menu_mount", DMDriveAction::mount},
        {DMTr::text(DMTexts::itemUnmount), "menu_unmount", DMDriveAction::unmount},
        {DMTr::text(DMTexts::itemEncrypt), "menu_encrypt", DMDriveAction::encrypt},
        {DMTr::text(DMTexts::itemCleanDrive), "menu_driveclean", DMDriveAction::driveClean},
        {DMTr::text(DMTexts::itemCleanJunk), "menu_cleanup", DMDriveAction::junkClean},
        {DMTr::text(DMTexts::itemFirstAid), "menu_firstAid", DMDriveAction::firstAid},
        {DMTr::text(DMDiskToolsTexts::itemErase), "menu_erase", DMDriveAction::erase},
        {DMTr::text(DMDiskToolsTexts::itemDeletePartition), "menu_remove", DMDriveAction::deletePartition},
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
        {DMTr::text(DMTexts::itemUnmountAll), "menu_unmount", DMDriveAction::unmount},
        {DMTr::text(DMTexts::itemEject), "menu_eject", DMDriveAction::eject},
        {DMTr::text(DMTexts::itemClone), "menu_clone", DMDriveAction::clone},
        {DMTr::text(DMTexts::itemResumeClone), "menu_recoverClone", DMDriveAction::resumeClone},
        {DMTr::text(DMDiskToolsTexts::itemErase), "menu_erase", DMDriveAction::erase},
        {DMTr::text(DMDiskToolsTexts::itemNewPartition), "menu_partition", DMDriveAction::newPartition},
    };
}

std::vector<DMMacDockViewBaseItem> DMDriveRules::networkItems() {
    return {
        {DMTr::text(DMTexts::itemOpen), "menu_open", DMDriveAction::open},
        {DMTr::text(DMTexts::itemConnect), "menu_connect", DMDriveAction::mount},
        {DMTr::text(DMTexts::itemDisconnect), "menu_disconnect", DMDriveAction::unmount},
        {DMTr::text(DMTexts::itemEdit), "menu_edit", DMDriveAction::edit},
        {DMTr::text(DMTexts::itemRemove), "menu_remove", DMDriveAction::remove},
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
