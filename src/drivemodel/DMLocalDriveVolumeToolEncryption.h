#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "drivemodel/DMLocalDriveEncryptionBase.h"
#include "drivemodel/DMProgressMessage.h"

namespace harbormind {

// An encryption that the platform's volume tool carries out by itself (APFS, CoreStorage).
// The job reports fixed steps (0, 10, 20, 100 of 100): it sets itself up, waits for the
// go-ahead, mounts the volume and checks that it may write there, then runs the tool once;
// the real work happens inside that one run. Before the tool starts, a cancel, a closed
// window or a delegate answering non-zero ends the job; once the tool runs it is not
// interrupted.
class DMLocalDriveVolumeToolEncryption : public DMLocalDriveEncryptionBase,
                                         public std::enable_shared_from_this<DMLocalDriveVolumeToolEncryption> {
public:
    // Checks, one second apart, for the volume to be mounted before the tool runs.
    static constexpr int mountChecks = 11;

    using DMLocalDriveEncryptionBase::DMLocalDriveEncryptionBase;

    bool needResume() override { return false; }
    void prepare() override;

protected:
    // Runs the tool and sends the final message.
    virtual void encrypt(const std::string& bsdName, const std::string& password) = 0;
    // Hands a message (current of 100) to the delegate; false when the job must end.
    bool send(DMProgressStatus status, std::uint64_t current, DMProgressError error = DMProgressError::noError);
    // The last message, then the drive is read again a second later.
    void finish(DMProgressError error);

private:
    void run();
};

}  // namespace harbormind
