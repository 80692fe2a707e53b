#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMLuksWrapper.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/LoopImageCleanup.h"
#include "testsupport/PrivateBus.h"
#include "xpc/XPCServiceName.h"
#include "xpc/XPCTransport.h"
#include "xpc/dbus/DBusXPCTransport.h"

namespace harbormind {
namespace {

void writeAt(int fd, off_t offset, const std::string& bytes) {
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), offset), static_cast<ssize_t>(bytes.size()));
}

// The signature libblkid recognises as BitLocker: "-FVE-FS-" in the boot sector and again
// at the metadata block the boot sector points to (version 2). No volume key is behind it.
void craftBitLockerVolume(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 16 << 20), 0);
    writeAt(fd, 0, std::string("\xeb\x58\x90-FVE-FS-", 11));
    writeAt(fd, 176, std::string("\x00\x00\x01\x00\x00\x00\x00\x00", 8));
    writeAt(fd, 65536, std::string("-FVE-FS-\x30\x00\x02\x00", 12));
    ::close(fd);
}

std::string output(const std::vector<std::string>& argv) {
    int pipe = -1;
    test::ChildProcess child(argv, {}, &pipe, "/dev/null");
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipe, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipe);
    child.waitExit(std::chrono::seconds(30));
    return text.substr(0, text.find('\n'));
}

bool deviceMapperHere() {
    for (const char* path : {"/proc/misc", "/proc/devices"}) {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        if (text.str().find("device-mapper") != std::string::npos) {
            return true;
        }
    }
    return false;
}

// A loop device carrying a BitLocker signature, asked about through the daemon on a private
// bus as the drive model asks when it classifies a volume.
class BitLockerOnLinuxTest : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root: a loop device and the daemon";
        }
        std::string error;
        bus = test::PrivateBus::start(error);
        if (!bus) {
            GTEST_SKIP() << "no private bus: " << error;
        }
        image = bus->folder() + "/bitlocker.img";
        craftBitLockerVolume(image);
        loopCleanup = std::make_unique<test::LoopImageCleanup>(image);
        loop = output({"losetup", "--find", "--show", image});
        ASSERT_EQ(loop.rfind("/dev/loop", 0), 0u) << loop;
        name = loop.substr(5);
        daemon = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{HARBORMIND_DAEMON_PATH, "--config", bus->folder() + "/none.conf",
                                     "--luks-headers", bus->folder() + "/headers"},
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}, {"HARBORMIND_LOG", "info"}},
            nullptr, bus->folder() + "/daemon.log");
        ASSERT_TRUE(bus->waitForName(XPCServiceName::luks));
        XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
    }

    void TearDown() override {
        XPCTransport::setCurrent(nullptr);
        daemon.reset();
        std::ifstream backing("/sys/block/" + name + "/loop/backing_file");
        std::string path;
        std::getline(backing, path);
        if (!name.empty() && path == image) {
            output({"losetup", "--detach", loop});
        }
        bus.reset();
    }

    std::unique_ptr<test::PrivateBus> bus;
    std::unique_ptr<test::ChildProcess> daemon;
    std::unique_ptr<test::LoopImageCleanup> loopCleanup;  // also when the test is killed
    std::string image, loop, name;
};

TEST_F(BitLockerOnLinuxTest, IsRecognisedShownLockedAndNeverOfferedForEncryption) {
    auto bitLocker = DMBitLockerWrapper::create();
    EXPECT_TRUE(bitLocker->isBitLockerDriveWithBsdname(name));
    EXPECT_EQ(bitLocker->bitLockerDriveStatusWithBsdname(name), DMLocalDriveStatus::locked);
    EXPECT_EQ(bitLocker->getBitLockerBSDNameWithBsdname(name), "");
    EXPECT_FALSE(bitLocker->isBitLockerEncryptionSupportedWithBsdname(name));

    auto luks = DMLuksWrapper::create();
    EXPECT_FALSE(luks->isLuksDrive(name));
    XPCCodeAnswer layouts = luks->layouts(name);
    EXPECT_EQ(layouts.code, 0);
    EXPECT_NE(layouts.message.find("encrypted already"), std::string::npos) << layouts.message;
}

TEST_F(BitLockerOnLinuxTest, UnlockingWithoutDeviceMapperSaysSoInsteadOfASilentFailure) {
    auto luks = DMLuksWrapper::create();
    XPCCodeAnswer answer = luks->unlock(name, "any password", false);
    auto bitLocker = DMBitLockerWrapper::create();
    std::int64_t code = bitLocker->unlockBitLockerDriveWithBsdname(name, "any password", false);
    if (deviceMapperHere()) {
        // The crafted volume has no key to find: the password cannot be right.
        EXPECT_NE(answer.code, 0) << answer.message;
        EXPECT_NE(code, 0);
        return;
    }
    EXPECT_EQ(answer.code, 19);
    EXPECT_NE(answer.message.find("device-mapper"), std::string::npos) << answer.message;
    EXPECT_EQ(code, 19);
    std::ifstream log(bus->folder() + "/daemon.log");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find("needs the kernel's device-mapper"), std::string::npos) << text.str();
}

}  // namespace
}  // namespace harbormind
