#include "usbblocker/USBBlocker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>

#include "platform/sim/SimFileContents.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "usbblocker/FakeDisks.h"

namespace harbormind {
namespace {

using test::FakeMachine;

class RecordingDelegate final : public USBlockerDelegate {
public:
    void blockerNeedsApproval(const DADisk& disk) override {
        std::lock_guard lock(mutex);
        asked.push_back(disk.bsdName());
    }
    std::vector<std::string> questions() {
        std::lock_guard lock(mutex);
        return asked;
    }
    std::mutex mutex;
    std::vector<std::string> asked;
};

const std::optional<DADissenter> approved = std::nullopt;
const std::optional<DADissenter> denied = DADissenter{0xF8DA0004, "Denied"};

class USBBlockerTest : public test::VirtualClockTest {
protected:
    USBBlockerTest() {
        USBDiskListServices services;
        services.files = &files;
        services.savePath = "/private/var/kestrane/usbblocker.cnf";
        services.driveTools = &tools;
        services.diskArbitration = &machine.diskArbitration;
        diskList = std::make_unique<USBDiskList>(services);
        // Protocols compare in upper case: "usb" is guarded.
        machine.addDisk({.bsdName = "disk4", .mediaName = "Stick", .protocol = "usb", .partitions = 3});
        machine.addDisk({.bsdName = "disk5", .mediaName = "Trusted"});
        machine.addDisk({.bsdName = "disk6", .mediaName = "Banned"});
        machine.addDisk({.bsdName = "disk7", .mediaName = "Both"});
        machine.addDisk({.bsdName = "disk1", .mediaName = "Internal SSD", .protocol = "PCI-Express", .internal = true});
        machine.addDisk({.bsdName = "disk2", .mediaName = "Unflagged", .internal = std::nullopt});
        machine.addDisk({.bsdName = "disk3", .mediaName = "Image", .protocol = "Virtual Interface"});
        machine.addDisk({.bsdName = "disk8", .mediaName = "Unknown", .protocol = std::nullopt});
        files.setFile(services.savePath, "Trusted:32__white\nBanned:8__black\nBoth:1__white\nBoth:1__black\n");
    }

    ~USBBlockerTest() override { engine.reset(); }

    void makeEngine(std::optional<PlatformValue> model) {
        if (model) {
            settings.setValue("model", *model);
        }
        engine = std::make_unique<USBBlocker>(machine.session, *diskList, tools, &settings, Dispatch::global(),
                                              Dispatch::mainQueue());
        engine->setDelegate(delegate);
        settle();
    }

    // Lets queued callbacks and main-queue questions run.
    void settle() { Dispatch::main().runUntil([] { return false; }, seconds(1)); }

    std::optional<DADissenter> mount(const std::string& bsdName) { return machine.session->requestMount(bsdName); }

    FakeMachine machine;
    DriveTools tools{[this] { return machine.toolsSession; }, machine.registry, nullptr};
    SimFileContents files;
    std::unique_ptr<USBDiskList> diskList;
    test::FakeSettings settings;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    std::unique_ptr<USBBlocker> engine;
};

TEST_F(USBBlockerTest, TheModeComesFromTheModelSetting) {
    const std::vector<std::pair<std::optional<PlatformValue>, AllowDiskMountModel>> cases = {
        {std::nullopt, AllowDiskMountModel::PopupsQuery},
        {PlatformValue(0), AllowDiskMountModel::AllowAllMount},
        {PlatformValue(1), AllowDiskMountModel::PopupsQuery},
        {PlatformValue(2), AllowDiskMountModel::OnlyAllowWhitelistMount},
        {PlatformValue(7), AllowDiskMountModel::PopupsQuery},
        {PlatformValue(-1), AllowDiskMountModel::PopupsQuery},
        {PlatformValue("2"), AllowDiskMountModel::PopupsQuery},
    };
    for (const auto& [stored, expected] : cases) {
        settings.removeValue("model");
        makeEngine(stored);
        EXPECT_EQ(engine->model(), expected);
        engine.reset();
    }
    EXPECT_EQ(allowDiskMountModelFromRawValue(2), AllowDiskMountModel::OnlyAllowWhitelistMount);
    EXPECT_EQ(allowDiskMountModelFromRawValue(3), std::nullopt);
}

TEST_F(USBBlockerTest, InternalUnflaggedAndUnguardedDisksMountInEveryMode) {
    for (int model : {0, 1, 2}) {
        makeEngine(PlatformValue(model));
        for (const char* name : {"disk1s1", "disk2s1", "disk3s1", "disk8s1"}) {
            EXPECT_EQ(mount(name), approved) << name << " in mode " << model;
        }
        settle();
        EXPECT_TRUE(delegate->questions().empty());
        engine.reset();
    }
}

TEST_F(USBBlockerTest, QueryAsksOncePerDiskAndMountsEveryHeldVolumeWhenAllowed) {
    makeEngine(PlatformValue(1));
    EXPECT_EQ(mount("disk4s1"), denied);  // exactly status 0xF8DA0004 with "Denied"
    EXPECT_EQ(mount("disk4s2"), denied);
    EXPECT_EQ(mount("disk4s3"), denied);
    settle();
    EXPECT_EQ(delegate->questions(), std::vector<std::string>{"disk4s1"});
    EXPECT_EQ(engine->heldDisks("disk4").size(), 3u);
    EXPECT_EQ(engine->mountAnnalValue("disk4"), false);

    engine->allowMount(DADisk("disk4s2"));
    ASSERT_TRUE(Clock::current().waitUntil([&] { return machine.session->mounts().size() == 3; },
                                           Clock::current().now() + seconds(5)));
    EXPECT_EQ(machine.session->mounts(), (std::vector<std::string>{"disk4s1", "disk4s2", "disk4s3"}));
    EXPECT_EQ(engine->mountAnnalValue("disk4"), true);
    // Held volumes now mount, and so does any later one.
    EXPECT_EQ(mount("disk4s1"), approved);
    EXPECT_EQ(mount("disk4s3"), approved);
    settle();
    EXPECT_EQ(delegate->questions().size(), 1u);
}

TEST_F(USBBlockerTest, QueryLetsTheWhiteListWinAndRefusesTheBlackListWithoutAsking) {
    makeEngine(PlatformValue(1));
    EXPECT_EQ(mount("disk5s1"), approved);
    EXPECT_EQ(mount("disk6s1"), denied);
    EXPECT_EQ(mount("disk7s1"), approved);  // on both lists
    settle();
    EXPECT_TRUE(delegate->questions().empty());
    EXPECT_TRUE(engine->heldDisks("disk6").empty());
}

TEST_F(USBBlockerTest, QueryRefusesAnUnidentifiedDiskAndApprovesOneWhoseDiskObjectFails) {
    makeEngine(PlatformValue(1));
    machine.session->addDisk("disk9s1", {{DiskDescriptionKey::deviceProtocol, "USB"},
                                         {DiskDescriptionKey::deviceInternal, false}},
                             std::nullopt);
    EXPECT_EQ(mount("disk9s1"), denied);
    machine.session->addDisk("stray", {{DiskDescriptionKey::deviceProtocol, "USB"},
                                       {DiskDescriptionKey::deviceInternal, false}},
                             std::nullopt);
    EXPECT_EQ(mount("stray"), denied);

    machine.addDisk({.bsdName = "disk10", .mediaName = "Flaky"});
    machine.session->makeUnmakeable("disk10");
    EXPECT_EQ(mount("disk10s1"), approved);
    settle();
    EXPECT_TRUE(delegate->questions().empty());
}

TEST_F(USBBlockerTest, AnEjectAfterAllowingMakesTheNextMountAskAgain) {
    makeEngine(PlatformValue(1));
    EXPECT_EQ(mount("disk4s1"), denied);
    engine->allowMount(DADisk("disk4s1"));
    ASSERT_TRUE(Clock::current().waitUntil([&] { return machine.session->mounts().size() == 1; },
                                           Clock::current().now() + seconds(5)));
    EXPECT_EQ(mount("disk4s1"), approved);
    EXPECT_EQ(machine.session->requestUnmount("disk4s1"), approved);
    EXPECT_EQ(engine->mountAnnalValue("disk4"), std::nullopt);
    EXPECT_EQ(mount("disk4s2"), denied);
    settle();
    EXPECT_EQ(delegate->questions(), (std::vector<std::string>{"disk4s1", "disk4s2"}));
}

TEST_F(USBBlockerTest, ForgetAndDisappearanceReturnTheDiskToUnasked) {
    makeEngine(PlatformValue(1));
    EXPECT_EQ(mount("disk4s1"), denied);
    engine->forget(DADisk("disk4s3"));
    EXPECT_TRUE(engine->heldDisks("disk4").empty());
    EXPECT_EQ(mount("disk4s2"), denied);
    EXPECT_EQ(engine->heldDisks("disk4").size(), 1u);
    // Gone disks have no description: the short key comes from the name alone.
    machine.session->disappear("disk4s2");
    EXPECT_TRUE(engine->heldDisks("disk4").empty());
    EXPECT_EQ(engine->mountAnnalValue("disk4"), std::nullopt);
    settle();
    EXPECT_EQ(delegate->questions().size(), 2u);
}

TEST_F(USBBlockerTest, AQuestionIsSkippedWhenTheDelegateIsGone) {
    makeEngine(PlatformValue(1));
    EXPECT_EQ(mount("disk4s1"), denied);
    auto asked = delegate;
    delegate.reset();
    asked.reset();
    settle();  // no crash: the question finds no delegate
    EXPECT_EQ(engine->heldDisks("disk4").size(), 1u);
}

TEST_F(USBBlockerTest, WhiteListOnlyApprovesWhiteListedDisksAlone) {
    makeEngine(PlatformValue(2));
    EXPECT_EQ(mount("disk5s1"), approved);
    EXPECT_EQ(mount("disk6s1"), denied);
    EXPECT_EQ(mount("disk4s1"), denied);
    EXPECT_EQ(mount("disk7s1"), approved);
    machine.session->addDisk("disk9s1", {{DiskDescriptionKey::deviceProtocol, "USB"},
                                         {DiskDescriptionKey::deviceInternal, false}},
                             std::nullopt);
    EXPECT_EQ(mount("disk9s1"), denied);
    settle();
    EXPECT_TRUE(delegate->questions().empty());
    EXPECT_TRUE(engine->heldDisks("disk4").empty());
}

TEST_F(USBBlockerTest, AllowAllApprovesEveryMountButUnmountsUnlistedVolumesAtStart) {
    makeEngine(PlatformValue(0));
    for (const char* name : {"disk4s1", "disk6s1", "disk5s1"}) {
        EXPECT_EQ(mount(name), approved);
    }
    // Every external, guarded, non-white-listed medium present at start is unmounted once.
    auto unmounts = machine.session->unmounts();
    std::sort(unmounts.begin(), unmounts.end());
    EXPECT_EQ(unmounts, (std::vector<std::string>{"disk4", "disk4s1", "disk4s2", "disk4s3", "disk6", "disk6s1"}));
}

TEST_F(USBBlockerTest, TheHostCanWhiteListThroughTheEngine) {
    makeEngine(PlatformValue(2));
    engine->addWhiteList("Stick", 32);
    EXPECT_EQ(mount("disk4s1"), approved);
    EXPECT_EQ(files.read("/private/var/kestrane/usbblocker.cnf", 1000).bytes.find("Stick:32__white\n") !=
                  std::string::npos,
              true);
}

TEST_F(USBBlockerTest, CallbacksAfterTheEngineIsGoneApprove) {
    makeEngine(PlatformValue(2));
    engine.reset();
    EXPECT_EQ(mount("disk4s1"), approved);
}

// Many volumes of many disks ask at once on the concurrent queue while disks disappear and
// the user allows others: each disk is asked about exactly once per round, and nothing races
// (the sanitizer build checks the memory side).
TEST_F(USBBlockerTest, ConcurrentCallbacksAskOncePerDisk) {
    constexpr int diskCount = 12;
    constexpr int volumes = 6;
    for (int d = 0; d < diskCount; ++d) {
        machine.addDisk({.bsdName = "disk" + std::to_string(20 + d), .mediaName = "Stick" + std::to_string(d),
                         .partitions = volumes});
    }
    makeEngine(PlatformValue(1));
    std::atomic<int> refusals{0};
    std::atomic<int> finished{0};
    auto queue = Dispatch::global();
    const int total = diskCount * volumes;
    for (int d = 0; d < diskCount; ++d) {
        for (int v = 1; v <= volumes; ++v) {
            std::string name = "disk" + std::to_string(20 + d) + "s" + std::to_string(v);
            queue->async([&, name, v] {
                if (machine.session->requestMount(name) == denied) {
                    ++refusals;
                }
                if (v == 3) {
                    engine->allowMount(DADisk(name));
                }
                ++finished;
                Clock::current().notifyAll();
            });
        }
    }
    ASSERT_TRUE(Clock::current().waitUntil([&] { return finished.load() == total; },
                                           Clock::current().now() + seconds(30)));
    settle();
    auto asked = delegate->questions();
    std::set<std::string> wholeDisks;
    for (const auto& volume : asked) {
        wholeDisks.insert(volume.substr(0, volume.rfind('s')));
    }
    EXPECT_EQ(asked.size(), static_cast<std::size_t>(diskCount));
    EXPECT_EQ(wholeDisks.size(), static_cast<std::size_t>(diskCount));
    EXPECT_GE(refusals.load(), diskCount);
    for (int d = 0; d < diskCount; ++d) {
        EXPECT_EQ(engine->mountAnnalValue("disk" + std::to_string(20 + d)), true);
    }
}

}  // namespace
}  // namespace harbormind
