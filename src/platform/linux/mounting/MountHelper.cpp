#include "platform/linux/mounting/MountHelper.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <linux/loop.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "platform/linux/disks/BlkidProbe.h"
#include "support/Clock.h"
#include "platform/linux/disks/MountTable.h"
#include "platform/linux/mounting/MountOptions.h"
#include "platform/linux/mounting/MountUsers.h"
#include "platform/linux/mounting/UserMediaFolder.h"

namespace harbormind {
namespace fs = std::filesystem;

namespace {

std::optional<std::string> readLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) {
        return std::nullopt;
    }
    return line;
}

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

std::optional<std::string> findProgram(const std::string& name) {
    for (const char* folder : {"/usr/bin", "/usr/sbin", "/bin", "/sbin", "/usr/local/bin", "/usr/local/sbin"}) {
        std::string path = std::string(folder) + "/" + name;
        if (::access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return std::nullopt;
}

// Runs a program with its standard output sent to our standard error: our own standard
// output is kept for the line that says what was done.
int runProgram(const std::string& path, const std::vector<std::string>& arguments,
               const std::optional<std::string>& input = std::nullopt) {
    int in[2] = {-1, -1};
    if (input && ::pipe2(in, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
    if (input) {
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    }
    std::vector<std::string> argv{path};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> raw;
    for (auto& argument : argv) {
        raw.push_back(argument.data());
    }
    raw.push_back(nullptr);
    // The tools run as root: they get a fixed environment, never the caller's.
    std::string searchPath = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
    std::string locale = "LC_ALL=C";
    char* environment[] = {searchPath.data(), locale.data(), nullptr};
    pid_t pid = 0;
    int spawned = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, raw.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    if (input) {
        ::close(in[0]);
        if (spawned == 0) {
            [[maybe_unused]] auto written = ::write(in[1], input->data(), input->size());
        }
        ::close(in[1]);
    }
    if (spawned != 0) {
        return -1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string devNumberOf(const std::string& name) {
    return readLine("/sys/class/block/" + name + "/dev").value_or("");
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

bool MountHelper::isValidName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name[0] == '.') {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) != 0 || c == '-' || c == '_' || c == '.' || c == ':' || c == '!';
    });
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

std::string MountHelper::sysfs(const std::string& name) const {
    return "/sys/class/block/" + name;
}

int MountHelper::mount(const std::string& name, const std::optional<std::string>& requestedPoint) {
    const std::string node = "/dev/" + name;
    struct stat facts {};
    if (::stat(node.c_str(), &facts) != 0 || !S_ISBLK(facts.st_mode)) {
        return fail(node + " is not a block device");
    }
    const std::string devNumber = devNumberOf(name);
    MountTable mounts = MountTable::read("/proc/self/mountinfo");
    VolumeFacts volume = BlkidProbe::probe(
        node, fs::exists(sysfs(name) + "/partition") ? ProbeTable::Skip : ProbeTable::Read);
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
            fuseProgram = findProgram("ntfs-3g");
        } else if (type == "exfat") {
            fuseProgram = findProgram("mount.exfat-fuse");
        } else if (type == "vfat") {
            fuseProgram = findProgram("fusefat");
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
        status = runProgram(*fuseProgram, MountOptions::fuse(type, owner_, node, mountPoint));
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

std::vector<std::string> MountHelper::devicesOf(const std::string& name, UnmountScope scope) const {
    std::vector<std::string> names;
    std::string disk = name;
    if (scope == UnmountScope::WholeDisk && fs::exists(sysfs(name) + "/partition")) {
        std::error_code error;
        disk = fs::canonical(sysfs(name), error).parent_path().filename().string();
    }
    names.push_back(disk);
    if (scope == UnmountScope::WholeDisk) {
        std::error_code error;
        fs::path folder = fs::canonical(sysfs(disk), error);
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            if (fs::exists(it->path() / "partition")) {
                names.push_back(it->path().filename().string());
            }
        }
    }
    // What is mapped on top of these (an unlocked LUKS volume) goes first.
    std::vector<std::string> all;
    std::set<std::string> seen;
    std::function<void(const std::string&)> add = [&](const std::string& device) {
        if (!seen.insert(device).second) {
            return;
        }
        std::error_code error;
        for (fs::directory_iterator it(sysfs(device) + "/holders", error), end; !error && it != end;
             it.increment(error)) {
            add(it->path().filename().string());
        }
        all.push_back(device);
    };
    for (const auto& device : names) {
        add(device);
    }
    return all;
}

bool MountHelper::removeMountFolder(const std::string& mountPoint) const {
    // Only folders made for this user's mounts are removed, and only when empty.
    return UserMediaFolder(mediaRoot_, owner_).removeMountFolder(mountPoint);
}

std::vector<std::string> MountHelper::mountPointsOf(const std::string& name, UnmountScope scope) const {
    std::vector<std::string> points;
    MountTable mounts = MountTable::read("/proc/self/mountinfo");
    for (const auto& device : devicesOf(name, scope)) {
        for (const auto& point : mounts.mountPointsOf(devNumberOf(device), "/dev/" + device)) {
            points.push_back(point);
        }
    }
    return points;
}

std::string MountHelper::diskOf(const std::string& name) const {
    std::error_code error;
    fs::path device = fs::canonical(sysfs(name), error);
    if (error) {
        return name;
    }
    return fs::exists(device / "partition") ? device.parent_path().filename().string() : device.filename().string();
}

bool MountHelper::isRemovable(const std::string& name) const {
    return readLine(sysfs(diskOf(name)) + "/removable").value_or("0") == "1";
}

bool MountHelper::isInternal(const std::string& name) const {
    // As the disk descriptions say: USB, FireWire, card readers and loop images are external,
    // and so is removable media; anything else (a mapping included) is part of the computer.
    const std::string disk = diskOf(name);
    if (disk.rfind("loop", 0) == 0 || isRemovable(disk)) {
        return false;
    }
    std::error_code error;
    const std::string hardware = fs::canonical(sysfs(disk) + "/device", error).string();
    if (error) {
        return true;
    }
    for (const char* bus : {"/usb", "/firewire", "/fw", "/mmc"}) {
        if (hardware.find(bus) != std::string::npos) {
            return false;
        }
    }
    return true;
}

std::string MountHelper::mediaSequenceOf(const std::string& name) const {
    const std::string disk = diskOf(name);
    return disk + "#" + readLine(sysfs(disk) + "/diskseq").value_or("");
}

int MountHelper::unmountDevices(const std::vector<std::string>& names, UnmountForce force, bool quietWhenNone) {
    int unmounted = 0;
    for (const auto& device : names) {
        const std::string node = "/dev/" + device;
        MountTable mounts = MountTable::read("/proc/self/mountinfo");
        for (const auto& mountPoint : mounts.mountPointsOf(devNumberOf(device), node)) {
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
    if (!fs::exists(sysfs(name))) {
        return fail(name + " is not a block device");
    }
    return unmountDevices(devicesOf(name, scope), force, scope == UnmountScope::WholeDisk);
}

int MountHelper::claimDisk(const std::string& disk, const std::vector<std::string>& devices, int& status) const {
    std::vector<std::string> nodes;
    for (const auto& device : devices) {
        nodes.push_back("/dev/" + device);
    }
    // A device another program has open (a shell writing to it, a lazily detached file
    // system, a mapping on top) keeps the disk: taking it away would lose that data.
    std::string users = MountUsers().ofDevices(nodes);
    std::string heldDevice;
    int fd = -1;
    for (auto it = devices.rbegin(); users.empty() && heldDevice.empty() && it != devices.rend(); ++it) {
        const std::string node = "/dev/" + *it;
        int claimed = ::open(node.c_str(), O_RDONLY | O_EXCL | O_NONBLOCK | O_CLOEXEC);
        if (claimed < 0) {
            if (errno == EBUSY) {
                heldDevice = *it;
            }
            continue;
        }
        if (*it == disk && fd < 0) {
            fd = claimed;
        } else {
            ::close(claimed);
        }
    }
    if (!users.empty() || !heldDevice.empty()) {
        if (fd >= 0) {
            ::close(fd);
        }
        status = failBusy("cannot eject " + disk + ": " +
                          (users.empty() ? heldDevice + " is still in use by the kernel (a file system detached "
                                                        "while in use, a mount or a mapping)"
                                         : MountUsers::inUseBy(users)));
        return -1;
    }
    if (fd < 0) {
        status = fail("cannot open " + disk + " exclusively: " + std::strerror(errno));
    }
    return fd;
}

// Programs that probe a new or changed disk (blkid, udev rules, another drive list) hold its
// devices open for a moment; an eject right then would report the disk busy. Wait up to two
// seconds for such short opens to end, whether they hold a device exclusively or only read
// it; a real user of the disk still makes the eject fail.
void MountHelper::waitForTransientUsers(const std::vector<std::string>& devices) const {
    std::vector<std::string> nodes;
    for (const auto& device : devices) {
        nodes.push_back("/dev/" + device);
    }
    auto freeOfUsers = [&nodes] {
        for (const auto& node : nodes) {
            int claimed = ::open(node.c_str(), O_RDONLY | O_EXCL | O_NONBLOCK | O_CLOEXEC);
            if (claimed < 0) {
                if (errno == EBUSY) {
                    return false;
                }
                continue;
            }
            ::close(claimed);
        }
        return MountUsers().ofDevices(nodes).empty();
    };
    for (int attempt = 0; attempt < 20 && !freeOfUsers(); ++attempt) {
        Clock::current().sleepFor(seconds(0.1));
    }
}

int MountHelper::eject(const std::string& name) {
    if (!fs::exists(sysfs(name))) {
        return fail(name + " is not a block device");
    }
    std::vector<std::string> devices = devicesOf(name, UnmountScope::WholeDisk);
    if (int status = unmountDevices(devices, UnmountForce::No, true); status != 0) {
        return status;
    }
    std::error_code error;
    std::string disk = fs::canonical(sysfs(name), error).filename().string();
    if (fs::exists(sysfs(name) + "/partition")) {
        disk = fs::canonical(sysfs(name), error).parent_path().filename().string();
    }
    ::sync();
    waitForTransientUsers(devices);
    int status = 0;
    int fd = claimDisk(disk, devices, status);
    if (fd < 0) {
        return status;
    }
    if (disk.rfind("loop", 0) == 0) {
        // Only our exclusive descriptor is open, so the image is detached at once.
        if (::ioctl(fd, LOOP_CLR_FD, 0) != 0) {
            int code = errno;
            ::close(fd);
            return fail("cannot detach " + disk + ": " + std::strerror(code));
        }
        ::close(fd);
        out_ << "Disk " << disk << " ejected\n";
        return 0;
    }
    const bool removable = readLine(sysfs(disk) + "/removable").value_or("0") == "1";
    if (removable && ::ioctl(fd, CDROMEJECT, 0) == 0) {
        ::close(fd);
        out_ << "Disk " << disk << " ejected\n";
        return 0;
    }
    // A USB, FireWire or card-reader disk is taken off its bus, as "safely remove" does,
    // while our exclusive claim keeps anyone else from opening it meanwhile.
    fs::path hardware = fs::canonical(sysfs(disk) + "/device", error);
    const std::string path = hardware.string();
    const bool external = path.find("/usb") != std::string::npos || path.find("/firewire") != std::string::npos ||
                          path.find("/fw") != std::string::npos;
    bool removed = false;
    if (!error && external && fs::exists(hardware / "delete")) {
        std::ofstream remove(hardware / "delete");
        remove << "1\n";
        remove.close();
        removed = static_cast<bool>(remove);
    }
    ::close(fd);
    if (removed) {
        out_ << "Disk " << disk << " ejected\n";
        return 0;
    }
    return fail(disk + " cannot be ejected");
}

int MountHelper::unlock(const std::string& name, const std::string& passphrase) {
    const std::string node = "/dev/" + name;
    VolumeFacts volume = BlkidProbe::probe(node, ProbeTable::Skip);
    if (!volume.type || *volume.type != "crypto_LUKS") {
        return fail(name + " is not a LUKS volume");
    }
    auto cryptsetup = findProgram("cryptsetup");
    if (!cryptsetup) {
        return fail("cryptsetup is not installed");
    }
    if (int status = requireDeviceMapper(name); status != 0) {
        return status;
    }
    const std::string mapping = "luks-" + volume.uuid.value_or(name);
    if (runProgram(*cryptsetup, {"open", "--type", "luks", "--key-file=-", node, mapping}, passphrase) != 0) {
        return fail("cannot unlock " + name);
    }
    out_ << "Volume " << name << " unlocked as /dev/mapper/" << mapping << "\n";
    return 0;
}

int MountHelper::lock(const std::string& name) {
    auto cryptsetup = findProgram("cryptsetup");
    if (!cryptsetup) {
        return fail("cryptsetup is not installed");
    }
    if (int status = requireDeviceMapper(name); status != 0) {
        return status;
    }
    std::error_code error;
    int locked = 0;
    for (fs::directory_iterator it(sysfs(name) + "/holders", error), end; !error && it != end; it.increment(error)) {
        const std::string holder = it->path().filename().string();
        auto uuid = readLine(sysfs(holder) + "/dm/uuid");
        auto mapping = readLine(sysfs(holder) + "/dm/name");
        if (!uuid || !mapping || uuid->rfind("CRYPT-", 0) != 0) {
            continue;
        }
        if (int status = unmountDevices(devicesOf(holder, UnmountScope::Volume), UnmountForce::No, true);
            status != 0) {
            return status;
        }
        if (runProgram(*cryptsetup, {"close", *mapping}) != 0) {
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
