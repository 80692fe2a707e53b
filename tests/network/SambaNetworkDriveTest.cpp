#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "network/DMNetworkDriveManager.h"
#include "network/FolderScopedMounter.h"
#include "network/NetworkDriveTestSupport.h"
#include "network/NetworkTestPlatform.h"
#include "network/SambaServer.h"
#include "platform/NetworkMountStatus.h"
#include "platform/linux/files/LinuxFileStore.h"
#include "platform/linux/settings/LinuxKeychainFiles.h"
#include "platform/linux/network/LinuxNetworkMounter.h"
#include "support/RealClock.h"

namespace harbormind {
namespace {

using test::SambaServer;

// Counts the mount requests that pass through to the real mounter.
class CountingMounter final : public NetworkMounter {
public:
    explicit CountingMounter(NetworkMounter& inner) : inner_(inner) {}
    bool createMountDirectory(const std::string& path) override { return inner_.createMountDirectory(path); }
    RequestId mountAsync(const NetworkMountRequest& request, std::shared_ptr<DispatchQueue> queue,
                         Completion completion) override {
        ++requests;
        return inner_.mountAsync(request, std::move(queue), std::move(completion));
    }
    void cancel(RequestId request) override { inner_.cancel(request); }
    bool unmount(const std::string& mountPoint, Unmount mode) override { return inner_.unmount(mountPoint, mode); }
    int unmountNow(const std::string& mountPoint, Unmount mode) override { return inner_.unmountNow(mountPoint, mode); }
    int pendingWrites(const std::string& mountPoint) override { return inner_.pendingWrites(mountPoint); }
    std::vector<NetworkVolume> mountedVolumes() override { return inner_.mountedVolumes(); }
    std::unique_ptr<Watch> watchVolumes(std::shared_ptr<DispatchQueue> queue, VolumeCallback appeared,
                                        VolumeCallback disappeared) override {
        return inner_.watchVolumes(std::move(queue), std::move(appeared), std::move(disappeared));
    }
    std::atomic<int> requests{0};

private:
    NetworkMounter& inner_;
};

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// True when some process shows `secret` on its command line.
bool anyCommandLineHolds(const std::string& secret) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        if (readText(entry.path().string() + "/cmdline").find(secret) != std::string::npos) {
            return true;
        }
    }
    return false;
}

class SambaNetworkDriveTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Clock::setCurrent(std::make_shared<RealClock>());
        server = SambaServer::start(whyNot).release();
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        if (!server) {
            GTEST_SKIP() << "No Samba server: " << whyNot;
        }
        std::filesystem::create_directories(server->home());
        keychains = std::make_unique<LinuxKeychainFiles>(server->home() + "/.keychains/default.keychain",
                                                         KeychainKdfLimits::minimal());
        LinuxNetworkMounterOptions options;
        options.pollInterval = seconds(0.2);
        options.cacheFolder = server->home() + "/.cache/network";
        mounter = std::make_unique<LinuxNetworkMounter>(processes, options);
        scoped = std::make_unique<test::FolderScopedMounter>(*mounter, server->home());
        counting = std::make_unique<CountingMounter>(*scoped);
        platform = std::make_shared<test::NetworkTestPlatform>(server->home(), keychains.get(), &files, counting.get(),
                                                               &processes);
        platform->realSpace = [](const std::string& path) {
            struct statvfs info {};
            if (::statvfs(path.c_str(), &info) != 0) {
                return FileSystemSpace{};
            }
            auto block = static_cast<std::int64_t>(info.f_frsize);
            return FileSystemSpace{static_cast<std::int64_t>(info.f_blocks) * block,
                                   static_cast<std::int64_t>(info.f_bavail) * block};
        };
        Platform::setCurrent(platform);
    }

    void TearDown() override {
        if (!server) {
            return;
        }
        // Every mount a test made goes before the next test.
        for (const NetworkMountEntry& entry : mounter->mountTable()) {
            if (entry.volume.mountPoint.starts_with(server->home())) {
                mounter->unmountNow(entry.volume.mountPoint, NetworkMounter::Unmount::Force);
            }
        }
        // An unmount the test started may still be tidying its folders.
        std::error_code error;
        for (int i = 0; i < 50 && std::filesystem::exists(server->home()); ++i) {
            std::filesystem::remove_all(server->home(), error);
            Clock::current().sleepFor(seconds(0.1));
        }
    }

    std::shared_ptr<DMNetworkDriveObject> drive(const std::shared_ptr<DMNetworkDriveManager>& manager,
                                                const std::string& share, const std::string& password) {
        auto result = manager->makeDriveObject(DMNetworkDriveType::smb);
        result->setName(share);
        result->setHost(server->host());
        result->setUserName(SambaServer::user);
        result->setDir("/" + share);
        result->setPassword(password);
        result->refreshIdentifier();
        return result;
    }

    int connect(const std::shared_ptr<DMNetworkDriveManager>& manager, const std::shared_ptr<DMNetworkDriveObject>& target) {
        auto status = std::make_shared<std::atomic<int>>(12345);
        manager->mount(target, [status](int code, std::optional<std::string>) { *status = code; });
        // The completion comes on a global queue, so the main queue is not woken by it.
        waitFor([status] { return *status != 12345; });
        return *status;
    }

    int disconnect(const std::shared_ptr<DMNetworkDriveManager>& manager,
                   const std::shared_ptr<DMNetworkDriveObject>& target) {
        auto status = std::make_shared<std::atomic<int>>(12345);
        manager->unmount(target, [status](int code, std::optional<std::string>) { *status = code; });
        waitFor([status] { return *status != 12345; });
        return *status;
    }

    // Runs the main queue until the condition holds, looking at it at least every 100 ms,
    // since a real file system changes without telling the queue.
    // The drives of this test's server; tests running beside this one mount shares of their own.
    static std::size_t ownDrives(const std::shared_ptr<DMNetworkDriveManager>& manager) {
        std::size_t count = 0;
        for (const auto& root : manager->rootObjs()) {
            auto drive = std::dynamic_pointer_cast<DMNetworkDriveObject>(root);
            count += drive && drive->host() == server->host() ? 1 : 0;
        }
        return count;
    }

    bool waitFor(const std::function<bool()>& condition) {
        for (int i = 0; i < 300; ++i) {
            if (Dispatch::main().runUntil(condition, seconds(0.1))) {
                return true;
            }
        }
        return condition();
    }

    static inline SambaServer* server = nullptr;
    static inline std::string whyNot;
    test::TestProcessLauncher processes;
    LinuxFileStore files;
    std::unique_ptr<LinuxKeychainFiles> keychains;
    std::unique_ptr<LinuxNetworkMounter> mounter;
    std::unique_ptr<test::FolderScopedMounter> scoped;
    std::unique_ptr<CountingMounter> counting;
    std::shared_ptr<test::NetworkTestPlatform> platform;
    std::shared_ptr<test::RecordingManagerDelegate> delegate = std::make_shared<test::RecordingManagerDelegate>();
};

TEST_F(SambaNetworkDriveTest, ASavedDriveConnectsReloadsAndGoesOffline) {
    std::string identity;
    {
        auto manager = DMNetworkDriveManager::create(delegate);
        manager->start();
        auto target = drive(manager, "data", SambaServer::password);
        identity = target->identifier();
        target->setSaved(true);
        manager->add(target);

        ASSERT_EQ(connect(manager, target), 0);
        ASSERT_TRUE(waitFor([&] { return target->isMounted(); })) << "the volume never appeared";
        std::string mountPoint = *target->mountPoint();
        EXPECT_TRUE(mountPoint.starts_with(server->home() + "/mnt/"));
        EXPECT_EQ(readText(mountPoint + "/welcome.txt"), "hello from the server\n");
        EXPECT_GT(target->capacity(), 0);
        EXPECT_TRUE(target->free().has_value());
        EXPECT_EQ(ownDrives(manager), 1u);
        EXPECT_EQ(counting->requests, 1);
        EXPECT_FALSE(anyCommandLineHolds(SambaServer::password));
        // No credential file is left behind.
        EXPECT_TRUE(readText("/proc/self/mountinfo").find(SambaServer::password) == std::string::npos);
    }
    // The saved-drives file and the keychain bring the drive back, and the drive finds its
    // volume still mounted.
    std::string file = readText(server->home() + "/nwd.plist");
    EXPECT_NE(file.find("<key>drives</key>"), std::string::npos);
    auto manager = DMNetworkDriveManager::create(delegate);
    ASSERT_EQ(manager->rootObjs().size(), 1u);  // before start(): only the saved drive
    auto reloaded = std::dynamic_pointer_cast<DMNetworkDriveObject>(manager->rootObjs()[0]);
    EXPECT_EQ(reloaded->identifier(), identity);
    EXPECT_EQ(reloaded->password(), SambaServer::password);
    EXPECT_TRUE(reloaded->saved());
    manager->start();
    ASSERT_TRUE(waitFor([&] { return reloaded->isMounted(); }));

    EXPECT_EQ(disconnect(manager, reloaded), 0);
    ASSERT_TRUE(waitFor([&] { return !reloaded->isMounted(); }));
    EXPECT_TRUE(reloaded->isOffline());
    EXPECT_EQ(ownDrives(manager), 1u);
    auto events = delegate->events();
    EXPECT_NE(std::find(events.begin(), events.end(), "unmounted " + identity), events.end());
}

TEST_F(SambaNetworkDriveTest, AWrongPasswordIsRefusedWithoutARetry) {
    auto manager = DMNetworkDriveManager::create(delegate);
    manager->start();
    auto target = drive(manager, "data", "not-the-password");
    EXPECT_EQ(connect(manager, target), NetworkMountStatus::authenticationRefused);
    EXPECT_EQ(counting->requests, 1);
    EXPECT_FALSE(target->isConnecting());
    std::vector<NetworkVolume> mounted = mounter->mountedVolumes();
    EXPECT_TRUE(std::none_of(mounted.begin(), mounted.end(),
                             [](const NetworkVolume& v) { return v.mountPoint.starts_with(server->home()); }));
    // The folder made for the failed mount is gone again.
    EXPECT_TRUE(std::filesystem::is_empty(server->home() + "/mnt"));
}

TEST_F(SambaNetworkDriveTest, AGuestConnectsToTheGuestShareAndAnUnsavedDriveLeavesOnDisconnect) {
    auto manager = DMNetworkDriveManager::create(delegate);
    manager->start();
    auto target = drive(manager, "public", "");
    target->setUserName("");
    target->setAnonymous(true);
    target->refreshIdentifier();
    manager->add(target);
    ASSERT_EQ(connect(manager, target), 0);
    ASSERT_TRUE(waitFor([&] { return target->isMounted(); }));
    std::string mountPoint = *target->mountPoint();
    {
        std::ofstream(mountPoint + "/from-guest.txt") << "written by a guest\n";
    }
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(server->sharePath("public") + "/from-guest.txt"); }));

    // A guest cannot reach the password share: the server refuses access, retried once.
    auto closed = drive(manager, "data", "");
    closed->setUserName("");
    closed->setAnonymous(true);
    EXPECT_EQ(connect(manager, closed), NetworkMountStatus::permissionDenied);

    EXPECT_EQ(disconnect(manager, target), 0);
    ASSERT_TRUE(waitFor([&] { return ownDrives(manager) == 0; }));
}

// What the server's folder holds, names and sizes, hidden files included.
std::vector<std::string> listing(const std::string& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        std::error_code error;
        auto size = entry.is_regular_file(error) ? entry.file_size(error) : 0;
        entries.push_back(entry.path().string() + " " + std::to_string(size));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// A file copied in and followed at once by a disconnect is on the server when the
// disconnect says it is done; the connect itself leaves the share exactly as it was.
TEST_F(SambaNetworkDriveTest, AFileWrittenTheInstantBeforeADisconnectIsOnTheServer) {
    std::string shareFolder = server->sharePath("data");
    std::vector<std::string> before = listing(shareFolder);
    auto manager = DMNetworkDriveManager::create(delegate);
    manager->start();
    auto target = drive(manager, "data", SambaServer::password);
    target->setSaved(true);
    manager->add(target);
    ASSERT_EQ(connect(manager, target), 0);
    ASSERT_TRUE(waitFor([&] { return ownDrives(manager) == 1 && target->capacity() > 0; }));
    EXPECT_EQ(listing(shareFolder), before);

    std::string mountPoint = *target->mountPoint();
    const std::string contents(5 * 1000 * 1000, 'h');
    {
        std::ofstream out(mountPoint + "/report.bin", std::ios::binary);
        out << contents;
    }
    EXPECT_EQ(disconnect(manager, target), 0);
    // No waiting here: the disconnect's success means the server holds the file.
    EXPECT_EQ(std::filesystem::file_size(shareFolder + "/report.bin"), contents.size());
    EXPECT_EQ(readText(shareFolder + "/report.bin"), contents);
    std::filesystem::remove(shareFolder + "/report.bin");
    EXPECT_EQ(listing(shareFolder), before);
}

// A file held open keeps the drive connected: the disconnect says so instead of detaching it.
TEST_F(SambaNetworkDriveTest, ADriveWithAnOpenFileStaysConnected) {
    auto manager = DMNetworkDriveManager::create(delegate);
    manager->start();
    auto target = drive(manager, "data", SambaServer::password);
    ASSERT_EQ(connect(manager, target), 0);
    ASSERT_TRUE(waitFor([&] { return target->isMounted(); }));
    std::string mountPoint = *target->mountPoint();
    {
        std::ifstream held(mountPoint + "/welcome.txt");
        ASSERT_TRUE(held.good());
        EXPECT_EQ(disconnect(manager, target), NetworkMountStatus::inUse);
        EXPECT_TRUE(target->isMounted());
    }
    EXPECT_EQ(disconnect(manager, target), 0);
    EXPECT_FALSE(std::filesystem::exists(mountPoint));
}

// A share name that decodes to a path leaves no folder outside the drive's mount folder.
TEST_F(SambaNetworkDriveTest, AShareNameThatLeadsElsewhereIsRefused) {
    auto manager = DMNetworkDriveManager::create(delegate);
    for (std::string share : {"%2F..%2F..%2Fescaped", "..", "%2E%2E", "a%00b"}) {
        auto target = drive(manager, share, SambaServer::password);
        EXPECT_EQ(connect(manager, target), NetworkMountStatus::noSuchShare) << share;
    }
    EXPECT_FALSE(std::filesystem::exists(server->home() + "/escaped"));
    EXPECT_FALSE(std::filesystem::exists(server->home() + "/mnt/escaped"));
    for (const auto& entry : std::filesystem::directory_iterator(server->home() + "/mnt")) {
        EXPECT_TRUE(std::filesystem::is_empty(entry.path())) << entry.path();
    }
}

TEST_F(SambaNetworkDriveTest, AfpDrivesFailWithAClearStatus) {
    auto manager = DMNetworkDriveManager::create(delegate);
    auto target = drive(manager, "data", "x");
    target->setScheme("afp");
    EXPECT_EQ(connect(manager, target), NetworkMountStatus::notSupported);
}

}  // namespace
}  // namespace harbormind
