#pragma once

#include <functional>

#include "support/Clock.h"

namespace harbormind::test {

// Waits for something real (a process, a device node, the kernel's mount table) to happen,
// asking again every `every` on the wall clock until `limit` has passed. True when it happened.
class SystemWait {
public:
    static bool until(const std::function<bool()>& happened, Clock::Duration limit,
                      Clock::Duration every = std::chrono::milliseconds(50));
};

}  // namespace harbormind::test
