#include <gtest/gtest.h>

#include <filesystem>

#include "drivemodel/DMLocalDriveText.h"
#include "drivemodel/DriveModelFixture.h"
#include "drivemodel/StubDriveObject.h"

namespace harbormind::test {
namespace {

using Key = DiskDescriptionKey;
using OperationsTest = DriveModelTest;

struct Result {
    std::optional<int> code;
    DMCompletion completion() {
        return [this](int value, std::optional<std::string>) { code = value; };
    }
};

std::shared_ptr<DMLocalDriveObject> local(const std::shared_ptr<DMLocalDriveManager>& manager, const std::string& name) {
    return std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at(name));
}

// A drive object of another kind: every operation refuses it.
class NetworkDrive final : public StubDriveObject {
public:
    NetworkDrive() : StubDriveObject("smb://server/share", DMDriveObjectCategory::network) {}
    std::string name() const override { return "share"; }
};

struct Answer {
    std::optional<int> code;
    std::optional<std::string> message;
    DMCompletion completion() {
        return [this](int value, std::optional<std::string> text) {
            code = value;
            message = std::move(text);
        };
    }
};

TEST_F(OperationsTest, MountAsksTheSessionAndPassesItsReasonBack) {
    buildLaptop();
    startManager();
    Result ok;
    manager->mount(local(manager, "disk4s1"), ok.completion());
    EXPECT_EQ(ok.code, 0);
    EXPECT_EQ(platform->diskRequests().back(), (std::pair<std::string, std::uint32_t>{"mount disk4s1", 0}));
    EXPECT_TRUE(platform->commandLines().empty()) << "no program stands between the model and the session";

    platform->diskRequestRefusals["disk4s1"] =
        DADissenter{DADissenter::error, "disk4s1 you did not attach: using it needs an administrator"};
    Answer refused;
    manager->mount(local(manager, "disk4s1"), refused.completion());
    EXPECT_EQ(refused.code, -1);
    EXPECT_EQ(refused.message, "disk4s1 you did not attach: using it needs an administrator");

    Answer gone;
    manager->mount(DMLocalDriveObject::create("disk99s1", manager, manager), gone.completion());
    EXPECT_EQ(gone.code, -1);
    EXPECT_EQ(gone.message, DMLocalDriveText::diskGone);

    Result foreign;
    manager->mount(std::make_shared<NetworkDrive>(), foreign.completion());
    EXPECT_EQ(foreign.code, -1);
}

TEST_F(OperationsTest, UnmountingAWholeDiskUnmountsEachVolumeThroughItsLogicalObjectWithoutForce) {
    buildLaptop();
    startManager();
    Result result;
    manager->unmount(manager->driveObjs().at("disk0"), result.completion());
    EXPECT_EQ(result.code, 0);
    // disk0's only child is the store disk0s2; its logical object is the container disk3,
    // a whole disk: one plain request covering its volumes.
    auto requests = platform->diskRequests();
    std::vector<std::pair<std::string, std::uint32_t>> expected{{"unmount disk3", 1}};
    EXPECT_EQ(requests, expected);

    Result volume;
    manager->unmount(manager->driveObjs().at("disk4s1"), volume.completion());
    EXPECT_EQ(volume.code, 0);
    EXPECT_EQ(platform->diskRequests().back(), (std::pair<std::string, std::uint32_t>{"unmount disk4s1", 0}));

    Result forced;
    manager->unmount(manager->driveObjs().at("disk4s1"), DMUnmountOption::force, forced.completion());
    EXPECT_EQ(forced.code, 0);
    EXPECT_EQ(platform->diskRequests().back(), (std::pair<std::string, std::uint32_t>{"unmount disk4s1", 0x80000}));
}

// Regression: unmount and eject reported success before anything had happened, and a busy
// volume was never mentioned.
TEST_F(OperationsTest, UnmountAndEjectWaitForTheResultAndPassTheReasonBack) {
    buildLaptop();
    startManager();
    platform->diskRequestRefusals["disk4s1"] = DADissenter{DADissenter::busy, "in use by bash (pid 812)"};
    Answer busy;
    manager->unmount(manager->driveObjs().at("disk4s1"), busy.completion());
    EXPECT_EQ(busy.code, DMLocalDriveManager::busyCode);
    EXPECT_EQ(busy.message, "in use by bash (pid 812)");

    platform->diskRequestRefusals["disk4"] = DADissenter{DADissenter::error, "disk4 cannot be ejected"};
    Answer refused;
    manager->eject(manager->driveObjs().at("disk4"), refused.completion());
    EXPECT_EQ(refused.code, -1);
    EXPECT_EQ(refused.message, "disk4 cannot be ejected");
    EXPECT_TRUE(platform->commandLines().empty() ||
                platform->commandLines().back().find("eject") == std::string::npos)
        << "no eject line after a refused eject";
}

// Regression: the wait for a request's answer was unbounded in what it assumed: an answer that
// never came read as whatever the caller had preset, and one that came late wrote into the
// frame of a call that had returned.
TEST_F(OperationsTest, ARequestLeftUnansweredFailsAtItsLimitSayingSoAndTheLateAnswerIsDropped) {
    buildLaptop();
    startManager();
    platform->holdDiskAnswers = true;
    const double start = now();
    Answer mounted;
    manager->mount(local(manager, "disk4s1"), mounted.completion());
    EXPECT_EQ(mounted.code, -1);
    EXPECT_EQ(mounted.message, "no answer to the mount of disk4s1 within 600 s");
    EXPECT_NEAR(now() - start, DMLocalDriveManager::diskRequestLimitSeconds, 1e-6);

    Answer ejected;
    manager->eject(manager->driveObjs().at("disk4"), ejected.completion());
    EXPECT_EQ(ejected.message, "no answer to the eject of disk4 within 600 s");
    EXPECT_TRUE(platform->commandLines().empty()) << "no eject line after an eject nobody confirmed";

    platform->releaseDiskAnswers();
    settle();
    EXPECT_EQ(mounted.code, -1);
    EXPECT_EQ(ejected.code, -1);

    platform->holdDiskAnswers = false;
    Answer unmounted;
    manager->unmount(manager->driveObjs().at("disk4s1"), unmounted.completion());
    EXPECT_EQ(unmounted.code, 0) << unmounted.message.value_or("");
}

TEST_F(OperationsTest, EjectRequestsTheEjectAndRunsThePlatformLineAfterIt) {
    buildLaptop();
    startManager();
    Result result;
    manager->eject(manager->driveObjs().at("disk4"), result.completion());
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(platform->diskRequests().back(), (std::pair<std::string, std::uint32_t>{"eject disk4", 0}));
    EXPECT_EQ(platform->commandLines().back(), "diskutil eject 'disk4' &");

    Result gone;
    manager->eject(DMLocalDriveObject::create("disk99", manager, manager), gone.completion());
    EXPECT_EQ(gone.code, -1);
}

// Regression: LUKS volumes were offered lock and unlock, which then ran nothing and failed.
TEST_F(OperationsTest, LUKSUnlockAndLockRunThePlatformProgramWithThePassphraseOnItsInput) {
    buildLaptop();
    RegistryEntryId disk8 = addWholeDisk("disk8", "Vault", false, "USB", 128000000000);
    addVolume("disk8s1", disk8, "", "luks", 128000000000);
    platform->appear("disk8");
    platform->appear("disk8s1");
    startManager();
    auto vault = local(manager, "disk8s1");
    ASSERT_EQ(vault->fileSystem(), DMDriveObjectFilesystem::luks);

    Answer unlocked;
    manager->unlock(vault, "correct horse", false, unlocked.completion());
    EXPECT_EQ(unlocked.code, 0);
    auto runs = platform->programRuns();
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(runs[0].arguments, (std::vector<std::string>{"unlock", "disk8s1"}));
    EXPECT_EQ(runs[0].input, "correct horse");
    for (const auto& line : platform->commandLines()) {
        EXPECT_EQ(line.find("correct horse"), std::string::npos) << "the passphrase went into a shell line";
    }

    platform->programAnswer = {true, 1, {}, "cryptsetup: something\nluks-tool: cannot unlock disk8s1: "
                                            "device-mapper is not available on this system\n"};
    Answer refused;
    manager->unlock(vault, "correct horse", false, refused.completion());
    EXPECT_EQ(refused.code, -1);
    EXPECT_EQ(refused.message, "cannot unlock disk8s1: device-mapper is not available on this system");

    Answer empty;
    manager->unlock(vault, "", false, empty.completion());
    EXPECT_EQ(empty.code, -1);
    EXPECT_EQ(platform->programRuns().size(), 2U) << "an empty passphrase runs nothing";

    platform->programAnswer = {true, 0, {}, {}};
    Answer locked;
    manager->lock(vault, locked.completion());
    EXPECT_EQ(locked.code, 0);
    EXPECT_EQ(platform->programRuns().back().arguments, (std::vector<std::string>{"lock", "disk8s1"}));
    EXPECT_EQ(platform->programRuns().back().input, std::nullopt);
}

TEST_F(OperationsTest, OpenAsksTheWorkspaceForTheMountPoint) {
    buildLaptop();
    startManager();
    Result opened;
    manager->open(manager->driveObjs().at("disk4s1"), opened.completion());
    EXPECT_EQ(opened.code, 0);
    EXPECT_EQ(platform->openedFolders(), std::vector<std::string>{"/Volumes/STICK"});
    Result unmounted;
    manager->open(manager->driveObjs().at("disk4"), unmounted.completion());
    EXPECT_EQ(unmounted.code, -1);
    Result foreign;
    manager->open(std::make_shared<NetworkDrive>(), foreign.completion());
    EXPECT_EQ(foreign.code, -1) << "every operation completes, also one it refuses";

    // Nothing to show it with: the reason and the mount point, to open it by other means.
    platform->openingUnavailable = "there is no graphical session to show it in";
    Answer headless;
    manager->open(manager->driveObjs().at("disk4s1"), headless.completion());
    EXPECT_EQ(headless.code, -1);
    EXPECT_EQ(headless.message, "there is no graphical session to show it in; the volume is mounted at /Volumes/STICK");
}

class EncryptedVolumeTest : public OperationsTest {
protected:
    void SetUp() override {
        OperationsTest::SetUp();
        buildLaptop();
        RegistryEntryId disk8 = addWholeDisk("disk8", "Vault", false, "USB", 128000000000);
        addVolume("disk8s1", disk8, "Vault", "apfs", 128000000000);
        platform->setDescription("disk8s1", Key::mediaEncrypted, true);
        platform->setDescription("disk8s1", Key::mediaEncryptionDetail, 2);
        platform->appear("disk8");
        platform->appear("disk8s1");
        startManager();
        vault = local(manager, "disk8s1");
    }
    std::shared_ptr<DMLocalDriveObject> vault;
};

TEST_F(EncryptedVolumeTest, UnlockingWithAWrongPassphraseFailsAndStillMounts) {
    EXPECT_EQ(vault->status(), DMLocalDriveStatus::locked);
    platform->answerCommand("diskutil apfs unlockVolume", "Unlocking any cryptographic user on APFS Volume disk8s1\n",
                            "Error unlocking APFS Volume: Passphrase incorrect");
    Result result;
    manager->unlock(vault, "guess", false, result.completion());
    EXPECT_EQ(result.code, -1);
    auto lines = platform->commandLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "diskutil apfs unlockVolume 'disk8s1' -passphrase 'guess'");
    EXPECT_EQ(platform->diskRequests().back(), (std::pair<std::string, std::uint32_t>{"mount disk8s1", 0}));
    ASSERT_FALSE(delegate->eventsOf("changed").empty());
    EXPECT_EQ(delegate->eventsOf("changed").back().identifier, "disk8s1");
}

TEST_F(EncryptedVolumeTest, UnlockingWithTheRightPassphraseSucceedsAndAnEmptyOneRunsNothing) {
    platform->answerCommand("diskutil apfs unlockVolume", "Unlocked and mounted APFS Volume\n");
    Result right;
    manager->unlock(vault, "correct horse", false, right.completion());
    EXPECT_EQ(right.code, 0);

    std::size_t before = platform->commandLines().size();
    Result empty;
    manager->unlock(vault, "", false, empty.completion());
    EXPECT_EQ(empty.code, -1);
    EXPECT_EQ(platform->commandLines().size(), before) << "neither the unlock nor a mount ran";
}

TEST_F(EncryptedVolumeTest, APasswordWithShellCharactersReachesTheUnlockIntactAndRunsNothingElse) {
    // The real shell runs the line; "diskutil" is a function that prints its arguments, one
    // per line between markers, and every other command would print its own name.
    platform->runCommandsForReal = true;
    const std::string password = "it's \"$(touch /tmp/harbormind-pwned)\" `id` \\ $HOME\nsecond line";
    std::size_t before = platform->commandLines().size();
    manager->unlock(vault, password, false, nullptr);
    auto all = platform->commandLines();
    std::vector<std::string> lines(all.begin() + static_cast<long>(before), all.end());
    std::string unlockLine;
    for (const auto& line : lines) {
        if (line.find("unlockVolume") != std::string::npos) {
            unlockLine = line;
        }
    }
    ASSERT_FALSE(unlockLine.empty());
    std::string probe = "diskutil() { for a in \"$@\"; do printf '<%s>' \"$a\"; done; }; " + unlockLine;
    std::string printed = platform->run("/bin/sh", {"-c", probe}, std::nullopt).standardOutput;
    EXPECT_EQ(printed, "<apfs><unlockVolume><disk8s1><-passphrase><" + password + ">");
    EXPECT_FALSE(std::filesystem::exists("/tmp/harbormind-pwned"));
    // Only the unlock ran; the mount that follows it is the session's request.
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0], unlockLine);
    EXPECT_EQ(platform->diskRequests().back(), (std::pair<std::string, std::uint32_t>{"mount disk8s1", 0}));
}

TEST_F(EncryptedVolumeTest, LockingJudgesBothTextsAndReportsTheChangeEvenOnFailure) {
    platform->setDescription("disk8s1", Key::volumePath, "/Volumes/Vault");
    platform->answerCommand("diskutil apfs lockVolume", "Locked APFS Volume disk8s1\n");
    Result locked;
    manager->lock(vault, locked.completion());
    EXPECT_EQ(locked.code, 0);
    EXPECT_EQ(platform->commandLines().back(), "diskutil apfs lockVolume 'disk8s1'");

    platform->answerCommand("diskutil apfs lockVolume", "Locking\n", "busy");
    Result busy;
    manager->lock(vault, busy.completion());
    EXPECT_EQ(busy.code, -1);

    // An HFS+ volume cannot be locked, and the change is still reported.
    auto changesBefore = delegate->eventsOf("changed").size();
    RegistryEntryId disk2 = addWholeDisk("disk2", "Old", false, "USB", 500000000000);
    addVolume("disk2s2", disk2, "Old Mac", "hfs", 499000000000, "/Volumes/Old Mac");
    Result hfs;
    manager->lock(DMLocalDriveObject::create("disk2s2", manager, manager), hfs.completion());
    EXPECT_EQ(hfs.code, -1);
    EXPECT_EQ(delegate->eventsOf("changed").size(), changesBefore + 1);
}

TEST_F(OperationsTest, BitLockerVolumesAreUnlockedLockedAndMountedThroughTheDaemon) {
    setDaemonAnswers({{"bitlocker",
                       PlatformValue::Dictionary{
                           {"isBitLockerKextAllowedWithReply", true},
                           {"isBitLockerDriveWithBsdname", PlatformValue::Dictionary{{"disk6s1", true}}},
                           {"getBitLockerBSDNameWithBsdname", PlatformValue::Dictionary{{"disk6s1", "disk7"}}},
                           {"bitLockerDriveStatusWithBsdname", PlatformValue::Dictionary{{"disk6s1", 16}}},
                           {"unlockBitLockerDriveWithBsdname",
                            PlatformValue::Dictionary{{"disk6s1", PlatformValue::Dictionary{{"password", "pw"},
                                                                                           {"wrongPasswordResult", 20}}}}},
                           {"lockBitLockerDriveWithBsdname", PlatformValue::Dictionary{{"*", true}}},
                       }},
                      {"ntfs", PlatformValue::Dictionary{{"isNtfsKextAllowedWithReply", false},
                                                         {"mountAsNTFSNativelyWithBsdName",
                                                          PlatformValue::Dictionary{{"disk7", 0}}}}}});
    RegistryEntryId disk6 = addWholeDisk("disk6", "Windows Stick", false, "USB", 64000000000);
    addVolume("disk6s1", disk6, "", "", 64000000000);
    platform->removeDescription("disk6s1", Key::volumeKind);
    platform->appear("disk6");
    platform->appear("disk6s1");
    startManager();
    auto volume = local(manager, "disk6s1");
    EXPECT_EQ(volume->status(), DMLocalDriveStatus::locked);
    EXPECT_TRUE(volume->canUnlock());

    Result wrong;
    manager->unlock(volume, "nope", true, wrong.completion());
    EXPECT_EQ(wrong.code, 20);
    Result right;
    manager->unlock(volume, "pw", false, right.completion());
    EXPECT_EQ(right.code, 0);
    EXPECT_EQ(volume->status(), DMLocalDriveStatus::unlocked);
    EXPECT_EQ(manager->mountAsNTFS(volume), 0) << "mounted through the device carrying the contents";
    EXPECT_FALSE(manager->areKernelExtensionsAllowed());

    Result locked;
    manager->lock(volume, locked.completion());
    EXPECT_EQ(locked.code, 0);
    EXPECT_EQ(volume->status(), DMLocalDriveStatus::locked);

    manager->setIgnoreHibernateFile(true);
    manager->setNtfsDebugLogging(false);
    auto calls = daemon->calls();
    EXPECT_EQ(calls[calls.size() - 2], (InProcessDaemonCall{"ntfs", "setIgnoreHibernateFileWithFlag", {"true"}}));
    EXPECT_EQ(calls.back(), (InProcessDaemonCall{"ntfs", "setEnableDebugLoggingWithFlag", {"false"}}));
}

TEST_F(OperationsTest, AccessHibernationAndFullDiskAccessReadTheFileSystem) {
    buildLaptop();
    startManager();
    auto stick = manager->driveObjs().at("disk4s1");
    EXPECT_EQ(manager->accessMode(stick), 2);
    platform->readable.insert("/Volumes/STICK");
    EXPECT_EQ(manager->accessMode(stick), 0) << "read-only media";
    platform->writable.insert("/Volumes/STICK");
    EXPECT_EQ(manager->accessMode(stick), 1);
    EXPECT_EQ(manager->accessMode(manager->driveObjs().at("disk4")), 2);

    EXPECT_FALSE(manager->hasHibernationFile(stick));
    platform->existing.insert("/Volumes/STICK/hiberfil.sys");
    EXPECT_TRUE(manager->hasHibernationFile(stick));

    EXPECT_FALSE(manager->hasFullDiskAccess());
    platform->listable.insert("/home/user/Library/Safari");
    EXPECT_TRUE(manager->hasFullDiskAccess());
    platform->environmentValues["APP_SANDBOX_CONTAINER_ID"] = "sandbox";
    platform->home = "/home/other";
    EXPECT_FALSE(manager->hasFullDiskAccess());

    manager->openFullDiskAccessSettings();
    manager->openSecuritySettings();
    manager->openURL("https://example.org/help");
    EXPECT_EQ(platform->openedURLs(), (std::vector<std::string>{"settings://privacy/full-disk-access",
                                                                "settings://security", "https://example.org/help"}));
}

}  // namespace
}  // namespace harbormind::test
