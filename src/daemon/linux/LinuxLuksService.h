#pragma once

#include <functional>
#include <memory>

#include "daemon/CallerIdentity.h"
#include "daemon/linux/CryptsetupRunner.h"
#include "daemon/linux/EncryptedVolumeAccess.h"
#include "daemon/linux/LuksCommandLines.h"
#include "daemon/linux/LuksHeaderStore.h"
#include "daemon/linux/LuksJobRegistry.h"
#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/DMLuksServerProtocol.h"

namespace harbormind {

// What every call of the encrypted-volume service shares for the daemon's life.
struct LuksServiceShared {
    explicit LuksServiceShared(std::string headerFolder, unsigned iterationMilliseconds = 0,
                               EncryptedVolumeAccess::Paths paths = {});

    LuksHeaderStore headers;
    LuksJobRegistry jobs;
    LuksCommandLines commands;
    std::function<std::shared_ptr<CryptsetupRunner>()> makeRunner;
    EncryptedVolumeAccess::Paths paths;
    EncryptedVolumeAccess volumes;
};

// The encrypted-volume service on this machine, made per call with the caller's identity
// (from the bus) and callbacks. Devices arrive checked: block devices the kernel lists, not
// in use when the call writes over them.
class LinuxLuksService final : public DMLuksServerProtocol {
public:
    LinuxLuksService(std::shared_ptr<LuksServiceShared> shared, std::shared_ptr<DMBitLockerAppProtocol> callbacks,
                     CallerIdentity caller);

    void isLuksDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void luksDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) override;
    void needResumeLuksEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
    void luksEncryptionLayoutsWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void encryptLuksDriveWithBsdname(const std::string& bsdname, const std::string& password, bool inFront,
                                     XPCCodeReply reply) override;
    void resumeLuksEncryptionWithBsdname(const std::string& bsdname, const std::string& password,
                                         XPCCodeReply reply) override;
    void getLuksRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void getLuksHeaderWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void getLuksBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) override;
    void unlockDriveWithBsdname(const std::string& bsdname, const std::string& password, bool readOnly,
                                XPCCodeReply reply) override;
    void lockDriveWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;

private:
    bool isLuks(const std::string& name) const;
    bool keptHeader(const std::string& name) const;
    bool aboutToGoOn(const std::string& name, const std::string& header) const;
    bool needsResume(const std::string& name) const;
    bool keyPending(const std::string& name) const;
    bool unfinished(const std::string& name) const;
    std::string headerOf(const std::string& name) const;
    std::string inFrontRefusal(const std::string& name) const;
    XPCCodeAnswer runJob(const std::string& name, const std::string& password, const std::string& header,
                         bool resume);

    std::shared_ptr<LuksServiceShared> shared_;
    std::shared_ptr<DMBitLockerAppProtocol> callbacks_;
    CallerIdentity caller_;
};

}  // namespace harbormind
