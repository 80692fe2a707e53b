#pragma once

#include <string>

#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// The daemon's BitLocker service. Status replies are DMLocalDriveStatus raw values.
class DMBitLockerServerProtocol : public virtual XPCInterface {
public:
    virtual void isBitLockerKextAllowedWithReply(XPCBoolReply reply) = 0;
    virtual void isBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) = 0;
    virtual void isBitLockerEncryptionSupportedWithBsdname(const std::string& bsdname, XPCBoolReply reply) = 0;
    virtual void needResumeBitLockerEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) = 0;
    virtual void lockBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) = 0;
    virtual void resumeEncryptingBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) = 0;
    virtual void getBitLockerRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) = 0;
    virtual void getBitLockerVolumeGUIDWithBsdname(const std::string& bsdname, XPCStringReply reply) = 0;
    virtual void getBitLockerBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) = 0;
    virtual void encryptBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                                  XPCBoolReply reply) = 0;
    virtual void unlockBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                                 bool readOnly, XPCIntReply reply) = 0;
    virtual void bitLockerDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) = 0;
};

}  // namespace harbormind
