#include "daemon/linux/LinuxDiskToolsService.h"

#include <pwd.h>

#include <cstring>
#include <sstream>
#include <vector>

#include "daemon/linux/DiskEraser.h"
#include "daemon/linux/DriveHealthReader.h"
#include "engines/clone/SparseImageFile.h"
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
                                             std::shared_ptr<DiskToolRunner> runner,
                                             std::shared_ptr<DiskImageJobs> imageJobs)
    : caller_(std::move(caller)),
      loopOwner_(std::move(loopOwner)),
      runner_(std::move(runner)),
      imageJobs_(std::move(imageJobs)),
      devices_("/sys", "/proc", accountOf(caller_.uid).home) {}

std::string LinuxDiskToolsService::refusal(const std::string& device, DiskWrite write) const {
    const bool restoring = write == DiskWrite::restore;
    const std::string disk = devices_.diskOf(device);
    DaemonAction needed = restoring ? DaemonAction::restoreRemovable : DaemonAction::eraseRemovable;
    std::string why = restoring ? "restoring disk images onto removable drives is not permitted"
                                : "erasing removable drives is not permitted";
    const DaemonAction system = restoring ? DaemonAction::restoreSystem : DaemonAction::eraseSystem;
    if (devices_.isLoop(disk)) {
        if (!loopOwner_ || loopOwner_(disk) != caller_.uid) {
            needed = system;
            why = disk + " is a disk image you did not attach: changing it needs an administrator";
        }
    } else {
        std::ostringstream out;
        std::ostringstream err;
        MountHelper helper(*MountOwner::ofUid(0), "/media", out, err);
        if (helper.isInternal(disk)) {
            needed = system;
            why = disk + " is part of this computer: " +
                  (restoring ? "restoring an image onto it" : "erasing it") + " needs an administrator";
        }
    }
    return caller_.may(needed) ? std::string() : why;
}

// A disk image the caller attached holds what they could read already: copying it out takes
// no more than the right that let them attach it. Any other disk holds everybody's files.
std::string LinuxDiskToolsService::imageRefusal(const std::string& device) const {
    const std::string disk = devices_.diskOf(device);
    if (devices_.isLoop(disk) && loopOwner_ && loopOwner_(disk) == caller_.uid) {
        return caller_.may(DaemonAction::attachImage) ? std::string() : "using disk images is not permitted";
    }
    return caller_.may(DaemonAction::imageCreate)
               ? std::string()
               : "reading a whole disk or volume into an image needs an administrator";
}

std::optional<XPCCodeAnswer> LinuxDiskToolsService::checkDevice(const std::string& device, DiskWrite write) const {
    if (devices_.isVirtual(device)) {
        return XPCCodeAnswer{invalid, device + " is a virtual device made by the system and is not erased here"};
    }
    if (std::string why = refusal(device, write); !why.empty()) {
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

std::unique_ptr<clone::ImageFileSource> LinuxDiskToolsService::restorable(const std::string& device, int imageFd,
                                                                          XPCCodeAnswer& refusal) const {
    std::string problem;
    auto image = clone::ImageFileSource::open(imageFd, problem);
    if (!image) {
        refusal = {invalid, problem};
        return nullptr;
    }
    if (devices_.isVirtual(device)) {
        refusal = {invalid, device + " is a virtual device made by the system and is not written here"};
        return nullptr;
    }
    // What unmounting cannot change comes first, so that the user is not asked in vain.
    const auto deviceBytes = static_cast<std::uint64_t>(devices_.sizeBytes(device));
    if (deviceBytes < image->size()) {
        refusal = {invalid, device + " (" + std::to_string(deviceBytes) + " bytes) is smaller than the disk in the image (" +
                                std::to_string(image->size()) + " bytes)"};
        return nullptr;
    }
    if (std::string why = devices_.whyInUse(device); !why.empty()) {
        refusal = {busy, why};
        return nullptr;
    }
    return image;
}

void LinuxDiskToolsService::checkImageRestoreWithBsdname(const std::string& bsdname, int imageFd,
                                                         XPCCodeReply reply) {
    XPCCodeAnswer refused;
    auto image = restorable(bsdname, imageFd, refused);
    if (!image) {
        reply(refused);
        return;
    }
    reply({done, "{\"imageBytes\":" + std::to_string(image->size()) +
                     ",\"deviceBytes\":" + std::to_string(devices_.sizeBytes(bsdname)) + "}"});
}

void LinuxDiskToolsService::createDiskImageWithBsdname(const std::string& bsdname, int imageFd, bool compress,
                                                       XPCCodeReply reply) {
    if (std::string problem = clone::SparseImageFile::unsuitable(imageFd); !problem.empty()) {
        reply({invalid, problem});
        return;
    }
    if (devices_.isVirtual(bsdname)) {
        reply({invalid, bsdname + " is a virtual device made by the system and is not read here"});
        return;
    }
    if (std::string why = devices_.whyInUse(bsdname); !why.empty()) {
        reply({busy, why + imageInUseNote});
        return;
    }
    if (imageJobs_->running(caller_.uid)) {
        reply({busy, "a disk image of yours is being made or restored; wait for it or stop it"});
        return;
    }
    if (std::string why = imageRefusal(bsdname); !why.empty()) {
        reply({notPermitted, why});
        return;
    }
    int error = 0;
    auto source = clone::BlockDevice::open("/dev/" + bsdname, clone::BlockDevice::Access::read,
                                           clone::BlockDevice::Caching::direct, error);
    if (!source) {
        reply({failed, bsdname + " cannot be read: " + std::strerror(error)});
        return;
    }
    DaemonFileDescriptor image{sdbus::UnixFd(imageFd)};
    const bool started = imageJobs_->start(caller_.uid, [&] {
        return DiskImageJob::create(bsdname, std::move(source), image, compress, clone::CloneOptions{});
    });
    reply(started ? XPCCodeAnswer{done, "started"} : XPCCodeAnswer{busy, "a disk image of yours is being made"});
}

void LinuxDiskToolsService::restoreDiskImageWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) {
    // The job reads the image after this call has ended: through a descriptor of its own.
    DaemonFileDescriptor file{sdbus::UnixFd(imageFd)};
    XPCCodeAnswer refused;
    auto image = restorable(bsdname, file.get(), refused);
    if (!image) {
        reply(refused);
        return;
    }
    if (imageJobs_->running(caller_.uid)) {
        reply({busy, "a disk image of yours is being made or restored; wait for it or stop it"});
        return;
    }
    if (auto problem = checkDevice(bsdname, DiskWrite::restore)) {
        reply(*problem);
        return;
    }
    int error = 0;
    // Held exclusively: nothing mounts the device while the image is written over it.
    auto destination = clone::BlockDevice::open("/dev/" + bsdname, clone::BlockDevice::Access::writeExclusive,
                                                clone::BlockDevice::Caching::direct, error);
    if (!destination || destination->readOnly()) {
        reply({destination ? failed : busy,
               bsdname + (destination ? " is read-only" : " cannot be opened for writing: " +
                                                              std::string(std::strerror(error)))});
        return;
    }
    const bool started = imageJobs_->start(caller_.uid, [&] {
        return DiskImageJob::restore(bsdname, std::move(image), file, std::move(destination), clone::CloneOptions{});
    });
    reply(started ? XPCCodeAnswer{done, "started"} : XPCCodeAnswer{busy, "a disk image of yours is being restored"});
}

void LinuxDiskToolsService::diskImageStatusWithReply(XPCCodeReply reply) {
    reply({done, imageJobs_->status(caller_.uid).json()});
}

void LinuxDiskToolsService::stopDiskImageWithReply(XPCCodeReply reply) {
    imageJobs_->stop(caller_.uid);
    reply({done, "stopping"});
}

}  // namespace harbormind
