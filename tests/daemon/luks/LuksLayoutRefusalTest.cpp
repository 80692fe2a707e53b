#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "daemon/linux/LinuxLuksService.h"
#include "daemon/linux/LuksHeaderStore.h"
#include "support/Clock.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/LoopImageCleanup.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

std::string run(const std::vector<std::string>& argv) {
    int pipe = -1;
    test::ChildProcess child(argv, {}, &pipe, "/dev/null");
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipe, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipe);
    return child.waitExit(std::chrono::seconds(60)) == 0 ? text.substr(0, text.find('\n')) : "";
}

XPCCodeAnswer ask(const std::function<void(XPCCodeReply)>& call) {
    XPCCodeAnswer answer{-99, "no answer"};
    call([&answer](XPCCodeAnswer value) { answer = std::move(value); });
    return answer;
}

// The header in front needs device-mapper and an ext file system to shrink: both refusals,
// on a real loop device, with the kernel's device lists faked so that the device-mapper
// case is tried on any machine. Nothing is written in either case.
class LuksLayoutRefusalTest : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root: a loop device";
        }
        folder = fs::temp_directory_path() / ("hm-luks-layout-" + std::to_string(::getpid()));
        fs::create_directories(folder / "proc");
        image = (folder / "volume.img").string();
        cleanup = std::make_unique<test::LoopImageCleanup>(image, folder.string());
    }
    void TearDown() override {
        for (const std::string& device : {name, second}) {
            std::ifstream backing("/sys/block/" + device + "/loop/backing_file");
            std::string path;
            std::getline(backing, path);
            if (!device.empty() && path == image) {
                run({"losetup", "--detach", "/dev/" + device});
            }
        }
        fs::remove_all(folder);
    }

    void attach(const std::string& mkfs) {
        fs::resize_file((std::ofstream(image).close(), image), 256 << 20);
        ASSERT_FALSE(run({"sh", "-c", mkfs + " \"$1\" >/dev/null 2>&1 && echo made", "sh", image}).empty());
        std::string loop = run({"losetup", "--find", "--show", image});
        ASSERT_EQ(loop.rfind("/dev/loop", 0), 0u);
        name = loop.substr(5);
        before = run({"sha256sum", image});
    }

    // A loop device that another program has open for a moment (a drive list probing every
    // disk) is detached only when that program closes it.
    bool releasedByKernel(const std::string& device) const {
        Clock& clock = Clock::current();
        const auto deadline = clock.now() + seconds(10);
        while (fs::exists("/sys/block/" + device + "/loop/backing_file")) {
            if (clock.now() >= deadline) {
                return false;
            }
            clock.sleepFor(seconds(0.05));
        }
        return true;
    }

    LinuxLuksService service(bool deviceMapper) {
        std::ofstream(folder / "proc" / "misc") << "237 loop-control\n" << (deviceMapper ? "236 device-mapper\n" : "");
        std::ofstream(folder / "proc" / "devices") << "Block devices:\n  7 loop\n";
        auto shared = std::make_shared<LuksServiceShared>((folder / "headers").string(), 0,
                                                          EncryptedVolumeAccess::Paths{"/sys", (folder / "proc").string()});
        return LinuxLuksService(shared, nullptr, CallerIdentity{});
    }

    fs::path folder;
    // Both loop devices of the image, and the folder, also when the test is killed.
    std::unique_ptr<test::LoopImageCleanup> cleanup;
    std::string image, name, second, before;
};

TEST_F(LuksLayoutRefusalTest, WithoutDeviceMapperOnlyTheDetachedHeaderIsOffered) {
    attach("mkfs.ext4 -q -F");
    auto luks = service(false);
    XPCCodeAnswer layouts = ask([&](XPCCodeReply reply) { luks.luksEncryptionLayoutsWithBsdname(name, reply); });
    EXPECT_EQ(layouts.code, DMLuksServerProtocol::detachedHeader);
    EXPECT_NE(layouts.message.find("device-mapper"), std::string::npos) << layouts.message;
    EXPECT_NE(layouts.message.find("detached header"), std::string::npos) << layouts.message;
    XPCCodeAnswer refused = ask([&](XPCCodeReply reply) { luks.encryptLuksDriveWithBsdname(name, "pw", true, reply); });
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.message, layouts.message);
    EXPECT_EQ(run({"sha256sum", image}), before) << "a refused encryption wrote to the volume";
}

TEST_F(LuksLayoutRefusalTest, OnlyExtFileSystemsAreShrunkForAHeaderInFront) {
    attach("mkfs.vfat");
    auto luks = service(true);
    XPCCodeAnswer layouts = ask([&](XPCCodeReply reply) { luks.luksEncryptionLayoutsWithBsdname(name, reply); });
    EXPECT_EQ(layouts.code, DMLuksServerProtocol::detachedHeader);
    EXPECT_NE(layouts.message.find("Only ext2, ext3 and ext4"), std::string::npos) << layouts.message;
    EXPECT_NE(layouts.message.find("vfat"), std::string::npos) << layouts.message;
    XPCCodeAnswer refused = ask([&](XPCCodeReply reply) { luks.encryptLuksDriveWithBsdname(name, "pw", true, reply); });
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(run({"sha256sum", image}), before);
}

TEST_F(LuksLayoutRefusalTest, AnExtVolumeWithDeviceMapperIsOfferedBothLayouts) {
    attach("mkfs.ext4 -q -F");
    auto luks = service(true);
    XPCCodeAnswer layouts = ask([&](XPCCodeReply reply) { luks.luksEncryptionLayoutsWithBsdname(name, reply); });
    EXPECT_EQ(layouts.code, DMLuksServerProtocol::detachedHeader | DMLuksServerProtocol::headerInFront);
    EXPECT_EQ(layouts.message, "");
    // A password cryptsetup would cut at its line break is refused before anything runs.
    XPCCodeAnswer refused =
        ask([&](XPCCodeReply reply) { luks.encryptLuksDriveWithBsdname(name, "pw\nrest", true, reply); });
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.message.find("line break"), std::string::npos);
    EXPECT_EQ(run({"sha256sum", image}), before);
}

// A kept header is used only for the device it was made for: another device under the same
// name (here the same loop device grown) must never be resumed or opened with it.
TEST_F(LuksLayoutRefusalTest, AKeptHeaderServesOnlyTheDeviceItWasMadeFor) {
    attach("mkfs.ext4 -q -F");
    LuksHeaderStore store((folder / "headers").string());
    ASSERT_TRUE(store.prepareFolder());
    struct stat facts {};
    ASSERT_EQ(::lstat((folder / "headers").c_str(), &facts), 0);
    EXPECT_EQ(facts.st_mode & 0777, 0700u);
    ASSERT_TRUE(store.remember(name));
    std::ofstream(store.headerPath(name)) << "LUKS\xba\xbe header bytes";
    EXPECT_TRUE(store.has(name));
    EXPECT_FALSE(store.heldByAnother(name));
    EXPECT_EQ(store.readBase64(name), "TFVLU7q+IGhlYWRlciBieXRlcw==");

    fs::resize_file(image, 320 << 20);
    ASSERT_FALSE(run({"sh", "-c", "losetup --set-capacity \"$1\" && echo grown", "sh", "/dev/" + name}).empty());
    EXPECT_FALSE(store.has(name));
    EXPECT_TRUE(store.heldByAnother(name));
    EXPECT_FALSE(store.readBase64(name));

    // The same image attached under a second name: while the first name still carries it,
    // which one owns the header is unclear and nothing moves; once only the second carries
    // it, the header follows.
    fs::resize_file(image, 256 << 20);
    ASSERT_FALSE(run({"sh", "-c", "losetup --set-capacity \"$1\" && echo shrunk", "sh", "/dev/" + name}).empty());
    ASSERT_TRUE(store.has(name));
    second = run({"losetup", "--find", "--show", image});
    ASSERT_EQ(second.rfind("/dev/loop", 0), 0u) << second;
    second = second.substr(5);
    EXPECT_FALSE(store.followMovedDevice(second));
    run({"losetup", "--detach", "/dev/" + name});
    ASSERT_TRUE(releasedByKernel(name));
    EXPECT_EQ(store.followMovedDevice(second), name);
    EXPECT_TRUE(store.has(second));
    EXPECT_EQ(store.readBase64(second), "TFVLU7q+IGhlYWRlciBieXRlcw==");
    EXPECT_FALSE(fs::exists(store.headerPath(name)));

    // cryptsetup cannot read that header and the device still shows its ext4: an encryption
    // that died making its header. The service puts it aside (never deletes it), and the
    // volume may be encrypted again.
    auto luks = service(false);
    bool isLuks = true;
    luks.isLuksDriveWithBsdname(second, [&](bool answer) { isLuks = answer; });
    EXPECT_FALSE(isLuks);
    EXPECT_FALSE(fs::exists(store.headerPath(second)));
    EXPECT_EQ(run({"cat", store.headerPath(second) + ".unused"}), "LUKS\xba\xbe header bytes");

    // A link in the folder's place is refused, not followed.
    LuksHeaderStore linked((folder / "linked").string());
    fs::create_directory_symlink(folder / "headers", folder / "linked");
    EXPECT_FALSE(linked.prepareFolder());
}

}  // namespace
}  // namespace harbormind
