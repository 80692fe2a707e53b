#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "xpc/DMProgressError.h"
#include "xpc/DMProgressStatus.h"

namespace harbormind::clone {

// One progress report. `current` and `total` count bytes of the source.
struct CloneProgress {
    DMProgressStatus status = DMProgressStatus::running;
    std::uint64_t total = 0;
    std::uint64_t current = 0;
    DMProgressError error = DMProgressError::noError;
    // Bytes of the source that stayed unreadable and were written as zeros.
    std::uint64_t unreadableBytes = 0;
    // In the last report: why the clone ended early, when it did.
    std::string reason;
};

enum class CloneReply { proceed, cancel };

// Receives reports on the copy thread, at most once per progress interval plus the last one;
// it must return promptly. `cancel` stops the copy as a stop request would.
using CloneProgressSink = std::function<CloneReply(const CloneProgress&)>;

}  // namespace harbormind::clone
