#include <gtest/gtest.h>

#include <mutex>

#include "drivemodel/DMCheckDiskText.h"
#include "drivemodel/DMCheckDiskWrapper.h"
#include "drivemodel/DriveModelFixture.h"
#include "xpc/DMCheckStatus.h"

namespace harbormind {
namespace {

using Key = DiskDescriptionKey;

class RecordingReceiver final : public DMCheckDiskWrapperDelegate {
public:
    void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) override {
        std::lock_guard lock(mutex);
        received.emplace_back(info, checkStatus);
    }
    std::vector<std::pair<std::string, std::int64_t>> all() {
        std::lock_guard lock(mutex);
        return received;
    }
    std::mutex mutex;
    std::vector<std::pair<std::string, std::int64_t>> received;
};

class CheckDiskWrapperTest : public test::DriveModelTest {
protected:
    void answer(PlatformValue::Dictionary checkDisk) {
        setDaemonAnswers(
            {{"bitlocker",
              PlatformValue::Dictionary{
                  {"isBitLockerDriveWithBsdname", PlatformValue::Dictionary{{"disk6s1", true}}},
                  {"getBitLockerBSDNameWithBsdname", PlatformValue::Dictionary{{"disk6s1", "disk7"}}},
                  {"bitLockerDriveStatusWithBsdname", PlatformValue::Dictionary{{"disk6s1", 17}}},
              }},
             {"checkDisk", std::move(checkDisk)}});
    }

    void buildDrives() {
        buildLaptop();
        RegistryEntryId disk5 = addWholeDisk("disk5", "Passport", false, "USB", 500000000000);
        addVolume("disk5s1", disk5, "WINDOWS", "ntfs", 500000000000);
        RegistryEntryId disk6 = addWholeDisk("disk6", "Windows Stick", false, "USB", 64000000000);
        addVolume("disk6s1", disk6, "", "", 64000000000);
        platform->removeDescription("disk6s1", Key::volumeKind);
        addWholeDisk("disk7", "BitLocker contents", false, "USB", 64000000000);
        platform->setDescription("disk7", Key::mediaWhole, false);
        platform->setDescription("disk7", Key::volumeKind, "ntfs");
        for (const char* name : {"disk5", "disk5s1", "disk6", "disk6s1", "disk7"}) {
            platform->appear(name);
        }
        startManager();
    }

    // The command line each First Aid request handed to the daemon.
    std::vector<std::string> commandLines() {
        std::vector<std::string> lines;
        for (const auto& call : daemon->calls()) {
            if (call.service == "checkDisk" && call.method == "firstAidWithArguments") {
                EXPECT_EQ(call.arguments.size(), 2u);
                EXPECT_EQ(call.arguments.front(), "-c");
                lines.push_back(call.arguments.back());
            }
        }
        return lines;
    }

    std::shared_ptr<DMLocalDriveObject> drive(const std::string& name) {
        return std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at(name));
    }
};

TEST_F(CheckDiskWrapperTest, CommandLinesForEachKindOfVolume) {
    answer({{"firstAidWithArguments", PlatformValue::Dictionary{{"*", true}}}});
    buildDrives();
    platform->unmountsTakeEffect = true;
    auto wrapper = DMCheckDiskWrapper::create();
    wrapper->check(drive("disk3s1"), false);
    wrapper->check(drive("disk4s1"), true);
    wrapper->check(drive("disk5s1"), false);
    wrapper->check(drive("disk5s1"), true);
    wrapper->check(drive("disk6s1"), true);
    wrapper->check(drive("disk6s1"), false);
    settle();
    const std::string checker = "'/Applications/Kestrane Harbormind.app/Contents/MacOS/fsck_NTFS'";
    EXPECT_EQ(commandLines(), (std::vector<std::string>{
                                  "diskutil repairVolume disk3s1",
                                  "diskutil repairVolume disk4s1",
                                  checker + " /dev/disk5s1 kestrane_chkdsk",
                                  checker + " /dev/disk5s1 -F kestrane_chkdsk",
                                  checker + " /dev/disk7 -F kestrane_chkdsk",
                                  checker + " /dev/disk7 kestrane_chkdsk",
                              }));
    EXPECT_EQ(wrapper->localDriveObj(), drive("disk6s1"));
}

using Stream = std::vector<std::pair<std::string, std::int64_t>>;

TEST_F(CheckDiskWrapperTest, AMountedVolumeIsUnmountedForTheCheckAndMountedAgainBeforeTheEndIsShown) {
    answer({{"firstAidWithArguments", PlatformValue::Dictionary{{"*", true}}},
            {"firstAidOutput",
             PlatformValue::Dictionary{{"*", PlatformValue::Array{"Checking", "Volume OK"}}}}});
    buildDrives();
    platform->unmountsTakeEffect = true;
    auto wrapper = DMCheckDiskWrapper::create();
    auto receiver = std::make_shared<RecordingReceiver>();
    wrapper->setDelegate(receiver);
    wrapper->check(drive("disk4s1"), false);
    settle();
    EXPECT_EQ(receiver->all(),
              (Stream{{"Checking the volume", 0},
                      {"disk4s1 was unmounted from /Volumes/STICK for the check; it is mounted again when the check "
                       "ends.\n",
                       1},
                      {"Checking\n", 1},
                      {"Volume OK\n", 1},
                      {"No errors found\n", 1},
                      {"disk4s1 is mounted again at /Volumes/STICK.\n", 1},
                      {"No errors found", 3}}));
    // A plain unmount before the command, the mount after it.
    using Request = std::pair<std::string, std::uint32_t>;
    auto requests = platform->diskRequests();
    ASSERT_GE(requests.size(), 2U);
    EXPECT_EQ(requests[requests.size() - 2], (Request{"unmount disk4s1", 0}));
    EXPECT_EQ(requests.back(), (Request{"mount disk4s1", 0}));
    EXPECT_EQ(commandLines(), (std::vector<std::string>{"diskutil repairVolume disk4s1"}));

    // A volume that was not mounted is left unmounted afterwards.
    platform->removeDescription("disk4s1", Key::volumePath);
    auto before = platform->diskRequests().size();
    wrapper->check(drive("disk4s1"), false);
    settle();
    EXPECT_EQ(platform->diskRequests().size(), before);
    EXPECT_EQ(receiver->all().back(), (std::pair<std::string, std::int64_t>{"No errors found", 3}));
}

TEST_F(CheckDiskWrapperTest, AVolumeInUseIsNeitherCheckedNorJudgedAndTheEndSaysWhatHoldsIt) {
    answer({{"firstAidWithArguments", PlatformValue::Dictionary{{"*", true}}}});
    buildDrives();
    platform->diskRequestRefusals["disk4s1"] = DADissenter{DADissenter::busy, "in use by bash (pid 812)"};
    auto wrapper = DMCheckDiskWrapper::create();
    auto receiver = std::make_shared<RecordingReceiver>();
    wrapper->setDelegate(receiver);
    wrapper->check(drive("disk4s1"), true);
    settle();
    EXPECT_EQ(receiver->all(),
              (Stream{{"disk4s1 (mounted at /Volumes/STICK) could not be unmounted for the check: in use by bash (pid "
                       "812). Close what uses it, then start First Aid again.",
                       2}}));
    EXPECT_TRUE(commandLines().empty()) << "nothing was handed to the daemon";
}

// The daemon is asked before anything is unmounted: a refusal, or no answer at all, ends the
// run with the reason and leaves the volume mounted as it was.
TEST_F(CheckDiskWrapperTest, ACheckTheDaemonRefusesBeforehandLeavesTheVolumeMounted) {
    answer({{"canRunFirstAidWithArguments", PlatformValue::Dictionary{{"*", 13}}},
            {"canRunFirstAidWithArgumentsMessage", PlatformValue::Dictionary{{"*", "refused: not authorized"}}}});
    buildDrives();
    platform->unmountsTakeEffect = true;
    auto wrapper = DMCheckDiskWrapper::create();
    auto receiver = std::make_shared<RecordingReceiver>();
    wrapper->setDelegate(receiver);
    wrapper->check(drive("disk4s1"), true);
    settle();
    EXPECT_EQ(receiver->all(), (Stream{{"refused: not authorized", 2}}));
    EXPECT_TRUE(platform->diskRequests().empty()) << platform->diskRequests().back().first;
    EXPECT_TRUE(commandLines().empty()) << "the check itself was asked for";
}

TEST_F(CheckDiskWrapperTest, AnUnreachableDaemonOrAnOddNameEndsTheRunAndLeavesTheVolumeMounted) {
    answer({{"connection", "fail"}});
    buildDrives();
    platform->unmountsTakeEffect = true;
    auto wrapper = DMCheckDiskWrapper::create();
    auto receiver = std::make_shared<RecordingReceiver>();
    wrapper->setDelegate(receiver);
    wrapper->check(drive("disk4s1"), false);
    settle();
    EXPECT_EQ(receiver->all(), (Stream{{DMCheckDiskText::notStarted, 2}}));
    EXPECT_TRUE(platform->diskRequests().empty()) << platform->diskRequests().back().first;

    EXPECT_FALSE(wrapper->shell().repairVolume("disk4s1; rm -rf ~"));
    EXPECT_FALSE(wrapper->shell().ntfsChecker("$(reboot)", true));
    EXPECT_FALSE(wrapper->shell().repairVolume("-rf"));
    EXPECT_EQ(wrapper->shell().repairVolume("nvme0n1p2"), "diskutil repairVolume nvme0n1p2");
}

TEST_F(CheckDiskWrapperTest, ACommandTheDaemonRefusesEndsTheRunInsteadOfLeavingItWaiting) {
    // A device in use is refused before anything runs, so no stream would ever come.
    answer({{"firstAidWithArguments", PlatformValue::Dictionary{{"*", false}}}});
    buildDrives();
    platform->removeDescription("disk4s1", Key::volumePath);
    auto wrapper = DMCheckDiskWrapper::create();
    auto receiver = std::make_shared<RecordingReceiver>();
    wrapper->setDelegate(receiver);
    wrapper->check(drive("disk4s1"), true);
    settle();
    EXPECT_EQ(receiver->all(), (Stream{{DMCheckDiskText::notStarted, 2}}));
}

}  // namespace
}  // namespace harbormind
