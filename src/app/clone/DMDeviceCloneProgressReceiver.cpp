#include "app/clone/DMDeviceCloneProgressReceiver.h"

#include "support/Dispatch.h"

namespace harbormind {

void DMDeviceCloneProgressReceiver::deviceCloneProgress(const DMProgressMessage& message) {
    QPointer<DMDeviceCloneProgressWndController> sheet = sheet_;
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
