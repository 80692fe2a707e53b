#include "system/support/SystemWait.h"

#include "support/RealClock.h"

namespace harbormind::test {

bool SystemWait::until(const std::function<bool()>& happened, Clock::Duration limit, Clock::Duration every) {
    static RealClock clock;
    const Clock::TimePoint deadline = clock.now() + limit;
    while (!happened()) {
        if (clock.now() >= deadline) {
            return happened();
        }
        clock.sleepFor(every);
    }
    return true;
}

}  // namespace harbormind::test
