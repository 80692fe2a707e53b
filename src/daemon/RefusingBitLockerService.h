#pragma once

#include "xpc/DMBitLockerServerProtocol.h"

namespace harbormind {

// A BitLocker service that does nothing: every request gets the answer that means "no" or
// "failed". The base of a backend that implements only some of the requests.
class RefusingBitLockerService : public DMBitLockerServerProtocol {
public:
    void isBitLockerKextAllowedWithReply(XPCBoolReply reply) override { reply(false); }
    void isBitLockerDriveWithBsdname(const std::string&, XPCBoolReply reply) override { reply(false); }
    void isBitLockerEncryptionSupportedWithBsdname(const std::string&, XPCBoolReply reply) override { reply(false); }
    void needResumeBitLockerEncryptionWithBsdname(const std::string&, XPCBoolReply reply) override { reply(false); }
    void lockBitLockerDriveWithBsdname(const std::string&, XPCBoolReply reply) override { reply(false); }
    void resumeEncryptingBitLockerDriveWithBsdname(const std::string&, XPCBoolReply reply) override { reply(false); }
    void getBitLockerRecoveryKeyWithBsdname(const std::string&, XPCStringReply reply) override { reply({}); }
    void getBitLockerVolumeGUIDWithBsdname(const std::string&, XPCStringReply reply) override { reply({}); }
    void getBitLockerBSDNameWithBsdname(const std::string&, XPCStringReply reply) override { reply({}); }
    void encryptBitLockerDriveWithBsdname(const std::string&, const std::string&, XPCBoolReply reply) override {
        reply(false);
    }
    void unlockBitLockerDriveWithBsdname(const std::string&, const std::string&, bool, XPCIntReply reply) override {
        reply(-1);
    }
    // 18 is `invalid`.
    void bitLockerDriveStatusWithBsdname(const std::string&, XPCIntReply reply) override { reply(18); }
};

}  // namespace harbormind
