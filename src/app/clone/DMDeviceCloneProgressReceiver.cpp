#include "app/clone/DMDeviceCloneProgressReceiver.h"

#include "support/Dispatch.h"

namespace harbormind {

void DMDeviceCloneProgressReceiver::deviceCloneProgress(const DMProgressMessage& message) {
    QPointer<DMDeviceCloneProgressWndController> sheet = sheet_;
    if (message.status == DMProgressStatus::running) {
        {
            std::lock_guard lock(waiting_->mutex);
            const bool posted = waiting_->running.has_value();
            waiting_->running = message;
            if (posted) {
                return;
            }
        }
        Dispatch::main().async([sheet, waiting = waiting_] {
            std::optional<DMProgressMessage> latest;
            {
                std::lock_guard lock(waiting->mutex);
                latest.swap(waiting->running);
            }
            if (sheet && latest) {
                sheet->showProgress(*latest);
            }
        });
        return;
    }
    Dispatch::main().async([sheet, message] {
        if (sheet) {
            sheet->showProgress(message);
        }
    });
}

void DMDeviceCloneProgressReceiver::deviceCloneEnded(std::uint64_t unreadableBytes, const std::string& reason) {
    QPointer<DMDeviceCloneProgressWndController> sheet = sheet_;
    Dispatch::main().async([sheet, unreadableBytes, reason] {
        if (sheet) {
            sheet->showEndDetails(unreadableBytes, reason);
        }
    });
}

}  // namespace harbormind
