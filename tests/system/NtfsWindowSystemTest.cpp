// An NTFS stick mounted read-write from the window through the daemon's NTFS service: the user
// of the stick writes to it; a user the daemon refuses is told why, once, and nothing is mounted.
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

TEST_F(NtfsWindowSystemTest, ARefusedUserIsToldTheDaemonsReasonOnceAndNothingIsMounted) {
    WindowFlowOutcome mounted = window(SystemRole::refused, "click", {stick->volume(), "Mount"});
    ASSERT_TRUE(mounted.report.value("clicked", false)) << mounted.report.dump();
    const nlohmann::json alerts = mounted.report.value("alerts", nlohmann::json::array());
    ASSERT_EQ(alerts.size(), 1u) << mounted.report.dump();
    const std::string said = alerts[0].dump();
    EXPECT_NE(said.find("using it needs an administrator"), std::string::npos) << said;
    EXPECT_EQ(said.find("error code"), std::string::npos) << said;
    EXPECT_EQ(alerts[0].value("buttons", nlohmann::json::array()).size(), 1u) << "First Aid offered for a refusal";
    EXPECT_TRUE(KernelMounts::mountPointsOf(stick->volumePath()).empty()) << daemonLog();
}

}  // namespace
}  // namespace harbormind::test
