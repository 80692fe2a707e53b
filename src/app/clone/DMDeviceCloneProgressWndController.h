#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "drivemodel/DMProgressMessage.h"
#include "support/Clock.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace harbormind {

class DMAlertPresenter;
class DMDeviceCloneAttempt;
class DMDeviceCloneWrapper;
class DMDeviceCloneWrapperDelegate;

// The clone's progress sheet: the steps before the copy, then a bar with the sizes copied,
// the speed and the time left; "Finish" once the clone has ended, with what could not be
// read. "Cancel" asks first, then stops the clone (or keeps it from starting) and closes
// the sheet.
class DMDeviceCloneProgressWndController : public QDialog {
public:
    DMDeviceCloneProgressWndController(std::shared_ptr<DMDeviceCloneWrapper> wrapper,
                                       std::shared_ptr<DMAlertPresenter> presenter,
                                       QWidget* parent = nullptr);

    // The receiver to register as the wrapper's delegate: it hands messages to this sheet on
    // the main queue, and outlives it harmlessly.
    std::shared_ptr<DMDeviceCloneWrapperDelegate> receiver() const { return receiver_; }
    // The clone this sheet belongs to, whose Cancel it asks about, and its destination's name.
    void setAttempt(std::shared_ptr<DMDeviceCloneAttempt> attempt, std::string destinationName);
    // Shows one message; on the main queue.
    void showProgress(const DMProgressMessage& message);
    // What the daemon says just before the last message: bytes written as zeros, and why the
    // clone ended early.
    void showEndDetails(std::uint64_t unreadableBytes, const std::string& reason);
    // A step before the copy starts ("Unmounting “DATA”…").
    void showStep(const QString& text);
    // Once the copy has started: when no report has come for `silenceSeconds`, the daemon is
    // asked whether the clone onto the destination still runs; when it does not (the daemon
    // ended or was restarted), the sheet says the clone was interrupted and can be resumed.
    void watchDaemon(std::string destinationIdentifier);

    static constexpr double silenceSeconds = 15;

    QLabel* lbTitle = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* btnFinish = nullptr;
    QPushButton* btnCancel = nullptr;
    QLabel* lbCloneSize = nullptr;
    std::shared_ptr<DMDeviceCloneWrapper> mgr;
    // Speed and time left while the copy runs.
    QLabel* lbSpeed = nullptr;
    // Under the sizes at the end: what could not be read, or why the clone stopped.
    QLabel* lbNote = nullptr;

    // Escape, or closing the sheet, is Cancel until the clone has ended.
    void reject() override;

    // The bar counts in thousandths.
    static constexpr int barSteps = 1000;

    // This sheet's own texts, through the translation catalogue.
    static QString tr(const char* text);

private:
    void showRunning(const DMProgressMessage& message);
    void showEnd(const DMProgressMessage& message);
    void showSuspended();
    void checkSilence();
    void showButtonsForEnd();
    void cancelClone();
    void stopClone();

    std::shared_ptr<DMAlertPresenter> presenter_;
    std::shared_ptr<DMDeviceCloneWrapperDelegate> receiver_;
    std::shared_ptr<DMDeviceCloneAttempt> attempt_;
    std::string destinationName_;
    // Where the speed is measured from: the first report of the copy.
    std::optional<std::pair<Clock::TimePoint, std::uint64_t>> rateOrigin_;
    std::uint64_t unreadableBytes_ = 0;
    std::string endReason_;
    bool ended_ = false;
    std::string watchedDestination_;
    Clock::TimePoint lastReport_{};
};

}  // namespace harbormind
