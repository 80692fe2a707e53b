#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "DaemonBusFixture.h"
#include "daemon/linux/BlockDeviceCheck.h"
#include "daemon/linux/LinuxDaemonBackend.h"
#include "daemon/linux/NtfsMounter.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/LoopImageCleanup.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Runs a program to its end; answers its exit status and what it printed.
int run(const std::vector<std::string>& argv, std::string* output = nullptr) {
    int out = -1;
    test::ChildProcess child(argv, {}, &out);
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(out, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out);
    if (output) {
        *output = text;
    }
    return child.waitExit(60s).value_or(-1);
}

std::string firstLine(std::string text) {
    return text.substr(0, text.find('\n'));
}

// NTFS images on real loop devices, mounted by the Linux backend on a private bus for a user
// the test creates; the calls come from that user's own processes.
class NtfsMountTest : public test::DaemonBusFixture {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root for loop devices, mounts and a second user";
        }
        if (!NtfsMounter::ntfs3gProgram() || run({"mkfs.ntfs", "--version"}) < 0) {
            GTEST_SKIP() << "needs ntfs-3g and mkfs.ntfs";
        }
        DaemonBusFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        std::string tag = std::to_string(::getpid() % 100000);
        folder = "/tmp/hm-ntfs-" + tag;
        mediaRoot = folder + "/media";
        fs::create_directories(mediaRoot);
        fs::permissions(folder, fs::perms(0755));
        fs::permissions(mediaRoot, fs::perms(0755));
        user = "hmntfs" + tag;
        ASSERT_EQ(run({"useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", user}), 0);
        std::string number;
        ASSERT_EQ(run({"id", "-u", user}, &number), 0);
        uid = firstLine(number);
        ASSERT_EQ(run({"id", "-g", user}, &number), 0);
        gid = firstLine(number);
        serve(std::make_shared<LinuxDaemonBackend>(mediaRoot),
              std::make_shared<BlockDeviceCheck>());
    }

    void TearDown() override {
        for (const std::string& path : mounted) {
            ::umount2(path.c_str(), 0);
        }
        for (const std::string& device : loops) {
            waitUntilReleased(device);
            run({"losetup", "--detach", device});
        }
        if (!user.empty()) {
            run({"userdel", user});
        }
        if (!folder.empty()) {
            fs::remove_all(folder);
        }
        DaemonBusFixture::TearDown();
    }

    // A fresh NTFS image on a loop device of its own; `hibernation` is put at its root first.
    std::string ntfsDevice(const std::string& label, const std::string& hibernation = {}) {
        std::string image = folder + "/" + label + ".img";
        fs::resize_file((std::ofstream(image).close(), image), 16 << 20);
        EXPECT_EQ(run({"mkfs.ntfs", "-Q", "-F", "-L", label, image}), 0);
        if (!hibernation.empty()) {
            std::ofstream(folder + "/hiberfil") << hibernation << std::string(4092, '\0');
            EXPECT_EQ(run({"ntfscp", image, folder + "/hiberfil", "hiberfil.sys"}), 0);
        }
        std::string device;
        loopCleanups.push_back(std::make_unique<test::LoopImageCleanup>(image));
        EXPECT_EQ(run({"losetup", "--find", "--show", image}, &device), 0);
        device = firstLine(device);
        EXPECT_TRUE(device.starts_with("/dev/loop")) << device;
        loops.push_back(device);
        return device;
    }

    // A call to the NTFS service from the test user's own process; answers busctl's reply.
    std::string callAsUser(const std::string& method, const std::string& signature, const std::string& argument) {
        std::string output;
        run({"setpriv", "--reuid=" + uid, "--regid=" + gid, "--clear-groups", "--", "busctl",
             "--address=" + bus->address(), "call", XPCServiceName::ntfs, "/com/Kestrane/drivemanagerd/NtfsXPC",
             XPCServiceName::ntfs, method, signature, argument},
            &output);
        return firstLine(output);
    }

    std::string mountAsUser(const std::string& device) {
        std::string answer = callAsUser("mountAsNTFSNativelyWithBsdName", "s", device.substr(5));
        if (answer == "x 0" || answer == "x 2") {
            mounted.push_back(mediaRoot + "/" + user + "/" + currentLabel);
        }
        return answer;
    }

    int asUser(const std::string& script, std::string* output = nullptr) {
        return run({"setpriv", "--reuid=" + uid, "--regid=" + gid, "--clear-groups", "--", "/bin/sh", "-c", script,
                    "sh", mountPoint()},
                   output);
    }

    std::string mountPoint() const { return mediaRoot + "/" + user + "/" + currentLabel; }

    bool readOnly() {
        struct statvfs volume {};
        return ::statvfs(mountPoint().c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0;
    }

    // ntfs-3g lets go of the device only once its process has ended after the unmount.
    static void waitUntilReleased(const std::string& device) {
        for (int poll = 0; poll < 250; ++poll) {
            int held = ::open(device.c_str(), O_RDONLY | O_EXCL | O_CLOEXEC);
            if (held >= 0) {
                ::close(held);
                return;
            }
            std::this_thread::sleep_for(20ms);
        }
    }

    void unmount(const std::string& device) {
        ASSERT_EQ(::umount2(mountPoint().c_str(), 0), 0) << std::strerror(errno);
        mounted.pop_back();
        // As an unmount through the daemon does: mount folders are made new for every mount.
        ASSERT_EQ(::rmdir(mountPoint().c_str()), 0) << std::strerror(errno);
        waitUntilReleased(device);
    }

    std::string folder;
    std::string mediaRoot;
    std::string user;
    std::string uid;
    std::string gid;
    std::string currentLabel;
    std::vector<std::string> loops;
    // The images' loop devices go also when the test is killed.
    std::vector<std::unique_ptr<test::LoopImageCleanup>> loopCleanups;
    std::vector<std::string> mounted;
};

TEST_F(NtfsMountTest, MountsReadWriteForTheCallerAndKeepsTheirFileAcrossMounts) {
    currentLabel = "Travel";
    std::string device = ntfsDevice(currentLabel);
    ASSERT_EQ(mountAsUser(device), "x 0");
    EXPECT_FALSE(readOnly());
    struct stat root {}, media {};
    ASSERT_EQ(::stat(mountPoint().c_str(), &root), 0);
    EXPECT_EQ(std::to_string(root.st_uid), uid);
    // The user's media folder stays root's: the user may enter it but not change it.
    ASSERT_EQ(::stat((mediaRoot + "/" + user).c_str(), &media), 0);
    EXPECT_EQ(media.st_uid, 0u);
    EXPECT_EQ(media.st_mode & 07777, 0750u);
    EXPECT_NE(asUser("touch \"$1\"/../intruder"), 0);
    ASSERT_EQ(asUser("printf 'written by the user' > \"$1\"/note.txt"), 0);
    // A second mount of a mounted volume is refused.
    EXPECT_EQ(callAsUser("mountAsNTFSNativelyWithBsdName", "s", device.substr(5)), "x -1");

    unmount(device);
    ASSERT_EQ(mountAsUser(device), "x 0");
    std::string contents;
    EXPECT_EQ(asUser("cat \"$1\"/note.txt", &contents), 0);
    EXPECT_EQ(contents, "written by the user");
}

TEST_F(NtfsMountTest, AHibernatedVolumeIsReadOnlyUnlessTheUserLetsItsFileBeRemoved) {
    currentLabel = "Windows";
    std::string device = ntfsDevice(currentLabel, "hibr");
    // Another user's setting does not remove this user's hibernation file.
    ASSERT_EQ(run({"busctl", "--address=" + bus->address(), "call", XPCServiceName::ntfs,
                   "/com/Kestrane/drivemanagerd/NtfsXPC", XPCServiceName::ntfs, "setIgnoreHibernateFileWithFlag", "b",
                   "true"}),
              0);
    ASSERT_EQ(mountAsUser(device), "x 2");
    EXPECT_TRUE(readOnly());
    EXPECT_TRUE(fs::exists(mountPoint() + "/hiberfil.sys"));
    EXPECT_NE(asUser("touch \"$1\"/new"), 0);
    unmount(device);

    ASSERT_EQ(callAsUser("setIgnoreHibernateFileWithFlag", "b", "true"), "");
    ASSERT_EQ(mountAsUser(device), "x 0");
    EXPECT_FALSE(readOnly());
    EXPECT_FALSE(fs::exists(mountPoint() + "/hiberfil.sys"));
    EXPECT_EQ(asUser("touch \"$1\"/new"), 0);
}

TEST_F(NtfsMountTest, AVolumeThatIsNotNtfsIsRefusedAndLeavesNoFolder) {
    currentLabel = "Plain";
    std::string image = folder + "/plain.img";
    fs::resize_file((std::ofstream(image).close(), image), 4 << 20);
    std::string device;
    loopCleanups.push_back(std::make_unique<test::LoopImageCleanup>(image));
    ASSERT_EQ(run({"losetup", "--find", "--show", image}, &device), 0);
    device = firstLine(device);
    loops.push_back(device);
    EXPECT_EQ(mountAsUser(device), "x -1");
    EXPECT_FALSE(fs::exists(mediaRoot + "/" + user + "/NTFS"));
    EXPECT_FALSE(fs::exists(mediaRoot + "/" + user));
}

}  // namespace
}  // namespace harbormind
