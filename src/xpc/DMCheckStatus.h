#pragma once

#include <cstdint>

namespace harbormind {

// The stage of a First Aid run, as the check-disk service reports it with each line. The
// raw values cross the daemon boundary.
enum class DMCheckStatus : std::int64_t {
    checkStart = 0,
    checkRuning = 1,
    checkStop = 2,
    checkEnd = 3,
};

}  // namespace harbormind
