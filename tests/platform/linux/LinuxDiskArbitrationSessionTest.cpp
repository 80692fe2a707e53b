#include "platform/linux/diskevents/LinuxDiskArbitrationSession.h"
#include "platform/linux/mounting/MountHelper.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "LinuxTestMachine.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/linux/diskevents/LinuxDiskArbitration.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

const char* rootMount = "26 1 254:0 / / rw - ext4 /dev/vda rw\n";
const char* stickMount = "40 26 8:17 / /media/ann/STICK rw,nosuid - vfat /dev/sdb1 rw\n";

// Stands in for whoever mounts (the daemon, or root itself): records each request and does
// to the mount table what the real work would have done.
class FakeRequests final : public MountRequests {
public:
    explicit FakeRequests(test::FakeSysfs& sysfs) : sysfs_(sysfs) {}

    Answer mount(const std::string& name, const std::optional<std::string>&) override {
        return answer({"mount", name}, std::string(rootMount) + stickMount);
    }
    Answer unmount(const std::string& name, UnmountForce force, UnmountScope scope) override {
        std::vector<std::string> request{"unmount"};
        if (force == UnmountForce::Yes) {
            request.emplace_back("--force");
        }
        if (scope == UnmountScope::WholeDisk) {
            request.emplace_back("--whole");
        }
        request.push_back(name);
        return answer(request, rootMount);
    }
    Answer eject(const std::string& name) override { return answer({"eject", name}, rootMount); }

    std::mutex mutex;
    std::vector<std::vector<std::string>> runs;
    std::string failure;
    int failureStatus = 1;

private:
    Answer answer(std::vector<std::string> request, const std::string& mountsAfter) {
        std::lock_guard lock(mutex);
        runs.push_back(std::move(request));
        if (!failure.empty()) {
            return {failureStatus, failure};
        }
        sysfs_.setMountInfo(mountsAfter);
        return {0, "done"};
    }

    test::FakeSysfs& sysfs_;
};

class LinuxDiskArbitrationSessionTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::buildMachine(sysfs);
        sysfs.setMountInfo(rootMount);
        LinuxPaths paths = test::recordedMachinePaths(sysfs, "/fake/harbormind-mount");
        watcher = std::make_shared<LinuxDiskWatcher>(paths);
        auto registry = std::make_shared<LinuxDeviceRegistry>(paths, nullptr);
        arbitration = std::make_unique<LinuxDiskArbitration>(watcher, registry, requests);
        session = arbitration->createSession();
        session->setDispatchQueue(queue);
    }
    void TearDown() override {
        session->setDispatchQueue(nullptr);
        VirtualClockTest::TearDown();
    }

    // Records every callback in order, as "event name".
    void listen(std::optional<DADissenter> mountAnswer = std::nullopt) {
        session->registerDiskDisappeared([this](const DADisk& disk) { record("disappeared " + disk.bsdName()); });
        session->registerDiskDescriptionChanged([this](const DADisk& disk, const std::vector<std::string>& keys) {
            std::string text = "changed " + disk.bsdName();
            for (const auto& key : keys) {
                text += " " + key;
            }
            record(text);
        });
        session->registerDiskMountApproval([this, mountAnswer](const DADisk& disk) {
            EXPECT_TRUE(queue->isCurrent());
            record("mount? " + disk.bsdName());
            return mountAnswer;
        });
        session->registerDiskUnmountApproval([this](const DADisk& disk) -> std::optional<DADissenter> {
            record("unmount? " + disk.bsdName());
            return std::nullopt;
        });
        session->registerDiskAppeared([this](const DADisk& disk) {
            EXPECT_TRUE(queue->isCurrent());
            record("appeared " + disk.bsdName());
        });
    }

    void record(const std::string& event) {
        {
            std::lock_guard lock(mutex);
            events.push_back(event);
        }
        clock->notifyAll();
    }

    // Waits (on the virtual clock) until `count` events arrived, and takes them.
    std::vector<std::string> take(std::size_t count, double limit = 5) {
        clock->waitUntil(
            [&] {
                std::lock_guard lock(mutex);
                return events.size() >= count;
            },
            clock->now() + seconds(limit));
        std::lock_guard lock(mutex);
        std::vector<std::string> taken = events;
        events.clear();
        return taken;
    }

    void event(const std::string& action, const std::string& name) {
        watcher->sync([&] { watcher->deviceEvent(UeventMessage{action, "", {{"SUBSYSTEM", "block"}, {"DEVNAME", name}}}); });
    }

    test::FakeSysfs sysfs;
    std::shared_ptr<FakeRequests> requests = std::make_shared<FakeRequests>(sysfs);
    std::shared_ptr<SerialQueue> queue = SerialQueue::create("test.session");
    std::shared_ptr<LinuxDiskWatcher> watcher;
    std::unique_ptr<LinuxDiskArbitration> arbitration;
    std::shared_ptr<DiskArbitrationSession> session;
    std::mutex mutex;
    std::vector<std::string> events;
};

TEST_F(LinuxDiskArbitrationSessionTest, RegisteringReportsEveryPresentDiskBeforeItsPartitions) {
    listen();
    std::vector<std::string> expected{"appeared loop3",     "appeared nvme0n1",   "appeared sdb",
                                      "appeared loop3p1",   "appeared nvme0n1p1", "appeared nvme0n1p2",
                                      "appeared sdb1",      "appeared dm-0"};
    auto got = take(expected.size());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(take(1, 3), std::vector<std::string>{}) << "the unattached loop0 is no disk";
}

TEST_F(LinuxDiskArbitrationSessionTest, APartitionAddedAndRemovedAppearsAndDisappears) {
    listen();
    take(8);
    sysfs.addPartition("sdb", "sdb2", "8:18", 2, 70000, 4096);
    event("add", "sdb2");
    EXPECT_EQ(take(1), std::vector<std::string>{"appeared sdb2"});
    sysfs.remove("sdb2");
    event("remove", "sdb2");
    EXPECT_EQ(take(1), std::vector<std::string>{"disappeared sdb2"});
}

TEST_F(LinuxDiskArbitrationSessionTest, ALoopDeviceAppearsWhenAttachedAndDisappearsWhenDetached) {
    listen();
    take(8);
    sysfs.setAttribute("loop0", "size", "409600");
    sysfs.setAttribute("loop0", "loop/backing_file", "/tmp/disk.img");
    event("change", "loop0");
    EXPECT_EQ(take(1), std::vector<std::string>{"appeared loop0"});
    auto description = session->copyDescription(DADisk("loop0"));
    EXPECT_EQ(description->integer(DiskDescriptionKey::mediaSize), 409600LL * 512);
    // Detaching: a change to size 0 for the disk, a remove for each partition.
    sysfs.setAttribute("loop3", "size", "0");
    event("change", "loop3");
    sysfs.remove("loop3p1");
    event("remove", "loop3p1");
    std::vector<std::string> expected{"disappeared loop3", "disappeared loop3p1"};
    EXPECT_EQ(take(2), expected);
}

TEST_F(LinuxDiskArbitrationSessionTest, AMappingAppearingOrGoingChangesWhatItIsMappedOn) {
    listen();
    take(8);
    sysfs.addMapping("sdb1", "dm-1", "253:1", 60000000, "luks-5678", "CRYPT-LUKS2-5678-luks-5678");
    event("add", "dm-1");
    std::vector<std::string> expected{"appeared dm-1", "changed sdb1 LinuxBlockHolders"};
    EXPECT_EQ(take(2), expected);
    sysfs.remove("dm-1");
    event("remove", "dm-1");
    expected = {"disappeared dm-1", "changed sdb1 LinuxBlockHolders"};
    EXPECT_EQ(take(2), expected);
}

TEST_F(LinuxDiskArbitrationSessionTest, AChangeIsReportedOnlyWithTheKeysThatChanged) {
    listen();
    take(8);
    event("change", "sdb1");
    EXPECT_EQ(take(1, 2), std::vector<std::string>{});
    sysfs.setAttribute("sdb1", "size", "1000");
    event("change", "sdb");
    EXPECT_EQ(take(1), std::vector<std::string>{"changed sdb1 DAMediaSize"});
}

TEST_F(LinuxDiskArbitrationSessionTest, AMountSeenInTheTableIsApprovedThenDescribed) {
    listen();
    take(8);
    sysfs.setMountInfo(std::string(rootMount) + stickMount);
    std::vector<std::string> expected{"mount? sdb1", "changed sdb1 DAVolumePath"};
    EXPECT_EQ(take(2), expected);
    EXPECT_EQ(session->copyDescription(DADisk("sdb1"))->text(DiskDescriptionKey::volumePath), "/media/ann/STICK");
    EXPECT_EQ(session->diskFromVolumePath("/media/ann/STICK/photos/a.jpg")->bsdName(), "sdb1");

    sysfs.setMountInfo(rootMount);
    expected = {"unmount? sdb1", "changed sdb1 DAVolumePath"};
    EXPECT_EQ(take(2), expected);
    EXPECT_FALSE(session->copyDescription(DADisk("sdb1"))->text(DiskDescriptionKey::volumePath));
}

TEST_F(LinuxDiskArbitrationSessionTest, TheMountTableIsPolledEveryHalfSecond) {
    listen();
    take(8);
    double start = now();
    sysfs.setMountInfo(std::string(rootMount) + stickMount);
    take(1);
    EXPECT_LE(now() - start, 0.5);
}

// A command that prints the disks and ends: the first report is complete and describes the
// mount table of that moment, and nothing follows it afterwards.
TEST_F(LinuxDiskArbitrationSessionTest, AWatcherThatLooksOnceReportsEveryDiskAndFollowsNoChange) {
    session->setDispatchQueue(nullptr);
    LinuxPaths paths = test::recordedMachinePaths(sysfs, "/fake/harbormind-mount");
    paths.diskWatch = DiskWatch::Once;
    watcher = std::make_shared<LinuxDiskWatcher>(paths);
    arbitration = std::make_unique<LinuxDiskArbitration>(watcher, std::make_shared<LinuxDeviceRegistry>(paths, nullptr),
                                                         requests);
    session = arbitration->createSession();
    session->setDispatchQueue(queue);
    sysfs.setMountInfo(std::string(rootMount) + stickMount);
    listen();
    EXPECT_EQ(take(8).size(), 8U);
    EXPECT_EQ(session->copyDescription(DADisk("sdb1"))->text(DiskDescriptionKey::volumePath), "/media/ann/STICK");
    sysfs.setMountInfo(rootMount);
    EXPECT_EQ(take(1, 3), std::vector<std::string>{}) << "the mount table is not polled";
    EXPECT_FALSE(session->copyDescription(DADisk("sdb1"))->text(DiskDescriptionKey::volumePath))
        << "a description asked for later still reads the mount table of its moment";
}

TEST_F(LinuxDiskArbitrationSessionTest, ADissentUnmountsTheVolumeWithoutAskingAboutTheUnmount) {
    std::vector<std::string> vetoed;
    watcher->setVetoHandler([&](const std::string& name) {
        vetoed.push_back(name);
        sysfs.setMountInfo(rootMount);
    });
    listen(DADissenter{DADissenter::notPermitted, "Denied"});
    take(8);
    sysfs.setMountInfo(std::string(rootMount) + stickMount);
    std::vector<std::string> expected{"mount? sdb1", "changed sdb1 DAVolumePath", "changed sdb1 DAVolumePath"};
    EXPECT_EQ(take(3), expected);
    EXPECT_EQ(vetoed, std::vector<std::string>{"sdb1"});
    // A later unmount the user makes is asked about again.
    sysfs.setMountInfo(std::string(rootMount) + stickMount);
    take(3);
    watcher->setVetoHandler(nullptr);
}

// The program ends while a session's answer is still out: stopping does not wait for it, and
// once stopped the watcher runs no thread of its own and reports nothing.
TEST_F(LinuxDiskArbitrationSessionTest, StoppingDoesNotWaitForAnAnswerStillOutAndEndsTheThreads) {
    std::mutex gate;
    std::condition_variable opened;
    bool open = false;
    session->registerDiskMountApproval([&](const DADisk& disk) -> std::optional<DADissenter> {
        record("mount? " + disk.bsdName());
        std::unique_lock lock(gate);
        opened.wait(lock, [&] { return open; });
        return std::nullopt;
    });
    session->registerDiskDescriptionChanged(
        [this](const DADisk& disk, const std::vector<std::string>&) { record("changed " + disk.bsdName()); });
    sysfs.setMountInfo(std::string(rootMount) + stickMount);
    ASSERT_EQ(take(1), std::vector<std::string>{"mount? sdb1"});

    watcher->stop();
    std::thread::id ranOn;
    watcher->sync([&] { ranOn = std::this_thread::get_id(); });
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    {
        std::lock_guard lock(gate);
        open = true;
    }
    opened.notify_all();
    sysfs.setMountInfo(rootMount);
    clock->sleepFor(seconds(2));
    EXPECT_TRUE(take(1, 1).empty());
}

TEST_F(LinuxDiskArbitrationSessionTest, OwnMountIsApprovedBeforeItIsRequestedAndOnlyOnce) {
    listen();
    take(8);
    std::optional<std::optional<DADissenter>> result;
    session->mount(DADisk("sdb1"), std::nullopt, DiskArbitrationSession::mountDefault,
                   [&](const DADisk&, std::optional<DADissenter> dissent) {
                       result = dissent;
                       record("completed");
                   });
    std::vector<std::string> expected{"mount? sdb1", "changed sdb1 DAVolumePath", "completed"};
    EXPECT_EQ(take(3), expected);
    ASSERT_TRUE(result);
    EXPECT_FALSE(*result);
    EXPECT_EQ(requests->runs, (std::vector<std::vector<std::string>>{{"mount", "sdb1"}}));
    EXPECT_EQ(take(1, 2), std::vector<std::string>{}) << "the poll does not ask again";
}

TEST_F(LinuxDiskArbitrationSessionTest, AnOwnMountThatIsRefusedIsNeverRequested) {
    listen(DADissenter{DADissenter::notPermitted, "Denied"});
    take(8);
    std::optional<DADissenter> result;
    session->mount(DADisk("sdb1"), std::nullopt, DiskArbitrationSession::mountDefault,
                   [&](const DADisk&, std::optional<DADissenter> dissent) {
                       result = dissent;
                       record("completed");
                   });
    take(2);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, DADissenter::notPermitted);
    EXPECT_TRUE(requests->runs.empty());
}

TEST_F(LinuxDiskArbitrationSessionTest, AFailedRequestCompletesWithItsReasonUnchanged) {
    listen();
    take(8);
    requests->failure = "sdb1 has no file system that can be mounted";
    std::optional<DADissenter> result;
    session->unmount(DADisk("/dev/sdb1"), DiskArbitrationSession::unmountForce | DiskArbitrationSession::unmountWhole,
                     [&](const DADisk&, std::optional<DADissenter> dissent) {
                         result = dissent;
                         record("completed");
                     });
    take(2);
    ASSERT_TRUE(result);
    // The reason the user is shown: the words of whoever did the work.
    EXPECT_EQ(result->statusString, "sdb1 has no file system that can be mounted");
    EXPECT_EQ(result->status, DADissenter::error);
    ASSERT_EQ(requests->runs.size(), 1U);

    // A volume in use: the busy code becomes the busy dissenter.
    requests->failure = "cannot unmount /media/ann/X (sdb1): in use by bash (pid 812)";
    requests->failureStatus = MountHelper::busyStatus;
    result.reset();
    session->unmount(DADisk("sdb1"), DiskArbitrationSession::unmountDefault,
                     [&](const DADisk&, std::optional<DADissenter> dissent) {
                         result = dissent;
                         record("completed");
                     });
    take(2);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, DADissenter::busy);
    EXPECT_EQ(result->statusString, "cannot unmount /media/ann/X (sdb1): in use by bash (pid 812)");
    EXPECT_EQ(requests->runs, (std::vector<std::vector<std::string>>{{"unmount", "--force", "--whole", "sdb1"},
                                                                   {"unmount", "sdb1"}}));

    // A text that names no device is refused here: whoever mounts never hears of it.
    result.reset();
    session->eject(DADisk("../sdb"), DiskArbitrationSession::ejectDefault,
                   [&](const DADisk&, std::optional<DADissenter> dissent) {
                       result = dissent;
                       record("completed");
                   });
    take(1);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->statusString, "\"../sdb\" is not a device name");
    EXPECT_EQ(requests->runs.size(), 2U);
}

TEST_F(LinuxDiskArbitrationSessionTest, WithoutAQueueNoCallbackRuns) {
    listen();
    take(8);
    session->setDispatchQueue(nullptr);
    sysfs.setMountInfo(std::string(rootMount) + stickMount);
    EXPECT_EQ(take(1, 3), std::vector<std::string>{});
}

TEST_F(LinuxDiskArbitrationSessionTest, DisksAreMadeOnlyForBlockDevicesThatAreDisks) {
    EXPECT_TRUE(session->diskFromBSDName("sdb1"));
    EXPECT_TRUE(session->diskFromBSDName("/dev/sdb1"));
    EXPECT_FALSE(session->diskFromBSDName("/dev/../dev/sdb1"));
    EXPECT_FALSE(session->diskFromBSDName("loop0"));
    EXPECT_FALSE(session->diskFromBSDName("sdz"));
    EXPECT_FALSE(session->diskFromVolumePath("/nowhere"));
    EXPECT_TRUE(session->copyIOMedia(DADisk("sdb1")));
    EXPECT_FALSE(session->copyDescription(DADisk("sdz")));
}

TEST_F(LinuxDiskArbitrationSessionTest, TwoSessionsBothHearEveryEvent) {
    auto second = arbitration->createSession();
    auto secondQueue = SerialQueue::create("test.second");
    second->setDispatchQueue(secondQueue);
    int seen = 0;
    second->registerDiskAppeared([&](const DADisk&) {
        ++seen;
        clock->notifyAll();
    });
    listen();
    take(8);
    clock->waitUntil([&] { return seen == 8; }, clock->now() + seconds(5));
    EXPECT_EQ(seen, 8);
    second->setDispatchQueue(nullptr);
}

}  // namespace
}  // namespace harbormind
