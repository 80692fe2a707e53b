#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "support/Clock.h"
#include "support/DispatchQueue.h"

namespace harbormind {

// Measures how late a queue (the main queue: the window's thread) runs work. Every `period` on
// the clock it posts a task stamped with the time it was posted and records how long after that
// the task ran; the next one is posted a period after it ran, so a stall counts once, at its
// length. Nothing runs until start().
class MainQueueLatencyProbe {
public:
    struct Summary {
        std::size_t samples = 0;
        Clock::Duration longest{0};
        Clock::Duration p99{0};
        Clock::Duration median{0};
    };

    static constexpr Clock::Duration defaultPeriod = std::chrono::milliseconds(4);

    explicit MainQueueLatencyProbe(std::shared_ptr<DispatchQueue> queue, Clock::Duration period = defaultPeriod);
    ~MainQueueLatencyProbe();
    MainQueueLatencyProbe(const MainQueueLatencyProbe&) = delete;
    MainQueueLatencyProbe& operator=(const MainQueueLatencyProbe&) = delete;

    void start();
    void stop();
    // Forgets the samples taken so far (between two measured moments).
    void reset();
    Summary summary() const;
    // "longest 12.3 ms, p99 4.1 ms, median 0.2 ms, 812 samples"
    static std::string describe(const Summary& summary);

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace harbormind
