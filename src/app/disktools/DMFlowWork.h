#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "support/Clock.h"
#include "support/Dispatch.h"

namespace harbormind {

// Work a window's flow runs off the main queue, whose result comes back on the main queue, and
// what it does later on the main queue; counted from its start until it is done on the main
// queue, so that a test can wait for it.
class DMFlowWork {
public:
    template <typename Result>
    void run(std::function<Result()> work, std::function<void(Result)> done) {
        ++*pending_;
        Dispatch::global()->async([pending = pending_, work = std::move(work), done = std::move(done)] {
            Result result = work();
            Dispatch::main().async([pending, done, result = std::move(result)]() mutable {
                --*pending;
                done(std::move(result));
            });
        });
    }
    // Runs `task` on the main queue after `delay`.
    void after(Clock::Duration delay, std::function<void()> task) {
        ++*pending_;
        Dispatch::main().asyncAfter(delay, [pending = pending_, task = std::move(task)] {
            --*pending;
            task();
        });
    }
    int pending() const { return pending_->load(); }

private:
    std::shared_ptr<std::atomic<int>> pending_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace harbormind
