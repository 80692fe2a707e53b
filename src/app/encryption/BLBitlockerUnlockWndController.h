#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace harbormind {

class DMDriveObjectProtocol;
class DMDriveOperations;

// Asks for the password (or the recovery key) of an encrypted drive and unlocks it. A
// password remembered for the drive is offered first; after a successful unlock the check
// box decides whether the keychain keeps it.
class BLBitlockerUnlockWndController : public QDialog {
public:
    // The daemon's result that the USB blocker's setting explains.
    static constexpr int resultBlocked = 20;

    BLBitlockerUnlockWndController(std::shared_ptr<DMDriveObjectProtocol> drive,
                                   std::shared_ptr<DMDriveOperations> operations, QWidget* parent = nullptr);

    // Called on the main queue once the drive is unlocked; without one the window opens the
    // drive itself when the setting asks for it.
    using UnlockedHandler = std::function<void(const std::shared_ptr<DMDriveObjectProtocol>& drive)>;
    void setUnlockedHandler(UnlockedHandler handler) { unlockedHandler_ = std::move(handler); }

    // Unlocks with the typed text, away from the user-interface thread; the answer comes
    // back on the main queue.
    void unlock();
    // Shows the password in plain text or hides it, keeping the text and the caret.
    void setPasswordShown(bool shown);
    // Handles the unlock's result; on the main queue. A failure shows what went wrong when
    // the daemon said so, and "The password is incorrect" otherwise.
    void unlocked(int result, const std::string& password, const std::string& reason = {});
    std::string typedPassword() const;

    QLabel* lbBitlocker = nullptr;
    QLabel* lbDriveName = nullptr;
    QLabel* lbPassword = nullptr;
    QLabel* lbErrorTips = nullptr;
    QCheckBox* btnRemeberPassword = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnUnlock = nullptr;
    QLineEdit* editPassword = nullptr;
    QLineEdit* editPlaintext = nullptr;
    QPushButton* btnPasswordshow = nullptr;
    std::string strDriveName;
    std::shared_ptr<DMDriveObjectProtocol> unlockobj;
    std::string strPasswrod;

private:
    std::shared_ptr<DMDriveOperations> operations_;
    UnlockedHandler unlockedHandler_;
    bool busy_ = false;
};

}  // namespace harbormind
