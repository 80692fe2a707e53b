#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "network/DMNetworkDriveManager.h"
#include "network/FolderScopedMounter.h"
#include "network/NetworkDriveTestSupport.h"
#include "network/NetworkTestPlatform.h"
#include "testsupport/ServerFolder.h"
#include "network/TestProcessLauncher.h"
#include "platform/NetworkMountStatus.h"
#include "platform/linux/files/LinuxFileStore.h"
#include "platform/linux/settings/LinuxKeychainFiles.h"
#include "platform/linux/network/LinuxNetworkMounter.h"
#include "support/RealClock.h"

extern char** environ;

namespace harbormind {
namespace {

constexpr const char* davUser = "harbor";
constexpr const char* davPassword = "Dav-pw-42";

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A WebDAV server of the test's own (rclone serve webdav) on 127.0.0.1 over HTTPS with a
// certificate the test makes and trusts, asking for a user name and password.
class WebDavNetworkDriveTest : public testing::Test {
protected:
    void SetUp() override {
        Clock::setCurrent(std::make_shared<RealClock>());
        if (::access("/usr/bin/rclone", X_OK) != 0 || ::access("/usr/bin/openssl", X_OK) != 0 ||
            ::access("/dev/fuse", R_OK | W_OK) != 0) {
            GTEST_SKIP() << "The WebDAV test needs rclone, openssl and /dev/fuse; run scripts/bootstrap";
        }
        std::filesystem::create_directories(folder.file("served/docs"));
        std::ofstream(folder.file("served/docs/readme.txt")) << "served over webdav\n";
        ProcessResult made = processes.run(
            "/usr/bin/openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                                 "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", folder.file("key.pem"), "-out",
                                 folder.file("cert.pem")});
        ASSERT_EQ(made.exitStatus, 0) << made.standardError;
        // rclone, as every Go program, trusts the certificates this variable names.
        ::setenv("SSL_CERT_FILE", folder.file("cert.pem").c_str(), 1);
        port = 30000 + static_cast<int>(::getpid() % 10000);
        startServer();
        std::filesystem::create_directories(folder.file("home"));
        keychains = std::make_unique<LinuxKeychainFiles>(folder.file("home/.keychains/default.keychain"),
                                                         KeychainKdfLimits::minimal());
        LinuxNetworkMounterOptions options;
        options.pollInterval = seconds(0.2);
        options.cacheFolder = folder.file("home/.cache/network");
        mounter = std::make_unique<LinuxNetworkMounter>(processes, options);
        scoped = std::make_unique<test::FolderScopedMounter>(*mounter, folder.path());
        platform = std::make_shared<test::NetworkTestPlatform>(folder.file("home"), keychains.get(), &files,
                                                               scoped.get(), &processes);
        Platform::setCurrent(platform);
    }

    void TearDown() override {
        if (mounter) {
            for (const NetworkMountEntry& entry : mounter->mountTable()) {
                if (entry.volume.mountPoint.starts_with(folder.path())) {
                    mounter->unmountNow(entry.volume.mountPoint, NetworkMounter::Unmount::Force);
                }
            }
        }
        if (serverPid > 0) {
            ::kill(serverPid, SIGTERM);
            ::waitpid(serverPid, nullptr, 0);
        }
        ::unsetenv("SSL_CERT_FILE");
    }

    void startServer() {
        std::vector<std::string> arguments = {"rclone", "serve", "webdav", folder.file("served"), "--addr",
                                              "127.0.0.1:" + std::to_string(port), "--user", davUser, "--pass",
                                              davPassword, "--cert", folder.file("cert.pem"), "--key",
                                              folder.file("key.pem"), "--config", "/dev/null"};
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        ASSERT_EQ(::posix_spawn(&serverPid, "/usr/bin/rclone", nullptr, nullptr, argv.data(), environ), 0);
        // Ready when it answers on its port.
        for (int i = 0; i < 100; ++i) {
            ProcessResult probe = processes.run("/usr/bin/openssl", {"s_client", "-connect",
                                                                    "127.0.0.1:" + std::to_string(port)},
                                                "");
            if (probe.exitStatus == 0) {
                return;
            }
            Clock::current().sleepFor(seconds(0.1));
        }
        FAIL() << "the WebDAV server did not start";
    }

    std::shared_ptr<DMNetworkDriveObject> drive(const std::shared_ptr<DMNetworkDriveManager>& manager,
                                                const std::string& password) {
        auto result = manager->makeDriveObject(DMNetworkDriveType::webDAV);
        result->setName("Docs");
        result->setHost("127.0.0.1:" + std::to_string(port));
        result->setUserName(davUser);
        result->setDir("/docs");
        result->setPassword(password);
        result->refreshIdentifier();
        return result;
    }

    bool waitFor(const std::function<bool()>& condition) {
        for (int i = 0; i < 300; ++i) {
            if (Dispatch::main().runUntil(condition, seconds(0.1))) {
                return true;
            }
        }
        return condition();
    }

    int run(const std::function<void(DMCompletion)>& operation) {
        auto status = std::make_shared<std::atomic<int>>(12345);
        operation([status](int code, std::optional<std::string>) { *status = code; });
        waitFor([status] { return *status != 12345; });
        return *status;
    }

    test::ServerFolder folder;
    test::TestProcessLauncher processes;
    LinuxFileStore files;
    std::unique_ptr<LinuxKeychainFiles> keychains;
    std::unique_ptr<LinuxNetworkMounter> mounter;
    std::unique_ptr<test::FolderScopedMounter> scoped;
    std::shared_ptr<test::NetworkTestPlatform> platform;
    std::shared_ptr<test::RecordingManagerDelegate> delegate = std::make_shared<test::RecordingManagerDelegate>();
    int port = 0;
    pid_t serverPid = 0;
};

TEST_F(WebDavNetworkDriveTest, ConnectsWritesAndDisconnectsWithTheFileOnTheServer) {
    auto manager = DMNetworkDriveManager::create(delegate);
    manager->start();
    auto target = drive(manager, davPassword);
    target->setSaved(true);
    manager->add(target);
    ASSERT_EQ(run([&](DMCompletion done) { manager->mount(target, done); }), 0);
    ASSERT_TRUE(target->mountPoint().has_value());
    std::string mountPoint = *target->mountPoint();
    EXPECT_EQ(readText(mountPoint + "/readme.txt"), "served over webdav\n");
    {
        std::ofstream(mountPoint + "/notes.txt") << "written just before the disconnect\n";
    }
    EXPECT_EQ(run([&](DMCompletion done) { manager->unmount(target, done); }), 0);
    EXPECT_EQ(readText(folder.file("served/docs/notes.txt")), "written just before the disconnect\n");
    EXPECT_FALSE(std::filesystem::exists(mountPoint));
    ASSERT_TRUE(waitFor([&] { return !target->isMounted(); }));
    EXPECT_TRUE(target->isOffline());
    EXPECT_EQ(manager->rootObjs().size(), 1u);
}

TEST_F(WebDavNetworkDriveTest, AWrongPasswordIsRefused) {
    auto manager = DMNetworkDriveManager::create(delegate);
    auto target = drive(manager, "not-the-password");
    EXPECT_EQ(run([&](DMCompletion done) { manager->mount(target, done); }), NetworkMountStatus::authenticationRefused);
    EXPECT_FALSE(target->isMounted());
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("home/mnt")));
}

}  // namespace
}  // namespace harbormind
