#pragma once

#include <string>
#include <utility>

#include "drivemodel/DMCompletion.h"
#include "support/Clock.h"
#include "support/CodeResult.h"
#include "support/ReplyWait.h"

namespace harbormind {

// Waits, at most `limit` on the clock, for the completion of a drive operation, which may run
// on another thread, after the operation returned, or never. The completion and the wait share
// their state, so a completion that comes after the wait ended is dropped harmlessly, and a
// wait that runs out is a failure saying that `what` gave no answer in time.
class DMCompletionWait {
public:
    DMCompletionWait(std::string what, Clock::Duration limit);

    // Starts `operation` with the completion and waits for it.
    template <typename Operation>
    static CodeResult run(std::string what, Clock::Duration limit, Operation&& operation) {
        DMCompletionWait wait(std::move(what), limit);
        std::forward<Operation>(operation)(wait.completion());
        return wait.wait();
    }

    // The completion to hand to the operation; any thread may call it, once.
    DMCompletion completion() const;
    CodeResult wait() const;

private:
    std::string what_;
    Clock::Duration limit_;
    ReplyWait<CodeResult> reply_;
};

}  // namespace harbormind
