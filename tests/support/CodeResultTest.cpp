#include <gtest/gtest.h>

#include "support/CodeResult.h"

namespace harbormind {
namespace {

// Callers fill a result in as they learn what happened; one left as it was made (an early
// return, a reply that never came) must read as a failure, never as success.
TEST(CodeResult, OnlyAnExplicitSuccessSucceeds) {
    EXPECT_FALSE(CodeResult{}.succeeded());
    EXPECT_FALSE((CodeResult{16, "in use by bash (pid 812)"}.succeeded()));
    EXPECT_TRUE(CodeResult::success().succeeded());
    EXPECT_EQ(CodeResult::success("loop7"), (CodeResult{0, "loop7"}));
}

}  // namespace
}  // namespace harbormind
