#pragma once

#include <functional>

namespace harbormind {

// Told by the event monitor that the system changed power state.
class DMEventMonitorDelegate {
public:
    virtual ~DMEventMonitorDelegate() = default;
    // `isSleep` is true for going to sleep and false for waking up. `done` runs once the work
    // started for it has finished, so the machine is not held back longer than needed.
    virtual void powerStateChanged(bool isSleep, std::function<void()> done) = 0;
};

}  // namespace harbormind
