#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "drivemodel/DMDeviceCloneWrapperDelegate.h"

namespace harbormind {

// Takes the clone's progress on the daemon connection's thread and hands it to the main
// queue, where `progress` and `ended` run unless `owner` (the progress sheet) is gone by then.
// Reports of a running copy may come far faster than the sheet can show them: one not yet
// shown is replaced by the next, so the main queue holds at most one of them; every other
// report is shown in its turn.
class DMDeviceCloneProgressReceiver final : public DMDeviceCloneWrapperDelegate {
public:
    using Progress = std::function<void(const DMProgressMessage& message)>;
    using Ended = std::function<void(std::uint64_t unreadableBytes, const std::string& reason)>;

    DMDeviceCloneProgressReceiver(QObject* owner, Progress progress, Ended ended)
        : owner_(owner), progress_(std::move(progress)), ended_(std::move(ended)) {}
    void deviceCloneProgress(const DMProgressMessage& message) override;
    void deviceCloneEnded(std::uint64_t unreadableBytes, const std::string& reason) override;

private:
    struct Waiting {
        std::mutex mutex;
        std::optional<DMProgressMessage> running;
    };

    void showLatestRunning(const DMProgressMessage& message);

    QPointer<QObject> owner_;
    Progress progress_;
    Ended ended_;
    std::shared_ptr<Waiting> waiting_ = std::make_shared<Waiting>();
};

}  // namespace harbormind
