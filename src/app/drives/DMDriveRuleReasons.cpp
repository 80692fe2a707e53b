#include "app/drives/DMDriveRuleReasons.h"

#include <QCoreApplication>

#include "app/drives/DMDriveAction.h"
#include "app/common/DMTr.h"

namespace harbormind {
namespace {

std::string tr(const char* text) {
    return QCoreApplication::translate(DMTr::context, text).toStdString();
}

std::string notMounted() {
    return tr("the volume is not mounted");
}

std::string mountFirst() {
    return tr("mount the volume first");
}

std::string driverMissing() {
    return tr("needs the NTFS driver (ntfs-3g), which is not installed");
}

std::string mountReason(const DMDriveSnapshot& drive, const DMDriveRulesContext& context) {
    const DMDrivePredicates& own = drive.own;
    if (DMDriveRules::needsDriver(own, context)) {
        return driverMissing();
    }
    if (own.isMounted || own.hasMountPoint()) {
        return tr("the volume is already mounted");
    }
    if (own.status == DMLocalDriveStatus::locked) {
        return tr("the volume is locked: unlock it first");
    }
    if (own.status == DMLocalDriveStatus::encrypting) {
        return tr("the volume's encryption has not finished");
    }
    if (drive.logicalHasChildren) {
        return tr("it holds volumes of its own: mount those");
    }
    return tr("it holds no file system that can be mounted");
}

std::string firstAidReason(const DMDriveSnapshot& drive, const DMDriveRulesContext& context) {
    const DMDrivePredicates& own = drive.own;
    if (DMDriveRules::needsDriver(own, context)) {
        return driverMissing();
    }
    if (own.canUnlock) {
        return tr("the volume is locked: unlock it first");
    }
    if (own.fileSystem == DMDriveObjectFilesystem::unknown) {
        return tr("First Aid does not know the volume's file system");
    }
    if (own.location == DMDriveObjectLocation::internal) {
        return tr("First Aid checks external drives only");
    }
    return {};
}

}  // namespace

std::string DMDriveRuleReasons::partition(std::uint8_t action, const DMDriveSnapshot& drive,
                                          const DMDriveRulesContext& context) {
    if (DMDriveRules::partitionRule(action, drive, context)) {
        return {};
    }
    const DMDrivePredicates& own = drive.own;
    switch (action) {
    case DMDriveAction::open:
    case DMDriveAction::unmount:
        return notMounted();
    case DMDriveAction::unlock:
        return tr("the volume is not a locked encrypted volume");
    case DMDriveAction::lock:
        return tr("the volume is not an unlocked encrypted volume");
    case DMDriveAction::mount:
        return mountReason(drive, context);
    case DMDriveAction::encrypt:
        return own.hasMountPoint() ? tr("this file system cannot be encrypted here") : mountFirst();
    case DMDriveAction::driveClean:
        return own.hasMountPoint() ? tr("the system volume and the one holding your home folder are not cleared")
                                   : mountFirst();
    case DMDriveAction::junkClean:
        return tr("junk is cleaned on the system volume only");
    case DMDriveAction::firstAid:
        return firstAidReason(drive, context);
    default:
        return {};
    }
}

std::string DMDriveRuleReasons::wholeDisk(std::uint8_t action, const DMDriveSnapshot& drive) {
    if (DMDriveRules::wholeDiskRule(action, drive)) {
        return {};
    }
    switch (action) {
    case DMDriveAction::unmount:
        return tr("none of its volumes is mounted");
    case DMDriveAction::eject:
        return tr("this disk cannot be ejected");
    case DMDriveAction::clone:
        if (drive.own.location == DMDriveObjectLocation::unknown) {
            return tr("where the disk is attached is not known");
        }
        if (!drive.logicalHasChildren) {
            return tr("the disk has no partitions to clone");
        }
        return tr("the disk's partition map is not known");
    case DMDriveAction::resumeClone:
        return tr("no clone onto this disk was interrupted");
    default:
        return {};
    }
}

std::string DMDriveRuleReasons::network(std::uint8_t action, const DMDriveSnapshot& drive) {
    if (DMDriveRules::networkRule(action, drive)) {
        return {};
    }
    switch (action) {
    case DMDriveAction::open:
    case DMDriveAction::unmount:
        return tr("the drive is not connected");
    case DMDriveAction::mount:
        return tr("the drive is already connected");
    case DMDriveAction::edit:
    case DMDriveAction::remove:
        return drive.own.hasMountPoint() ? tr("disconnect the drive first") : tr("the drive is not saved");
    default:
        return {};
    }
}

}  // namespace harbormind
