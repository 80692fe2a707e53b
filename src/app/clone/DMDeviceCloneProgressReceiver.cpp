#include "app/clone/DMDeviceCloneProgressReceiver.h"

#include "support/Dispatch.h"

namespace harbormind {

void DMDeviceCloneProgressReceiver::deviceCloneProgress(const DMProgressMessage& message) {
    if (message.status == DMProgressStatus::running) {
        showLatestRunning(message);
        return;
    }
    Dispatch::main().async([owner = owner_, progress = progress_, message] {
        if (owner) {
            progress(message);
        }
    });
}

void DMDeviceCloneProgressReceiver::showLatestRunning(const DMProgressMessage& message) {
    {
        std::lock_guard lock(waiting_->mutex);
        const bool posted = waiting_->running.has_value();
        waiting_->running = message;
        if (posted) {
            return;
        }
    }
    Dispatch::main().async([owner = owner_, progress = progress_, waiting = waiting_] {
        std::optional<DMProgressMessage> latest;
        {
            std::lock_guard lock(waiting->mutex);
            latest.swap(waiting->running);
        }
        if (owner && latest) {
            progress(*latest);
        }
    });
}

void DMDeviceCloneProgressReceiver::deviceCloneEnded(std::uint64_t unreadableBytes, const std::string& reason) {
    Dispatch::main().async([owner = owner_, ended = ended_, unreadableBytes, reason] {
        if (owner) {
            ended(unreadableBytes, reason);
        }
    });
}

}  // namespace harbormind
