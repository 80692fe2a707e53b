#pragma once

#include <cstdint>

namespace harbormind::clone {

enum class CloneEnd { finished, stopped, sourceGone, destinationGone, writeFailed };

struct CloneOutcome {
    CloneEnd end = CloneEnd::finished;
    std::uint64_t bytesWritten = 0;
    std::uint64_t unreadableBytes = 0;
};

}  // namespace harbormind::clone
