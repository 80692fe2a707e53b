// What the platform keeps of each device between kernel events: the registry and the sessions
// answer from the watcher's last read, and an event for the device (or its disk) reads it again.
#include <gtest/gtest.h>

#include "LinuxTestMachine.h"
#include "platform/linux/diskevents/LinuxDiskArbitration.h"
#include "platform/linux/diskevents/LinuxDiskWatcher.h"
#include "platform/linux/disks/LinuxDeviceRegistry.h"
#include "platform/linux/mounting/DaemonMountRequests.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

class LinuxDeviceCacheTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::buildMachine(sysfs);
        LinuxPaths paths = test::recordedMachinePaths(sysfs, "/fake/harbormind-mount");
        watcher = std::make_shared<LinuxDiskWatcher>(paths);
        registry = std::make_shared<LinuxDeviceRegistry>(
            paths, nullptr, [this](const std::string& name) { return watcher->knownDevice(name); });
        arbitration = std::make_unique<LinuxDiskArbitration>(watcher, registry, std::make_shared<DaemonMountRequests>());
        session = arbitration->createSession();
        session->setDispatchQueue(queue);
        session->registerDiskAppeared([this](const DADisk&) {
            {
                std::lock_guard lock(mutex);
                ++appeared;
            }
            clock->notifyAll();
        });
        // Every disk of the recorded machine is known once the first report is out.
        clock->waitUntil(
            [this] {
                std::lock_guard lock(mutex);
                return appeared == 8;
            },
            clock->now() + seconds(5));
    }
    void TearDown() override {
        session->setDispatchQueue(nullptr);
        VirtualClockTest::TearDown();
    }

    void event(const std::string& action, const std::string& name) {
        watcher->sync([&] { watcher->deviceEvent(UeventMessage{action, "", {{"SUBSYSTEM", "block"}, {"DEVNAME", name}}}); });
    }
    std::optional<std::int64_t> number(const std::string& name, const std::string& key) {
        auto entry = registry->entryForName(name);
        auto value = entry ? registry->property(*entry, key) : std::nullopt;
        return value ? value->asInteger() : std::nullopt;
    }

    test::FakeSysfs sysfs;
    std::shared_ptr<SerialQueue> queue = SerialQueue::create("test.session");
    std::shared_ptr<LinuxDiskWatcher> watcher;
    std::shared_ptr<LinuxDeviceRegistry> registry;
    std::unique_ptr<LinuxDiskArbitration> arbitration;
    std::shared_ptr<DiskArbitrationSession> session;
    std::mutex mutex;
    int appeared = 0;
};

TEST_F(LinuxDeviceCacheTest, ADeviceChangedInSysfsIsSeenChangedAfterItsEvent) {
    EXPECT_EQ(number("sdb1", "Size"), 60061696LL * 512);
    sysfs.setAttribute("sdb1", "size", "1000");
    EXPECT_EQ(number("sdb1", "Size"), 60061696LL * 512) << "kept until the kernel reports the change";
    event("change", "sdb1");
    EXPECT_EQ(number("sdb1", "Size"), 1000LL * 512);
}

TEST_F(LinuxDeviceCacheTest, AnEventForTheDiskReadsItsPartitionsAgain) {
    sysfs.setAttribute("sdb1", "start", "4096");
    event("change", "sdb");
    EXPECT_EQ(number("sdb1", "Base"), 4096LL * 512);
    EXPECT_EQ(number("nvme0n1p1", "Base"), 2048LL * 512) << "another disk's partition is not concerned";
}

TEST_F(LinuxDeviceCacheTest, AMappingIsAChildOfWhatItIsMappedOnOnceItAppeared) {
    auto sdb1 = registry->entryForName("sdb1");
    EXPECT_TRUE(registry->childEntries(*sdb1).empty());
    sysfs.addMapping("sdb1", "dm-1", "253:1", 60000000, "luks-5678", "CRYPT-LUKS2-5678-luks-5678");
    event("add", "dm-1");
    auto children = registry->childEntries(*sdb1);
    ASSERT_EQ(children.size(), 1U);
    EXPECT_EQ(registry->property(children[0], "BSD Name")->asText(), "dm-1");
    sysfs.remove("dm-1");
    event("remove", "dm-1");
    EXPECT_TRUE(registry->childEntries(*sdb1).empty());
}

TEST_F(LinuxDeviceCacheTest, ADiskGoneFromSysfsIsFoundUntilItsRemoveEvent) {
    sysfs.remove("loop3p1");
    EXPECT_TRUE(session->diskFromBSDName("loop3p1"));
    event("remove", "loop3p1");
    EXPECT_FALSE(session->diskFromBSDName("loop3p1"));
    EXPECT_FALSE(registry->entryForName("loop3p1"));
}

TEST_F(LinuxDeviceCacheTest, ADeviceTheWatcherDoesNotKeepIsReadEveryTime) {
    EXPECT_EQ(number("loop0", "Size"), 0) << "an unattached loop device is no disk";
    sysfs.setAttribute("loop0", "size", "409600");
    EXPECT_EQ(number("loop0", "Size"), 409600LL * 512);
    EXPECT_TRUE(session->diskFromBSDName("loop0"));
}

}  // namespace
}  // namespace harbormind
