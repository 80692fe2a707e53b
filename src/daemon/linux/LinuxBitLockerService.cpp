#include "daemon/linux/LinuxBitLockerService.h"

#include "platform/linux/disks/BlkidProbe.h"
#include "support/Log.h"
#include "xpc/DMLocalDriveStatus.h"

namespace harbormind {
namespace {

bool isBitLocker(const std::string& name) {
    return BlkidProbe::probe("/dev/" + name, ProbeTable::Skip).type == "BitLocker";
}

}  // namespace

LinuxBitLockerService::LinuxBitLockerService(std::shared_ptr<const EncryptedVolumeAccess> volumes)
    : volumes_(std::move(volumes)) {}

void LinuxBitLockerService::isBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    reply(isBitLocker(bsdname));
}

void LinuxBitLockerService::bitLockerDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) {
    if (!isBitLocker(bsdname)) {
        reply(rawValue(DMLocalDriveStatus::invalid));
        return;
    }
    reply(rawValue(volumes_->openAs(bsdname) ? DMLocalDriveStatus::unlocked : DMLocalDriveStatus::locked));
}

void LinuxBitLockerService::getBitLockerBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    reply(volumes_->openAs(bsdname).value_or(""));
}

void LinuxBitLockerService::unlockBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                                            bool readOnly, XPCIntReply reply) {
    if (!isBitLocker(bsdname)) {
        reply(-1);
        return;
    }
    XPCCodeAnswer answer = volumes_->unlock(bsdname, "bitlk", {}, password, readOnly);
    Log::info("bitlocker: " + answer.message);
    bool known = answer.code == EncryptedVolumeAccess::unlocked || answer.code == EncryptedVolumeAccess::wrongKey ||
                 answer.code == EncryptedVolumeAccess::noDeviceMapper;
    reply(known ? answer.code : -1);
}

void LinuxBitLockerService::lockBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    if (!isBitLocker(bsdname)) {
        reply(false);
        return;
    }
    XPCCodeAnswer answer = volumes_->lock(bsdname);
    Log::info("bitlocker: " + answer.message);
    reply(answer.code == EncryptedVolumeAccess::unlocked);
}

}  // namespace harbormind
