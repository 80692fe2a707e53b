#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "daemon/linux/BlockDeviceCheck.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/LoopImageCleanup.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using Form = DeviceArgumentForm;

int run(const std::vector<std::string>& argv, std::string* output = nullptr) {
    int out = -1;
    test::ChildProcess child(argv, {}, &out);
    std::string text;
    char buffer[256];
    ssize_t got;
    while ((got = ::read(out, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out);
    if (output) {
        *output = text.substr(0, text.find('\n'));
    }
    return child.waitExit(std::chrono::seconds(60)).value_or(-1);
}

TEST(BlockDeviceCheckTest, OnlyBlockDevicesInsideDevPass) {
    BlockDeviceCheck check;
    EXPECT_FALSE(check.check("/dev/null", Form::path, DeviceUse::read));  // a character device
    EXPECT_FALSE(check.check("null", Form::name, DeviceUse::read));
    EXPECT_FALSE(check.check("/dev/../etc/passwd", Form::path, DeviceUse::read));
    EXPECT_FALSE(check.check("/etc/passwd", Form::path, DeviceUse::read));
    EXPECT_FALSE(check.check("sdzz9", Form::name, DeviceUse::read));
    EXPECT_FALSE(check.check("", Form::name, DeviceUse::read));
    if (fs::is_directory("/dev/shm")) {
        std::string file = "/dev/shm/harbormind-check-" + std::to_string(::getpid());
        std::string link = file + "-link";
        std::ofstream(file) << "data";
        fs::create_symlink("/etc/passwd", link);
        EXPECT_FALSE(check.check(file, Form::path, DeviceUse::read));  // a regular file under /dev
        EXPECT_FALSE(check.check(link, Form::path, DeviceUse::read));  // a link leading out of /dev
        fs::remove(file);
        fs::remove(link);
    }
}

// A loop device of the test's own, on an image file in a folder of its own.
class LoopDeviceTest : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root for a loop device";
        }
        folder = fs::temp_directory_path() / ("harbormind-check-" + std::to_string(::getpid()));
        fs::create_directories(folder / "mnt");
        fs::resize_file((std::ofstream(folder / "image").close(), folder / "image"), 16 << 20);
        cleanup = std::make_unique<test::LoopImageCleanup>((folder / "image").string(), folder.string());
        if (run({"losetup", "--find", "--show", (folder / "image").string()}, &device) != 0 ||
            !device.starts_with("/dev/loop")) {
            GTEST_SKIP() << "no loop device available";
        }
        name = device.substr(5);
    }
    void TearDown() override {
        if (mounted) {
            ::umount2((folder / "mnt").c_str(), 0);
        }
        if (!device.empty()) {
            run({"losetup", "--detach", device});
        }
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    fs::path folder;
    // Also when the test is killed: the device goes, then the folder.
    std::unique_ptr<test::LoopImageCleanup> cleanup;
    std::string device;
    std::string name;
    bool mounted = false;
};

TEST_F(LoopDeviceTest, AnUnusedLoopDevicePassesInEveryForm) {
    BlockDeviceCheck check;
    EXPECT_EQ(check.check(name, Form::name, DeviceUse::read), name);
    EXPECT_EQ(check.check(device, Form::path, DeviceUse::overwrite), device);
    // "/dev/r" + name is the application's name for raw copying.
    EXPECT_EQ(check.check("/dev/r" + name, Form::path, DeviceUse::read), device);
    // A device the kernel does not list is refused.
    BlockDeviceCheck elsewhere(folder.string(), "/proc");
    EXPECT_FALSE(elsewhere.check(name, Form::name, DeviceUse::read));
}

TEST_F(LoopDeviceTest, AMountedDeviceIsNeverOverwritten) {
    ASSERT_EQ(run({"mkfs.ext4", "-q", "-F", device}), 0);
    ASSERT_EQ(::mount(device.c_str(), (folder / "mnt").c_str(), "ext4", 0, nullptr), 0);
    mounted = true;
    BlockDeviceCheck check;
    EXPECT_EQ(check.check(name, Form::name, DeviceUse::read), name);
    EXPECT_FALSE(check.check(name, Form::name, DeviceUse::overwrite));
    EXPECT_FALSE(check.check(device, Form::path, DeviceUse::overwrite));
}

}  // namespace
}  // namespace harbormind
