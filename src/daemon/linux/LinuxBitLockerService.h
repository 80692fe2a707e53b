#pragma once

#include <memory>

#include "daemon/RefusingBitLockerService.h"
#include "daemon/linux/EncryptedVolumeAccess.h"

namespace harbormind {

// The BitLocker service on Linux. A BitLocker volume is recognised by its signature
// (libblkid), unlocked with `cryptsetup open --type bitlk` and locked with `cryptsetup
// close`; its status is whether its decrypted device exists. Encrypting with BitLocker is
// not available on Linux (the encryption questions answer no).
class LinuxBitLockerService final : public RefusingBitLockerService {
public:
    explicit LinuxBitLockerService(std::shared_ptr<const EncryptedVolumeAccess> volumes);

    void isBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void bitLockerDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) override;
    void getBitLockerBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    // 0 unlocked, 2 wrong password or recovery key, 19 no device-mapper here, -1 otherwise;
    // the reason goes to the log.
    void unlockBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password, bool readOnly,
                                         XPCIntReply reply) override;
    void lockBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;

private:
    std::shared_ptr<const EncryptedVolumeAccess> volumes_;
};

}  // namespace harbormind
