#pragma once

#include <QPointer>

#include "app/clone/DMDeviceCloneProgressWndController.h"
#include "drivemodel/DMDeviceCloneWrapperDelegate.h"

namespace harbormind {

// Takes the clone's progress on the daemon connection's thread and shows it on the progress
// sheet on the main queue, if the sheet is still open.
class DMDeviceCloneProgressReceiver final : public DMDeviceCloneWrapperDelegate {
public:
    explicit DMDeviceCloneProgressReceiver(DMDeviceCloneProgressWndController* sheet) : sheet_(sheet) {}
    void deviceCloneProgress(const DMProgressMessage& message) override;
    void deviceCloneEnded(std::uint64_t unreadableBytes, const std::string& reason) override;

private:
    QPointer<DMDeviceCloneProgressWndController> sheet_;
};

}  // namespace harbormind
