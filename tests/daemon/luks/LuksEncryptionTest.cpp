#include <fcntl.h>
#include <sys/stat.h>

#include "LuksLoopFixture.h"

namespace harbormind {
namespace {

using namespace test;

class LuksEncryptionTest : public LuksLoopTest {};

TEST_F(LuksEncryptionTest, EncryptsWithTwoKeySlotsAndDecryptsBackByteForByte) {
    makeVolume(64);
    auto ctl = encryptInBackground({"--detached-header", "--save-header", folder + "/saved-header"});
    ASSERT_EQ(ctl->waitExit(std::chrono::seconds(300)), 0) << readFile(folder + "/ctl.err");

    std::string text = dump();
    EXPECT_NE(text.find("Version:       \t2"), std::string::npos) << text;
    EXPECT_NE(text.find("  0: luks2"), std::string::npos);
    EXPECT_NE(text.find("  1: luks2"), std::string::npos);
    EXPECT_EQ(text.find("  2: luks2"), std::string::npos);
    EXPECT_EQ(text.find("online-reencrypt"), std::string::npos);
    std::string key = recoveryKeyPrinted();
    ASSERT_EQ(key.size(), 55u) << readFile(folder + "/ctl.out");
    EXPECT_TRUE(opensWith(password, 0));
    EXPECT_TRUE(opensWith(key, 1));
    EXPECT_FALSE(opensWith(password + "x", 0));
    EXPECT_EQ(readFile(folder + "/saved-header"), readFile(header()));
    struct stat facts {};
    ASSERT_EQ(::stat(headers.c_str(), &facts), 0);
    EXPECT_EQ(facts.st_mode & 077, 0u) << "the header folder is open to others";
    EXPECT_NE(readFile(folder + "/ctl.out").find("kept at " + header()), std::string::npos);
    // The daemon knows the volume as LUKS, locked (it cannot be unlocked here without
    // device-mapper), and finished.
    EXPECT_TRUE(luks->isLuksDrive(name));
    EXPECT_FALSE(luks->needResume(name));
    EXPECT_EQ(luks->status(name), DMLocalDriveStatus::locked);
    EXPECT_EQ(luks->detachedHeader(name), readFile(header()));
    // A second encryption of an encrypted volume is refused and changes nothing.
    auto again = encryptInBackground({"--detached-header"});
    EXPECT_EQ(again->waitExit(std::chrono::seconds(60)), 1);
    EXPECT_NE(readFile(folder + "/ctl.err").find("encrypted already"), std::string::npos);

    decryptAndCompare();
}

TEST_F(LuksEncryptionTest, StoppedOrKilledMidwayTheVolumeNeedsResumeAndResumes) {
    imageInMemory = true;
    makeVolume(512);
    encryptAndStopMidway();
    if (HasFatalFailure()) {
        return;
    }

    // The daemon killed during the resumed work: its death sends cryptsetup a SIGTERM, and
    // cryptsetup stops where it can resume.
    std::ofstream(folder + "/ctl.err", std::ios::trunc).close();
    auto ctl = encryptInBackground({"--resume"});
    auto held = HeldCryptsetup::find(daemon->pid(), loop);
    ASSERT_TRUE(held) << readFile(folder + "/daemon.log");
    ASSERT_TRUE(held->runInSlicesUntil([&] { return progressShown(); })) << readFile(folder + "/daemon.log");
    daemon->signal(SIGKILL);
    daemon->waitExit(std::chrono::seconds(10));
    EXPECT_TRUE(held->releaseOnceTerminated([] { return true; }));
    EXPECT_NE(ctl->waitExit(std::chrono::seconds(60)).value_or(0), 0) << "the client reported success";
    ASSERT_TRUE(pollUntil([&] { return !openedByAnyone(loop); }, 30));
    EXPECT_NE(dump().find("online-reencrypt"), std::string::npos) << dump();

    startDaemon();
    EXPECT_TRUE(luks->needResume(name));
    EXPECT_EQ(luks->status(name), DMLocalDriveStatus::encrypting);
    auto plain = encryptInBackground({"--detached-header"});
    EXPECT_EQ(plain->waitExit(std::chrono::seconds(60)), 1) << "a new encryption over a half-encrypted volume";
    // While another program holds the volume (a cryptsetup finishing its step after its daemon
    // died, say), no resume or recovery starts over it.
    int holder = ::open(loop.c_str(), O_RDONLY | O_EXCL | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    std::string before = dump();
    auto refused = encryptInBackground({"--resume"});
    EXPECT_EQ(refused->waitExit(std::chrono::seconds(60)), 1);
    ::close(holder);
    EXPECT_NE(readFile(folder + "/ctl.err").find("held by another program"), std::string::npos)
        << readFile(folder + "/ctl.err");
    EXPECT_EQ(dump(), before);
    auto resumed = encryptInBackground({"--resume"});
    ASSERT_EQ(resumed->waitExit(std::chrono::seconds(300)), 0) << readFile(folder + "/ctl.err");
    EXPECT_EQ(dump().find("online-reencrypt"), std::string::npos);
    std::string key = recoveryKeyPrinted();
    EXPECT_TRUE(opensWith(password, 0));
    EXPECT_TRUE(opensWith(key, 1));
    EXPECT_FALSE(luks->needResume(name));

    decryptAndCompare();
}

// The state a daemon leaves when it dies after cryptsetup finished but before the recovery key
// was added, made here by finishing the stopped reencryption with cryptsetup itself: the
// volume is encrypted with the password's slot only, and a resume adds the missing key.
TEST_F(LuksEncryptionTest, EncryptedWithoutItsRecoveryKeyTheResumeAddsAndPrintsOne) {
    makeVolume(512);
    encryptAndStopMidway();
    if (HasFatalFailure()) {
        return;
    }
    ASSERT_EQ(shell("printf %s \"$1\" | cryptsetup reencrypt --resume-only --batch-mode --header \"$2\" "
                    "--key-file - \"$3\"",
                    {password, header(), loop})
                  .status,
              0);
    ASSERT_EQ(dump().find("online-reencrypt"), std::string::npos);
    ASSERT_EQ(dump().find("  1: luks2"), std::string::npos);

    EXPECT_TRUE(luks->needResume(name)) << "the missing recovery key is not offered to finish";
    EXPECT_EQ(luks->status(name), DMLocalDriveStatus::encrypting);
    auto plain = encryptInBackground({"--detached-header"});
    EXPECT_EQ(plain->waitExit(std::chrono::seconds(60)), 1);
    EXPECT_NE(readFile(folder + "/ctl.err").find("use --resume"), std::string::npos) << readFile(folder + "/ctl.err");
    auto wrong = encryptInBackground({"--resume"}, password + "x");
    EXPECT_EQ(wrong->waitExit(std::chrono::seconds(60)), 1) << "a key added with a wrong password";
    EXPECT_TRUE(luks->needResume(name));

    auto resumed = encryptInBackground({"--resume"});
    ASSERT_EQ(resumed->waitExit(std::chrono::seconds(120)), 0) << readFile(folder + "/ctl.err");
    std::string key = recoveryKeyPrinted();
    ASSERT_EQ(key.size(), 55u) << readFile(folder + "/ctl.out");
    EXPECT_TRUE(opensWith(password, 0));
    EXPECT_TRUE(opensWith(key, 1));
    EXPECT_FALSE(luks->needResume(name));
    EXPECT_EQ(luks->status(name), DMLocalDriveStatus::locked);
    EXPECT_FALSE(fs::exists(headers + "/" + name + ".recovery-key-pending"));

    decryptAndCompare();
}

}  // namespace
}  // namespace harbormind
