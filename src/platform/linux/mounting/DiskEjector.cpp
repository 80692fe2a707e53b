#include "platform/linux/mounting/DiskEjector.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/linux/mounting/BlockDeviceTree.h"
#include "platform/linux/mounting/MountUsers.h"
#include "support/Clock.h"

namespace harbormind {
namespace fs = std::filesystem;

namespace {

std::vector<std::string> nodesOf(const std::vector<std::string>& devices) {
    std::vector<std::string> nodes;
    for (const auto& device : devices) {
        nodes.push_back("/dev/" + device);
    }
    return nodes;
}

}  // namespace

DiskEjector::Outcome DiskEjector::eject(const std::string& disk, const std::vector<std::string>& devices) {
    ::sync();
    waitForTransientUsers(devices);
    Outcome refusal;
    int fd = claim(disk, devices, refusal);
    if (fd < 0) {
        return refusal;
    }
    return release(disk, fd);
}

int DiskEjector::claim(const std::string& disk, const std::vector<std::string>& devices, Outcome& refusal) {
    // A device another program has open (a shell writing to it, a lazily detached file
    // system, a mapping on top) keeps the disk: taking it away would lose that data.
    std::string users = MountUsers().ofDevices(nodesOf(devices));
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
        refusal.busy = true;
        refusal.problem = "cannot eject " + disk + ": " +
                          (users.empty() ? heldDevice +
                                               " is still in use by the kernel (a file system detached "
                                               "while in use, a mount or a mapping)"
                                         : MountUsers::inUseBy(users));
        return -1;
    }
    if (fd < 0) {
        refusal.problem = "cannot open " + disk + " exclusively: " + std::strerror(errno);
    }
    return fd;
}

// Programs that probe a new or changed disk (blkid, udev rules, another drive list) hold its
// devices open for a moment; an eject right then would report the disk busy. Wait up to two
// seconds for such short opens to end, whether they hold a device exclusively or only read
// it; a real user of the disk still makes the eject fail.
void DiskEjector::waitForTransientUsers(const std::vector<std::string>& devices) {
    const std::vector<std::string> nodes = nodesOf(devices);
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

DiskEjector::Outcome DiskEjector::release(const std::string& disk, int fd) {
    Outcome outcome;
    if (disk.rfind("loop", 0) == 0) {
        // Only our exclusive descriptor is open, so the image is detached at once.
        if (::ioctl(fd, LOOP_CLR_FD, 0) != 0) {
            outcome.problem = "cannot detach " + disk + ": " + std::strerror(errno);
        } else {
            outcome.ejected = true;
        }
        ::close(fd);
        return outcome;
    }
    if (BlockDeviceTree::isRemovable(disk) && ::ioctl(fd, CDROMEJECT, 0) == 0) {
        ::close(fd);
        outcome.ejected = true;
        return outcome;
    }
    // A USB, FireWire or card-reader disk is taken off its bus while our exclusive claim keeps
    // anyone else from opening it meanwhile.
    std::error_code error;
    fs::path hardware = fs::canonical(BlockDeviceTree::folderOf(disk) + "/device", error);
    const std::string path = hardware.string();
    const bool external = path.find("/usb") != std::string::npos ||
                          path.find("/firewire") != std::string::npos ||
                          path.find("/fw") != std::string::npos;
    if (!error && external && fs::exists(hardware / "delete")) {
        std::ofstream remove(hardware / "delete");
        remove << "1\n";
        remove.close();
        outcome.ejected = static_cast<bool>(remove);
    }
    ::close(fd);
    if (!outcome.ejected) {
        outcome.problem = disk + " cannot be ejected";
    }
    return outcome;
}

}  // namespace harbormind
