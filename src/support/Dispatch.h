#pragma once

#include <memory>

#include "support/ConcurrentQueue.h"
#include "support/MainQueue.h"

namespace harbormind {

// The process-wide queues.
class Dispatch {
public:
    static MainQueue& main();
    static std::shared_ptr<MainQueue> mainQueue();
    static std::shared_ptr<DispatchQueue> global();
};

}  // namespace harbormind
