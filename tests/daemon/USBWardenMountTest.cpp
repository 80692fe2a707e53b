#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "testsupport/ChildProcess.h"
#include "testsupport/LoopImageCleanup.h"
#include "testsupport/PrivateBusTest.h"
#include "testsupport/ProgramRun.h"
#include "usbblocker/USBBlockerTexts.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::runProgram;

// The daemon refuses to mount a disk the Warden blocks, whoever asks and whether or not any
// user's agent runs (none does here): a real loop device with ext4, guarded as a USB disk
// (`--usb-warden-images`), mounted through the bus as root.
class USBWardenMountTest : public test::PrivateBusTest {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root: a loop device and a daemon that mounts";
        }
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        folder = bus->folder();
        image = folder + "/warden-stick.img";
        fs::resize_file((std::ofstream(image).close(), image), 16 << 20);
        ASSERT_EQ(run({"mkfs.ext4", "-q", "-F", image}).status, 0);
        loopCleanup = std::make_unique<test::LoopImageCleanup>(image);
        Outcome attached = run({"losetup", "--find", "--show", image});
        ASSERT_EQ(attached.status, 0);
        loop = attached.out.substr(0, attached.out.find('\n'));
        std::ofstream(folder + "/drivemanagerd.conf") << "";
        daemon = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{HARBORMIND_DAEMON_PATH, "--config", folder + "/drivemanagerd.conf", "--media-root",
                                     folder + "/media", "--usb-agent-unit", folder + "/units/agent.service",
                                     "--usb-lists", folder + "/lists/usbblocker.cnf", "--usb-warden-images", folder},
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}}, nullptr,
            folder + "/daemon.log");
        ASSERT_TRUE(bus->waitForName(XPCServiceName::mount));
    }

    void TearDown() override {
        daemon.reset();
        for (const auto& entry : fs::directory_iterator(folder + "/media/root", ignored)) {
            ::umount2(entry.path().c_str(), MNT_DETACH);
        }
        while (isMountPoint(folder + "/elsewhere")) {
            ::umount2((folder + "/elsewhere").c_str(), MNT_DETACH);
        }
        if (!loop.empty()) {
            std::ifstream backing("/sys/block/" + loop.substr(5) + "/loop/backing_file");
            std::string file;
            std::getline(backing, file);
            if (file == image) {
                run({"losetup", "--detach", loop});
            }
        }
        bus.reset();
    }

    Outcome run(const std::vector<std::string>& argv) {
        return runProgram(argv, {{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}}, folder + "/run.err",
                          std::chrono::seconds(60));
    }
    Outcome call(const std::string& service, const std::string& method, const std::string& signature,
                 const std::vector<std::string>& arguments) {
        std::string path = "/" + service;
        std::replace(path.begin(), path.end(), '.', '/');
        std::vector<std::string> argv{"busctl", "--address=" + bus->address(), "call", service, path, service,
                                      method, signature};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return run(argv);
    }
    Outcome mount() { return call(XPCServiceName::mount, "mountVolume", "s", {loop.substr(5)}); }
    static bool isMountPoint(const std::string& path) {
        std::ifstream table("/proc/self/mountinfo");
        std::string line;
        while (std::getline(table, line)) {
            if (line.find(" " + path + " ") != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    // The daemon sweeps the mount table once a second. Waits for the kernel's word that the
    // table changed (poll on mountinfo), for ten seconds at most.
    static bool becomesUnmounted(const std::string& path) {
        int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        bool gone = !isMountPoint(path);
        while (!gone && fd >= 0 && std::chrono::steady_clock::now() < deadline) {
            char buffer[4096];
            while (::read(fd, buffer, sizeof buffer) > 0) {
            }
            pollfd change{fd, POLLPRI, 0};
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            ::poll(&change, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
            ::lseek(fd, 0, SEEK_SET);
            gone = !isMountPoint(path);
        }
        if (fd >= 0) {
            ::close(fd);
        }
        return gone;
    }

    std::error_code ignored;
    std::unique_ptr<test::ChildProcess> daemon;
    std::unique_ptr<test::LoopImageCleanup> loopCleanup;  // also when the test is killed
    std::string folder, image, loop;
};

TEST_F(USBWardenMountTest, ABlockedDiskIsRefusedByTheDaemonItselfUntilTheListsAllowIt) {
    const std::string usb = XPCServiceName::usbBlocker;
    ASSERT_EQ(call(usb, "setUSBWardenPasswordWithOldPassword", "ss", {"", "Harbor42"}).out, "xs 0 \"The password has changed successfully.\"\n");
    ASSERT_EQ(call(usb, "addPlistFileWithReply", "", {}).out, "b true\n");

    Outcome refused = mount();
    EXPECT_EQ(refused.out, "xs 13 \"" + std::string(USBBlockerTexts::driveGuard) + "\"\n") << refused.err;
    EXPECT_FALSE(fs::exists(folder + "/media/root/warden-stick.img"));
    EXPECT_EQ(call(usb, "setUSBWardenModeWithMode", "xs", {"2", "Harbor42"}).out.rfind("xs 0", 0), 0u);
    EXPECT_NE(call(usb, "allowUSBDiskOnceWithBsdname", "s", {loop.substr(5)}).out.rfind("xs 0", 0), 0u)
        << "white list only: nothing but the white list";
    EXPECT_EQ(mount().out.rfind("xs 13", 0), 0u);

    // Mounted behind the daemon's back (as a desktop's automounter would): taken away again.
    fs::create_directories(folder + "/elsewhere");
    ASSERT_EQ(run({"mount", loop, folder + "/elsewhere"}).status, 0);
    EXPECT_TRUE(becomesUnmounted(folder + "/elsewhere")) << "the daemon left a blocked disk mounted";

    ASSERT_EQ(call(usb, "addUSBListEntryWithName", "sxb", {"warden-stick.img", "0", "true"}).out.rfind("xs 0", 0), 0u);
    Outcome mounted = mount();
    EXPECT_EQ(mounted.out.rfind("xs 0", 0), 0u) << mounted.out << mounted.err;
}

}  // namespace
}  // namespace harbormind
