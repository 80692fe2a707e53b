#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "support/Dispatch.h"
#include "support/ReplyWait.h"
#include "support/SerialQueue.h"
#include "support/Timer.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using test::VirtualClockTest;

TEST_F(VirtualClockTest, BackgroundPollOf120SecondsTakesNoRealTime) {
    auto started = std::chrono::steady_clock::now();
    std::atomic<int> polls{0};
    std::atomic<bool> finished{false};
    double finishedAt = 0;
    Dispatch::global()->async([&] {
        for (int i = 0; i < 120; ++i) {
            ++polls;
            Clock::current().sleepFor(seconds(1));
        }
        Dispatch::main().async([&] {
            finishedAt = now();
            finished = true;
        });
    });
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return finished.load(); }));
    EXPECT_EQ(polls, 120);
    EXPECT_EQ(finishedAt, 120.0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
}

TEST_F(VirtualClockTest, DelayedWorkRunsExactlyAfterItsDelayInOrder) {
    std::vector<std::pair<int, double>> fired;
    auto main = Dispatch::mainQueue();
    main->asyncAfter(seconds(3.0), [&] { fired.emplace_back(2, now()); });
    main->asyncAfter(seconds(0.3), [&] {
        fired.emplace_back(1, now());
        main->asyncAfter(seconds(0.1), [&] { fired.emplace_back(3, now()); });
    });
    ASSERT_TRUE(main->runUntil([&] { return fired.size() == 3; }));
    ASSERT_EQ(fired.size(), 3U);
    EXPECT_EQ(fired[0].first, 1);
    EXPECT_DOUBLE_EQ(fired[0].second, 0.3);
    EXPECT_EQ(fired[1].first, 3);
    EXPECT_DOUBLE_EQ(fired[1].second, 0.4);
    EXPECT_EQ(fired[2].first, 2);
    EXPECT_DOUBLE_EQ(fired[2].second, 3.0);
}

TEST_F(VirtualClockTest, TimeStandsStillWhileWorkIsPending) {
    auto queue = SerialQueue::create("busy");
    std::atomic<bool> done{false};
    double sleptUntil = 0;
    queue->async([&] {
        // A long computation with no waits: a sleeper elsewhere must not overtake it.
        volatile long sink = 0;
        for (long i = 0; i < 2000000; ++i) {
            sink = sink + i;
        }
        sleptUntil = now();
        done = true;
        Clock::current().notifyAll();
    });
    Clock::current().waitUntil([&] { return done.load(); }, std::nullopt);
    EXPECT_EQ(sleptUntil, 0.0);
}

TEST_F(VirtualClockTest, RepeatingTimerStopsWhenInvalidated) {
    int ticks = 0;
    std::shared_ptr<Timer> timer;
    timer = Timer::scheduled(Dispatch::mainQueue(), seconds(1), TimerRepeat::Repeating, [&] {
        if (++ticks == 3) {
            timer->invalidate();
        }
    });
    Dispatch::main().runUntil([] { return false; }, seconds(10));
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer->isValid());
    EXPECT_DOUBLE_EQ(now(), 10.0);
}

TEST_F(VirtualClockTest, WorkDelayedByZeroRunsWithoutTimePassing) {
    bool ran = false;
    Dispatch::mainQueue()->asyncAfter(seconds(0), [&] { ran = true; });
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return ran; }));
    EXPECT_EQ(now(), 0.0);
}

TEST_F(VirtualClockTest, OneShotTimerInvalidatedBeforeFiringNeverFires) {
    bool fired = false;
    auto timer = Timer::scheduled(Dispatch::mainQueue(), seconds(0.5), TimerRepeat::Once, [&] { fired = true; });
    timer->invalidate();
    Dispatch::main().runUntil([] { return false; }, seconds(2));
    EXPECT_FALSE(fired);
}

TEST_F(VirtualClockTest, ReplyWaitGivesDefaultAfterItsLimitAndIgnoresLateReplies) {
    ReplyWait<int> wait(-1);
    auto reply = wait.replyHandler();
    EXPECT_EQ(wait.wait(seconds(5), "a silent peer"), -1);
    EXPECT_DOUBLE_EQ(now(), 5.0);
    reply(7);
    EXPECT_EQ(wait.wait(seconds(5), "a silent peer"), -1);
}

TEST_F(VirtualClockTest, ReplyWaitReturnsAnAnswerFromAnotherThread) {
    ReplyWait<std::string> wait("");
    auto reply = wait.replyHandler();
    Dispatch::global()->async([reply] {
        Clock::current().sleepFor(seconds(2));
        reply("disk4");
    });
    EXPECT_EQ(wait.wait(seconds(30), "a name"), "disk4");
    EXPECT_DOUBLE_EQ(now(), 2.0);
}

TEST_F(VirtualClockTest, SerialQueueRunsInOrderAndSyncWaitsForItsWork) {
    auto queue = SerialQueue::create("order");
    std::vector<int> order;
    for (int i = 0; i < 100; ++i) {
        queue->async([&order, i] { order.push_back(i); });
    }
    queue->sync([&order] { order.push_back(100); });
    ASSERT_EQ(order.size(), 101U);
    for (int i = 0; i <= 100; ++i) {
        EXPECT_EQ(order[static_cast<size_t>(i)], i);
    }
}

// Regression: a task holding the last reference to its own queue destroyed the queue on the
// queue's thread, which then went on using the freed queue.
TEST_F(VirtualClockTest, ASerialQueueReleasedByItsOwnTaskFinishesSafely) {
    std::atomic<bool> released{false};
    std::atomic<bool> done{false};
    {
        auto queue = SerialQueue::create("self-owned");
        queue->async([queue, &released, &done]() mutable {
            Clock::current().waitUntil([&] { return released.load(); }, std::nullopt);
            queue.reset();
            done = true;
            Clock::current().notifyAll();
        });
    }
    released = true;
    Clock::current().notifyAll();
    Clock::current().waitUntil([&] { return done.load(); }, std::nullopt);
    EXPECT_TRUE(done);
}

TEST_F(VirtualClockTest, ManyConcurrentSleepersAllWakeAtTheirOwnTime) {
    constexpr int sleepers = 20;
    std::vector<double> wokeAt(sleepers, -1);
    std::atomic<int> done{0};
    for (int i = 0; i < sleepers; ++i) {
        Dispatch::global()->async([&, i] {
            Clock::current().sleepFor(seconds(i + 1));
            wokeAt[static_cast<size_t>(i)] = toSeconds(Clock::current().now());
            ++done;
            Clock::current().notifyAll();
        });
    }
    Clock::current().waitUntil([&] { return done.load() == sleepers; }, std::nullopt);
    for (int i = 0; i < sleepers; ++i) {
        EXPECT_DOUBLE_EQ(wokeAt[static_cast<size_t>(i)], i + 1.0);
    }
}

}  // namespace
}  // namespace harbormind

namespace harbormind {
namespace {

using SerialQueueClockTest = test::VirtualClockTest;

// Regression: a serial-queue task that waits with a time limit while more tasks are queued
// behind it must reach its limit; the tasks behind it cannot run, so they do not stop time.
TEST_F(SerialQueueClockTest, SerialTaskWaitingWithALimitIsNotBlockedByTasksQueuedBehindIt) {
    auto queue = SerialQueue::create("waiting");
    std::atomic<int> ran{0};
    double firstDoneAt = -1;
    double secondDoneAt = -1;
    queue->async([&] {
        ReplyWait<int> wait(7);
        EXPECT_EQ(wait.wait(seconds(10), "nothing"), 7);
        firstDoneAt = now();
        ++ran;
    });
    queue->async([&] {
        ReplyWait<int> wait(8);
        EXPECT_EQ(wait.wait(seconds(10), "nothing"), 8);
        secondDoneAt = now();
        ++ran;
    });
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return ran.load() == 2; }, seconds(60)));
    EXPECT_DOUBLE_EQ(firstDoneAt, 10.0);
    EXPECT_DOUBLE_EQ(secondDoneAt, 20.0);
}

}  // namespace
}  // namespace harbormind
