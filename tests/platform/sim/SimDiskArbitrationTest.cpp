#include <gtest/gtest.h>

#include "platform/DiskDescriptionKey.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimTestSupport.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using test::SessionRecorder;

class SimDiskArbitrationTest : public test::VirtualClockTest {
protected:
    // Lets every queued callback run; virtual time moves on by one second.
    void settle() { Dispatch::main().runUntil([] { return false; }, seconds(1)); }

    template <typename Condition>
    bool waitFor(Condition condition) {
        return Dispatch::main().runUntil(condition, seconds(60));
    }
};

std::vector<std::string> names(const std::vector<SessionRecorder::Event>& events) {
    std::vector<std::string> out;
    for (const auto& event : events) out.push_back(event.bsdName);
    return out;
}

TEST_F(SimDiskArbitrationTest, RegisteringAppearedReportsEveryPresentDiskOnTheSessionQueue) {
    auto platform = test::loadScenario("laptop.json");
    ASSERT_TRUE(platform);
    SessionRecorder recorder(*platform);
    recorder.registerAll();
    ASSERT_TRUE(waitFor([&] { return recorder.eventsOf("appeared").size() == 9; }));
    auto appeared = recorder.eventsOf("appeared");
    EXPECT_EQ(names(appeared), (std::vector<std::string>{"disk0", "disk0s1", "disk0s2", "disk3", "disk3s1", "disk3s2",
                                                          "disk3s3", "disk3s4", "disk3s5"}));
    for (const auto& event : appeared) {
        EXPECT_TRUE(event.onQueue) << event.bsdName;
    }
    // A second appeared callback gets its own report, and the first gets no repeat.
    std::atomic<int> second{0};
    recorder.session->registerDiskAppeared([&](const DADisk&) { ++second; });
    settle();
    EXPECT_EQ(second.load(), 9);
    EXPECT_EQ(recorder.eventsOf("appeared").size(), 9U);
}

TEST_F(SimDiskArbitrationTest, PresentDisksAreReportedOnceAQueueIsSetAndNothingWithoutOne) {
    auto platform = test::loadScenario("usb-disks.json");
    ASSERT_TRUE(platform);
    auto session = platform->diskArbitration().createSession();
    std::atomic<int> appeared{0};
    session->registerDiskAppeared([&](const DADisk&) { ++appeared; });
    platform->addDisk(R"({"bsdName": "disk20", "description": {"DAMediaSize": 1}})");
    settle();
    EXPECT_EQ(appeared.load(), 0);

    auto queue = SerialQueue::create("late");
    session->setDispatchQueue(queue);
    ASSERT_TRUE(waitFor([&] { return appeared.load() == 11; }));

    session->setDispatchQueue(nullptr);
    platform->removeDisk("disk20");
    platform->addDisk(R"({"bsdName": "disk21"})");
    settle();
    EXPECT_EQ(appeared.load(), 11);
}

TEST_F(SimDiskArbitrationTest, ADiskAddedWhileRegisteringIsReportedExactlyOnce) {
    auto platform = SimPlatform::empty();
    auto queue = SerialQueue::create("race");
    auto session = platform->diskArbitration().createSession();
    session->setDispatchQueue(queue);
    std::mutex mutex;
    std::map<std::string, int> seen;
    std::thread adder([&] {
        for (int i = 0; i < 200; ++i) {
            SimDiskDefinition disk;
            disk.bsdName = "disk" + std::to_string(i);
            platform->addDisk(disk);
        }
    });
    session->registerDiskAppeared([&](const DADisk& disk) {
        std::lock_guard lock(mutex);
        ++seen[disk.bsdName()];
    });
    adder.join();
    ASSERT_TRUE(waitFor([&] {
        std::lock_guard lock(mutex);
        return seen.size() == 200;
    }));
    settle();
    for (const auto& [name, count] : seen) {
        EXPECT_EQ(count, 1) << name;
    }
}

TEST_F(SimDiskArbitrationTest, MountConsentSetsThePathAndTellsEverySession) {
    auto platform = test::loadScenario("usb-disks.json");
    SessionRecorder first(*platform, "first");
    SessionRecorder second(*platform, "second");
    first.registerAll();
    second.registerAll();
    settle();
    first.clear();
    second.clear();

    std::atomic<bool> done{false};
    std::optional<DADissenter> result{DADissenter{}};
    auto disk = first.session->diskFromBSDName("disk4s1");
    ASSERT_TRUE(disk);
    first.session->mount(*disk, std::nullopt, DiskArbitrationSession::mountDefault,
                         [&](const DADisk&, std::optional<DADissenter> dissenter) {
                             result = dissenter;
                             done = true;
                         });
    ASSERT_TRUE(waitFor([&] { return done.load(); }));
    EXPECT_FALSE(result);
    EXPECT_EQ(platform->description("disk4s1")->path(DiskDescriptionKey::volumePath), "/Volumes/STICK");
    for (auto* recorder : {&first, &second}) {
        ASSERT_TRUE(waitFor([&] { return recorder->eventsOf("changed").size() == 1; }));
        auto changed = recorder->eventsOf("changed")[0];
        EXPECT_EQ(changed.bsdName, "disk4s1");
        EXPECT_EQ(changed.keys, std::vector<std::string>{"DAVolumePath"});
        EXPECT_TRUE(changed.onQueue);
        EXPECT_EQ(recorder->eventsOf("mountApproval").size(), 1U);
        EXPECT_TRUE(recorder->eventsOf("mountApproval")[0].onQueue);
    }
}

TEST_F(SimDiskArbitrationTest, ADissentFromAnySessionRefusesTheMountAndIsRecorded) {
    auto platform = test::loadScenario("usb-disks.json");
    SessionRecorder requester(*platform, "requester");
    SessionRecorder blocker(*platform, "blocker");
    requester.registerAll();
    blocker.registerAll();
    DADissenter denied{DADissenter::notPermitted, "Denied"};
    blocker.setMountAnswer(denied);
    settle();

    std::atomic<bool> done{false};
    std::optional<DADissenter> result;
    requester.session->mount(DADisk("disk4s1"), std::nullopt, 0, [&](const DADisk&, std::optional<DADissenter> d) {
        result = d;
        done = true;
    });
    ASSERT_TRUE(waitFor([&] { return done.load(); }));
    EXPECT_EQ(result, denied);
    EXPECT_FALSE(platform->description("disk4s1")->path(DiskDescriptionKey::volumePath));
    EXPECT_EQ(requester.eventsOf("mountApproval").size(), 1U) << "every approval callback is asked";
    EXPECT_TRUE(requester.eventsOf("changed").empty());
    auto requests = platform->requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].kind, SimRequest::Kind::Mount);
    EXPECT_EQ(requests[0].origin, SimRequest::Origin::Session);
    EXPECT_EQ(requests[0].dissenter, denied);

    // The same refusal applies to a mount made by a command or a test control.
    EXPECT_EQ(platform->mountVolume("disk4s1"), denied);
    auto output = platform->processes().run("/bin/sh", {"-c", "/usr/sbin/diskutil mount 'disk4s1'"});
    EXPECT_EQ(output.standardOutput, "");
    EXPECT_EQ(output.standardError, "Volume STICK on disk4s1 failed to mount\n");
    EXPECT_EQ(platform->requests().back().origin, SimRequest::Origin::Command);
}

TEST_F(SimDiskArbitrationTest, UnmountAsksApprovalAndTheWholeOptionTakesEveryVolumeOfTheDisk) {
    auto platform = test::loadScenario("laptop.json");
    SessionRecorder recorder(*platform);
    recorder.registerAll();
    settle();
    recorder.clear();

    recorder.setUnmountAnswer(DADissenter{DADissenter::busy, "Busy"});
    EXPECT_TRUE(platform->unmountVolume("disk3s4"));
    EXPECT_EQ(platform->description("disk3s4")->path(DiskDescriptionKey::volumePath), "/System/Volumes/VM");

    recorder.setUnmountAnswer(std::nullopt);
    EXPECT_FALSE(platform->unmountVolume("disk3s4", DiskArbitrationSession::unmountWhole));
    settle();
    // Every mounted volume of disk3 was asked about and unmounted; disk0s1 (another disk) was not.
    for (const char* volume : {"disk3s1", "disk3s2", "disk3s4", "disk3s5"}) {
        EXPECT_FALSE(platform->description(volume)->path(DiskDescriptionKey::volumePath)) << volume;
    }
    auto asked = names(recorder.eventsOf("unmountApproval"));
    EXPECT_EQ(asked.size(), 1U + 4U);
    EXPECT_EQ(recorder.eventsOf("changed").size(), 4U);
    EXPECT_EQ(platform->requests().back().options, DiskArbitrationSession::unmountWhole);
}

TEST_F(SimDiskArbitrationTest, EjectUnmountsThenRemovesTheDeviceDeepestFirst) {
    auto platform = test::loadScenario("usb-disks.json");
    SessionRecorder recorder(*platform);
    recorder.registerAll();
    settle();
    recorder.clear();

    auto session = recorder.session;
    std::atomic<bool> done{false};
    session->eject(DADisk("disk5s1"), DiskArbitrationSession::ejectDefault,
                   [&](const DADisk&, std::optional<DADissenter>) { done = true; });
    ASSERT_TRUE(waitFor([&] { return done.load() && recorder.eventsOf("disappeared").size() == 2; }));
    auto events = recorder.events();
    ASSERT_EQ(events.size(), 4U);
    EXPECT_EQ(events[0].kind, "unmountApproval");
    EXPECT_EQ(events[1].kind, "changed");
    EXPECT_EQ(names(recorder.eventsOf("disappeared")), (std::vector<std::string>{"disk5s1", "disk5"}));
    EXPECT_FALSE(session->diskFromBSDName("disk5"));
    // A held disk object still reads its last description, as its disappearance handler needs.
    auto last = session->copyDescription(DADisk("disk5s1"));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->text(DiskDescriptionKey::mediaBSDName), "disk5s1");
    EXPECT_FALSE(session->copyIOMedia(DADisk("disk5s1")));
}

TEST_F(SimDiskArbitrationTest, ABusyVolumeGivesWayOnlyToForce) {
    auto platform = test::loadScenario("usb-disks.json");
    ASSERT_TRUE(platform->setBusy("disk5s1", true));
    EXPECT_EQ(platform->unmountVolume("disk5s1")->status, DADissenter::busy);
    EXPECT_EQ(platform->ejectDisk("disk5")->status, DADissenter::busy);
    EXPECT_TRUE(platform->description("disk5s1")->path(DiskDescriptionKey::volumePath));
    EXPECT_FALSE(platform->unmountVolume("disk5s1", DiskArbitrationSession::unmountForce));
    EXPECT_FALSE(platform->description("disk5s1")->path(DiskDescriptionKey::volumePath));
}

TEST_F(SimDiskArbitrationTest, AnInternalDiskCannotBeEjectedAndAnUnknownDiskFails) {
    auto platform = test::loadScenario("laptop.json");
    auto refused = platform->ejectDisk("disk3s5");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, DADissenter::error);
    EXPECT_TRUE(platform->description("disk3s5"));
    EXPECT_TRUE(platform->mountVolume("disk99"));
    EXPECT_TRUE(platform->mountVolume("disk0s2")) << "a physical store has no file system to mount";
}

TEST_F(SimDiskArbitrationTest, DescriptionsAreFreshCopiesAndChangesAreAnnounced) {
    auto platform = test::loadScenario("usb-disks.json");
    SessionRecorder recorder(*platform);
    recorder.registerAll();
    settle();
    recorder.clear();
    auto copy = recorder.session->copyDescription(DADisk("disk4s1"));
    copy->values()["DAVolumeName"] = "CHANGED";
    EXPECT_EQ(recorder.session->copyDescription(DADisk("disk4s1"))->text("DAVolumeName"), "STICK");

    EXPECT_TRUE(platform->setDescriptionValue("disk4s1", "DAVolumeName", "NEW"));
    EXPECT_TRUE(platform->removeDescriptionValue("disk4s1", "DAVolumeUUID"));
    EXPECT_FALSE(platform->removeDescriptionValue("disk4s1", "DAVolumeUUID"));
    ASSERT_TRUE(waitFor([&] { return recorder.eventsOf("changed").size() == 2; }));
    EXPECT_EQ(recorder.eventsOf("changed")[0].keys, std::vector<std::string>{"DAVolumeName"});
    EXPECT_EQ(recorder.eventsOf("changed")[1].keys, std::vector<std::string>{"DAVolumeUUID"});
    EXPECT_EQ(recorder.session->diskFromVolumePath("/Volumes/ELEMENTS/")->bsdName(), "disk5s1");
    EXPECT_FALSE(recorder.session->diskFromVolumePath("/Volumes/STICK"));
}

TEST_F(SimDiskArbitrationTest, ASecondVolumeOfTheSameNameMountsBesideTheFirst) {
    auto platform = SimPlatform::empty();
    for (const char* name : {"disk2s1", "disk3s1"}) {
        platform->addDisk(std::string(R"({"bsdName": ")") + name +
                          R"(", "description": {"DAVolumeName": "USB", "DAVolumeKind": "msdos"}})");
    }
    EXPECT_FALSE(platform->mountVolume("disk2s1"));
    EXPECT_FALSE(platform->mountVolume("disk3s1"));
    EXPECT_EQ(platform->description("disk3s1")->path("DAVolumePath"), "/Volumes/USB 1");
}

TEST_F(SimDiskArbitrationTest, TimedEventsFireAtTheirExactVirtualTimes) {
    auto platform = test::loadScenario("usb-hotplug.json");
    ASSERT_TRUE(platform);
    SessionRecorder recorder(*platform);  // the first session starts the timeline at t = 0
    recorder.registerAll();
    ASSERT_TRUE(waitFor([&] { return recorder.eventsOf("disappeared").size() == 2; }));
    std::vector<std::tuple<std::string, std::string, double>> seen;
    for (const auto& event : recorder.events()) {
        seen.emplace_back(event.kind, event.bsdName, event.at);
    }
    std::vector<std::tuple<std::string, std::string, double>> expected{
        {"appeared", "disk4", 5.0},         {"appeared", "disk4s1", 5.0},    {"mountApproval", "disk4s1", 7.0},
        {"changed", "disk4s1", 7.0},        {"changed", "disk4s1", 9.5},     {"unmountApproval", "disk4s1", 12.0},
        {"changed", "disk4s1", 12.0},       {"disappeared", "disk4s1", 12.0}, {"disappeared", "disk4", 12.0}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(platform->requests().front().origin, SimRequest::Origin::Event);
}

TEST_F(SimDiskArbitrationTest, TheTimelineCountsFromTheFirstSessionOrAnExplicitStart) {
    auto platform = test::loadScenario("usb-hotplug.json");
    clock->sleepFor(seconds(3));
    SessionRecorder recorder(*platform);
    recorder.registerAll();
    ASSERT_TRUE(waitFor([&] { return !recorder.eventsOf("appeared").empty(); }));
    EXPECT_DOUBLE_EQ(recorder.eventsOf("appeared")[0].at, 3.0 + 5.0);
    platform->start();  // already started: nothing is scheduled twice
    ASSERT_TRUE(waitFor([&] { return recorder.eventsOf("disappeared").size() == 2; }));
    settle();
    EXPECT_EQ(recorder.eventsOf("appeared").size(), 2U);
}

TEST_F(SimDiskArbitrationTest, ARefusedSessionIsNone) {
    auto platform = SimPlatform::empty();
    platform->setRefusesSessions(true);
    EXPECT_EQ(platform->diskArbitration().createSession(), nullptr);
}

}  // namespace
}  // namespace harbormind
