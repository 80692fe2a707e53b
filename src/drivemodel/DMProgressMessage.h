#pragma once

#include <cstdint>
#include <string>

#include "xpc/DMProgressError.h"
#include "xpc/DMProgressStatus.h"

namespace harbormind {

// The one progress record of every long job. Progress is current ÷ total.
struct DMProgressMessage {
    DMProgressStatus status = DMProgressStatus::initializing;
    std::uint64_t current = 0;
    std::uint64_t total = 0;
    std::string message;
    DMProgressError error = DMProgressError::noError;

    double progress() const {
        return total == 0 ? 0.0 : static_cast<double>(current) / static_cast<double>(total);
    }

    // A daemon progress callback (argument order on the wire: status, total, current, error).
    static DMProgressMessage fromDaemon(std::int64_t status, std::int64_t total, std::int64_t current,
                                        std::int64_t error) {
        DMProgressMessage message;
        message.status = progressStatusFromWire(status);
        message.total = static_cast<std::uint64_t>(total);
        message.current = static_cast<std::uint64_t>(current);
        message.error = progressErrorFromWire(static_cast<std::uint64_t>(error));
        return message;
    }
};

}  // namespace harbormind
