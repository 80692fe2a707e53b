#include <gtest/gtest.h>

#include <cstdlib>

#include "support/Dispatch.h"
#include "support/Log.h"

int main(int argc, char** argv) {
    harbormind::Log::setLevel(std::getenv("HARBORMIND_TEST_LOG") ? harbormind::LogLevel::Debug : harbormind::LogLevel::Off);
    harbormind::Dispatch::main().adoptCurrentThread();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
