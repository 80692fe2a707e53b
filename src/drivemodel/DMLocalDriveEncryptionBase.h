#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "drivemodel/DMEncryptionFlags.h"
#include "drivemodel/DMLocalDriveEncryptable.h"

namespace harbormind {

class DMLocalDriveManager;

// What every encryption job shares: the drive, the weakly held delegate, the password and
// recovery key, and the four flags with their waiting rules.
class DMLocalDriveEncryptionBase : public DMLocalDriveEncryptable {
public:
    explicit DMLocalDriveEncryptionBase(std::shared_ptr<DMLocalDriveObject> drive);

    std::shared_ptr<DMLocalDriveObject> driveObj() const override { return driveObj_; }
    std::shared_ptr<DMLocalDriveEncryptionDelegate> delegate() const override;
    void setDelegate(const std::weak_ptr<DMLocalDriveEncryptionDelegate>& delegate) override;
    bool isReady() const override { return flags_.isReady(); }
    std::optional<std::string> password() const override;
    void setPassword(const std::optional<std::string>& password) override;
    std::optional<std::string> recoveryKey() const override;
    void setRecoveryKey(const std::optional<std::string>& recoveryKey) override;
    void start() override { flags_.start(); }
    void pause() override { flags_.pause(); }
    void cancel() override { flags_.cancel(); }

    bool hasStarted() const { return flags_.hasStarted(); }
    bool hangup() const { return flags_.hangup(); }
    bool isContinued() const { return flags_.isContinued(); }

protected:
    DMEncryptionFlags& flags() { return flags_; }
    // The manager that owns the drive; none once it is gone.
    std::shared_ptr<DMLocalDriveManager> manager() const;
    // One second after a job's last message, on the main queue: the drive is read again and
    // the manager's delegate told that it changed. Nothing happens when the job is gone.
    void scheduleFinalUpdate();

private:
    std::shared_ptr<DMLocalDriveObject> driveObj_;
    mutable std::mutex mutex_;
    std::weak_ptr<DMLocalDriveEncryptionDelegate> delegate_;
    std::optional<std::string> password_;
    std::optional<std::string> recoveryKey_;
    DMEncryptionFlags flags_;
    // Lets the final update find out whether the job still exists.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace harbormind
