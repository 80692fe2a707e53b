#include "app/encryption/BLEncryptionProgressReceiver.h"

#include "support/Dispatch.h"

namespace harbormind {

std::uint64_t BLEncryptionProgressReceiver::encryptionProgress(const DMProgressMessage& message) {
    Dispatch::main().async([handler = handler_, message] { handler(message); });
    return static_cast<std::uint64_t>(message.error);
}

}  // namespace harbormind
