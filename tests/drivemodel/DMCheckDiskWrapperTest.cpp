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
            if (call.service == "checkDisk") {
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

TEST_F(CheckDiskWrapperTest, TheStreamReachesTheDelegateAndTheEndMountsTheDriveAgain) {
    answer({{"firstAidWithArguments", PlatformValue::Dictionary{{"*", true}}},
            {"firstAidOutput",
             PlatformValue::Dictionary{{"*", PlatformValue::Array{"Checking", "Volume OK"}}}}});
    buildDrives();
    auto wrapper = DMCheckDiskWrapper::create();
    auto receiver = std::make_shared<RecordingReceiver>();
    wrapper->setDelegate(receiver);
    auto volume = drive("disk4s1");
    wrapper->check(volume, false);
    settle();
    using R = std::vector<std::pair<std::string, std::int64_t>>;
    EXPECT_EQ(receiver->all(), (R{{"Checking the volume", 0},
                                  {"Checking\n", 1},
                                  {"Volume OK\n", 1},
                                  {"No errors found\n", 1},
                                  {"No errors found", 3}}));
    auto lines = platform->commandLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), platform->mountVolume("disk4s1")), lines.end());
}

TEST_F(CheckDiskWrapperTest, AnUnreachableDaemonOrAnOddNameEndsTheRunInsteadOfLeavingItWaiting) {
    answer({{"connection", "fail"}});
    buildDrives();
    auto wrapper = DMCheckDiskWrapper::create();
    auto receiver = std::make_shared<RecordingReceiver>();
    wrapper->setDelegate(receiver);
    wrapper->check(drive("disk4s1"), false);
    settle();
    ASSERT_EQ(receiver->all().size(), 1u);
    EXPECT_EQ(receiver->all()[0], std::make_pair(std::string(DMCheckDiskText::notStarted), std::int64_t{2}));

    EXPECT_FALSE(wrapper->shell().repairVolume("disk4s1; rm -rf ~"));
    EXPECT_FALSE(wrapper->shell().ntfsChecker("$(reboot)", true));
    EXPECT_FALSE(wrapper->shell().repairVolume("-rf"));
    EXPECT_EQ(wrapper->shell().repairVolume("nvme0n1p2"), "diskutil repairVolume nvme0n1p2");
}

TEST_F(CheckDiskWrapperTest, ACommandTheDaemonRefusesEndsTheRunInsteadOfLeavingItWaiting) {
    // A device in use is refused before anything runs, so no stream would ever come.
    answer({{"firstAidWithArguments", PlatformValue::Dictionary{{"*", false}}}});
    buildDrives();
    auto wrapper = DMCheckDiskWrapper::create();
    auto receiver = std::make_shared<RecordingReceiver>();
    wrapper->setDelegate(receiver);
    wrapper->check(drive("disk4s1"), true);
    settle();
    ASSERT_EQ(receiver->all().size(), 1u);
    EXPECT_EQ(receiver->all()[0], std::make_pair(std::string(DMCheckDiskText::notStarted), std::int64_t{2}));
}

}  // namespace
}  // namespace harbormind
