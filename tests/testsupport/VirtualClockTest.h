#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "support/Clock.h"
#include "support/Dispatch.h"
#include "support/VirtualClock.h"

namespace harbormind::test {

// A fixture whose tests run on a fresh virtual clock, with the test thread as the main thread.
class VirtualClockTest : public testing::Test {
protected:
    void SetUp() override {
        clock = std::make_shared<VirtualClock>();
        Clock::setCurrent(clock);
        Dispatch::main().adoptCurrentThread();
    }
    void TearDown() override {
        Dispatch::main().runUntil([] { return false; }, seconds(0));
        Clock::setCurrent(nullptr);
    }

    double now() const { return toSeconds(clock->now()); }

    std::shared_ptr<VirtualClock> clock;
};

}  // namespace harbormind::test
