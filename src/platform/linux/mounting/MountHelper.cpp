#include "platform/linux/mounting/MountHelper.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/linux/disks/BlkidProbe.h"
#include "platform/linux/disks/MountTable.h"
#include "platform/linux/mounting/BlockDeviceTree.h"
#include "platform/linux/mounting/DiskEjector.h"
#include "platform/linux/mounting/MountOptions.h"
#include "platform/linux/mounting/MountUsers.h"
#include "platform/linux/mounting/RootProgram.h"
#include "platform/linux/mounting/UserMediaFolder.h"

namespace harbormind {
namespace fs = std::filesystem;

namespace {

bool kernelHasFileSystem(const std::string& type) {
    std::ifstream in("/proc/filesystems");
    std::string line;
    while (std::getline(in, line)) {
        auto tab = line.rfind('\t');
        if (line.substr(tab == std::string::npos ? 0 : tab + 1) == type) {
            return true;
        }
    }
    return false;
}

// An unlocked LUKS volume is a device-mapper device: without the kernel's device-mapper
// cryptsetup can open nothing, and says so obscurely. The kernel registers it as a misc
// device; a /dev/mapper/control node alone (libdevmapper makes one) proves nothing.
bool hasDeviceMapper() {
    return ::access("/sys/class/misc/device-mapper", F_OK) == 0;
}

}  // namespace

MountHelper::MountHelper(MountOwner owner, std::string mediaRoot, std::ostream& out, std::ostream& err)
    : owner_(std::move(owner)), mediaRoot_(std::move(mediaRoot)), out_(out), err_(err) {}

int MountHelper::fail(const std::string& message) const {
    err_ << "harbormind-mount: " << message << "\n";
    return 1;
}

int MountHelper::failBusy(const std::string& message) const {
    err_ << "harbormind-mount: " << message << "\n";
    return busyStatus;
}

int MountHelper::requireDeviceMapper(const std::string& name) const {
    if (hasDeviceMapper()) {
        return 0;
    }
    return fail("cannot unlock or lock " + name +
                ": device-mapper is not available on this system (the kernel has no device-mapper, so there is no "
                "usable /dev/mapper; it needs the dm_mod and dm_crypt modules)");
}

std::string MountHelper::lastLine(std::string text) {
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    if (auto line = text.rfind('\n'); line != std::string::npos) {
        text = text.substr(line + 1);
    }
    const std::string prefix = "harbormind-mount: ";
    return text.rfind(prefix, 0) == 0 ? text.substr(prefix.size()) : text;
}

std::string MountHelper::folderNameFor(const std::string& label, const std::string& fallback) {
    std::string name;
    for (unsigned char c : label) {
        name.push_back(c == '/' || c < 0x20 || c == 0x7f ? '_' : static_cast<char>(c));
    }
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    if (name.empty() || name == "." || name == "..") {
        return fallback;
    }
    return name;
}

std::string MountHelper::mediaFolder() const {
    return UserMediaFolder(mediaRoot_, owner_).path();
}

int MountHelper::mount(const std::string& name, const std::optional<std::string>& requestedPoint) {
    const std::string node = "/dev/" + name;
    struct stat facts {};
    if (::stat(node.c_str(), &facts) != 0 || !S_ISBLK(facts.st_mode)) {
        return fail(node + " is not a block device");
    }
    const std::string devNumber = BlockDeviceTree::devNumberOf(name);
    MountTable mounts = MountTable::read("/proc/self/mountinfo");
    VolumeFacts volume = BlkidProbe::probe(
        node, BlockDeviceTree::isPartition(name) ? ProbeTable::Skip : ProbeTable::Read);
    const std::string label = volume.label.value_or(volume.uuid.value_or(name));
    if (auto existing = mounts.mountPointOf(devNumber, node)) {
        out_ << "Volume " << label << " on " << name << " mounted at " << *existing << "\n";
        return 0;
    }
    if (!volume.type) {
        return fail(name + " has no file system that can be mounted");
    }
    const std::string type = *volume.type;
    if (type == "crypto_LUKS" || type == "BitLocker") {
        return fail(name + " is encrypted; unlock it first");
    }
    if (type == "swap" || type == "LVM2_member" || type == "linux_raid_member") {
        return fail(name + " holds " + type + ", not a file system");
    }

    // The kernel's driver when it is loaded, else a FUSE driver, else the kernel's driver
    // anyway (mounting may load its module).
    std::string kernelType = type == "ntfs" ? "ntfs3" : type;
    std::optional<std::string> fuseProgram;
    if (!kernelHasFileSystem(kernelType)) {
        if (type == "ntfs") {
            fuseProgram = RootProgram::find("ntfs-3g");
        } else if (type == "exfat") {
            fuseProgram = RootProgram::find("mount.exfat-fuse");
        } else if (type == "vfat") {
            fuseProgram = RootProgram::find("fusefat");
        }
    }

    std::string mountPoint;
    std::optional<MountFolder> made;
    std::error_code error;
    if (requestedPoint) {
        mountPoint = *requestedPoint;
        if (!fs::is_directory(mountPoint, error)) {
            return fail(mountPoint + " is not a folder");
        }
    } else {
        std::string problem;
        made = UserMediaFolder(mediaRoot_, owner_).makeMountFolder(folderNameFor(label, name), problem);
        if (!made) {
            return fail(problem);
        }
        mountPoint = made->path();
    }
    // The kernel mounts on the folder we made and hold open, whatever its path leads to now.
    const std::string target = made ? made->descriptorPath() : mountPoint;

    int status = 0;
    std::string failure;
    if (fuseProgram) {
        status = RootProgram::run(*fuseProgram, MountOptions::fuse(type, owner_, node, mountPoint));
        if (status != 0) {
            failure = fs::path(*fuseProgram).filename().string() + " could not mount " + name;
        }
    } else {
        const std::string options = MountOptions::kernel(type, owner_);
        if (::mount(node.c_str(), target.c_str(), kernelType.c_str(), MS_NOSUID | MS_NODEV,
                    options.empty() ? nullptr : options.c_str()) != 0) {
            status = 1;
            failure = "cannot mount " + name + " (" + type + "): " + std::strerror(errno);
        }
    }
    if (status != 0) {
        if (made) {
            UserMediaFolder(mediaRoot_, owner_).removeMountFolder(made->path());
        }
        return fail(failure);
    }
    out_ << "Volume " << label << " on " << name << " mounted at " << mountPoint << "\n";
    return 0;
}

bool MountHelper::removeMountFolder(const std::string& mountPoint) const {
    // Only folders made for this user's mounts are removed, and only when empty.
    return UserMediaFolder(mediaRoot_, owner_).removeMountFolder(mountPoint);
}

std::vector<std::string> MountHelper::mountPointsOf(const std::string& name, UnmountScope scope) const {
    std::vector<std::string> points;
    MountTable mounts = MountTable::read("/proc/self/mountinfo");
    for (const auto& device : BlockDeviceTree::devicesOf(name, scope == UnmountScope::WholeDisk)) {
        for (const auto& point : mounts.mountPointsOf(BlockDeviceTree::devNumberOf(device), "/dev/" + device)) {
            points.push_back(point);
        }
    }
    return points;
}

std::string MountHelper::diskOf(const std::string& name) const {
    return BlockDeviceTree::diskOf(name);
}

bool MountHelper::isRemovable(const std::string& name) const {
    return BlockDeviceTree::isRemovable(name);
}

bool MountHelper::isInternal(const std::string& name) const {
    return BlockDeviceTree::isInternal(name);
}

std::string MountHelper::mediaSequenceOf(const std::string& name) const {
    return BlockDeviceTree::mediaSequenceOf(name);
}

int MountHelper::unmountDevices(const std::vector<std::string>& names, UnmountForce force, bool quietWhenNone) {
    int unmounted = 0;
    for (const auto& device : names) {
        const std::string node = "/dev/" + device;
        MountTable mounts = MountTable::read("/proc/self/mountinfo");
        for (const auto& mountPoint : mounts.mountPointsOf(BlockDeviceTree::devNumberOf(device), node)) {
            if (mountPoint == "/") {
                return fail("the system volume " + device + " is not unmounted");
            }
            // Only an unmount the user forced is lazy: a plain one leaves a busy volume
            // mounted, so nothing keeps writing to a file system that left the name space.
            int flags = force == UnmountForce::Yes ? MNT_DETACH : 0;
            if (::umount2(mountPoint.c_str(), flags) != 0) {
                int code = errno;
                if (code == EBUSY) {
                    return failBusy("cannot unmount " + mountPoint + " (" + device + "): " +
                                    MountUsers::inUseBy(MountUsers().ofMountPoint(mountPoint)));
                }
                return fail("cannot unmount " + mountPoint + " (" + device + "): " + std::strerror(code));
            }
            removeMountFolder(mountPoint);
            out_ << "Volume on " << device << " unmounted from " << mountPoint << "\n";
            ++unmounted;
        }
    }
    if (unmounted == 0 && !quietWhenNone) {
        return fail(names.empty() ? "nothing to unmount" : names.back() + " is not mounted");
    }
    return 0;
}

int MountHelper::unmount(const std::string& name, UnmountForce force, UnmountScope scope) {
    if (!fs::exists(BlockDeviceTree::folderOf(name))) {
        return fail(name + " is not a block device");
    }
    const bool wholeDisk = scope == UnmountScope::WholeDisk;
    return unmountDevices(BlockDeviceTree::devicesOf(name, wholeDisk), force, wholeDisk);
}

int MountHelper::eject(const std::string& name) {
    if (!fs::exists(BlockDeviceTree::folderOf(name))) {
        return fail(name + " is not a block device");
    }
    std::vector<std::string> devices = BlockDeviceTree::devicesOf(name, true);
    if (int status = unmountDevices(devices, UnmountForce::No, true); status != 0) {
        return status;
    }
    const std::string disk = BlockDeviceTree::diskOf(name);
    DiskEjector::Outcome outcome = DiskEjector::eject(disk, devices);
    if (!outcome.ejected) {
        return outcome.busy ? failBusy(outcome.problem) : fail(outcome.problem);
    }
    out_ << "Disk " << disk << " ejected\n";
    return 0;
}

int MountHelper::unlock(const std::string& name, const std::string& passphrase) {
    const std::string node = "/dev/" + name;
    VolumeFacts volume = BlkidProbe::probe(node, ProbeTable::Skip);
    if (!volume.type || *volume.type != "crypto_LUKS") {
        return fail(name + " is not a LUKS volume");
    }
    auto cryptsetup = RootProgram::find("cryptsetup");
    if (!cryptsetup) {
        return fail("cryptsetup is not installed");
    }
    if (int status = requireDeviceMapper(name); status != 0) {
        return status;
    }
    const std::string mapping = "luks-" + volume.uuid.value_or(name);
    if (RootProgram::run(*cryptsetup, {"open", "--type", "luks", "--key-file=-", node, mapping}, passphrase) != 0) {
        return fail("cannot unlock " + name);
    }
    out_ << "Volume " << name << " unlocked as /dev/mapper/" << mapping << "\n";
    return 0;
}

int MountHelper::lock(const std::string& name) {
    auto cryptsetup = RootProgram::find("cryptsetup");
    if (!cryptsetup) {
        return fail("cryptsetup is not installed");
    }
    if (int status = requireDeviceMapper(name); status != 0) {
        return status;
    }
    std::error_code error;
    int locked = 0;
    for (fs::directory_iterator it(BlockDeviceTree::folderOf(name) + "/holders", error), end; !error && it != end;
         it.increment(error)) {
        const std::string holder = it->path().filename().string();
        auto uuid = BlockDeviceTree::attribute(holder, "dm/uuid");
        auto mapping = BlockDeviceTree::attribute(holder, "dm/name");
        if (!uuid || !mapping || uuid->rfind("CRYPT-", 0) != 0) {
            continue;
        }
        if (int status = unmountDevices(BlockDeviceTree::devicesOf(holder, false), UnmountForce::No, true);
            status != 0) {
            return status;
        }
        if (RootProgram::run(*cryptsetup, {"close", *mapping}) != 0) {
            return fail("cannot lock " + name);
        }
        ++locked;
    }
    if (locked == 0) {
        return fail(name + " is not unlocked");
    }
    out_ << "Volume " << name << " locked\n";
    return 0;
}

}  // namespace harbormind
