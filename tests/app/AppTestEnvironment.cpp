#include <gtest/gtest.h>

#include "AppTestSupport.h"

// Every window test runs as the installed program does, whichever of them run: one application
// object with the English catalogue installed before the first test begins.
namespace harbormind::test {
namespace {

class WindowEnvironment final : public testing::Environment {
public:
    void SetUp() override { ensureApplication(); }
};

[[maybe_unused]] const testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new WindowEnvironment);

}  // namespace
}  // namespace harbormind::test
