#include "cleaning/ScanHelpers.h"

#include <algorithm>
#include <thread>

#include "support/Dispatch.h"

namespace harbormind {

int ScanHelpers::usefulCount() {
    // Listing is mostly the kernel's work: one thread per processor keeps them busy, and a few
    // more would only contend for the same directory locks.
    int processors = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(processors - 1, 1, 3);
}

void ScanHelpers::start(int count, const std::function<void()>& work) {
    for (int i = 0; i < count; ++i) {
        Dispatch::global()->async([gate = gate_, work] {
            {
                std::lock_guard lock(gate->mutex);
                if (gate->closed) {
                    return;
                }
                ++gate->inside;
            }
            work();
            {
                std::lock_guard lock(gate->mutex);
                --gate->inside;
            }
            gate->left.notify_all();
        });
    }
}

void ScanHelpers::finish() {
    std::unique_lock lock(gate_->mutex);
    gate_->closed = true;
    gate_->left.wait(lock, [this] { return gate_->inside == 0; });
}

}  // namespace harbormind
