#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <atomic>
#include <mutex>
#include <vector>
#include <optional>

#include "network/DMNetworkDriveManager.h"
#include "network/DriveKeychains.h"
#include "network/NetworkDriveArchive.h"
#include "network/NetworkDriveTestSupport.h"
#include "network/NetworkTestPlatform.h"
#include "platform/NetworkMountStatus.h"
#include "platform/linux/files/LinuxFileStore.h"
#include "platform/sim/SimFileStore.h"
#include "platform/sim/SimKeychainFiles.h"
#include "platform/sim/SimNetworkMounter.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using test::RecordingManagerDelegate;

constexpr const char* home = "/home/tester";
constexpr const char* savedFile = "/home/tester/nwd.plist";

class NetworkDriveManagerTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        platform = std::make_shared<test::NetworkTestPlatform>(home, &keychains, &files, &mounter);
        Platform::setCurrent(platform);
    }

    std::shared_ptr<DMNetworkDriveManager> makeManager() {
        auto manager = DMNetworkDriveManager::create(delegate);
        manager->start();
        return manager;
    }

    std::shared_ptr<DMNetworkDriveObject> drive(const std::shared_ptr<DMNetworkDriveManager>& manager,
                                                const std::string& share = "/data", const std::string& user = "bob") {
        auto result = manager->makeDriveObject(DMNetworkDriveType::smb);
        result->setName(share.substr(1));
        result->setHost("files.example");
        result->setUserName(user);
        result->setDir(share);
        result->setPassword("pw");
        result->refreshIdentifier();
        return result;
    }

    // Connects and waits for the completion; its status.
    int connect(const std::shared_ptr<DMNetworkDriveManager>& manager, const std::shared_ptr<DMNetworkDriveObject>& target) {
        auto status = std::make_shared<std::atomic<int>>(12345);
        manager->mount(target, [status](int code, std::optional<std::string>) { *status = code; });
        Dispatch::main().runUntil([status] { return *status != 12345; }, seconds(30));
        return *status;
    }

    void settle(double time = 3) { Dispatch::main().runUntil([] { return false; }, seconds(time)); }

    SimKeychainFiles keychains;
    SimFileStore files;
    SimNetworkMounter mounter;
    std::shared_ptr<test::NetworkTestPlatform> platform;
    std::shared_ptr<RecordingManagerDelegate> delegate = std::make_shared<RecordingManagerDelegate>();
};

TEST_F(NetworkDriveManagerTest, DriveIdentityEqualityAndDerivedAnswers) {
    auto manager = makeManager();
    auto a = drive(manager);
    EXPECT_EQ(a->identifier(), "smb://bob@files.example/data");
    EXPECT_EQ(a->urlString(), "smb://files.example/data");
    EXPECT_EQ(a->icon(), "cloud_drive");
    EXPECT_EQ(a->category(), DMDriveObjectCategory::network);
    EXPECT_EQ(a->logicalDriveObj().get(), a.get());
    EXPECT_TRUE(a->isComplete());

    auto b = drive(manager);
    b->setName("other name");
    b->setPassword("other");
    b->setMountPoint("/somewhere");
    EXPECT_TRUE(*a == *b);
    b->setAnonymous(true);
    EXPECT_FALSE(*a == *b);

    // A fresh object has a UUID identifier and the type's scheme.
    auto fresh = manager->makeDriveObject(DMNetworkDriveType::webDAV);
    EXPECT_EQ(fresh->scheme(), "webDAV");
    EXPECT_EQ(fresh->identifier().size(), 36u);
    EXPECT_EQ(manager->makeDriveObject()->scheme(), "smb");
    EXPECT_FALSE(fresh->isComplete());
    fresh->setName("n");
    fresh->setHost("h");
    EXPECT_FALSE(fresh->isComplete());
    fresh->setAnonymous(true);
    EXPECT_TRUE(fresh->isComplete());

    a->setSaved(true);
    EXPECT_TRUE(a->isOffline());
    manager->setFilter("DA");
    EXPECT_FALSE(a->isHidden());
    manager->setFilter("zz");
    EXPECT_TRUE(a->isHidden());
    a->setName("FOTOS M\xC3\x9CLLER");
    manager->setFilter("m\xC3\xBCller");
    EXPECT_FALSE(a->isHidden());
}

TEST_F(NetworkDriveManagerTest, ConnectMountsWithTheAccountAndShowsActivity) {
    auto manager = makeManager();
    auto target = drive(manager);
    auto watcher = std::make_shared<test::CountingObjectDelegate>();
    target->setDelegate(watcher);
    manager->add(target);

    auto status = std::make_shared<std::atomic<int>>(12345);
    manager->mount(target, [status](int code, std::optional<std::string>) { *status = code; });
    EXPECT_TRUE(target->isConnecting());
    EXPECT_EQ(target->activityIndicator(), DMDriveObjectActivityIndicator::infinite());
    EXPECT_TRUE(target->asyncRequestID().has_value());
    // A second connect while the first runs fails at once and asks nothing.
    int second = 12345;
    manager->mount(target, [&second](int code, std::optional<std::string>) { second = code; });
    EXPECT_EQ(second, -1);

    Dispatch::main().runUntil([status] { return *status != 12345; }, seconds(30));
    EXPECT_EQ(*status, 0);
    EXPECT_FALSE(target->isConnecting());
    EXPECT_FALSE(target->asyncRequestID().has_value());
    EXPECT_EQ(target->activityIndicator(), DMDriveObjectActivityIndicator::none());
    ASSERT_EQ(mounter.requests().size(), 1u);
    NetworkMountRequest request = mounter.requests()[0];
    EXPECT_EQ(request.url, "smb://files.example/data");
    EXPECT_EQ(request.user, "bob");
    EXPECT_EQ(request.password, "pw");
    EXPECT_FALSE(request.guest);
    EXPECT_FALSE(request.allowUserInterface);
    EXPECT_TRUE(request.mountDirectory.starts_with("/home/tester/mnt/"));
    EXPECT_EQ(request.mountDirectory.size(), std::string("/home/tester/mnt/").size() + 36);
    EXPECT_EQ(mounter.createdDirectories(), std::vector<std::string>{request.mountDirectory});

    // The mount point is known when the connect completes, so the drive can be opened then;
    // the volume is taken up two seconds after it appeared, in the drive's own row.
    EXPECT_EQ(target->mountPoint(), request.mountDirectory + "/data");
    platform->setSpace(request.mountDirectory + "/data", {1000, 400});
    double appearedAt = now();
    Dispatch::main().runUntil([&] { return !delegate->events().empty(); }, seconds(10));
    EXPECT_NEAR(now() - appearedAt, 2.0, 0.01);
    EXPECT_EQ(target->capacity(), 1000);
    EXPECT_EQ(target->free(), 400);
    EXPECT_EQ(target->used(), 600);
    EXPECT_EQ(manager->rootObjs().size(), 1u);
    EXPECT_EQ(delegate->events(), std::vector<std::string>{"mounted smb://bob@files.example/data"});
    EXPECT_EQ(delegate->drives().back().get(), target.get());
    EXPECT_TRUE(delegate->allOnMain());
    settle();
    EXPECT_EQ(watcher->changes, 2);
    EXPECT_TRUE(watcher->onMain);
}

TEST_F(NetworkDriveManagerTest, AnonymousDrivesConnectAsGuest) {
    auto manager = makeManager();
    auto target = drive(manager, "/public", "");
    target->setAnonymous(true);
    manager->add(target);
    EXPECT_EQ(connect(manager, target), 0);
    NetworkMountRequest request = mounter.requests().at(0);
    EXPECT_EQ(request.user, "guest");
    EXPECT_EQ(request.password, "");
    EXPECT_TRUE(request.guest);
    settle();
    // The guest volume is recognised as this drive rather than listed twice.
    EXPECT_TRUE(target->isMounted());
    EXPECT_EQ(manager->rootObjs().size(), 1u);
}

TEST_F(NetworkDriveManagerTest, ARefusedLoginIsNotRetriedButOtherFailuresAreOnce) {
    auto manager = makeManager();
    auto target = drive(manager);
    mounter.setResponder([](const NetworkMountRequest&) {
        return NetworkMountResult{NetworkMountStatus::authenticationRefused, {}, {}};
    });
    EXPECT_EQ(connect(manager, target), 80);
    EXPECT_EQ(mounter.requests().size(), 1u);

    // Any other failure is tried again with the user interface allowed; the folder the retry
    // mounted names the drive's folder.
    mounter.setResponder([](const NetworkMountRequest& request) {
        if (!request.allowUserInterface) {
            return NetworkMountResult{NetworkMountStatus::hostDown, {}, {}};
        }
        return NetworkMountResult{0, {request.mountDirectory + "/Projects"}, {}};
    });
    EXPECT_EQ(connect(manager, target), 0);
    ASSERT_EQ(mounter.requests().size(), 3u);
    EXPECT_TRUE(mounter.requests()[2].allowUserInterface);
    EXPECT_EQ(mounter.requests()[2].user, "bob");
    EXPECT_NE(mounter.requests()[2].mountDirectory, mounter.requests()[1].mountDirectory);
    EXPECT_EQ(target->dir(), "/Projects");
    EXPECT_FALSE(target->isConnecting());

    // A retry that fails reports its own status.
    mounter.setResponder([](const NetworkMountRequest& request) {
        return NetworkMountResult{request.allowUserInterface ? 60 : 13, {}, {}};
    });
    EXPECT_EQ(connect(manager, target), 60);
}

TEST_F(NetworkDriveManagerTest, ARetryKeepsAFolderThatAlreadyEndsInTheMountedShare) {
    auto manager = makeManager();
    auto target = drive(manager, "/team/reports");
    mounter.setResponder([](const NetworkMountRequest& request) {
        if (!request.allowUserInterface) {
            return NetworkMountResult{NetworkMountStatus::timedOut, {}, {}};
        }
        return SimNetworkMounter::mountedAnswer(request);
    });
    EXPECT_EQ(connect(manager, target), 0);
    EXPECT_EQ(target->dir(), "/team/reports");
}

TEST_F(NetworkDriveManagerTest, CancellingEndsTheConnectWithoutARetry) {
    auto manager = makeManager();
    auto target = drive(manager);
    mounter.setMountDelay(seconds(30));
    auto status = std::make_shared<std::atomic<int>>(12345);
    manager->mount(target, [status](int code, std::optional<std::string>) { *status = code; });
    manager->cancelMount(*target);
    Dispatch::main().runUntil([status] { return *status != 12345; }, seconds(60));
    EXPECT_EQ(*status, NetworkMountStatus::cancelled);
    EXPECT_EQ(mounter.requests().size(), 1u);
    EXPECT_FALSE(target->isConnecting());
    settle(40);
    EXPECT_FALSE(target->isMounted());
}

TEST_F(NetworkDriveManagerTest, ConnectingADriveWithoutAnAddressFails) {
    auto manager = makeManager();
    auto target = manager->makeDriveObject();
    EXPECT_EQ(connect(manager, target), -1);
    EXPECT_TRUE(mounter.requests().empty());
    EXPECT_FALSE(target->isConnecting());
}

TEST_F(NetworkDriveManagerTest, VolumesOfOtherProgramsAppearAsUnsavedDrivesAndLeave) {
    auto manager = makeManager();
    mounter.addVolume({"/media/net/music", "smbfs", "smb://carol@nas:1445/music"});
    mounter.addVolume({"/media/net/ftp", "ftp", "ftp://nas/pub"});
    mounter.addVolume({"/media/net/odd", "smbfs", std::nullopt});
    settle();
    ASSERT_EQ(manager->rootObjs().size(), 1u);
    auto found = std::dynamic_pointer_cast<DMNetworkDriveObject>(manager->rootObjs()[0]);
    EXPECT_EQ(found->name(), "music");
    EXPECT_EQ(found->host(), "nas:1445");
    EXPECT_EQ(found->userName(), "carol");
    EXPECT_EQ(found->identifier(), "smb://carol@nas:1445/music");
    EXPECT_FALSE(found->saved());
    EXPECT_EQ(delegate->events(), std::vector<std::string>{"added smb://carol@nas:1445/music"});

    mounter.removeVolume("/media/net/music");
    settle();
    EXPECT_TRUE(manager->rootObjs().empty());
    EXPECT_EQ(delegate->events().back(), "removed smb://carol@nas:1445/music");
    EXPECT_TRUE(delegate->allOnMain());
}

TEST_F(NetworkDriveManagerTest, AVolumeGoneBeforeItSettledIsNotListed) {
    auto manager = makeManager();
    mounter.addVolume({"/media/net/brief", "smbfs", "smb://nas/brief"});
    Dispatch::main().runUntil([] { return false; }, seconds(1));
    mounter.removeVolume("/media/net/brief");
    settle();
    EXPECT_TRUE(manager->rootObjs().empty());
}

TEST_F(NetworkDriveManagerTest, ASavedDriveStaysListedOfflineWhenItsVolumeGoes) {
    auto manager = makeManager();
    auto target = drive(manager);
    target->setName("Team");
    target->setSaved(true);
    manager->add(target);
    EXPECT_EQ(connect(manager, target), 0);
    settle();
    ASSERT_TRUE(target->isMounted());
    std::string mountPoint = *target->mountPoint();
    // The listed drive keeps its name and saved state; no second object stands for it.
    EXPECT_EQ(manager->rootObjs().size(), 1u);
    EXPECT_EQ(delegate->events(), std::vector<std::string>{"mounted smb://bob@files.example/data"});

    int unmountStatus = 12345;
    manager->unmount(target, [&unmountStatus](int code, std::optional<std::string>) { unmountStatus = code; });
    settle();
    EXPECT_EQ(unmountStatus, 0);
    ASSERT_EQ(mounter.unmountRequests().size(), 1u);
    EXPECT_EQ(mounter.unmountRequests()[0].first, mountPoint);
    EXPECT_EQ(mounter.unmountRequests()[0].second, NetworkMounter::Unmount::Normal);
    ASSERT_EQ(manager->rootObjs().size(), 1u);
    EXPECT_EQ(manager->rootObjs()[0].get(), target.get());
    EXPECT_EQ(target->name(), "Team");
    EXPECT_TRUE(target->isOffline());
    EXPECT_EQ(target->capacity(), 0);
    EXPECT_FALSE(target->used().has_value());
    EXPECT_EQ(delegate->events().back(), "unmounted smb://bob@files.example/data");

    // Without a mount point there is nothing to unmount or open, and both say so.
    manager->unmount(target, [&unmountStatus](int code, std::optional<std::string>) { unmountStatus = code; });
    EXPECT_EQ(unmountStatus, -1);
    int opened = 12345;
    manager->open(target, [&opened](int code, std::optional<std::string>) { opened = code; });
    EXPECT_EQ(opened, -1);
    EXPECT_TRUE(platform->openedFolders().empty());
    target->setMountPoint("/mnt/x");
    manager->open(target, [&opened](int code, std::optional<std::string>) { opened = code; });
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(platform->openedFolders(), std::vector<std::string>{"/mnt/x"});

    // Reconnecting the offline drive mounts it again in the same row.
    target->setMountPoint(std::nullopt);
    EXPECT_EQ(connect(manager, target), 0);
    settle();
    EXPECT_TRUE(target->isMounted());
    EXPECT_EQ(manager->rootObjs().size(), 1u);
}

// Files written just before a disconnect must reach the server: the disconnect waits for
// them, says so, and refuses (the drive stays connected) when they do not arrive in time.
TEST_F(NetworkDriveManagerTest, ADisconnectWaitsForWrittenFilesToReachTheServer) {
    auto manager = makeManager();
    auto target = drive(manager);
    target->setSaved(true);
    manager->add(target);
    ASSERT_EQ(connect(manager, target), 0);
    settle();
    std::string mountPoint = *target->mountPoint();

    mounter.setPendingWrites(mountPoint, 2);
    auto status = std::make_shared<std::atomic<int>>(12345);
    auto waiting = std::make_shared<std::vector<int>>();
    auto waitingMutex = std::make_shared<std::mutex>();
    DMNetworkDriveManager::DisconnectOptions options;
    options.writesLimit = seconds(10);
    options.waiting = [waiting, waitingMutex](int pending) {
        std::lock_guard lock(*waitingMutex);
        waiting->push_back(pending);
    };
    manager->disconnect(target, options, [status](int code, std::optional<std::string>) { *status = code; });
    settle(2);
    EXPECT_EQ(*status, 12345);
    EXPECT_TRUE(target->isDisconnecting());
    EXPECT_EQ(target->activityIndicator(), DMDriveObjectActivityIndicator::infinite());
    EXPECT_TRUE(mounter.unmountRequests().empty());
    mounter.setPendingWrites(mountPoint, 1);
    settle(2);
    mounter.setPendingWrites(mountPoint, 0);
    double clearedAt = now();
    Dispatch::main().runUntil([status] { return *status != 12345; }, seconds(5));
    EXPECT_LE(now() - clearedAt, 0.3);
    EXPECT_EQ(*status, 0);
    {
        std::lock_guard lock(*waitingMutex);
        EXPECT_EQ(*waiting, (std::vector<int>{2, 1}));
    }
    EXPECT_FALSE(target->isDisconnecting());
    settle();
    EXPECT_TRUE(target->isOffline());

    // Files that never arrive: refused at the limit, never unmounted.
    ASSERT_EQ(connect(manager, target), 0);
    settle();
    mountPoint = *target->mountPoint();
    mounter.setPendingWrites(mountPoint, 1);
    std::optional<std::string> message;
    *status = 12345;
    options.waiting = nullptr;
    double started = now();
    manager->disconnect(target, options, [status, &message](int code, std::optional<std::string> text) {
        message = text;
        *status = code;
    });
    Dispatch::main().runUntil([status] { return *status != 12345; }, seconds(30));
    EXPECT_NEAR(now() - started, 10.0, 0.3);
    EXPECT_EQ(*status, NetworkMountStatus::writesPending);
    EXPECT_EQ(message, NetworkMountStatus::describe(NetworkMountStatus::writesPending));
    EXPECT_EQ(mounter.unmountRequests().size(), 1u);
    EXPECT_TRUE(target->isMounted());
    EXPECT_FALSE(target->isDisconnecting());

    // A file held open: the plain unmount is refused and the drive stays connected.
    mounter.setPendingWrites(mountPoint, 0);
    mounter.setBusy(mountPoint, true);
    *status = 12345;
    manager->unmount(target, [status](int code, std::optional<std::string>) { *status = code; });
    Dispatch::main().runUntil([status] { return *status != 12345; }, seconds(5));
    EXPECT_EQ(*status, NetworkMountStatus::inUse);
    settle();
    EXPECT_TRUE(target->isMounted());
}

// The saved-drives file keeps no guest flag: a saved guest drive comes back as a guest drive
// and takes up its guest volume instead of being listed a second time.
TEST_F(NetworkDriveManagerTest, AReloadedGuestDriveTakesUpItsVolume) {
    {
        auto manager = makeManager();
        auto guest = drive(manager, "/public", "");
        guest->setAnonymous(true);
        guest->setSaved(true);
        guest->refreshIdentifier();
        manager->add(guest);
    }
    auto manager = makeManager();
    ASSERT_EQ(manager->rootObjs().size(), 1u);
    auto reloaded = std::dynamic_pointer_cast<DMNetworkDriveObject>(manager->rootObjs()[0]);
    EXPECT_TRUE(reloaded->anonymous());
    mounter.addVolume({"/home/tester/mnt/X/public", "smbfs", "smb://files.example/public"});
    settle();
    EXPECT_EQ(manager->rootObjs().size(), 1u);
    EXPECT_EQ(reloaded->mountPoint(), "/home/tester/mnt/X/public");
}

TEST_F(NetworkDriveManagerTest, SavedDrivesComeBackWithTheirPasswords) {
    {
        auto manager = makeManager();
        auto saved = drive(manager);
        saved->setSaved(true);
        saved->setPassword("s3cret");
        manager->add(saved);
        auto other = drive(manager, "/scratch");
        manager->add(other);  // not saved: not written
        auto guest = drive(manager, "/public", "");
        guest->setSaved(true);
        guest->setPassword(std::nullopt);
        manager->add(guest);
    }
    ASSERT_TRUE(files.exists(savedFile));
    NetworkDriveArchive::Contents contents = NetworkDriveArchive::decode(*files.read(savedFile));
    EXPECT_FALSE(contents.damaged);
    ASSERT_EQ(contents.drives.size(), 2u);
    EXPECT_EQ(contents.drives[0], (NetworkDriveRecord{"data", "smb", "files.example", "bob", "/data"}));
    EXPECT_EQ(files.text(savedFile)->find("s3cret"), std::string::npos);

    auto manager = makeManager();
    ASSERT_EQ(manager->rootObjs().size(), 2u);
    auto loaded = std::dynamic_pointer_cast<DMNetworkDriveObject>(manager->rootObjs()[0]);
    EXPECT_TRUE(loaded->saved());
    EXPECT_FALSE(loaded->anonymous());
    EXPECT_EQ(loaded->password(), "s3cret");
    EXPECT_EQ(loaded->identifier(), "smb://bob@files.example/data");
    EXPECT_EQ(loaded->manager().get(), manager.get());
    EXPECT_FALSE(std::dynamic_pointer_cast<DMNetworkDriveObject>(manager->rootObjs()[1])->password().has_value());
    EXPECT_EQ(delegate->events(), (std::vector<std::string>{"added smb://bob@files.example/data",
                                                            "added smb://@files.example/public"}));
    EXPECT_TRUE(keychains.exists("/home/tester/networkdrives.keychain"));
    auto items = keychains.items("/home/tester/networkdrives.keychain");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].account, "DM-smb://bob@files.example/data");
    EXPECT_EQ(items[0].accessibility, "accessibleWhenUnlockedAlways");

    // Removing a drive forgets it and its password.
    manager->remove(loaded);
    EXPECT_EQ(delegate->events().back(), "removed smb://bob@files.example/data");
    EXPECT_EQ(NetworkDriveArchive::decode(*files.read(savedFile)).drives.size(), 1u);
    EXPECT_TRUE(keychains.items("/home/tester/networkdrives.keychain").empty());
    // Removing what is not there does nothing.
    manager->remove(loaded);
    EXPECT_EQ(delegate->events().back(), "removed smb://bob@files.example/data");
    EXPECT_EQ(delegate->events().size(), 3u);
}

// The command line saves and forgets drives with a manager of its own: the running window's
// manager follows the file, with the passwords, and does not take its own writes for changes.
TEST_F(NetworkDriveManagerTest, DrivesAnotherProgramSavesRenamesOrForgetsAreFollowed) {
    auto window = makeManager();
    auto mine = drive(window, "/mine");
    mine->setSaved(true);
    window->add(mine);
    settle(1.5);
    EXPECT_TRUE(delegate->events().empty());

    {
        auto other = DMNetworkDriveManager::create({});
        auto photos = drive(other, "/photos");
        photos->setSaved(true);
        photos->setPassword("pw2");
        other->add(photos);
    }
    settle(1.5);
    EXPECT_EQ(delegate->events(), std::vector<std::string>{"added smb://bob@files.example/photos"});
    ASSERT_EQ(window->rootObjs().size(), 2u);
    auto followed = std::dynamic_pointer_cast<DMNetworkDriveObject>(window->rootObjs()[1]);
    EXPECT_TRUE(followed->saved());
    EXPECT_EQ(followed->password(), "pw2");

    {
        auto other = DMNetworkDriveManager::create({});
        auto renamed = std::dynamic_pointer_cast<DMNetworkDriveObject>(other->rootObjs()[0]);
        renamed->setName("Mine, renamed");
        other->save();
        other->remove(std::dynamic_pointer_cast<DMNetworkDriveObject>(other->rootObjs()[1]));
    }
    settle(1.5);
    EXPECT_EQ(delegate->events(), (std::vector<std::string>{"added smb://bob@files.example/photos",
                                                            "removed smb://bob@files.example/photos",
                                                            "changed smb://bob@files.example/mine"}));
    ASSERT_EQ(window->rootObjs().size(), 1u);
    EXPECT_EQ(window->rootObjs()[0]->name(), "Mine, renamed");
}

TEST_F(NetworkDriveManagerTest, TwoDrivesThatDifferOnlyInNameArePassedAsOne) {
    auto manager = makeManager();
    auto first = drive(manager);
    manager->add(first);
    auto second = drive(manager);
    second->setName("renamed");
    EXPECT_TRUE(manager->contains(*second));
    manager->remove(second);
    EXPECT_TRUE(manager->rootObjs().empty());
}

TEST_F(NetworkDriveManagerTest, ADamagedSavedDrivesFileIsKeptUntilTheUserChangesTheList) {
    auto good = NetworkDriveArchive::encode({{"data", "smb", "files.example", "bob", "/data"}});
    std::string text(good.begin(), good.end());
    // A second blob that is not a property list.
    auto close = text.find("</array>");
    text.insert(close, "<data>bm90IGEgcGxpc3Q=</data>\n");
    files.put(savedFile, text);

    auto manager = makeManager();
    ASSERT_EQ(manager->rootObjs().size(), 1u);
    EXPECT_TRUE(manager->savedDrivesFileDamaged());
    // A volume appearing writes the file in passing; the damaged file must survive that.
    mounter.addVolume({"/media/net/music", "smbfs", "smb://carol@nas/music"});
    settle();
    EXPECT_EQ(manager->rootObjs().size(), 2u);
    EXPECT_EQ(files.text(savedFile), text);

    auto mine = drive(manager, "/mine");
    mine->setSaved(true);
    manager->add(mine);
    EXPECT_EQ(files.text("/home/tester/nwd.plist.damaged"), text);
    auto rewritten = NetworkDriveArchive::decode(*files.read(savedFile));
    EXPECT_FALSE(rewritten.damaged);
    EXPECT_EQ(rewritten.drives.size(), 2u);
    EXPECT_FALSE(manager->savedDrivesFileDamaged());
}

TEST_F(NetworkDriveManagerTest, AnUnreadableSavedDrivesFileLoadsNothing) {
    files.put(savedFile, "\x01\x02 not a property list");
    auto manager = makeManager();
    EXPECT_TRUE(manager->rootObjs().empty());
    EXPECT_TRUE(manager->savedDrivesFileDamaged());
    EXPECT_FALSE(keychains.exists("/home/tester/networkdrives.keychain"));
}

TEST_F(NetworkDriveManagerTest, StartingTwiceWatchesOnce) {
    auto manager = makeManager();
    manager->start();
    EXPECT_TRUE(manager->isRunning());
    mounter.addVolume({"/media/net/music", "smbfs", "smb://carol@nas/music"});
    settle();
    EXPECT_EQ(delegate->events().size(), 1u);
}

// The saved drives name the user's servers and accounts: on the real file system the file is
// the user's alone, also one an older version left readable by everyone.
TEST_F(NetworkDriveManagerTest, TheSavedDrivesFileOnDiskIsReadableByItsOwnerOnly) {
    std::string pattern = (std::filesystem::temp_directory_path() / "hm-home-XXXXXX").string();
    const std::string realHome = ::mkdtemp(pattern.data());
    const std::string path = realHome + "/nwd.plist";
    std::ofstream(path) << "";
    ::chmod(path.c_str(), 0644);
    LinuxFileStore diskFiles;
    Platform::setCurrent(std::make_shared<test::NetworkTestPlatform>(realHome, &keychains, &diskFiles, &mounter));
    {
        auto manager = makeManager();
        auto saved = drive(manager);
        saved->setSaved(true);
        manager->add(saved);
    }
    struct stat facts {};
    ASSERT_EQ(::stat(path.c_str(), &facts), 0);
    EXPECT_EQ(facts.st_mode & 0777, 0600u);
    EXPECT_EQ(NetworkDriveArchive::decode(*diskFiles.read(path)).drives.size(), 1u);
    Platform::setCurrent(platform);
    std::filesystem::remove_all(realHome);
}

}  // namespace
}  // namespace harbormind
