#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "drivemodel/DMBitLockerWrapperDelegate.h"
#include "xpc/DMLocalDriveStatus.h"
#include "support/Clock.h"
#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/DMBitLockerServerProtocol.h"
#include "xpc/XPCDuplexObject.h"

namespace harbormind {

// The client of the daemon's BitLocker service. Every question waits for its answer with
// the documented default and a time limit. The wrapper is also the exported object that
// answers the service's progress callbacks.
class DMBitLockerWrapper : public DMBitLockerAppProtocol, public std::enable_shared_from_this<DMBitLockerWrapper> {
public:
    static std::shared_ptr<DMBitLockerWrapper> shared();
    static std::shared_ptr<DMBitLockerWrapper> create();

    // The connection object, made on first use.
    XPCDuplexObject& bitlockerXPCObj();

    bool isBitLockerKextAllowed();
    bool isBitLockerDriveWithBsdname(const std::string& bsdname);
    bool isBitLockerEncryptionSupportedWithBsdname(const std::string& bsdname);
    bool needResumeBitLockerEncryptionWithBsdname(const std::string& bsdname);
    bool lockBitLockerDriveWithBsdname(const std::string& bsdname);
    std::string getBitLockerRecoveryKeyWithBsdname(const std::string& bsdname);
    std::string getBitLockerVolumeGUIDWithBsdname(const std::string& bsdname);
    // The device that carries an unlocked volume's contents; empty when none.
    std::string getBitLockerBSDNameWithBsdname(const std::string& bsdname);
    // 0 when unlocked; -1 when no answer came.
    std::int64_t unlockBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                                 bool readOnly);
    // `invalid` for any answer outside the status values, or none.
    DMLocalDriveStatus bitLockerDriveStatusWithBsdname(const std::string& bsdname);

    // Both wait until the daemon's job ends: an encryption takes as long as the drive needs.
    bool encryptBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password);
    bool resumeEncryptingBitLockerDriveWithBsdname(const std::string& bsdname);
    static constexpr Clock::Duration encryptionLimit = seconds(14 * 24 * 3600);

    // The job that receives progress callbacks; a newer one replaces it.
    std::shared_ptr<DMBitLockerWrapperDelegate> bitLockerWrapperDelegate() const;
    void setBitLockerWrapperDelegate(const std::weak_ptr<DMBitLockerWrapperDelegate>& job);

    // Callbacks from the service. Without a registered encryption job the progress reply
    // is 0 and the job may go on.
    void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error,
                                  XPCIntReply reply) override;
    void continuedWithReply(XPCBoolReply reply) override;

protected:
    DMBitLockerWrapper() = default;

private:
    bool askBool(const std::string& method, const std::string& bsdname,
                 void (DMBitLockerServerProtocol::*call)(const std::string&, XPCBoolReply));
    std::string askText(const std::string& method, const std::string& bsdname,
                        void (DMBitLockerServerProtocol::*call)(const std::string&, XPCStringReply));

    mutable std::mutex mutex_;
    std::weak_ptr<DMBitLockerWrapperDelegate> bitLockerWrapperDelegate_;
    std::unique_ptr<XPCDuplexObject> bitlockerXPCObj_;
};

}  // namespace harbormind
