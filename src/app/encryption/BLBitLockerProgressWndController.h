#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "drivemodel/DMProgressMessage.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace harbormind {

class DMLocalDriveEncryptable;
class DMLocalDriveEncryptionDelegate;

// The progress of one encryption job, whatever its kind. It becomes the job's delegate;
// "Cancel" cancels the job and closes the window, "Completed" appears once it has finished.
class BLBitLockerProgressWndController : public QDialog {
public:
    BLBitLockerProgressWndController(std::shared_ptr<DMLocalDriveEncryptable> job, std::string driveName,
                                     QWidget* parent = nullptr);

    // Shows one message; on the main queue.
    void showProgress(const DMProgressMessage& message);
    const std::shared_ptr<DMLocalDriveEncryptable>& encryptObj() const { return encryptObj_; }

    // The bar counts in thousandths of the range 0 to 1.
    static constexpr int barSteps = 1000;

    QLabel* lbEncrypting = nullptr;
    QLabel* lbDrive = nullptr;
    QLabel* lbTip = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnFinish = nullptr;
    QProgressBar* progressIndicator = nullptr;
    std::string strDrive;

private:
    std::shared_ptr<DMLocalDriveEncryptable> encryptObj_;
    std::shared_ptr<DMLocalDriveEncryptionDelegate> receiver_;
};

}  // namespace harbormind
