#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "app/drives/DMCloneDrive.h"
#include "app/clone/DMDeviceCloneProgressWndController.h"
#include "xpc/XPCCodeAnswer.h"

class QWidget;

namespace harbormind {

class DMAlertPresenter;
class DMDeviceCloneAttempt;
class DMDeviceCloneWrapper;
class DMDriveOperations;

// What happens between the user's go-ahead and the copy, with the progress sheet open:
// unmounting the source (when the user agreed) and the destination's volumes, the daemon's
// pair check, and the clone request. Work runs in the background, the sheet and alerts on
// the main queue. Before every step the attempt is asked whether the user cancelled: a
// cancelled clone is never requested. Every refusal and failure closes the sheet and shows
// an alert with its reason.
class DMDeviceCloneStart : public std::enable_shared_from_this<DMDeviceCloneStart> {
public:
    struct Request {
        DMCloneDrive destination;
        DMCloneDrive source;
        bool isCover = false;
        bool unmountSource = false;
    };
    struct Services {
        std::shared_ptr<DMDriveOperations> operations;
        std::shared_ptr<DMAlertPresenter> presenter;
        std::shared_ptr<DMDeviceCloneWrapper> wrapper;
    };

    DMDeviceCloneStart(Request request, Services services, std::shared_ptr<DMDeviceCloneAttempt> attempt,
                       DMDeviceCloneProgressWndController* sheet, QWidget* window);

    void run();

    // Waiting for the destination to be unmounted: one-second polls, at most this many.
    static constexpr int unmountPolls = 60;

    static QString tr(const char* text);

private:
    void unmountSource();
    void unmountDestination(bool force);
    void offerForcedUnmount(const std::string& reason);
    void checkPair();
    void request();
    void started(const XPCCodeAnswer& answer);
    void refused(const XPCCodeAnswer& answer, const QString& whenUnanswered);
    void fail(const std::string& title, const std::string& text);
    void step(const QString& text);

    // Runs `work` in the background and `then` on the main queue, unless the user has
    // cancelled meanwhile.
    template <typename Result>
    void inBackground(std::function<Result()> work, std::function<void(Result)> then);

    Request request_;
    Services services_;
    std::shared_ptr<DMDeviceCloneAttempt> attempt_;
    QPointer<DMDeviceCloneProgressWndController> sheet_;
    QPointer<QWidget> window_;
};

}  // namespace harbormind
