// Cloning one disk onto another from the command line as a user who is not root: the
// installed daemon copies once polkit agrees, Ctrl+C stops the copy keeping what was copied,
// and the resume ends with the destination equal to the source byte for byte.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "system/support/BlockWriteThrottle.h"
#include "system/support/SystemTest.h"
#include "system/support/SystemWait.h"

namespace harbormind::test {
namespace {

constexpr std::uint64_t MiB = 1u << 20;
constexpr std::uint64_t diskBytes = 128 * MiB;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The bytes written to a disk since it was attached, as the kernel counts them.
std::uint64_t bytesWritten(const LoopVolume& loop) {
    std::ifstream in("/sys/block/" + loop.disk() + "/stat");
    std::uint64_t field = 0;
    for (int i = 0; i < 7 && in >> field; ++i) {
    }
    return field * 512;
}

// A running harbormindctl of this user, or -1.
pid_t commandLineOf(uid_t user) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
        std::string comm;
        std::ifstream(entry.path() / "comm") >> comm;
        struct stat info {};
        if (comm == "harbormindctl" && ::stat(entry.path().c_str(), &info) == 0 && info.st_uid == user) {
            return static_cast<pid_t>(std::stoi(entry.path().filename().string()));
        }
    }
    return -1;
}

class CloneSystemTest : public SystemTest {
protected:
    void SetUp() override {
        SystemTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        LoopVolumeOrder blank;
        blank.fileSystem.clear();
        source = &loopVolume(blank);
        destination = &loopVolume(blank);
        // Random bytes over the whole source, so that every byte of the copy is compared.
        ASSERT_EQ(runProgram({"dd", "if=/dev/urandom", "of=/dev/" + source->disk(), "bs=4M",
                              "count=" + std::to_string(diskBytes / (4 * MiB)), "oflag=direct", "status=none"})
                      .status,
                  0);
    }

    bool same() const {
        return runProgram({"cmp", "/dev/" + source->disk(), "/dev/" + destination->disk()}).status == 0;
    }

    std::size_t mapFiles() const {
        std::error_code missing;
        std::size_t count = 0;
        for (auto entry = std::filesystem::directory_iterator(cloneMapsFolder(), missing);
             !missing && entry != std::filesystem::directory_iterator(); ++entry) {
            ++count;
        }
        return count;
    }

    LoopVolume* source = nullptr;
    LoopVolume* destination = nullptr;
};

TEST_F(CloneSystemTest, AnAdministratorClonesStopsAndResumesFromTheCommandLine) {
    const std::string src = source->disk();
    const std::string dst = destination->disk();
    std::uint64_t untouched = bytesWritten(*destination);
    Outcome refused = ctl(SystemRole::refused, {"clone", src, dst, "--yes"});
    EXPECT_NE(refused.status, 0);
    EXPECT_TRUE(contains(refused.err, "refused")) << refused.err;
    EXPECT_EQ(bytesWritten(*destination), untouched);

    // The daemon writes the destination at 16 MiB/s, so the stop lands midway.
    std::string whyNot;
    BlockWriteThrottle throttle(daemonPid(), "/dev/" + dst, 16 * MiB, whyNot);
    if (!throttle.active()) {
        GTEST_SKIP() << "the copy cannot be slowed down here: " << whyNot;
    }
    uid_t administrator = account(SystemRole::administrator).uid();
    std::thread interrupter([&] {
        pid_t command = -1;
        SystemWait::until(
            [&] {
                command = commandLineOf(administrator);
                return command > 0 && bytesWritten(*destination) >= untouched + 16 * MiB;
            },
            std::chrono::seconds(60));
        if (command > 0) {
            ::kill(command, SIGINT);
        }
    });
    Outcome stopped = ctl(SystemRole::administrator, {"clone", src, dst, "--yes"});
    interrupter.join();
    EXPECT_NE(stopped.status, 0);
    EXPECT_TRUE(contains(stopped.err, "stopped; run again with --resume")) << stopped.err;
    EXPECT_LT(bytesWritten(*destination) - untouched, diskBytes);
    // The map went where the daemon was told to keep maps, not into the machine's own state.
    EXPECT_EQ(mapFiles(), 1u) << daemonLog();
    throttle.release();

    Outcome again = ctl(SystemRole::administrator, {"clone", src, dst, "--yes"});
    EXPECT_NE(again.status, 0);
    EXPECT_TRUE(contains(again.err, "carries an interrupted clone")) << again.err;

    std::uint64_t beforeResume = bytesWritten(*destination);
    Outcome resumed = ctl(SystemRole::administrator, {"clone", src, dst, "--resume"});
    EXPECT_EQ(resumed.status, 0) << resumed.out << resumed.err;
    EXPECT_TRUE(contains(resumed.out, "cloned " + std::to_string(diskBytes) + " bytes")) << resumed.out;
    EXPECT_LT(bytesWritten(*destination) - beforeResume, diskBytes) << "the resume copied everything again";
    EXPECT_TRUE(same());
    EXPECT_EQ(mapFiles(), 0u);
}

}  // namespace
}  // namespace harbormind::test
