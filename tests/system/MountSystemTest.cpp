// Mounting, unmounting and ejecting a loop volume as the users of an installed system: from the
// command line and from the window, the user of the desktop session, a refused user and another
// user who did not mount the volume.
#include <gtest/gtest.h>

#include "system/support/FolderHolder.h"
#include "system/support/KernelMounts.h"
#include "system/support/SystemTest.h"

namespace harbormind::test {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class MountSystemTest : public SystemTest {
protected:
    void SetUp() override {
        SystemTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        LoopVolumeOrder order;
        order.label = "HMSTICK";
        order.partitioned = true;
        stick = &loopVolume(order);
        attachedBy(*stick, SystemRole::desktop);
    }

    std::string userMountPoint(SystemRole role) const { return mediaFolder(role) + "/HMSTICK"; }
    std::vector<std::string> mounts() const { return KernelMounts::mountPointsOf(stick->volumePath()); }

    LoopVolume* stick = nullptr;
};

TEST_F(MountSystemTest, TheDaemonAnswersEveryUserWithItsVersionAndServices) {
    for (SystemRole role : {SystemRole::desktop, SystemRole::refused}) {
        Outcome status = ctl(role, {"daemon", "status"});
        EXPECT_EQ(status.status, 0) << status.out << status.err;
        EXPECT_TRUE(contains(status.out, "drivemanagerd ")) << status.out;
        EXPECT_FALSE(contains(status.out, "does not answer")) << status.out;
    }
}

TEST_F(MountSystemTest, TheDesktopUserMountsUnmountsAndEjectsTheirStickFromTheCommandLine) {
    Outcome mounted = ctl(SystemRole::desktop, {"mount", stick->volume()});
    ASSERT_EQ(mounted.status, 0) << mounted.out << mounted.err;
    EXPECT_TRUE(contains(mounted.out, userMountPoint(SystemRole::desktop))) << mounted.out;
    EXPECT_EQ(mounts(), std::vector<std::string>{userMountPoint(SystemRole::desktop)});

    Outcome unmounted = ctl(SystemRole::desktop, {"unmount", stick->volume()});
    EXPECT_EQ(unmounted.status, 0) << unmounted.out << unmounted.err;
    EXPECT_TRUE(mounts().empty());

    ASSERT_EQ(ctl(SystemRole::desktop, {"mount", stick->volume()}).status, 0);
    Outcome ejected = ctl(SystemRole::desktop, {"eject", stick->volume()});
    EXPECT_EQ(ejected.status, 0) << ejected.out << ejected.err;
    EXPECT_TRUE(mounts().empty());
    EXPECT_FALSE(stick->attached()) << "the ejected loop device is still attached";
}

TEST_F(MountSystemTest, ARefusedUserIsToldWhyAndNothingIsMounted) {
    Outcome mounted = ctl(SystemRole::refused, {"mount", stick->volume()});
    EXPECT_NE(mounted.status, 0);
    EXPECT_TRUE(contains(mounted.err, "you did not attach: using it needs an administrator")) << mounted.err;
    EXPECT_TRUE(mounts().empty());
}

TEST_F(MountSystemTest, AnotherUserCanNeitherUnmountNorEjectTheVolume) {
    ASSERT_EQ(ctl(SystemRole::desktop, {"mount", stick->volume()}).status, 0);
    const std::vector<std::pair<std::string, std::string>> refusals{
        {"unmount", "was not mounted for you"}, {"eject", "you did not attach: detaching it needs an administrator"}};
    for (const auto& [verb, reason] : refusals) {
        Outcome refused = ctl(SystemRole::otherDesktop, {verb, stick->volume()});
        EXPECT_NE(refused.status, 0) << verb;
        EXPECT_TRUE(contains(refused.err, reason)) << verb << ": " << refused.err;
    }
    EXPECT_EQ(mounts(), std::vector<std::string>{userMountPoint(SystemRole::desktop)});
    EXPECT_TRUE(stick->attached());
}

TEST_F(MountSystemTest, AVolumeInUseStaysMountedAndTheUserLearnsWhichProgramHoldsIt) {
    ASSERT_EQ(ctl(SystemRole::desktop, {"mount", stick->volume()}).status, 0);
    auto holder = FolderHolder::start(account(SystemRole::desktop), userMountPoint(SystemRole::desktop));
    ASSERT_TRUE(holder);
    Outcome busy = ctl(SystemRole::desktop, {"unmount", stick->volume()});
    EXPECT_NE(busy.status, 0);
    EXPECT_TRUE(contains(busy.err, "in use by tail")) << busy.err;

    // The window says the same and leaves the volume mounted when the user keeps it.
    WindowFlowOutcome clicked = window(SystemRole::desktop, "click", {stick->volume(), "Unmount"});
    ASSERT_TRUE(clicked.report.value("clicked", false)) << clicked.report.dump();
    ASSERT_FALSE(clicked.report["alerts"].empty()) << clicked.report.dump();
    const nlohmann::json& alert = clicked.report["alerts"].back();
    EXPECT_TRUE(contains(alert.dump(), "in use by tail")) << alert.dump();
    EXPECT_EQ(mounts(), std::vector<std::string>{userMountPoint(SystemRole::desktop)});
}

TEST_F(MountSystemTest, TheDesktopUserMountsUnmountsAndEjectsFromTheWindow) {
    WindowFlowOutcome mounted = window(SystemRole::desktop, "click", {stick->volume(), "Mount"});
    EXPECT_TRUE(mounted.report["alerts"].empty()) << mounted.report.dump();
    EXPECT_EQ(mounted.report["after"].value("mountPoint", ""), userMountPoint(SystemRole::desktop))
        << mounted.report.dump();
    EXPECT_EQ(mounts(), std::vector<std::string>{userMountPoint(SystemRole::desktop)});

    WindowFlowOutcome unmounted = window(SystemRole::desktop, "click", {stick->volume(), "Unmount"});
    EXPECT_TRUE(unmounted.report["alerts"].empty()) << unmounted.report.dump();
    EXPECT_FALSE(unmounted.report["after"].value("mounted", true)) << unmounted.report.dump();
    EXPECT_TRUE(mounts().empty());

    // A disk is ejected from its own view, its mounted volumes with it.
    ASSERT_EQ(ctl(SystemRole::desktop, {"mount", stick->volume()}).status, 0);
    WindowFlowOutcome ejected = window(SystemRole::desktop, "click", {stick->disk(), "Eject"});
    EXPECT_TRUE(ejected.report["alerts"].empty()) << ejected.report.dump();
    const nlohmann::json& after = ejected.report["after"];
    EXPECT_TRUE(!after.value("inTree", true) || after.value("name", "") != ejected.report["before"].value("name", ""))
        << ejected.report.dump();
    EXPECT_TRUE(mounts().empty());
    EXPECT_FALSE(stick->attached());
}

TEST_F(MountSystemTest, TheWindowTellsARefusedUserWhyTheMountFailed) {
    WindowFlowOutcome mounted = window(SystemRole::refused, "click", {stick->volume(), "Mount"});
    ASSERT_TRUE(mounted.report.value("clicked", false)) << mounted.report.dump();
    ASSERT_EQ(mounted.report["alerts"].size(), 1u) << mounted.report.dump();
    EXPECT_TRUE(contains(mounted.report["alerts"][0].dump(), "using it needs an administrator"))
        << mounted.report.dump();
    EXPECT_TRUE(mounts().empty());
}

}  // namespace
}  // namespace harbormind::test
