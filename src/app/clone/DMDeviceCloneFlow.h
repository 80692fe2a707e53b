#pragma once

#include <QPointer>
#include <QString>
#include <memory>
#include <functional>
#include <string>
#include <vector>

#include "app/drives/DMCloneDrive.h"
#include "app/clone/DMDeviceCloneProgressWndController.h"
#include "app/clone/DMDeviceCloneWndController.h"

class QWidget;

namespace harbormind {

class DMAlertPresenter;
class DMDeviceCloneAttempt;
class DMDeviceCloneWrapper;
class DMDriveObjectProtocol;
class DMDriveOperations;

// The dispatcher's device-clone requests: the destination picker, the overwrite warning, the
// interruption alert with its restart and resume, the question about a mounted source, and the
// progress sheet, on which the unmounting, the pair check and the request then run
// (DMDeviceCloneStart). Daemon questions are asked on the background queue; windows and
// alerts are shown on the main queue. It holds the clone windows' slots (one window of each
// kind).
class DMDeviceCloneFlow : public std::enable_shared_from_this<DMDeviceCloneFlow> {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;

    DMDeviceCloneFlow(std::shared_ptr<DMDriveOperations> operations,
                      std::shared_ptr<DMAlertPresenter> presenter,
                      std::shared_ptr<DMDeviceCloneWrapper> wrapper);

    // Clone (9): pick a destination for `source`.
    // Asked once the user picked the destination, before anything else: `proceed` runs when
    // the clone may go on (the USB blocker's white-list password, while it is on).
    using WhiteListGuard = std::function<void(const std::string& destination, std::function<void()> proceed)>;
    void setWhiteListGuard(WhiteListGuard guard) { whiteListGuard_ = std::move(guard); }
    void clone(const Drive& source, QWidget* window);
    // Resume clone (10): resume the interrupted clone on `destination`.
    void resumeClone(const Drive& destination, QWidget* window);

    DMDeviceCloneWndController* deviceCloneWndController() const { return deviceCloneWndController_; }
    DMDeviceCloneProgressWndController* deviceCloneProgressWndController() const {
        return deviceCloneProgressWndController_;
    }
    const std::shared_ptr<DMDeviceCloneWrapper>& deviceCloneWrapper() const { return deviceCloneWrapper_; }

    static QString tr(const char* text);

private:
    void showPicker(DMCloneDrive source, std::vector<DMCloneDrive> candidates, QWidget* window);
    void confirm(const DMCloneDrive& source, const DMCloneDrive& destination, QWidget* window);
    void askAboutInterruption(const DMCloneDrive& source, const DMCloneDrive& destination, QWidget* window);
    void resume(const DMCloneDrive& destination, QWidget* window);
    void askAboutMountedSource(const DMCloneDrive& destination, const DMCloneDrive& source, bool isCover,
                               QWidget* window);
    void askToUnmountSource(const DMCloneDrive& destination, const DMCloneDrive& source, bool isCover,
                            QWidget* window);
    void start(const DMCloneDrive& destination, const DMCloneDrive& source, bool isCover, bool unmountSource,
               QWidget* window);
    void alert(const char* text, QWidget* window, const std::string& informative = {});
    void openHelp();

    template <typename Result>
    void inBackground(std::function<Result()> work, std::function<void(Result)> then);

    std::shared_ptr<DMDriveOperations> operations_;
    std::shared_ptr<DMAlertPresenter> presenter_;
    std::shared_ptr<DMDeviceCloneWrapper> deviceCloneWrapper_;
    QPointer<DMDeviceCloneWndController> deviceCloneWndController_;
    QPointer<DMDeviceCloneProgressWndController> deviceCloneProgressWndController_;
    std::shared_ptr<DMDeviceCloneAttempt> attempt_;  // of the sheet in the slot
    WhiteListGuard whiteListGuard_;
};

}  // namespace harbormind
