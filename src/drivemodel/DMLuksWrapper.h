#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "xpc/DMLocalDriveStatus.h"
#include "support/Clock.h"
#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/DMLuksServerProtocol.h"
#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCDuplexObject.h"

namespace harbormind {

// The client of the daemon's encrypted-volume service (LUKS2 encryption, unlocking and
// locking LUKS and BitLocker volumes). Every question waits for its answer with a default
// and a time limit. The wrapper is the exported object of the service's progress
// callbacks, which it hands to the receiver registered for them (one at a time).
class DMLuksWrapper : public DMBitLockerAppProtocol, public std::enable_shared_from_this<DMLuksWrapper> {
public:
    // An encryption is answered when it ends: hours for a large drive.
    static constexpr Clock::Duration jobLimit = seconds(14 * 24 * 3600.0);
    // The code of an answer that never came (the daemon is gone or unreachable).
    static constexpr std::int64_t noAnswerCode = -1;

    static std::shared_ptr<DMLuksWrapper> create();

    XPCDuplexObject& luksXPCObj();
    void setProgressReceiver(const std::weak_ptr<DMBitLockerAppProtocol>& receiver);

    bool isLuksDrive(const std::string& bsdname);
    DMLocalDriveStatus status(const std::string& bsdname);
    bool needResume(const std::string& bsdname);
    // Layout bits of DMLuksServerProtocol; the message says why one is missing.
    XPCCodeAnswer layouts(const std::string& bsdname);
    XPCCodeAnswer encrypt(const std::string& bsdname, const std::string& password, bool inFront);
    XPCCodeAnswer resume(const std::string& bsdname, const std::string& password);
    std::string recoveryKey(const std::string& bsdname);
    // The detached header's bytes; empty when the volume has none.
    std::string detachedHeader(const std::string& bsdname);
    std::string unlockedDevice(const std::string& bsdname);
    XPCCodeAnswer unlock(const std::string& bsdname, const std::string& password, bool readOnly);
    XPCCodeAnswer lock(const std::string& bsdname);

    void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error,
                                  XPCIntReply reply) override;
    void continuedWithReply(XPCBoolReply reply) override;

protected:
    DMLuksWrapper() = default;

private:
    XPCCodeAnswer askCode(const std::string& method, Clock::Duration limit,
                          const std::function<void(DMLuksServerProtocol&, XPCCodeReply)>& call);
    std::string askText(const std::string& method, const std::string& bsdname,
                        void (DMLuksServerProtocol::*call)(const std::string&, XPCStringReply));

    std::mutex mutex_;
    std::unique_ptr<XPCDuplexObject> luksXPCObj_;
    std::weak_ptr<DMBitLockerAppProtocol> receiver_;
};

}  // namespace harbormind
