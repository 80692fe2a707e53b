#include "app/clone/DMDeviceCloneProgressReceiver.h"

#include "support/Dispatch.h"

namespace harbormind {

void DMDeviceCloneProgressReceiver::deviceCloneProgress(const DMProgressMessage& message) {
    Dispatch::main().async([owner = owner_, progress = progress_, message] {
        if (owner) {
            progress(message);
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
