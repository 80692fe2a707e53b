#pragma once

#include <QDialog>
#include <memory>

namespace harbormind {

class BLBitLockerViewController;
class BLRecoveryKeyOutput;
class DMLocalDriveEncryptable;

// The encryption wizard as a sheet. It ends with `codeConfirmed` once the user pressed
// "Start encrypting", otherwise with `codeCancelled`; a cancelled wizard also cancels the
// job, so a daemon waiting for the go-ahead is let go.
class BLBitLockerWndController : public QDialog {
public:
    static constexpr int codeConfirmed = 1;
    static constexpr int codeCancelled = -1000;

    BLBitLockerWndController(std::shared_ptr<DMLocalDriveEncryptable> job, std::shared_ptr<BLRecoveryKeyOutput> output,
                             QWidget* parent = nullptr);

    BLBitLockerViewController* viewController() const { return viewController_; }
    const std::shared_ptr<DMLocalDriveEncryptable>& encryptObj() const { return job_; }
    // The code the sheet ended with; 0 while open.
    int endCode() const { return endCode_; }
    void done(int result) override;

private:
    std::shared_ptr<DMLocalDriveEncryptable> job_;
    BLBitLockerViewController* viewController_ = nullptr;
    bool confirmed_ = false;
    int endCode_ = 0;
};

}  // namespace harbormind
