#pragma once

#include <functional>
#include <utility>

#include "support/Dispatch.h"

namespace harbormind {

// Drive work blocks (commands, the helper daemon), so the dispatcher's flows make it away from
// the user-interface thread and come back to the main queue with the answer.
class DMAsyncWork {
public:
    // Runs `work` on the background queue, then `then` with its result on the main queue.
    // Whatever must outlive the work is captured by `work` or `then`.
    template <typename Result>
    static void run(std::function<Result()> work, std::function<void(Result)> then) {
        Dispatch::global()->async([work = std::move(work), then = std::move(then)] {
            Result result = work();
            Dispatch::main().async([then, result] { then(result); });
        });
    }
};

}  // namespace harbormind
