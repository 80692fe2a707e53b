#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "drivemodel/DMBitLockerWrapperDelegate.h"
#include "drivemodel/DMLocalDriveEncryptionBase.h"
#include "drivemodel/DMProgressMessage.h"

namespace harbormind {

class DMBitLockerWrapper;

// A BitLocker encryption carried out by the helper daemon. The daemon's progress callbacks
// reach it through the wrapper it registered with; it holds the daemon's callback thread
// while the user decides (the wizard's pages, a pause).
class DMLocalDriveBitLockerEncryption : public DMLocalDriveEncryptionBase,
                                        public DMBitLockerWrapperDelegate,
                                        public std::enable_shared_from_this<DMLocalDriveBitLockerEncryption> {
public:
    // The encryption job for a drive: one that resumes an interrupted encryption, or a new
    // one where the daemon can encrypt the drive; none otherwise.
    static std::shared_ptr<DMLocalDriveBitLockerEncryption> encryptionObject(std::shared_ptr<DMBitLockerWrapper> wrapper,
                                                                             std::shared_ptr<DMLocalDriveObject> drive);
    // Makes the job and registers it as the wrapper's receiver of progress callbacks.
    static std::shared_ptr<DMLocalDriveBitLockerEncryption> create(std::shared_ptr<DMBitLockerWrapper> wrapper,
                                                                   std::shared_ptr<DMLocalDriveObject> drive);

    // Asks the daemon each time.
    bool needResume() override;
    // Resumes an interrupted encryption, or starts one with the password (none: nothing).
    void prepare() override;

    const std::shared_ptr<DMBitLockerWrapper>& bitlockerWrapper() const { return bitlockerWrapper_; }
    std::optional<std::string> guid() const;

    // One progress message from the daemon; the answer goes back to it (1 after a cancel).
    std::uint64_t progressReceived(const DMProgressMessage& message) override;
    bool isContinued() const override { return DMLocalDriveEncryptionBase::isContinued(); }

private:
    DMLocalDriveBitLockerEncryption(std::shared_ptr<DMBitLockerWrapper> wrapper,
                                    std::shared_ptr<DMLocalDriveObject> drive);
    void run();

    std::shared_ptr<DMBitLockerWrapper> bitlockerWrapper_;
    mutable std::mutex guidMutex_;
    std::optional<std::string> guid_;
};

}  // namespace harbormind
