#pragma once

#include <memory>
#include <string>

#include "platform/sim/InProcessService.h"
#include "xpc/DMLuksServerProtocol.h"

namespace harbormind {

// The simulated daemon's LUKS service, answered from the scenario; encryption sends the
// scenario's progress and ends as stopped when the caller cancels it.
class InProcessLuksService final : public InProcessService, public DMLuksServerProtocol {
public:
    InProcessLuksService(std::shared_ptr<InProcessDaemon> daemon, std::string key, std::weak_ptr<XPCInterface> app);

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
    // The answer to an encryption request once its progress was sent.
    XPCCodeAnswer encryptionEnd(const std::string& method, const std::string& bsdname) const;

    std::weak_ptr<XPCInterface> app_;
};

}  // namespace harbormind
