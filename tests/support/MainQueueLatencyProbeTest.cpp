#include <gtest/gtest.h>

#include <chrono>

#include "support/Dispatch.h"
#include "support/MainQueueLatencyProbe.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using std::chrono::milliseconds;

class MainQueueLatencyProbeTest : public test::VirtualClockTest {
protected:
    void idle(milliseconds length) { Dispatch::main().runUntil([] { return false; }, length); }
};

TEST_F(MainQueueLatencyProbeTest, AStalledQueueShowsAsItsLongestWaitAndAQuietOneAsNone) {
    MainQueueLatencyProbe probe(Dispatch::mainQueue(), milliseconds(4));
    probe.start();
    idle(milliseconds(100));
    // Work that holds the queue for 80 ms: the probe's task posted meanwhile waits for it.
    Dispatch::main().async([this] { clock->sleepFor(milliseconds(80)); });
    idle(milliseconds(100));
    MainQueueLatencyProbe::Summary stalled = probe.summary();
    EXPECT_GT(stalled.samples, 30U);
    EXPECT_GE(stalled.longest, milliseconds(76));
    EXPECT_LE(stalled.longest, milliseconds(80));
    EXPECT_EQ(stalled.median, milliseconds(0));
    EXPECT_NE(MainQueueLatencyProbe::describe(stalled).find("longest 8"), std::string::npos);

    // A reset forgets the stall; a stopped probe takes no more samples.
    probe.reset();
    idle(milliseconds(20));
    EXPECT_EQ(probe.summary().longest, milliseconds(0));
    probe.stop();
    std::size_t taken = probe.summary().samples;
    idle(milliseconds(50));
    EXPECT_EQ(probe.summary().samples, taken);
}

}  // namespace
}  // namespace harbormind
