#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testsupport/ChildProcess.h"
#include "testsupport/LoopImageCleanup.h"
#include "testsupport/PrivateBusTest.h"
#include "testsupport/ProgramRun.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path, std::size_t limit = std::string::npos) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    char c;
    while (text.size() < limit && in.get(c)) {
        text += c;
    }
    return text;
}

// Runs a program to its end and answers its exit status and first line of output.
int run(const std::vector<std::string>& argv, std::string* output = nullptr) {
    test::Outcome outcome = test::runProgram(argv);
    if (output) {
        *output = outcome.out;
    }
    return outcome.status;
}

// A mounted block device whose node exists here, as the system's disk stands in for.
std::string mountedSystemDevice() {
    std::ifstream mounts("/proc/self/mounts");
    std::string device, rest;
    while (mounts >> device && std::getline(mounts, rest)) {
        if (device.starts_with("/dev/") && !device.starts_with("/dev/loop") && fs::exists(device)) {
            return device;
        }
    }
    return "/dev/vda";
}

// The hostile corpus against the real daemon on this machine's Linux backend, on a private
// bus: every call must be refused or answered harmlessly, the daemon must stay up and nothing
// may be written. As root the test also gives the calls a mounted loop device, a link under
// /dev to a regular file, and a second, unprivileged caller that must be refused.
class HostileCorpusTest : public test::PrivateBusTest {
protected:
    void SetUp() override {
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        folder = bus->folder();
        std::ofstream(folder + "/regular") << "precious data";
        ::chmod((folder + "/regular").c_str(), 0644);
        values = {"@REGULAR@=" + folder + "/regular", "@SYMLINK@=/dev/loop-none", "@LOOP@=/dev/loop-none",
                  "@LOOP_NAME@=loop-none", "@MOUNTED_LOOP@=/dev/loop-none", "@MOUNTED_LOOP_NAME@=loop-none",
                  "@MOUNTED_SYSTEM@=" + mountedSystemDevice(), "@MOUNTED_SYSTEM_NAME@=" + mountedSystemDevice().substr(5)};
        if (::geteuid() == 0) {
            prepareRootTargets();
        }
        daemon = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{HARBORMIND_DAEMON_PATH, "--config", folder + "/no-config"},
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}}, nullptr,
            folder + "/daemon.log");
        ASSERT_TRUE(bus->waitForName(XPCServiceName::mount));
    }

    void prepareRootTargets() {
        symlink = "/dev/harbormind-corpus-" + std::to_string(::getpid());
        fs::create_symlink(folder + "/regular", symlink);
        values.push_back("@SYMLINK@=" + symlink);
        fs::create_directories(folder + "/mnt");
        // One loop device stays unmounted, with contents nothing may change; the other carries
        // a mounted file system (the kernel itself writes to that one).
        std::ofstream(folder + "/plain") << std::string(1 << 20, 'K');
        fs::resize_file((std::ofstream(folder + "/image").close(), folder + "/image"), 16 << 20);
        loop = attach(folder + "/plain");
        mountedLoop = attach(folder + "/image");
        if (!mountedLoop.empty() && run({"mkfs.ext4", "-q", "-F", mountedLoop}) == 0 &&
            ::mount(mountedLoop.c_str(), (folder + "/mnt").c_str(), "ext4", 0, nullptr) == 0) {
            mounted = true;
            values.push_back("@MOUNTED_LOOP@=" + mountedLoop);
            values.push_back("@MOUNTED_LOOP_NAME@=" + mountedLoop.substr(5));
        }
        if (!loop.empty()) {
            values.push_back("@LOOP@=" + loop);
            values.push_back("@LOOP_NAME@=" + loop.substr(5));
            loopContents = readFile(loop, 1 << 20);
        }
    }

    std::string attach(const std::string& file) {
        loopCleanups.push_back(std::make_unique<test::LoopImageCleanup>(file));
        std::string device;
        if (run({"losetup", "--find", "--show", file}, &device) != 0 || !device.starts_with("/dev/loop")) {
            return {};
        }
        return device.substr(0, device.find('\n'));
    }

    void TearDown() override {
        daemon.reset();
        if (mounted) {
            ::umount2((folder + "/mnt").c_str(), 0);
        }
        for (const std::string& device : {loop, mountedLoop}) {
            if (!device.empty()) {
                run({"losetup", "--detach", device});
            }
        }
        if (!symlink.empty()) {
            fs::remove(symlink);
        }
        if (!user.empty()) {
            run({"userdel", user});
        }
        bus.reset();
    }

    int runCorpus(const std::vector<std::string>& prefix, bool unauthorized, std::string& output) {
        std::vector<std::string> argv = prefix;
        argv.push_back(HARBORMIND_CORPUS_RUNNER);
        argv.push_back(std::string(std::getenv("HARBORMIND_SOURCE_DIR") ? std::getenv("HARBORMIND_SOURCE_DIR")
                                                                         : HARBORMIND_TEST_SOURCE_DIR) +
                       "/tests/daemon/corpus/hostile-calls.json");
        if (unauthorized) {
            argv.push_back("--unauthorized");
        }
        argv.insert(argv.end(), values.begin(), values.end());
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus->address().c_str(), 1);
        return run(argv, &output);
    }

    void expectNothingWritten() {
        EXPECT_TRUE(daemon->running());
        EXPECT_EQ(readFile(folder + "/regular"), "precious data");
        EXPECT_FALSE(fs::exists("/tmp/harbormind-pwned"));
        // No file passed as an open descriptor became a loop device.
        for (const auto& device : fs::directory_iterator("/sys/block")) {
            EXPECT_NE(readFile(device.path() / "loop/backing_file"), folder + "/regular\n") << device.path();
        }
        if (!loop.empty()) {
            EXPECT_TRUE(readFile(loop, 1 << 20) == loopContents) << "the unmounted loop device was written";
        }
    }

    std::unique_ptr<test::ChildProcess> daemon;
    std::string folder;
    std::vector<std::string> values;
    std::string symlink;
    std::string loop;
    std::string mountedLoop;
    // The loop devices and their mount go also when the test is killed.
    std::vector<std::unique_ptr<test::LoopImageCleanup>> loopCleanups;
    std::string loopContents;
    std::string user;
    bool mounted = false;
};

TEST_F(HostileCorpusTest, EveryHostileCallIsRefusedOrHarmless) {
    std::string output;
    EXPECT_EQ(runCorpus({}, false, output), 0) << output;
    EXPECT_NE(output.find(" 0 failures"), std::string::npos) << output;
    expectNothingWritten();
}

TEST_F(HostileCorpusTest, AnUnauthorizedCallerIsRefusedEverything) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run a caller as a second, unprivileged user";
    }
    user = "hmcorpus" + std::to_string(::getpid() % 100000);
    ASSERT_EQ(run({"useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", user}), 0);
    std::string uid;
    ASSERT_EQ(run({"id", "-u", user}, &uid), 0);
    uid = uid.substr(0, uid.find('\n'));
    std::string output;
    EXPECT_EQ(runCorpus({"setpriv", "--reuid=" + user, "--regid=" + uid, "--clear-groups", "--"}, true, output), 0)
        << output;
    // The question an authorized caller gets a real answer to was refused, and logged with the uid.
    std::string log = readFile(folder + "/daemon.log");
    EXPECT_NE(log.find("refused isNtfsKextAllowedWithReply from uid " + uid), std::string::npos) << log.substr(0, 2000);
    expectNothingWritten();
}

}  // namespace
}  // namespace harbormind
