#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "drivemodel/DMProgressMessage.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace harbormind {

class BLRecoveryKeyOutput;
class DMLocalDriveEncryptable;
class DMLocalDriveEncryptionDelegate;

// The progress of one encryption job, whatever its kind. It becomes the job's delegate;
// "Cancel" cancels the job and closes the window, "Completed" appears once it has finished.
// A failure shows its code and, when the job gave one, its reason. A finished job with a
// detached header hands the header over: beside the saved recovery key, or where the user
// chooses ("Save the Header..."), checked after writing.
class BLBitLockerProgressWndController : public QDialog {
public:
    BLBitLockerProgressWndController(std::shared_ptr<DMLocalDriveEncryptable> job, std::string driveName,
                                     QWidget* parent = nullptr);

    // Where the header goes: beside `keyPath` when the key was saved to a file, else where
    // the user picks in `output`'s save panel.
    void setHeaderHandover(std::shared_ptr<BLRecoveryKeyOutput> output, std::optional<std::string> keyPath);
    // Shows one message; on the main queue.
    void showProgress(const DMProgressMessage& message);
    // Writes the header to `path` and says how that went; on the main queue.
    void saveHeader(const std::string& path);
    // Where the header was saved and checked; none until then.
    std::optional<std::string> savedHeaderPath() const { return savedHeaderPath_; }
    const std::shared_ptr<DMLocalDriveEncryptable>& encryptObj() const { return encryptObj_; }

    // The bar counts in thousandths of the range 0 to 1.
    static constexpr int barSteps = 1000;

    QLabel* lbEncrypting = nullptr;
    QLabel* lbDrive = nullptr;
    QLabel* lbTip = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnFinish = nullptr;
    QPushButton* btnSaveHeader = nullptr;
    QProgressBar* progressIndicator = nullptr;
    std::string strDrive;

private:
    void handOverHeader();
    void chooseHeaderPath();

    std::shared_ptr<DMLocalDriveEncryptable> encryptObj_;
    std::shared_ptr<DMLocalDriveEncryptionDelegate> receiver_;
    std::shared_ptr<BLRecoveryKeyOutput> output_;
    std::optional<std::string> keyPath_;
    std::string header_;
    std::optional<std::string> savedHeaderPath_;
    bool handedOver_ = false;
};

}  // namespace harbormind
