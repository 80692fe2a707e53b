#pragma once

#include <string>

#include "xpc/XPCCodeAnswer.h"

namespace harbormind {

// The simulated daemon's clone pair check, deciding from the simulated machine what the real
// daemon's check decides from the kernel, with the same codes: 1 a source that is missing or
// mounted, 2 a destination that is missing, the source itself or mounted, 4 a destination
// smaller than the source, 0 a pair that may be cloned (also without a machine to look at).
// The reason says why.
class InProcessClonePairCheck {
public:
    static XPCCodeAnswer check(const std::string& destination, const std::string& source);
};

}  // namespace harbormind
