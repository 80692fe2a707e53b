#pragma once

#include <functional>

#include "drivemodel/DMLocalDriveEncryptionDelegate.h"

namespace harbormind {

// The delegate a window registers with an encryption job: on the job's thread it posts the
// message to the main queue and answers at once with the raw value of the message's error.
// The window's handler must check that the window still exists.
class BLEncryptionProgressReceiver final : public DMLocalDriveEncryptionDelegate {
public:
    using Handler = std::function<void(const DMProgressMessage& message)>;
    explicit BLEncryptionProgressReceiver(Handler handler) : handler_(std::move(handler)) {}

    std::uint64_t encryptionProgress(const DMProgressMessage& message) override;

private:
    Handler handler_;
};

}  // namespace harbormind
