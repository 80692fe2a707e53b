#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "daemon/linux/LinuxUSBBlockerService.h"
#include "platform/linux/desktop/LinuxUSBAgentUnit.h"

namespace harbormind {
namespace {

class LinuxUSBBlockerServiceTest : public testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("harbormind-usbunit-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        unit = (folder / "systemd/user" / LinuxUSBAgentUnit::unitName).string();
        LinuxUSBWarden::Options options;
        options.listsFile = (folder / "kestrane/usbblocker.cnf").string();
        warden = std::make_shared<LinuxUSBWarden>(options);
        ASSERT_TRUE(warden->store().setPassword("Harbor42"));
    }
    // Turns the Warden off as its password does, leaving the unit to removePlistFile.
    void turnOffState() {
        USBWardenState state = warden->store().state();
        state.on = false;
        ASSERT_TRUE(warden->store().writeState(state));
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string contents() {
        std::ifstream in(unit, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path folder;
    std::string unit;
    std::shared_ptr<LinuxUSBWarden> warden;
};

TEST_F(LinuxUSBBlockerServiceTest, UnitIsWrittenWholeOwnedByTheDaemonReadableByAllAndRemoved) {
    ::umask(077);
    LinuxUSBBlockerService service(warden, 0, unit, "/opt/kestrane/harbormind-usbagent");
    std::optional<bool> answer;
    service.addPlistFileWithReply([&](bool done) { answer = done; });
    EXPECT_EQ(answer, true);
    struct stat info {};
    ASSERT_EQ(::lstat(unit.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_EQ(info.st_uid, ::geteuid());
    EXPECT_EQ(contents(), LinuxUSBAgentUnit::contents("/opt/kestrane/harbormind-usbagent"));
    EXPECT_NE(contents().find("\nExecStart=/opt/kestrane/harbormind-usbagent\n"), std::string::npos);
    EXPECT_NE(contents().find("WantedBy=default.target"), std::string::npos);
    // A second install replaces the file rather than failing.
    EXPECT_TRUE(service.addPlistFile());
    ::umask(022);
    EXPECT_TRUE(warden->store().state().on);

    // While the Warden is on, its unit stays: only the password turns it off.
    EXPECT_FALSE(service.removePlistFile());
    EXPECT_TRUE(std::filesystem::exists(unit));
    std::optional<XPCCodeAnswer> off;
    service.disableUSBWardenWithPassword("Harbor43", [&](XPCCodeAnswer a) { off = a; });
    EXPECT_EQ(off->code, DMUSBBlockerServerProtocol::wrongPassword);
    EXPECT_TRUE(std::filesystem::exists(unit));
    turnOffState();

    answer.reset();
    service.removePlistFileWithReply([&](bool done) { answer = done; });
    EXPECT_EQ(answer, true);
    EXPECT_FALSE(std::filesystem::exists(unit));
    // Removing what is gone already is done.
    EXPECT_TRUE(service.removePlistFile());
}

TEST_F(LinuxUSBBlockerServiceTest, ALinkAtTheUnitPathIsReplacedOrRemovedNeverFollowed) {
    std::filesystem::create_directories(folder / "systemd/user");
    std::string target = (folder / "precious").string();
    std::ofstream(target) << "keep me";
    std::filesystem::create_symlink(target, unit);
    LinuxUSBBlockerService service(warden, 0, unit, "/opt/agent");
    EXPECT_TRUE(service.addPlistFile());
    EXPECT_FALSE(std::filesystem::is_symlink(unit));
    turnOffState();
    std::filesystem::remove(unit);
    std::filesystem::create_symlink(target, unit);
    EXPECT_TRUE(service.removePlistFile());
    std::ifstream in(target);
    std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "keep me");
}

TEST_F(LinuxUSBBlockerServiceTest, UnwritableFolderAnswersFalse) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into any folder";
    }
    std::filesystem::create_directories(folder / "systemd/user");
    std::filesystem::permissions(folder / "systemd/user", std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::owner_exec);
    EXPECT_FALSE(LinuxUSBBlockerService(warden, 0, unit, "/opt/agent").addPlistFile());
    std::filesystem::permissions(folder / "systemd/user", std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace harbormind
