#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

#include "support/DispatchQueue.h"
#include "support/MainQueueLatencyProbe.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using std::chrono::milliseconds;

// A queue that runs its work only when the test says, so it can stall while time passes (the
// main queue cannot: a virtual clock stands still while it has work).
class HeldQueue final : public DispatchQueue {
public:
    void async(std::function<void()> work) override {
        std::lock_guard lock(mutex_);
        work_.push_back(std::move(work));
    }
    bool isCurrent() const override { return true; }
    void runAll() {
        std::vector<std::function<void()>> taken;
        {
            std::lock_guard lock(mutex_);
            taken.swap(work_);
        }
        for (auto& work : taken) {
            work();
        }
    }

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> work_;
};

class MainQueueLatencyProbeTest : public test::VirtualClockTest {
protected:
    // Time passes in steps of 1 ms and the queue runs its work after each, as an idle one does.
    void responsive(milliseconds length) {
        for (milliseconds passed{0}; passed < length; passed += milliseconds(1)) {
            clock->sleepFor(milliseconds(1));
            queue->runAll();
        }
    }

    std::shared_ptr<HeldQueue> queue = std::make_shared<HeldQueue>();
};

TEST_F(MainQueueLatencyProbeTest, AStalledQueueShowsAsItsLongestWaitAndAQuietOneAsNone) {
    MainQueueLatencyProbe probe(queue, milliseconds(4));
    probe.start();
    responsive(milliseconds(100));
    // The queue runs nothing for 80 ms: the probe's task posted meanwhile waits that long at most.
    clock->sleepFor(milliseconds(80));
    queue->runAll();
    responsive(milliseconds(100));
    MainQueueLatencyProbe::Summary stalled = probe.summary();
    EXPECT_GT(stalled.samples, 30U);
    EXPECT_GE(stalled.longest, milliseconds(76));
    EXPECT_LE(stalled.longest, milliseconds(80));
    EXPECT_EQ(stalled.median, milliseconds(0));
    EXPECT_EQ(MainQueueLatencyProbe::describe(stalled).rfind("longest ", 0), 0U);

    // A reset forgets the stall; a stopped probe takes no more samples.
    probe.reset();
    responsive(milliseconds(20));
    EXPECT_EQ(probe.summary().longest, milliseconds(0));
    probe.stop();
    std::size_t taken = probe.summary().samples;
    responsive(milliseconds(50));
    EXPECT_EQ(probe.summary().samples, taken);
}

}  // namespace
}  // namespace harbormind
