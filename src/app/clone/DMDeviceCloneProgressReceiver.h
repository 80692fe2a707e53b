#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>

#include "drivemodel/DMDeviceCloneWrapperDelegate.h"

namespace harbormind {

// Takes the clone's progress on the daemon connection's thread and hands it to the main
// queue, where `progress` and `ended` run unless `owner` (the progress sheet) is gone by then.
class DMDeviceCloneProgressReceiver final : public DMDeviceCloneWrapperDelegate {
public:
    using Progress = std::function<void(const DMProgressMessage& message)>;
    using Ended = std::function<void(std::uint64_t unreadableBytes, const std::string& reason)>;

    DMDeviceCloneProgressReceiver(QObject* owner, Progress progress, Ended ended)
        : owner_(owner), progress_(std::move(progress)), ended_(std::move(ended)) {}
    void deviceCloneProgress(const DMProgressMessage& message) override;
    void deviceCloneEnded(std::uint64_t unreadableBytes, const std::string& reason) override;

private:
    QPointer<QObject> owner_;
    Progress progress_;
    Ended ended_;
};

}  // namespace harbormind
