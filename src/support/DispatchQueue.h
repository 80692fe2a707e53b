#pragma once

#include <functional>
#include <memory>

#include "support/Clock.h"

namespace harbormind {

// A place to run work. Every task is accounted with the current clock, so a virtual clock
// knows when all work has settled.
class DispatchQueue : public std::enable_shared_from_this<DispatchQueue> {
public:
    virtual ~DispatchQueue() = default;

    virtual void async(std::function<void()> work) = 0;
    virtual bool isCurrent() const = 0;

    // Runs `work` on this queue after `delay` on the current clock.
    void asyncAfter(Clock::Duration delay, std::function<void()> work);
    // Runs `work` on this queue and waits for it; runs it at once when already on the queue.
    void sync(const std::function<void()>& work);
};

}  // namespace harbormind
