#include "support/Dispatch.h"

namespace harbormind {

std::shared_ptr<MainQueue> Dispatch::mainQueue() {
    // Never destroyed: worker threads may post to it while the process exits.
    static auto* queue = new std::shared_ptr<MainQueue>(std::make_shared<MainQueue>());
    return *queue;
}

MainQueue& Dispatch::main() {
    return *mainQueue();
}

std::shared_ptr<DispatchQueue> Dispatch::global() {
    static auto* queue = new std::shared_ptr<DispatchQueue>(std::make_shared<ConcurrentQueue>(256));
    return *queue;
}

}  // namespace harbormind
