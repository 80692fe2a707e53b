#include "daemon/linux/LinuxUSBWarden.h"

#include <sys/mount.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/linux/desktop/LinuxUSBBlockerPaths.h"
#include "platform/linux/disks/LinuxBlockerDisk.h"
#include "platform/linux/disks/MountTable.h"
#include "platform/linux/files/LinuxFileContents.h"
#include "platform/linux/files/WholeFileWriter.h"
#include "support/Log.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBDiskList.h"
#include "usbblocker/USBListsEditor.h"

namespace harbormind {
namespace {

LinuxFileContents& fileContents() {
    static LinuxFileContents files;
    return files;
}

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

LinuxUSBWarden::LinuxUSBWarden(Options options) : options_(std::move(options)), store_(folderOf(options_.listsFile)) {}

std::unique_ptr<USBDiskList> LinuxUSBWarden::lists() {
    USBDiskListServices services;
    services.files = &fileContents();
    services.savePath = options_.listsFile;
    services.dropInFiles = [listsFile = options_.listsFile] {
        return LinuxUSBBlockerPaths(listsFile).dropInFiles();
    };
    auto list = std::make_unique<USBDiskList>(std::move(services));
    list->load();
    return list;
}

bool LinuxUSBWarden::guards(const LinuxBlockerDisk& disk) const {
    const std::string& folder = options_.guardedImageFolder;
    if (!folder.empty() && disk.imageFile && disk.imageFile->rfind(folder + "/", 0) == 0) {
        return true;
    }
    static constexpr std::array<const char*, 7> guarded = {"THUNDERBOLT", "USB", "FIREWIRE", "SAS",
                                                           "SATA",        "PCI", "PCI-EXPRESS"};
    if (disk.internal || !disk.protocol) {
        return false;
    }
    for (const char* name : guarded) {
        if (*disk.protocol == name) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> LinuxUSBWarden::mountRefusal(const std::string& name) {
    USBWardenState state = store_.state();
    if (!state.on) {
        return std::nullopt;
    }
    std::optional<LinuxBlockerDisk> disk = LinuxBlockerDisk::read(options_.paths, name);
    if (!disk || !guards(*disk)) {
        return std::nullopt;
    }
    std::unique_ptr<USBDiskList> list = lists();
    if (list->isInWhiteList(disk->mediaName)) {
        return std::nullopt;
    }
    if (state.model() == AllowDiskMountModel::PopupsQuery && !list->isInBlackList(disk->mediaName, 0)) {
        std::lock_guard lock(mutex_);
        auto allowed = allowed_.find(disk->wholeDisk);
        if (allowed != allowed_.end() && allowed->second == disk->medium) {
            return std::nullopt;
        }
    }
    Log::info("USB Warden: refused to mount " + name + " (disk \"" + disk->mediaName + "\")");
    return std::string(USBBlockerTexts::driveGuard);
}

XPCCodeAnswer LinuxUSBWarden::allowOnce(const std::string& name) {
    USBWardenState state = store_.state();
    std::optional<LinuxBlockerDisk> disk = LinuxBlockerDisk::read(options_.paths, name);
    if (!disk) {
        return {1, name + " is not a disk of this machine"};
    }
    if (!state.on || !guards(*disk)) {
        return {0, "USB Warden does not hold " + name + " back"};
    }
    if (state.model() != AllowDiskMountModel::PopupsQuery) {
        return {13, "Only disks on the white list may mount in this mode"};
    }
    if (lists()->isInBlackList(disk->mediaName, 0)) {
        return {13, "\"" + disk->mediaName + "\" is on the black list"};
    }
    std::lock_guard lock(mutex_);
    allowed_[disk->wholeDisk] = disk->medium;
    return {0, "\"" + disk->mediaName + "\" may mount until it is unplugged"};
}

std::vector<std::string> LinuxUSBWarden::sweep() {
    std::vector<std::string> unmounted;
    if (!store_.state().on) {
        return unmounted;
    }
    MountTable mounts = MountTable::read(options_.paths.mountInfo);
    // The disk the system runs from (booted from a USB stick) is never taken away.
    std::string systemDisk;
    for (const MountEntry& entry : mounts.entries()) {
        if (entry.mountPoint == "/" && entry.source.rfind("/dev/", 0) == 0) {
            auto disk = LinuxBlockerDisk::read(options_.paths, entry.source.substr(5));
            systemDisk = disk ? disk->wholeDisk : std::string();
        }
    }
    // Most recent first, so a mount on top of another goes before it.
    for (auto entry = mounts.entries().rbegin(); entry != mounts.entries().rend(); ++entry) {
        if (entry->source.rfind("/dev/", 0) != 0 || !mountRefusal(entry->source.substr(5))) {
            continue;
        }
        auto disk = LinuxBlockerDisk::read(options_.paths, entry->source.substr(5));
        if (!disk || disk->wholeDisk == systemDisk) {
            continue;
        }
        // Never lazy: a busy volume stays mounted (and is tried again) rather than lingering unseen.
        if (::umount2(entry->mountPoint.c_str(), UMOUNT_NOFOLLOW) == 0) {
            Log::warning("USB Warden: unmounted " + entry->source + " from " + entry->mountPoint +
                         ", which the Warden refuses");
            unmounted.push_back(entry->mountPoint);
        } else {
            Log::warning("USB Warden: could not unmount " + entry->mountPoint + ": " + std::strerror(errno));
        }
    }
    return unmounted;
}

USBListsEditResult LinuxUSBWarden::addEntry(const std::string& name, std::int64_t size, bool white) {
    std::lock_guard lock(mutex_);
    if (!WholeFileWriter::makeFolders(folderOf(options_.listsFile), 0755)) {
        return USBListsEditResult::NotSaved;
    }
    std::unique_ptr<USBDiskList> list = lists();
    USBListsEditor editor(*list);
    return white ? editor.allow(name, size) : editor.block(name, size);
}

USBListsEditResult LinuxUSBWarden::removeEntry(const std::string& name, bool white) {
    std::lock_guard lock(mutex_);
    std::unique_ptr<USBDiskList> list = lists();
    USBListsEditor editor(*list);
    return editor.removeFrom(name, white ? USBListKind::White : USBListKind::Black);
}

}  // namespace harbormind
