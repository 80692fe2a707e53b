#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "drivemodel/DMLocalDriveEncryptable.h"
#include "drivemodel/DMLuksWrapper.h"
#include "drivemodel/DMProgressMessage.h"
#include "xpc/DMBitLockerAppProtocol.h"

namespace harbormind {

// Encrypting a Linux drive in place with LUKS2 through the daemon, or resuming such an
// encryption. The job waits, like every encryption job, inside the daemon's progress
// callback: after `initialized` until start() (or cancel()), and while paused; the daemon
// takes a held callback as a pause and stops cryptsetup where it can resume. Every job, a
// resumed one too, makes its recovery key (a further key slot) and has it at `initialized`:
// the go-ahead is given only once the user has it (without a key the job answers no). The
// delegate's last message is `finished` with the daemon's own words on the outcome, once the
// daemon has answered. A volume encrypted with a detached header can only be opened with
// that header, which `detachedHeader()` hands over after the job.
class DMLocalDriveLuksEncryption final : public DMLocalDriveEncryptable,
                                         public DMBitLockerAppProtocol,
                                         public std::enable_shared_from_this<DMLocalDriveLuksEncryption> {
public:
    // Registers itself with the wrapper for progress; `inFront` chooses the header's place.
    static std::shared_ptr<DMLocalDriveLuksEncryption> create(std::shared_ptr<DMLuksWrapper> wrapper,
                                                              std::shared_ptr<DMLocalDriveObject> drive,
                                                              bool inFront);
    // The job for a drive as the daemon sees it: one that resumes an interrupted encryption,
    // or a new one with the header in front where the daemon offers that (else detached);
    // none when the daemon offers no layout (encrypted already, or no daemon).
    static std::shared_ptr<DMLocalDriveLuksEncryption> forDrive(std::shared_ptr<DMLuksWrapper> wrapper,
                                                                std::shared_ptr<DMLocalDriveObject> drive);

    std::shared_ptr<DMLocalDriveObject> driveObj() const override { return driveObj_; }
    std::shared_ptr<DMLocalDriveEncryptionDelegate> delegate() const override;
    void setDelegate(const std::weak_ptr<DMLocalDriveEncryptionDelegate>& delegate) override;
    bool isReady() const override { return isReady_; }
    bool needResume() override;
    bool resumeNeedsPassword() const override { return true; }
    bool resumeMakesRecoveryKey() const override { return true; }
    std::optional<std::string> password() const override;
    void setPassword(const std::optional<std::string>& password) override;
    std::optional<std::string> recoveryKey() const override;
    void setRecoveryKey(const std::optional<std::string>& recoveryKey) override;
    // Encrypts, or resumes an interrupted encryption (which needs the password too).
    void prepare() override;
    void start() override;
    void pause() override;
    void cancel() override;

    // The daemon's last word on the job ("loop3 is encrypted with LUKS2; ...").
    XPCCodeAnswer outcome() const;
    // The detached header's bytes (empty with the header in front).
    std::string detachedHeader() override;

    void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error,
                                  XPCIntReply reply) override;
    void continuedWithReply(XPCBoolReply reply) override;

private:
    DMLocalDriveLuksEncryption(std::shared_ptr<DMLuksWrapper> wrapper, std::shared_ptr<DMLocalDriveObject> drive,
                               bool inFront);
    std::int64_t waitForTheUser(std::uint64_t delegateAnswer);
    std::int64_t goAhead(const DMProgressMessage& message);
    void run();
    void finish(const XPCCodeAnswer& answer);

    std::shared_ptr<DMLuksWrapper> wrapper_;
    std::shared_ptr<DMLocalDriveObject> driveObj_;
    bool inFront_;
    std::atomic<bool> hasStarted_{false};
    std::atomic<bool> hangup_{false};
    std::atomic<bool> isContinued_{true};
    std::atomic<bool> isReady_{false};
    mutable std::mutex mutex_;
    std::weak_ptr<DMLocalDriveEncryptionDelegate> delegate_;
    std::optional<std::string> password_;
    std::optional<std::string> recoveryKey_;
    XPCCodeAnswer outcome_;
    // The daemon's own `finished` report, kept for the last message.
    std::optional<DMProgressMessage> finished_;
    std::uint64_t total_ = 0;
    bool keyMissing_ = false;
};

}  // namespace harbormind
