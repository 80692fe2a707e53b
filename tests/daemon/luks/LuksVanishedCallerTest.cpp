#include "LuksLoopFixture.h"

namespace harbormind {
namespace {

using namespace test;

// A caller that dies holding a report is taken as a no: at the go-ahead nothing is written;
// while the work runs, it stops where it can be resumed, and the next resume finishes it.
class LuksVanishedCallerTest : public LuksLoopTest {};

TEST_F(LuksVanishedCallerTest, ACallerGoneAtTheGoAheadChangesNothing) {
    makeVolume(64);
    auto client = silentClient("initialized");
    ASSERT_TRUE(pollUntil([&] { return clientSaid("initialized"); }, 60)) << readFile(folder + "/daemon.log");
    EXPECT_LT(runningBelow(daemon->pid(), "reencrypt", loop), 0) << "the work began before the go-ahead";
    client->signal(SIGKILL);
    client->waitExit(std::chrono::seconds(10));
    ASSERT_TRUE(pollUntil([&] { return daemonLogHas("went away before the go-ahead"); }, 60))
        << readFile(folder + "/daemon.log");

    EXPECT_EQ(digest(), original) << "the volume changed without a go-ahead";
    EXPECT_FALSE(fs::exists(header()));
    EXPECT_FALSE(fs::exists(headers + "/" + name + ".recovery-key-pending"));
    EXPECT_FALSE(luks->isLuksDrive(name));
    EXPECT_FALSE(luks->needResume(name));
    // The volume is as it was: a new encryption goes ahead.
    auto ctl = encryptInBackground({"--detached-header"});
    EXPECT_EQ(ctl->waitExit(std::chrono::seconds(300)), 0) << readFile(folder + "/ctl.err");
}

TEST_F(LuksVanishedCallerTest, ACallerGoneWhileRunningPausesTheJobAndTheResumeFinishesIt) {
    makeVolume(128);
    auto client = silentClient("running");
    auto held = HeldCryptsetup::find(daemon->pid(), loop);
    ASSERT_TRUE(held) << readFile(folder + "/daemon.log");
    ASSERT_TRUE(held->runInSlicesUntil([&] { return clientSaid("running"); })) << readFile(folder + "/daemon.log");
    client->signal(SIGKILL);
    client->waitExit(std::chrono::seconds(10));
    // The held report fails with the caller: the daemon stops cryptsetup where it resumes.
    EXPECT_TRUE(held->releaseOnceTerminated([&] { return daemonLogHas("stopping the encryption of " + name); }))
        << readFile(folder + "/daemon.log");
    ASSERT_TRUE(pollUntil([&] { return daemonLogHas("stopped; resume it to finish"); }, 60))
        << readFile(folder + "/daemon.log");
    EXPECT_TRUE(luks->needResume(name));
    EXPECT_EQ(dump().find("  1: luks2"), std::string::npos) << "a recovery key slot for a key nobody kept";

    auto resumed = encryptInBackground({"--resume", "--save-header", folder + "/saved.header"});
    ASSERT_EQ(resumed->waitExit(std::chrono::seconds(300)), 0) << readFile(folder + "/ctl.err");
    std::string key = recoveryKeyPrinted();
    ASSERT_EQ(key.size(), 55u) << readFile(folder + "/ctl.out");
    EXPECT_TRUE(opensWith(key, 1));
    EXPECT_TRUE(opensWith(password, 0));
    EXPECT_EQ(readFile(folder + "/saved.header"), readFile(header()));
    EXPECT_NE(readFile(folder + "/ctl.out").find("(2 key slots)"), std::string::npos) << readFile(folder + "/ctl.out");
    // The saved copy opens the volume by itself, with either key.
    for (const std::string& secret : {password, key}) {
        EXPECT_EQ(shell("printf %s \"$1\" | cryptsetup open --test-passphrase --header \"$2\" --key-file - \"$3\"",
                        {secret, folder + "/saved.header", loop})
                      .status,
                  0);
    }

    // Later, the administrator exports the header again.
    ASSERT_EQ(shell("\"$1\" encrypt --export-header \"$2\" \"$3\"", {HARBORMIND_CTL_PATH, name, folder + "/exported"},
                    {{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}})
                  .status,
              0);
    EXPECT_EQ(readFile(folder + "/exported"), readFile(header()));
    EXPECT_NE(shell("\"$1\" encrypt --export-header loop-none \"$2\"", {HARBORMIND_CTL_PATH, folder + "/none"},
                    {{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}})
                  .status,
              0);

    decryptAndCompareFiles();
}

}  // namespace
}  // namespace harbormind
