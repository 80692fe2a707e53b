#include <gtest/gtest.h>

#include <string>

#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using test::VirtualClockTest;

TEST_F(VirtualClockTest, ATurnOfDrainingLeavesWhatItHadNoTimeForFirstInLine) {
    MainQueue& queue = Dispatch::main();
    std::string ran;
    queue.async([&] {
        ran += 'a';
        queue.async([&] { ran += 'd'; });
    });
    queue.async([&] { ran += 'b'; });
    queue.async([&] { ran += 'c'; });
    // A turn that is over at once still runs one task, so the queue always moves.
    EXPECT_TRUE(queue.drainFor(Clock::Duration::zero()));
    EXPECT_EQ(ran, "a");
    EXPECT_TRUE(queue.drainFor(Clock::Duration::zero()));
    EXPECT_EQ(ran, "ab");
    EXPECT_FALSE(queue.drainFor(seconds(60)));
    EXPECT_EQ(ran, "abcd");
}

}  // namespace
}  // namespace harbormind
