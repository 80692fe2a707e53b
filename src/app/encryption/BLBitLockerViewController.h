#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "drivemodel/DMProgressMessage.h"

class QLabel;
class QPushButton;
class QStackedWidget;

namespace harbormind {

class BLLoadingViewController;
class BLPageController;
class BLQueryViewController;
class BLRecoveryKeyOutput;
class BLSaveViewController;
class BLSetPwdViewController;
class DMLocalDriveEncryptable;
class DMLocalDriveEncryptionDelegate;

// The wizard's pages and the steps between them: the password (0), the job setting itself
// up (1), the recovery key (2) and the last question (3). Leaving page 0 the first time
// starts the job; the first `initialized` message moves on from page 1 by itself. A resumed
// job that makes a new recovery key starts at page 1 (its password was asked already). A
// job that ends before the go-ahead (refused, failed) says why on the page it is on.
class BLBitLockerViewController : public QWidget {
public:
    enum Page { passwordPage = 0, loadingPage = 1, savePage = 2, queryPage = 3 };

    BLBitLockerViewController(std::shared_ptr<DMLocalDriveEncryptable> job, std::shared_ptr<BLRecoveryKeyOutput> output,
                              QWidget* parent = nullptr);

    int currentPage() const;
    // Called when "Start encrypting" was pressed on the last page.
    void setConfirmedHandler(std::function<void()> handler) { confirmed_ = std::move(handler); }
    // The folder the save panel opens in (the user's home unless set).
    void setSaveFolder(std::string folder) { saveFolder_ = std::move(folder); }

    // Starts the job and shows page 1: the resume of an interrupted encryption.
    void startResumed();
    // Where the recovery key was saved; none when it was printed, or not yet saved.
    std::optional<std::string> savedKeyPath() const { return savedKeyPath_; }

    void goNext();
    void goPrevious();
    void saveRecoveryKey();
    void printRecoveryKey();
    // One message from the job; on the main queue.
    void showProgress(const DMProgressMessage& message);
    // BitLocker refuses some characters in passwords; other kinds take any.
    bool isBitLocker() const;
    // The recovery key file's text for this job.
    std::string recoveryKeyText() const;

    BLSetPwdViewController* pwdPage = nullptr;
    BLLoadingViewController* loadingViewController = nullptr;
    BLSaveViewController* saveViewController = nullptr;
    BLQueryViewController* queryViewController = nullptr;
    BLPageController* pageController = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnPrevious = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnHelp = nullptr;
    QLabel* lbFailure = nullptr;

private:
    void show(int page);
    void showFailure(const DMProgressMessage& message);
    void openHelp();
    std::optional<std::string> guid() const;

    std::shared_ptr<DMLocalDriveEncryptable> job_;
    std::shared_ptr<BLRecoveryKeyOutput> output_;
    std::shared_ptr<DMLocalDriveEncryptionDelegate> receiver_;
    QStackedWidget* stack_ = nullptr;
    std::function<void()> confirmed_;
    std::optional<std::string> saveFolder_;
    std::optional<std::string> savedKeyPath_;
    bool prepared_ = false;
    bool initialized_ = false;
    bool resumed_ = false;
    bool failed_ = false;
};

}  // namespace harbormind
