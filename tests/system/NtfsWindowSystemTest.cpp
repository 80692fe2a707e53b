// An NTFS stick mounted read-write from the window through the daemon's NTFS service: the user
// of the stick writes to it.
#include <gtest/gtest.h>

#include "system/support/KernelMounts.h"
#include "system/support/SystemTest.h"

namespace harbormind::test {
namespace {

class NtfsWindowSystemTest : public SystemTest {
protected:
    void SetUp() override {
        SystemTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        stick = &loopVolume({.fileSystem = "ntfs", .label = "HMNTFS", .partitioned = true});
        attachedBy(*stick, SystemRole::desktop);
    }
    LoopVolume* stick = nullptr;
};

TEST_F(NtfsWindowSystemTest, TheUsersStickMountsReadWriteAndTheyWriteToIt) {
    WindowFlowOutcome mounted = window(SystemRole::desktop, "click", {stick->volume(), "Mount"});
    ASSERT_TRUE(mounted.report.value("clicked", false)) << mounted.report.dump();
    EXPECT_TRUE(mounted.report.value("alerts", nlohmann::json::array()).empty()) << mounted.report.dump();
    const std::string at = mediaFolder(SystemRole::desktop) + "/HMNTFS";
    ASSERT_EQ(KernelMounts::mountPointsOf(stick->volumePath()), std::vector<std::string>{at}) << daemonLog();
    Outcome written = runAs(SystemRole::desktop, {"sh", "-c", "echo harbour > \"$0/written.txt\"", at});
    EXPECT_EQ(written.status, 0) << written.err;
}

}  // namespace
}  // namespace harbormind::test
