#pragma once

#include <QDialog>
#include <memory>

#include "drivemodel/DMProgressMessage.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace harbormind {

class DMAlertPresenter;
class DMDeviceCloneWrapper;
class DMDeviceCloneWrapperDelegate;

// The clone's progress sheet: a bar and "copied : total" in bytes while the copy runs, "Finish"
// once it has completed. "Cancel" stops the clone and closes the sheet.
class DMDeviceCloneProgressWndController : public QDialog {
public:
    DMDeviceCloneProgressWndController(std::shared_ptr<DMDeviceCloneWrapper> wrapper,
                                       std::shared_ptr<DMAlertPresenter> presenter,
                                       QWidget* parent = nullptr);

    // The receiver to register as the wrapper's delegate: it hands messages to this sheet on
    // the main queue, and outlives it harmlessly.
    std::shared_ptr<DMDeviceCloneWrapperDelegate> receiver() const { return receiver_; }
    // Shows one message; on the main queue.
    void showProgress(const DMProgressMessage& message);

    QLabel* lbTitle = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* btnFinish = nullptr;
    QPushButton* btnCancel = nullptr;
    QLabel* lbCloneSize = nullptr;
    std::shared_ptr<DMDeviceCloneWrapper> mgr;

    // The bar counts in thousandths.
    static constexpr int barSteps = 1000;

private:
    void showEnd(const DMProgressMessage& message);
    void cancelClone();

    std::shared_ptr<DMAlertPresenter> presenter_;
    std::shared_ptr<DMDeviceCloneWrapperDelegate> receiver_;
};

}  // namespace harbormind
