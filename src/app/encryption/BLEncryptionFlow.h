#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace harbormind {

class BLBitLockerProgressWndController;
class BLBitLockerWndController;
class BLBitlockerUnlockWndController;
class BLRecoveryKeyOutput;
class BLResumePasswordWndController;
class DMAlertPresenter;
class DMDriveObjectProtocol;
class DMDriveOperations;
class DMLocalDriveEncryptable;

// The dispatcher's unlock and encrypt actions: the unlock window; the "Drive encryption"
// alert (or, before anything is touched, why the drive cannot be encrypted), then the
// wizard, or for an interrupted encryption the progress window straight away (after asking
// for the password when resuming needs it; a resume that makes a new recovery key shows it
// in the wizard first). Each window replaces an open one of its kind. Works with any kind
// of job.
class BLEncryptionFlow : public std::enable_shared_from_this<BLEncryptionFlow> {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;

    BLEncryptionFlow(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter);
    ~BLEncryptionFlow();

    void unlock(const Drive& drive, QWidget* window);
    // What the unlock windows call once their drive is unlocked (opening it, as the settings ask).
    void setUnlockedHandler(std::function<void(const Drive& drive)> handler) { unlockedHandler_ = std::move(handler); }
    void encrypt(const Drive& drive, QWidget* window);
    // Saves the detached header the daemon keeps for an encrypted drive where the user picks,
    // checked after writing, and says how that went.
    void exportHeader(const Drive& drive, QWidget* window);
    // Where the wizard saves and prints recovery keys (the system's dialogs unless set).
    void setRecoveryKeyOutput(std::shared_ptr<BLRecoveryKeyOutput> output) { output_ = std::move(output); }

    // The open windows; null when none is open.
    BLBitLockerWndController* bitlockerWndController() const;
    BLBitLockerProgressWndController* bitlockerEncryptionProgressWndController() const;
    BLBitlockerUnlockWndController* bitlockerUnlockWndController() const;
    BLResumePasswordWndController* resumePasswordWndController() const;

private:
    void confirmed(const Drive& drive, const std::string& name, QWidget* window);
    void openJob(const std::shared_ptr<DMLocalDriveEncryptable>& job, bool resume, const std::string& name,
                 QWidget* window);
    // An interrupted job whose resume needs the password asks for it first; cancelling
    // leaves the job untouched.
    void askResumePassword(const std::shared_ptr<DMLocalDriveEncryptable>& job, const std::string& name,
                           QWidget* window);
    void resumeJob(const std::shared_ptr<DMLocalDriveEncryptable>& job, const std::string& name, QWidget* window);
    void openWizard(const std::shared_ptr<DMLocalDriveEncryptable>& job, const std::string& name, QWidget* window,
                    bool resumed = false);
    void saveExportedHeader(const std::string& header, const std::string& name, QWidget* window);
    void openProgress(const std::shared_ptr<DMLocalDriveEncryptable>& job, const std::string& name, QWidget* window,
                      std::optional<std::string> keyPath = std::nullopt);

    std::shared_ptr<DMDriveOperations> operations_;
    std::shared_ptr<DMAlertPresenter> presenter_;
    std::shared_ptr<BLRecoveryKeyOutput> output_;
    std::function<void(const Drive& drive)> unlockedHandler_;
    QPointer<BLBitLockerWndController> bitlockerWndController_;
    QPointer<BLBitLockerProgressWndController> bitlockerEncryptionProgressWndController_;
    QPointer<BLBitlockerUnlockWndController> bitlockerUnlockWndController_;
    QPointer<BLResumePasswordWndController> resumePasswordWndController_;
};

}  // namespace harbormind
