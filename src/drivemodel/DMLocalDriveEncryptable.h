#pragma once

#include <memory>
#include <optional>
#include <string>

#include "drivemodel/DMLocalDriveEncryptionDelegate.h"

namespace harbormind {

class DMLocalDriveObject;

// One drive encryption job, whatever its kind. The encryption windows talk only to this
// interface and to the delegate, so one set of windows serves every kind.
class DMLocalDriveEncryptable {
public:
    virtual ~DMLocalDriveEncryptable() = default;

    // The drive being encrypted, fixed at construction.
    virtual std::shared_ptr<DMLocalDriveObject> driveObj() const = 0;

    virtual std::shared_ptr<DMLocalDriveEncryptionDelegate> delegate() const = 0;
    // Held weakly: the job never keeps its window alive.
    virtual void setDelegate(const std::weak_ptr<DMLocalDriveEncryptionDelegate>& delegate) = 0;

    // True once the job has been set up and waits for the go-ahead.
    virtual bool isReady() const = 0;
    // True when an interrupted encryption of this drive must be resumed instead of restarted.
    virtual bool needResume() = 0;
    // True when resuming needs the drive's password again (the key that opens its volume).
    virtual bool resumeNeedsPassword() const { return false; }
    // True when a resumed job makes a new recovery key, which the user must have before the
    // go-ahead (so a resume goes through the wizard's recovery-key page too).
    virtual bool resumeMakesRecoveryKey() const { return false; }
    // The bytes of a header kept apart from the drive, without which the encrypted drive
    // cannot be opened; empty when the job has none. Known once the job has been set up.
    virtual std::string detachedHeader() { return {}; }

    virtual std::optional<std::string> password() const = 0;
    virtual void setPassword(const std::optional<std::string>& password) = 0;
    virtual std::optional<std::string> recoveryKey() const = 0;
    virtual void setRecoveryKey(const std::optional<std::string>& recoveryKey) = 0;

    // Launches the job in the background and returns at once.
    virtual void prepare() = 0;
    // The go-ahead, and the way out of a pause.
    virtual void start() = 0;
    virtual void pause() = 0;
    // Final: a cancelled job never continues.
    virtual void cancel() = 0;
};

}  // namespace harbormind
