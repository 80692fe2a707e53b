// First Aid on a mounted volume of the user's own, as installed: from the window's action bar and
// from the command line, through the daemon and polkit. The volume is unmounted for the check,
// judged by the checker and mounted again; a busy volume stays mounted and says what holds it;
// a check that did not run looks like one that failed.
#include <gtest/gtest.h>

#include "system/support/FolderHolder.h"
#include "system/support/KernelMounts.h"
#include "system/support/SystemTest.h"

namespace harbormind::test {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class FirstAidSystemTest : public SystemTest {
protected:
    // A mounted ext4 volume on a disk image the role's user attached.
    void mountOwnVolume(SystemRole role) {
        owner = role;
        volume = &loopVolume({.fileSystem = "ext4", .label = "HMAID", .partitioned = true});
        attachedBy(*volume, role);
        Outcome mounted = ctl(role, {"mount", volume->volume()});
        ASSERT_EQ(mounted.status, 0) << mounted.out << mounted.err;
        ASSERT_EQ(mounts(), std::vector<std::string>{mountPoint()});
    }
    std::string mountPoint() const { return mediaFolder(owner) + "/HMAID"; }
    std::vector<std::string> mounts() const { return KernelMounts::mountPointsOf(volume->volumePath()); }

    // The sheet of a check that did not run: no finished look, the reason in sight.
    static void expectFailedLook(const nlohmann::json& sheet) {
        EXPECT_EQ(sheet.value("title", ""), "The check did not complete") << sheet.dump();
        EXPECT_FALSE(sheet.value("progressShown", true)) << sheet.dump();
        EXPECT_TRUE(sheet.value("completeEnabled", false)) << sheet.dump();
        EXPECT_FALSE(contains(sheet.value("output", ""), "Check completes")) << sheet.dump();
    }

    SystemRole owner = SystemRole::administrator;
    LoopVolume* volume = nullptr;
};

// The administrator of the machine (who authenticated, as First Aid asks) checks a volume they
// mounted themselves.
TEST_F(FirstAidSystemTest, AMountedVolumeIsUnmountedForTheCheckJudgedCleanAndMountedAgain) {
    mountOwnVolume(SystemRole::administrator);

    WindowFlowOutcome shown = window(SystemRole::administrator, "firstaid", {volume->volume()});
    ASSERT_TRUE(shown.report.value("ended", false)) << shown.report.dump();
    const nlohmann::json& sheet = shown.report["sheet"];
    EXPECT_EQ(sheet.value("title", ""), "Complete") << sheet.dump();
    EXPECT_TRUE(contains(sheet.value("output", ""), "No errors found")) << sheet.dump();
    EXPECT_TRUE(contains(sheet.value("output", ""), volume->volume() + " was unmounted from " + mountPoint()))
        << sheet.dump();
    EXPECT_TRUE(contains(sheet.value("output", ""), volume->volume() + " is mounted again at " + mountPoint()))
        << sheet.dump();
    EXPECT_FALSE(contains(sheet.value("output", ""), "Errors remain")) << sheet.dump();
    EXPECT_TRUE(shown.report["alerts"].empty()) << shown.report.dump();
    EXPECT_TRUE(shown.report["after"].value("mounted", false)) << shown.report.dump();
    EXPECT_EQ(mounts(), std::vector<std::string>{mountPoint()});

    Outcome checked = ctl(SystemRole::administrator, {"check", volume->volume()});
    EXPECT_EQ(checked.status, 0) << checked.out << checked.err;
    EXPECT_TRUE(contains(checked.out, "No errors found")) << checked.out;
    EXPECT_TRUE(contains(checked.out, "is mounted again at " + mountPoint())) << checked.out;
    EXPECT_EQ(mounts(), std::vector<std::string>{mountPoint()});
}

TEST_F(FirstAidSystemTest, ABusyVolumeStaysMountedAndTheCheckSaysWhatHoldsIt) {
    mountOwnVolume(SystemRole::administrator);
    auto holder = FolderHolder::start(account(SystemRole::administrator), mountPoint());
    ASSERT_TRUE(holder);

    WindowFlowOutcome shown = window(SystemRole::administrator, "firstaid", {volume->volume()});
    ASSERT_TRUE(shown.report.value("ended", false)) << shown.report.dump();
    const nlohmann::json& sheet = shown.report["sheet"];
    expectFailedLook(sheet);
    EXPECT_TRUE(contains(sheet.value("tip", ""), "in use by tail")) << sheet.dump();
    EXPECT_EQ(mounts(), std::vector<std::string>{mountPoint()});

    Outcome checked = ctl(SystemRole::administrator, {"check", volume->volume()});
    EXPECT_NE(checked.status, 0);
    EXPECT_TRUE(contains(checked.out + checked.err, "in use by tail")) << checked.out << checked.err;
    EXPECT_FALSE(contains(checked.out, "No errors found")) << checked.out;
    EXPECT_EQ(mounts(), std::vector<std::string>{mountPoint()});
}

// A desktop user may mount their own stick but not check it (checking asks for an
// administrator): the refusal looks like a failure, with the reason, and the volume was never
// unmounted for it (the same mount stays, it is not mounted again).
TEST_F(FirstAidSystemTest, ARefusedCheckLooksLikeAFailureAndLeavesTheVolumeUntouched) {
    mountOwnVolume(SystemRole::desktop);
    const std::vector<std::string> mountedAs = KernelMounts::mountIdsOf(volume->volumePath());

    WindowFlowOutcome shown = window(SystemRole::desktop, "firstaid", {volume->volume()});
    ASSERT_TRUE(shown.report.value("ended", false)) << shown.report.dump();
    const nlohmann::json& sheet = shown.report["sheet"];
    expectFailedLook(sheet);
    EXPECT_TRUE(contains(sheet.value("tip", ""), "not allowed to check this drive")) << sheet.dump();
    EXPECT_FALSE(contains(sheet.value("output", ""), "mounted again")) << sheet.dump();
    EXPECT_TRUE(shown.report["after"].value("mounted", false)) << shown.report.dump();
    EXPECT_EQ(mounts(), std::vector<std::string>{mountPoint()});
    EXPECT_EQ(KernelMounts::mountIdsOf(volume->volumePath()), mountedAs);

    Outcome checked = ctl(SystemRole::desktop, {"check", volume->volume()});
    EXPECT_NE(checked.status, 0);
    EXPECT_TRUE(contains(checked.out, "not allowed to check this drive")) << checked.out << checked.err;
    EXPECT_FALSE(contains(checked.out, "No errors found")) << checked.out;
    EXPECT_FALSE(contains(checked.out, "mounted again")) << checked.out;
    EXPECT_EQ(KernelMounts::mountIdsOf(volume->volumePath()), mountedAs);
}

}  // namespace
}  // namespace harbormind::test
