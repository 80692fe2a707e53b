#pragma once

#include "xpc/DMLuksServerProtocol.h"

namespace harbormind {

// An encrypted-volume service that does nothing: every request gets the answer meaning "no"
// or "failed". The stand-in on platforms without one.
class RefusingLuksService final : public DMLuksServerProtocol {
public:
    void isLuksDriveWithBsdname(const std::string&, XPCBoolReply reply) override { reply(false); }
    // 18 is `invalid`.
    void luksDriveStatusWithBsdname(const std::string&, XPCIntReply reply) override { reply(18); }
    void needResumeLuksEncryptionWithBsdname(const std::string&, XPCBoolReply reply) override { reply(false); }
    void luksEncryptionLayoutsWithBsdname(const std::string&, XPCCodeReply reply) override {
        reply({0, notHere()});
    }
    void encryptLuksDriveWithBsdname(const std::string&, const std::string&, bool, XPCCodeReply reply) override {
        reply({-1, notHere()});
    }
    void resumeLuksEncryptionWithBsdname(const std::string&, const std::string&, XPCCodeReply reply) override {
        reply({-1, notHere()});
    }
    void getLuksRecoveryKeyWithBsdname(const std::string&, XPCStringReply reply) override { reply({}); }
    void getLuksHeaderWithBsdname(const std::string&, XPCStringReply reply) override { reply({}); }
    void getLuksBSDNameWithBsdname(const std::string&, XPCStringReply reply) override { reply({}); }
    void unlockDriveWithBsdname(const std::string&, const std::string&, bool, XPCCodeReply reply) override {
        reply({-1, notHere()});
    }
    void lockDriveWithBsdname(const std::string&, XPCCodeReply reply) override { reply({-1, notHere()}); }

private:
    static std::string notHere() { return "LUKS volumes are not handled on this platform"; }
};

}  // namespace harbormind
