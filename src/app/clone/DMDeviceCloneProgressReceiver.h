#pragma once

#include <QPointer>

#include <memory>
#include <mutex>
#include <optional>

#include "app/clone/DMDeviceCloneProgressWndController.h"
#include "drivemodel/DMDeviceCloneWrapperDelegate.h"

namespace harbormind {

// Takes the clone's progress on the daemon connection's thread and shows it on the progress
// sheet on the main queue, if the sheet is still open. Reports of a running copy may come far
// faster than the sheet can show them: one not yet shown is replaced by the next, so the main
// queue holds at most one of them; every other report is shown in its turn.
class DMDeviceCloneProgressReceiver final : public DMDeviceCloneWrapperDelegate {
public:
    explicit DMDeviceCloneProgressReceiver(DMDeviceCloneProgressWndController* sheet) : sheet_(sheet) {}
    void deviceCloneProgress(const DMProgressMessage& message) override;
    void deviceCloneEnded(std::uint64_t unreadableBytes, const std::string& reason) override;

private:
    struct Waiting {
        std::mutex mutex;
        std::optional<DMProgressMessage> running;
    };

    QPointer<DMDeviceCloneProgressWndController> sheet_;
    std::shared_ptr<Waiting> waiting_ = std::make_shared<Waiting>();
};

}  // namespace harbormind
