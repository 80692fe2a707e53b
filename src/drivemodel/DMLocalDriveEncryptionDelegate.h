#pragma once

#include <cstdint>

#include "drivemodel/DMProgressMessage.h"

namespace harbormind {

// Receives the progress of a drive encryption. Called on the daemon connection's thread:
// an implementation schedules screen changes on the main queue and answers at once, with
// the raw value of the message's error (0 when there is none).
class DMLocalDriveEncryptionDelegate {
public:
    virtual ~DMLocalDriveEncryptionDelegate() = default;
    virtual std::uint64_t encryptionProgress(const DMProgressMessage& message) = 0;
};

}  // namespace harbormind
