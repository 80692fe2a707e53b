#include "support/DispatchQueue.h"

#include <atomic>

namespace harbormind {

void DispatchQueue::asyncAfter(Clock::Duration delay, std::function<void()> work) {
    std::weak_ptr<DispatchQueue> weak = weak_from_this();
    Clock::current().schedule(delay, [weak, work = std::move(work)]() mutable {
        if (auto queue = weak.lock()) {
            queue->async(std::move(work));
        }
    });
}

void DispatchQueue::sync(const std::function<void()>& work) {
    if (isCurrent()) {
        work();
        return;
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    Clock& clock = Clock::current();
    async([&work, done, &clock] {
        work();
        done->store(true);
        clock.notifyAll();
    });
    clock.waitUntil([&done] { return done->load(); }, std::nullopt);
}

}  // namespace harbormind
