#include <gtest/gtest.h>

#include <atomic>

#include "support/Dispatch.h"
#include "support/SerialQueue.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using test::VirtualClockTest;

// Regression: a thread waiting in sync() was notified that its work was done, but before it
// woke the clock saw nobody busy and jumped to the main thread's time limit.
TEST_F(VirtualClockTest, TimeDoesNotMoveWhileANotifiedWaiterIsWaking) {
    auto worker = SerialQueue::create("worker");
    auto helper = SerialQueue::create("helper");
    for (int round = 0; round < 300; ++round) {
        std::atomic<bool> done{false};
        worker->async([&] {
            helper->sync([] {});
            done = true;
        });
        ASSERT_TRUE(Dispatch::main().runUntil([&] { return done.load(); }, seconds(60))) << "round " << round;
        ASSERT_EQ(now(), 0.0) << "round " << round;
    }
}

}  // namespace
}  // namespace harbormind
