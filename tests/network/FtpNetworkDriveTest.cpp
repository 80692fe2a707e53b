#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "testsupport/LocalPort.h"
#include "testsupport/ServerFolder.h"
#include "network/TestProcessLauncher.h"
#include "platform/NetworkMountStatus.h"
#include "platform/linux/network/LinuxNetworkMounter.h"
#include "support/Dispatch.h"
#include "support/RealClock.h"

namespace harbormind {
namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// An anonymous FTP server (vsftpd) of the test's own on 127.0.0.1, serving one folder.
class FtpNetworkDriveTest : public testing::Test {
protected:
    void SetUp() override {
        Clock::setCurrent(std::make_shared<RealClock>());
        if (::geteuid() != 0 || ::access("/usr/sbin/vsftpd", X_OK) != 0 || ::access("/usr/bin/rclone", X_OK) != 0 ||
            ::access("/dev/fuse", R_OK | W_OK) != 0 || !std::filesystem::exists("/var/run/vsftpd/empty")) {
            GTEST_SKIP() << "The FTP test needs root, vsftpd, rclone and /dev/fuse; run scripts/bootstrap";
        }
        ::chmod(folder.path().c_str(), 0755);
        std::filesystem::create_directories(folder.file("pub/docs"));
        std::ofstream(folder.file("pub/docs/readme.txt")) << "served over ftp\n";
        ::chmod(folder.file("pub").c_str(), 0555);
        port = test::LocalPort::unused(40000 + static_cast<int>(::getpid() % 10000));
        std::ofstream(folder.file("vsftpd.conf"))
            << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" << port
            << "\nbackground=YES\nanonymous_enable=YES\nanon_root=" << folder.file("pub")
            << "\nno_anon_password=YES\nlocal_enable=NO\nwrite_enable=NO\npasv_enable=YES\npasv_address=127.0.0.1\n"
            << "secure_chroot_dir=/var/run/vsftpd/empty\nseccomp_sandbox=NO\nxferlog_enable=NO\n";
        ProcessResult started = processes.run("/usr/sbin/vsftpd", {folder.file("vsftpd.conf")});
        ASSERT_EQ(started.exitStatus, 0) << started.standardError;
        serverPid = findServer();
        ASSERT_GT(serverPid, 0) << "vsftpd did not start";
        mounter = std::make_unique<LinuxNetworkMounter>(processes);
    }

    void TearDown() override {
        if (mounter) {
            for (const NetworkMountEntry& entry : mounter->mountTable()) {
                if (entry.volume.mountPoint.starts_with(folder.path())) {
                    mounter->unmountNow(entry.volume.mountPoint, NetworkMounter::Unmount::Force);
                }
            }
            mounter.reset();
        }
        if (serverPid > 0) {
            ::kill(serverPid, SIGTERM);
        }
    }

    // The daemon left running by `vsftpd <our configuration>`, once it listens: it goes to the
    // background before it opens its port, so its start returns before it can be reached.
    int findServer() {
        std::string expected = std::string("/usr/sbin/vsftpd") + '\0' + folder.file("vsftpd.conf");
        for (int i = 0; i < 100; ++i) {
            for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
                std::string name = entry.path().filename().string();
                if (name.find_first_not_of("0123456789") == std::string::npos &&
                    readText(entry.path().string() + "/cmdline").starts_with(expected) && test::LocalPort::answers(port)) {
                    return std::stoi(name);
                }
            }
            Clock::current().sleepFor(seconds(0.1));
        }
        return 0;
    }

    NetworkMountResult mount(const NetworkMountRequest& request) {
        auto result = std::make_shared<NetworkMountResult>();
        auto done = std::make_shared<std::atomic<bool>>(false);
        mounter->mountAsync(request, Dispatch::global(), [result, done](NetworkMountResult r) {
            *result = std::move(r);
            *done = true;
        });
        for (int i = 0; i < 600 && !*done; ++i) {
            Clock::current().sleepFor(seconds(0.1));
        }
        return *result;
    }

    test::ServerFolder folder;
    test::TestProcessLauncher processes;
    std::unique_ptr<LinuxNetworkMounter> mounter;
    int port = 0;
    int serverPid = 0;
};

TEST_F(FtpNetworkDriveTest, AnAnonymousShareMountsAndUnmounts) {
    NetworkMountRequest request;
    request.url = "ftp://127.0.0.1:" + std::to_string(port) + "/docs";
    request.mountDirectory = folder.file("home/mnt/0F0F0F0F-0000-4000-8000-000000000001");
    request.user = "guest";
    request.guest = true;
    ASSERT_TRUE(mounter->createMountDirectory(request.mountDirectory));
    NetworkMountResult result = mount(request);
    ASSERT_EQ(result.status, NetworkMountStatus::success) << result.message;
    ASSERT_EQ(result.mountPoints, std::vector<std::string>{request.mountDirectory + "/docs"});
    EXPECT_EQ(readText(result.mountPoints[0] + "/readme.txt"), "served over ftp\n");

    auto volumes = mounter->mountedVolumes();
    auto found = std::find_if(volumes.begin(), volumes.end(),
                              [&](const NetworkVolume& v) { return v.mountPoint == result.mountPoints[0]; });
    ASSERT_NE(found, volumes.end());
    EXPECT_EQ(found->kind, "ftp");
    EXPECT_EQ(found->remountURL, request.url);

    // The same share again is already connected.
    NetworkMountRequest again = request;
    again.mountDirectory = folder.file("home/mnt/0F0F0F0F-0000-4000-8000-000000000002");
    EXPECT_EQ(mount(again).status, NetworkMountStatus::alreadyConnected);

    EXPECT_EQ(mounter->unmountNow(result.mountPoints[0], NetworkMounter::Unmount::Normal), 0);
    EXPECT_FALSE(std::filesystem::exists(request.mountDirectory));
}

TEST_F(FtpNetworkDriveTest, AMissingFolderAndAClosedPortFail) {
    NetworkMountRequest request;
    request.url = "ftp://127.0.0.1:" + std::to_string(port) + "/nothing-here";
    request.mountDirectory = folder.file("home/mnt/0F0F0F0F-0000-4000-8000-000000000003");
    request.guest = true;
    EXPECT_NE(mount(request).status, NetworkMountStatus::success);

    request.url = "ftp://127.0.0.1:1/docs";
    EXPECT_EQ(mount(request).status, NetworkMountStatus::hostDown);
}

}  // namespace
}  // namespace harbormind
