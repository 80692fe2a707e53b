#pragma once

#include <cstdint>
#include <string>

namespace harbormind::clone {

enum class CloneEnd { finished, stopped, sourceGone, destinationGone, writeFailed };

struct CloneOutcome {
    CloneEnd end = CloneEnd::finished;
    std::uint64_t bytesWritten = 0;
    std::uint64_t unreadableBytes = 0;
    // Why a clone that did not finish ended ("writing at byte 4096 failed: Input/output error").
    std::string reason;
};

}  // namespace harbormind::clone
