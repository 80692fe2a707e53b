#include "daemon/linux/LinuxUSBWarden.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "../platform/linux/LinuxTestMachine.h"
#include "testsupport/VirtualClockTest.h"
#include "testsupport/WholeFile.h"
#include "usbblocker/USBBlockerTexts.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using Check = USBWardenStore::Check;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The daemon's Warden over the recorded machine (a USB stick sdb, an internal NVMe disk, a
// loop image), with its lists and state in a folder of the test's.
class LinuxUSBWardenTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::buildMachine(sysfs);
        sysfs.write("sys/class/block/sdb/diskseq", "41\n");
        folder = fs::path(sysfs.sysfsRoot()).parent_path() / "kestrane";
        options.listsFile = (folder / "usbblocker.cnf").string();
        options.paths = test::recordedMachinePaths(sysfs, {});
    }

    LinuxUSBWarden& warden() {
        if (!made) {
            made = std::make_unique<LinuxUSBWarden>(options);
        }
        return *made;
    }
    void turnOn(int mode) {
        ASSERT_TRUE(warden().store().setPassword("Harbor42"));
        USBWardenState state = warden().store().state();
        state.on = true;
        state.mode = mode;
        ASSERT_TRUE(warden().store().writeState(state));
    }
    void list(const std::string& lines) { std::ofstream(options.listsFile) << lines; }

    test::FakeSysfs sysfs;
    fs::path folder;
    LinuxUSBWarden::Options options;
    std::unique_ptr<LinuxUSBWarden> made;
};

TEST_F(LinuxUSBWardenTest, ThePasswordIsKeptAsASaltedHashOnlyRootReadsAndWrongOnesMakeTheNextTryWait) {
    constexpr std::uint32_t ann = 1000;
    USBWardenStore& store = warden().store();
    EXPECT_EQ(store.check(ann, "anything").check, Check::NotSet);
    ASSERT_TRUE(store.setPassword("Harbor42"));
    EXPECT_EQ(modeOf(store.passwordPath()), 0600u);
    EXPECT_EQ(modeOf(store.statePath()), 0644u);
    std::string hash = test::readWholeFile(store.passwordPath());
    EXPECT_EQ(hash.find("Harbor42"), std::string::npos);
    EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u) << hash;
    EXPECT_TRUE(store.state().passwordSet);
    EXPECT_FALSE(store.state().on);

    EXPECT_EQ(store.check(ann, "Harbor42").check, Check::Correct);
    // Each wrong password in a row doubles the wait, during which even the right one is refused.
    for (double wait : {1.0, 2.0, 4.0}) {
        USBWardenStore::CheckResult wrong = store.check(ann, "Harbor43");
        EXPECT_EQ(wrong.check, Check::Incorrect);
        EXPECT_EQ(wrong.wait, seconds(wait));
        EXPECT_EQ(store.check(ann, "Harbor42").check, Check::Wait);
        clock->sleepFor(seconds(wait));
    }
    EXPECT_EQ(store.check(ann, "Harbor42").check, Check::Correct);
    // A right password ends the count.
    EXPECT_EQ(store.check(ann, "Harbor43").wait, seconds(1));
}

TEST_F(LinuxUSBWardenTest, OneCallersWrongPasswordsDelayThatCallerAlone) {
    constexpr std::uint32_t ann = 1000;
    constexpr std::uint32_t bob = 1001;
    USBWardenStore& store = warden().store();
    ASSERT_TRUE(store.setPassword("Harbor42"));
    store.check(ann, "Harbor43");
    store.check(bob, "Harbor43");
    clock->sleepFor(seconds(1));
    EXPECT_EQ(store.check(ann, "Harbor44").wait, seconds(2));
    // Bob waits out his own first wrong try only, and his right password ends his count alone.
    EXPECT_EQ(store.check(bob, "Harbor42").check, Check::Correct);
    EXPECT_EQ(store.check(ann, "Harbor42").check, Check::Wait);
    EXPECT_EQ(store.check(0, "Harbor42").check, Check::Correct);
    // A new password starts every count again.
    ASSERT_TRUE(store.setPassword("Harbor45"));
    EXPECT_EQ(store.check(ann, "Harbor45").check, Check::Correct);
}

TEST_F(LinuxUSBWardenTest, AskingModeRefusesAnUnlistedStickUntilTheUserAllowsThatVeryMedium) {
    EXPECT_FALSE(warden().mountRefusal("sdb1")) << "off: nothing is refused";
    turnOn(USBWardenState::askEveryTime);
    EXPECT_EQ(warden().mountRefusal("sdb1"), std::string(USBBlockerTexts::driveGuard));
    EXPECT_FALSE(warden().mountRefusal("nvme0n1p1")) << "internal disks are not the Warden's";
    EXPECT_FALSE(warden().mountRefusal("loop3p1")) << "disk images are not guarded by default";

    EXPECT_EQ(warden().allowOnce("sdb1").code, 0);
    EXPECT_FALSE(warden().mountRefusal("sdb1"));
    EXPECT_FALSE(warden().mountRefusal("sdb"));
    // Another stick plugged in as sdb is another medium: asked about again.
    sysfs.write("sys/class/block/sdb/diskseq", "42\n");
    EXPECT_TRUE(warden().mountRefusal("sdb1"));
}

TEST_F(LinuxUSBWardenTest, TheListsDecideAndWhiteListOnlyAllowsNothingElse) {
    turnOn(USBWardenState::askEveryTime);
    list("SanDisk Ultra:30__black\n");
    EXPECT_NE(warden().allowOnce("sdb1").code, 0) << "a black-listed disk cannot be allowed";
    EXPECT_TRUE(warden().mountRefusal("sdb1"));
    list("SanDisk Ultra:30__white\n");
    EXPECT_FALSE(warden().mountRefusal("sdb1"));

    turnOn(USBWardenState::whiteListOnly);
    list("");
    EXPECT_NE(warden().allowOnce("sdb1").code, 0);
    EXPECT_TRUE(warden().mountRefusal("sdb1"));

    options.guardedImageFolder = "/home/ann/images";
    made.reset();
    EXPECT_EQ(warden().mountRefusal("loop3p1"), std::string(USBBlockerTexts::driveGuard));
    list("stick.img:1__white\n");
    EXPECT_FALSE(warden().mountRefusal("loop3p1"));
}

TEST_F(LinuxUSBWardenTest, ListChangesReachTheFileAndTheAdministratorsListsCountButStay) {
    EXPECT_EQ(warden().addEntry("SanDisk Ultra", 30, true), USBListsEditResult::Done);
    EXPECT_EQ(test::readWholeFile(options.listsFile), "SanDisk Ultra:30__white\n");
    EXPECT_EQ(modeOf(options.listsFile) & 0022, 0u);
    EXPECT_EQ(warden().addEntry("SanDisk Ultra", 30, false), USBListsEditResult::OnOtherList);
    EXPECT_EQ(warden().removeEntry("SanDisk Ultra", true), USBListsEditResult::Done);
    EXPECT_EQ(test::readWholeFile(options.listsFile), "");

    if (::geteuid() != 0) {
        GTEST_SKIP() << "the administrator's lists count only when root owns them";
    }
    fs::create_directories(folder / "usbblocker.d");
    fs::permissions(folder / "usbblocker.d", fs::perms(0755));
    std::ofstream(folder / "usbblocker.d" / "fleet.cnf") << "SanDisk Ultra:30__white\n";
    std::ofstream(folder / "usbblocker.d" / "notes.txt") << "Other:1__white\n";
    turnOn(USBWardenState::whiteListOnly);
    EXPECT_FALSE(warden().mountRefusal("sdb1"));
    EXPECT_EQ(warden().removeEntry("SanDisk Ultra", true), USBListsEditResult::SetByAdministrator);
    EXPECT_FALSE(warden().mountRefusal("sdb1"));
    // A file others could change is no administrator's word.
    fs::permissions(folder / "usbblocker.d" / "fleet.cnf", fs::perms(0666));
    EXPECT_TRUE(warden().mountRefusal("sdb1"));
}

}  // namespace
}  // namespace harbormind
