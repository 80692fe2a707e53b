#pragma once

#include <string>

#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// The daemon's service for encrypted volumes on Linux: LUKS2 in-place encryption (with the
// BitLocker application protocol's progress callbacks), LUKS status, and unlocking and
// locking LUKS and BitLocker volumes. Status replies are DMLocalDriveStatus raw values; the
// code answers are 0 when done, otherwise a failure whose message says why.
class DMLuksServerProtocol : public virtual XPCInterface {
public:
    // Layout bits of `luksEncryptionLayoutsWithBsdname`.
    static constexpr std::int64_t detachedHeader = 1;
    static constexpr std::int64_t headerInFront = 2;

    virtual void isLuksDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) = 0;
    virtual void luksDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) = 0;
    virtual void needResumeLuksEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) = 0;
    // The layouts this device can be encrypted with (bits above; 0 none); the message says
    // why a layout is missing.
    virtual void luksEncryptionLayoutsWithBsdname(const std::string& bsdname, XPCCodeReply reply) = 0;
    // Answered when the job ends; progress arrives through the callbacks meanwhile.
    virtual void encryptLuksDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                             bool inFront, XPCCodeReply reply) = 0;
    virtual void resumeLuksEncryptionWithBsdname(const std::string& bsdname, const std::string& password,
                                                 XPCCodeReply reply) = 0;
    // The recovery key of the job running on this device, to the caller that started it.
    virtual void getLuksRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) = 0;
    // The detached header the daemon keeps for this device, base64; empty when none.
    virtual void getLuksHeaderWithBsdname(const std::string& bsdname, XPCStringReply reply) = 0;
    // The device carrying an unlocked volume's contents ("dm-3"); empty when locked.
    virtual void getLuksBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) = 0;
    // LUKS or BitLocker, by what the device carries.
    virtual void unlockDriveWithBsdname(const std::string& bsdname, const std::string& password, bool readOnly,
                                        XPCCodeReply reply) = 0;
    virtual void lockDriveWithBsdname(const std::string& bsdname, XPCCodeReply reply) = 0;
};

}  // namespace harbormind
