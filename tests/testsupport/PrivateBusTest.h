#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "testsupport/PrivateBus.h"

namespace harbormind::test {

// A test on a private bus of its own; skipped when dbus-daemon cannot be started. A fixture
// that sets up more calls this SetUp first and returns when IsSkipped().
class PrivateBusTest : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        bus = PrivateBus::start(error);
        if (!bus) {
            GTEST_SKIP() << "no private bus: " << error;
        }
    }

    std::unique_ptr<PrivateBus> bus;
};

}  // namespace harbormind::test
