#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "drivemodel/DriveModelFixture.h"
#include "support/Dispatch.h"

namespace harbormind::test {
namespace {

using Key = DiskDescriptionKey;
using ManagerTest = DriveModelTest;

std::vector<std::string> identifiers(const DMDriveManagerProtocol::DriveList& list) {
    std::vector<std::string> names;
    for (const auto& drive : list) {
        names.push_back(drive->identifier());
    }
    return names;
}

std::vector<std::string> childIdentifiers(const std::shared_ptr<DMDriveObjectProtocol>& drive) {
    std::vector<std::string> names;
    for (const auto& [key, child] : drive->children()) {
        names.push_back(key);
    }
    return names;
}

TEST_F(ManagerTest, TheLaptopTreeHasTheContainerOnItsStoreAndNoSystemHelperVolumes) {
    buildLaptop();
    startManager();

    EXPECT_EQ(identifiers(manager->rootObjs()), (std::vector<std::string>{"disk0", "disk4"}));
    auto objects = manager->driveObjs();
    EXPECT_EQ(objects.count("disk0s1"), 0U) << "EFI is excluded";
    EXPECT_EQ(objects.count("disk3s2"), 0U) << "Preboot is excluded";
    EXPECT_EQ(objects.count("disk3s3"), 0U) << "Recovery is excluded";
    EXPECT_EQ(objects.count("disk3s4"), 0U) << "VM is excluded";

    auto disk0 = objects.at("disk0");
    auto store = std::dynamic_pointer_cast<DMLocalDriveObject>(objects.at("disk0s2"));
    auto container = std::dynamic_pointer_cast<DMLocalDriveObject>(objects.at("disk3"));
    EXPECT_EQ(childIdentifiers(disk0), std::vector<std::string>{"disk0s2"});
    EXPECT_EQ(store->parent(), disk0);
    // The container is linked both ways with its physical store, and is no root and no child.
    EXPECT_EQ(store->logicalDriveObj(), container);
    EXPECT_EQ(container->physicalDriveObj(), store);
    EXPECT_EQ(container->parent(), nullptr);
    EXPECT_TRUE(store->children().empty());
    EXPECT_EQ(childIdentifiers(container), (std::vector<std::string>{"disk3s1", "disk3s5"}));
    EXPECT_EQ(objects.at("disk3s5")->parent(), container);

    EXPECT_EQ(store->fileSystem(), DMDriveObjectFilesystem::apfs);
    EXPECT_EQ(disk0.get()->name(), "APPLE SSD AP0512");
    EXPECT_EQ(objects.at("disk3s5")->name(), "Data");
    EXPECT_EQ(std::dynamic_pointer_cast<DMLocalDriveObject>(disk0)->partitionMap(), DMDriveObjectPartitionMap::guid);
    EXPECT_EQ(std::dynamic_pointer_cast<DMLocalDriveObject>(objects.at("disk4"))->interfaceType(),
              DMDriveObjectInterfaceType::usb);

    // driveAdded comes on the callback queue, never on the main thread.
    auto added = delegate->eventsOf("added");
    EXPECT_EQ(added.size(), objects.size());
    EXPECT_TRUE(std::none_of(added.begin(), added.end(), [](const auto& event) { return event.onMain; }));
}

TEST_F(ManagerTest, APartitionBeforeItsWholeDiskCreatesAPlaceholderThatTheDiskReuses) {
    RegistryEntryId disk2 = addWholeDisk("disk2", "Backup Disk", false, "USB", 2000000000000);
    addVolume("disk2s1", disk2, "Backup", "hfs", 1999000000000);
    startManager();
    platform->appear("disk2s1");
    settle();

    auto objects = manager->driveObjs();
    ASSERT_EQ(objects.count("disk2"), 1U);
    auto placeholder = std::dynamic_pointer_cast<DMLocalDriveObject>(objects.at("disk2"));
    EXPECT_TRUE(manager->rootObjs().empty()) << "a placeholder is not a root";
    EXPECT_EQ(placeholder->capacity(), 0) << "a placeholder is not classified";
    EXPECT_EQ(objects.at("disk2s1")->parent(), placeholder);

    platform->appear("disk2");
    settle();
    EXPECT_EQ(manager->driveObjs().at("disk2"), placeholder);
    EXPECT_EQ(identifiers(manager->rootObjs()), std::vector<std::string>{"disk2"});
    EXPECT_EQ(placeholder->capacity(), 2000000000000);
    EXPECT_EQ(childIdentifiers(placeholder), std::vector<std::string>{"disk2s1"});
}

TEST_F(ManagerTest, ExcludedNamesMatchWithLetterCaseAndTheSizeLimitIsBelow100MiB) {
    RegistryEntryId disk5 = addWholeDisk("disk5", "Card", false, "USB", 64000000000);
    addVolume("disk5s1", disk5, "Preboot", "apfs", 200000000);
    addVolume("disk5s2", disk5, "preboot", "apfs", 200000000);
    addVolume("disk5s3", disk5, "Small", "msdos", 104857599);
    addVolume("disk5s4", disk5, "Exact", "msdos", 104857600);
    addVolume("disk5s5", disk5, "Tiny", "msdos", 50 * 1024 * 1024);
    RegistryEntryId sizeless = addVolume("disk5s6", disk5, "NoSize", "msdos", 1);
    (void)sizeless;
    platform->removeDescription("disk5s6", Key::mediaSize);
    for (const char* name : {"disk5", "disk5s1", "disk5s2", "disk5s3", "disk5s4", "disk5s5", "disk5s6"}) {
        platform->appear(name);
    }
    startManager();
    EXPECT_EQ(childIdentifiers(manager->driveObjs().at("disk5")),
              (std::vector<std::string>{"disk5s2", "disk5s4", "disk5s6"}));
}

// Regression: a store carrying several mapped disks (an encrypted volume holding a volume
// group's root and swap) kept only the last one linked, and removing any of them cleared
// the link, so the root volume vanished from the tree.
TEST_F(ManagerTest, AStoreKeepsEverySynthesizedDiskAndARemovalDropsOnlyItsOwnLink) {
    buildLaptop();
    std::optional<RegistryEntryId> storeMedia = platform->mediaOf("disk0s2");
    ASSERT_TRUE(storeMedia);
    addVolume("disk6", *storeMedia, "Swap", "apfs", 8000000000);
    platform->appear("disk6");
    startManager();
    auto objects = manager->driveObjs();
    auto store = std::dynamic_pointer_cast<DMLocalDriveObject>(objects.at("disk0s2"));
    auto container = std::dynamic_pointer_cast<DMLocalDriveObject>(objects.at("disk3"));
    auto swap = std::dynamic_pointer_cast<DMLocalDriveObject>(objects.at("disk6"));
    EXPECT_EQ(store->logicalLinks(), (std::vector<std::shared_ptr<DMLocalDriveObject>>{container, swap}));
    EXPECT_EQ(store->logicalDriveObj(), container);
    EXPECT_EQ(swap->physicalDriveObj(), store);

    platform->disappear("disk6");
    settle();
    EXPECT_EQ(store->logicalLinks(), std::vector<std::shared_ptr<DMLocalDriveObject>>{container});
    EXPECT_EQ(store->logicalDriveObj(), container) << "the container stays linked";
    EXPECT_EQ(container->physicalDriveObj(), store);
}

TEST_F(ManagerTest, RemovalUnlinksTheObjectAndHandsOverOneThatCarriesOnlyTheIdentifier) {
    buildLaptop();
    startManager();
    auto store = std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at("disk0s2"));
    platform->disappear("disk3");
    settle();

    EXPECT_EQ(manager->driveObjs().count("disk3"), 0U);
    EXPECT_EQ(store->logicalDriveObj(), store) << "the store no longer points at the container";
    auto removed = delegate->eventsOf("removed");
    ASSERT_EQ(removed.size(), 1U);
    auto handedOver = std::dynamic_pointer_cast<DMLocalDriveObject>(removed[0].drive);
    ASSERT_NE(handedOver, nullptr);
    EXPECT_EQ(handedOver->identifier(), "disk3");
    EXPECT_NE(handedOver, std::dynamic_pointer_cast<DMLocalDriveObject>(store->logicalDriveObj()));
    EXPECT_EQ(handedOver->capacity(), 0);
    EXPECT_EQ(handedOver->fileSystem(), DMDriveObjectFilesystem::unknown);
    EXPECT_EQ(handedOver->status(), DMLocalDriveStatus::invalid);
    EXPECT_EQ(handedOver->manager(), nullptr);
    EXPECT_TRUE(handedOver->children().empty());

    platform->disappear("disk4s1");
    platform->disappear("disk4");
    settle();
    EXPECT_EQ(identifiers(manager->rootObjs()), std::vector<std::string>{"disk0"});
}

TEST_F(ManagerTest, TheDeviceBehindAnUnlockedBitLockerVolumeIsNotAdded) {
    setDaemonAnswers({{"bitlocker",
                       PlatformValue::Dictionary{
                           {"isBitLockerDriveWithBsdname", PlatformValue::Dictionary{{"disk6s1", true}}},
                           {"getBitLockerBSDNameWithBsdname",
                            PlatformValue::Dictionary{{"disk6s1", "disk7"}, {"disk7", "disk7"}}},
                           {"bitLockerDriveStatusWithBsdname", PlatformValue::Dictionary{{"disk6s1", 17}}},
                       }}});
    RegistryEntryId disk6 = addWholeDisk("disk6", "Windows Stick", false, "USB", 64000000000);
    addVolume("disk6s1", disk6, "", "", 64000000000);
    platform->removeDescription("disk6s1", Key::volumeName);
    platform->removeDescription("disk6s1", Key::volumeKind);
    RegistryEntryId disk7 = addWholeDisk("disk7", "BitLocker contents", false, "USB", 64000000000);
    (void)disk7;
    platform->setDescription("disk7", Key::mediaWhole, false);
    platform->setDescription("disk7", Key::volumeName, "WINDATA");
    platform->setDescription("disk7", Key::volumeKind, "ntfs");
    platform->setDescription("disk7", Key::volumePath, "/Volumes/WINDATA");
    for (const char* name : {"disk6", "disk6s1", "disk7"}) {
        platform->appear(name);
    }
    startManager();

    auto objects = manager->driveObjs();
    EXPECT_EQ(objects.count("disk7"), 0U);
    auto volume = std::dynamic_pointer_cast<DMLocalDriveObject>(objects.at("disk6s1"));
    EXPECT_EQ(volume->fileSystem(), DMDriveObjectFilesystem::bitlocker_encrypted);
    EXPECT_EQ(volume->status(), DMLocalDriveStatus::unlocked);
    // The volume reads its name and mount point through the device carrying its contents.
    EXPECT_EQ(volume->mountPoint(), "/Volumes/WINDATA");
    EXPECT_EQ(volume->name(), "WINDATA");
    EXPECT_EQ(volume->bitLockerFileSystem(), DMDriveObjectFilesystem::ntfs);
    EXPECT_EQ(volume->icon(), "bitlocker_drive");
}

TEST_F(ManagerTest, StartingTwiceRegistersOnceAndWithoutASessionNothingIsReported) {
    buildLaptop();
    startManager();
    manager->start();
    settle();
    EXPECT_EQ(delegate->eventsOf("added").size(), manager->driveObjs().size());

    platform->refuseSessions = true;
    auto noSession = DMLocalDriveManager::create(delegate);
    noSession->start();
    settle();
    EXPECT_FALSE(noSession->isRunning());
    EXPECT_TRUE(noSession->driveObjs().empty());
}

TEST_F(ManagerTest, MountAndUnmountWaitsAreTimedOnTheClockAndReportOnTheMainQueue) {
    buildLaptop();
    startManager();
    double start = now();
    // Mounted after 5 seconds: the report follows the check that sees it.
    platform->removeDescription("disk4s1", Key::volumePath);
    platform->requestMount("disk4s1");
    Dispatch::main().runUntil([] { return false; }, seconds(4.5));
    EXPECT_TRUE(delegate->eventsOf("mounted").empty());
    platform->setDescription("disk4s1", Key::volumePath, "/Volumes/STICK");
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return !delegate->eventsOf("mounted").empty(); }, seconds(10)));
    auto mounted = delegate->eventsOf("mounted");
    EXPECT_DOUBLE_EQ(mounted[0].at - start, 5.0);
    EXPECT_TRUE(mounted[0].onMain);
    EXPECT_EQ(mounted[0].drive, manager->driveObjs().at("disk4s1"));

    // Never unmounted: 120 checks one second apart, then the report anyway.
    start = now();
    platform->requestUnmount("disk4s1");
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return !delegate->eventsOf("unmounted").empty(); }, seconds(200)));
    auto unmounted = delegate->eventsOf("unmounted");
    EXPECT_DOUBLE_EQ(unmounted[0].at - start, 120.0);
    EXPECT_TRUE(unmounted[0].onMain);

    // A disk the manager does not know gets a transient object.
    RegistryEntryId other = addWholeDisk("disk9", "Other", false, "USB", 64000000000);
    addVolume("disk9s1", other, "Other", "msdos", 64000000000, "/Volumes/Other");
    platform->requestMount("disk9s1");
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return delegate->eventsOf("mounted").size() == 2; }, seconds(10)));
    EXPECT_EQ(delegate->eventsOf("mounted")[1].identifier, "disk9s1");
    EXPECT_EQ(manager->driveObjs().count("disk9s1"), 0U);
}

TEST_F(ManagerTest, ADescriptionChangeUpdatesTheObjectAndReportsOnTheMainQueue) {
    buildLaptop();
    startManager();
    auto stick = std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at("disk4s1"));
    EXPECT_EQ(stick->fileSystem(), DMDriveObjectFilesystem::exfat);
    platform->setDescription("disk4s1", Key::volumeKind, "msdos");
    platform->changeDescription("disk4s1");
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return !delegate->eventsOf("changed").empty(); }, seconds(1)));
    EXPECT_EQ(stick->fileSystem(), DMDriveObjectFilesystem::fat32);
    EXPECT_TRUE(delegate->eventsOf("changed")[0].onMain);
}

TEST_F(ManagerTest, ADaemonThatNeverAnswersSlowsDiscoveryButDoesNotStopIt) {
    buildLaptop();
    daemon->setBehaviour(InProcessDaemonBehaviour::neverAnswer);
    manager = DMLocalDriveManager::create(delegate);
    manager->start();
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return manager->driveObjs().size() == 7; }, seconds(3600)));
    EXPECT_EQ(identifiers(manager->rootObjs()), (std::vector<std::string>{"disk0", "disk4"}));
}

TEST_F(ManagerTest, DisksComingAndGoingFromSeveralThreadsWhileTheTreeIsRead) {
    // The stress test: many disks announced and withdrawn from four threads at once, while
    // two readers walk the tree; then the tree must hold exactly the disks that stayed.
    constexpr int disks = 24;
    std::vector<RegistryEntryId> wholes;
    for (int i = 0; i < disks; ++i) {
        std::string name = "disk" + std::to_string(10 + i);
        RegistryEntryId whole = addWholeDisk(name, "Disk " + std::to_string(i), false, "USB", 64000000000);
        addVolume(name + "s1", whole, "Vol" + std::to_string(i), "exfat", 32000000000, "/Volumes/V" + std::to_string(i));
        addVolume(name + "s2", whole, "Two" + std::to_string(i), "msdos", 32000000000);
    }
    startManager();
    std::atomic<bool> stop{false};
    std::atomic<long> reads{0};
    auto reader = [&] {
        while (!stop) {
            for (const auto& root : manager->rootObjs()) {
                for (const auto& [key, child] : root->logicalDriveObj()->children()) {
                    reads += static_cast<long>(child->identifier().size() + child->isHidden());
                    (void)child->parent();
                }
            }
            (void)manager->driveObjs().size();
        }
    };
    std::thread readerA(reader);
    std::thread readerB(reader);
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&, t] {
            for (int i = t; i < disks; i += 4) {
                std::string name = "disk" + std::to_string(10 + i);
                platform->appear(name + "s2");
                platform->appear(name);
                platform->appear(name + "s1");
                if (i % 3 == 0) {
                    platform->disappear(name + "s1");
                }
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    settle();
    stop = true;
    readerA.join();
    readerB.join();

    EXPECT_EQ(manager->rootObjs().size(), static_cast<std::size_t>(disks));
    for (int i = 0; i < disks; ++i) {
        std::string name = "disk" + std::to_string(10 + i);
        auto whole = manager->driveObjs().at(name);
        std::vector<std::string> expected = i % 3 == 0 ? std::vector<std::string>{name + "s2"}
                                                        : std::vector<std::string>{name + "s1", name + "s2"};
        EXPECT_EQ(childIdentifiers(whole), expected) << name;
    }
    EXPECT_GT(reads.load(), 0);
}

// harbormindctl classifies each drive once, itself, when the tree is complete: the manager
// builds the tree and leaves the classification alone.
TEST_F(ManagerTest, WhenTheCallerClassifiesNoDriveIsClassifiedInTheBackground) {
    buildLaptop();
    manager = DMLocalDriveManager::create(delegate);
    manager->setClassification(DMLocalDriveManager::Classification::ByCaller);
    manager->start();
    settle();
    EXPECT_EQ(identifiers(manager->rootObjs()), (std::vector<std::string>{"disk0", "disk4"}));
    auto stick = std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at("disk4s1"));
    EXPECT_EQ(stick->fileSystem(), DMDriveObjectFilesystem::unknown) << "not classified yet";
    stick->update();
    EXPECT_EQ(stick->fileSystem(), DMDriveObjectFilesystem::exfat);
}

}  // namespace
}  // namespace harbormind::test
