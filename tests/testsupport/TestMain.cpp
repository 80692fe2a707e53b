#include <gtest/gtest.h>

#include "support/Dispatch.h"
#include "support/Log.h"

int main(int argc, char** argv) {
    harbormind::Log::setLevel(harbormind::LogLevel::Off);
    harbormind::Dispatch::main().adoptCurrentThread();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
