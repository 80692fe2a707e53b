#include "daemon/linux/LinuxDiskToolsService.h"

#include <pwd.h>

#include <sstream>
#include <vector>

#include "daemon/linux/DiskEraser.h"
#include "daemon/linux/DriveHealthReader.h"
#include "platform/linux/mounting/MountHelper.h"
#include "xpc/DMDiskToolsArguments.h"

namespace harbormind {
namespace {

struct Account {
    std::uint32_t gid = 0;
    std::string home;
};

Account accountOf(std::uint32_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return {uid, {}};
    }
    return {found->pw_gid, found->pw_dir ? found->pw_dir : ""};
}

}  // namespace

LinuxDiskToolsService::LinuxDiskToolsService(DriveMountCaller caller, LoopOwner loopOwner,
                                             std::shared_ptr<DiskToolRunner> runner)
    : caller_(std::move(caller)),
      loopOwner_(std::move(loopOwner)),
      runner_(std::move(runner)),
      devices_("/sys", "/proc", accountOf(caller_.uid).home) {}

std::string LinuxDiskToolsService::refusal(const std::string& device) const {
    const std::string disk = devices_.diskOf(device);
    DaemonAction needed = DaemonAction::eraseRemovable;
    std::string why = "erasing removable drives is not permitted";
    if (devices_.isLoop(disk)) {
        if (!loopOwner_ || loopOwner_(disk) != caller_.uid) {
            needed = DaemonAction::eraseSystem;
            why = disk + " is a disk image you did not attach: changing it needs an administrator";
        }
    } else {
        std::ostringstream out;
        std::ostringstream err;
        MountHelper helper(*MountOwner::ofUid(0), "/media", out, err);
        if (helper.isInternal(disk)) {
            needed = DaemonAction::eraseSystem;
            why = disk + " is part of this computer: erasing it needs an administrator";
        }
    }
    return caller_.may(needed) ? std::string() : why;
}

std::optional<XPCCodeAnswer> LinuxDiskToolsService::checkDevice(const std::string& device) const {
    if (devices_.isVirtual(device)) {
        return XPCCodeAnswer{invalid, device + " is a virtual device made by the system and is not erased here"};
    }
    if (std::string why = refusal(device); !why.empty()) {
        return XPCCodeAnswer{notPermitted, why};
    }
    return std::nullopt;
}

void LinuxDiskToolsService::driveHealthWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    reply(DriveHealthReader(*runner_, devices_).health(bsdname));
}

void LinuxDiskToolsService::startSelfTestWithBsdname(const std::string& bsdname, bool extended, XPCCodeReply reply) {
    reply(DriveHealthReader(*runner_, devices_).startSelfTest(bsdname, extended));
}

void LinuxDiskToolsService::partitionTableWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    reply(DiskEraser(*runner_, devices_).partitionTable(bsdname));
}

void LinuxDiskToolsService::eraseWithBsdname(const std::string& bsdname, const std::string& fileSystem,
                                             const std::string& label, const std::string& password,
                                             XPCCodeReply reply) {
    XPCCodeAnswer refused;
    auto volume = DMDiskToolsArguments::newVolume(fileSystem, label, refused);
    if (!volume) {
        reply(refused);
        return;
    }
    if (auto problem = checkDevice(bsdname)) {
        reply(*problem);
        return;
    }
    reply(DiskEraser(*runner_, devices_).erase(bsdname, volume->fileSystem, volume->label, password,
                                               {caller_.uid, accountOf(caller_.uid).gid}));
}

void LinuxDiskToolsService::createPartitionWithBsdname(const std::string& bsdname, std::int64_t startBytes,
                                                       std::int64_t sizeBytes, const std::string& fileSystem,
                                                       const std::string& label, const std::string& password,
                                                       XPCCodeReply reply) {
    XPCCodeAnswer refused;
    auto volume = DMDiskToolsArguments::newVolume(fileSystem, label, refused);
    if (!volume) {
        reply(refused);
        return;
    }
    if (auto problem = DMDiskToolsArguments::spaceProblem(startBytes, sizeBytes)) {
        reply(*problem);
        return;
    }
    if (auto problem = checkDevice(bsdname)) {
        reply(*problem);
        return;
    }
    reply(DiskEraser(*runner_, devices_).createPartition(bsdname, startBytes, sizeBytes, volume->fileSystem,
                                                         volume->label, password,
                                                         {caller_.uid, accountOf(caller_.uid).gid}));
}

void LinuxDiskToolsService::deletePartitionWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    if (std::string why = refusal(bsdname); !why.empty()) {
        reply({notPermitted, why});
        return;
    }
    reply(DiskEraser(*runner_, devices_).deletePartition(bsdname));
}

}  // namespace harbormind
