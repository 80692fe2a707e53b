#pragma once

#include <memory>
#include <string>

#include "platform/sim/InProcessService.h"
#include "xpc/DMBitLockerServerProtocol.h"

namespace harbormind {

// The simulated daemon's BitLocker service: locking, unlocking and the status come from the
// daemon's own state, the rest from the scenario; encryption sends the scenario's progress.
class InProcessBitLockerService final : public InProcessService, public DMBitLockerServerProtocol {
public:
    InProcessBitLockerService(std::shared_ptr<InProcessDaemon> daemon, std::string key,
                              std::weak_ptr<XPCInterface> app);

    void isBitLockerKextAllowedWithReply(XPCBoolReply reply) override;
    void isBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void isBitLockerEncryptionSupportedWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void needResumeBitLockerEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void lockBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void resumeEncryptingBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void getBitLockerRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void getBitLockerVolumeGUIDWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void getBitLockerBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void encryptBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                          XPCBoolReply reply) override;
    void unlockBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password, bool readOnly,
                                         XPCIntReply reply) override;
    void bitLockerDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) override;

private:
    std::weak_ptr<XPCInterface> app_;
};

}  // namespace harbormind
