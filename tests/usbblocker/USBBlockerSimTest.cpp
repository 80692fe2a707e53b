#include <gtest/gtest.h>

#include <filesystem>

#include "platform/DiskDescriptionKey.h"
#include "platform/SettingsStores.h"
#include "platform/sim/SimFileContents.h"
#include "platform/sim/SimPlatform.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "usbblocker/USBBlocker.h"

namespace harbormind {
namespace {

std::string scenario(const std::string& name) {
    const char* root = std::getenv("HARBORMIND_SOURCE_DIR");
    std::filesystem::path base = root != nullptr ? std::filesystem::path(root)
                                                 : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    return (base / "tests" / "scenarios" / name).string();
}

class QuestionLog final : public USBlockerDelegate {
public:
    void blockerNeedsApproval(const DADisk& disk) override { asked.push_back(disk.bsdName()); }
    std::vector<std::string> asked;  // main queue only
};

// The engine on the simulated machine of usb-disks.json: real approval callbacks, real
// mounts and unmounts, the lists file in the machine's memory.
class USBBlockerSimTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        auto loaded = SimPlatform::load(scenario("usb-disks.json"));
        ASSERT_TRUE(loaded.platform) << loaded.error;
        platform = loaded.platform;
        tools = std::make_unique<DriveTools>([p = platform.get()] { return p->diskArbitration().createSession(); },
                                             platform->registry(), nullptr);
        USBDiskListServices services;
        services.files = platform->fileContents();
        services.fileEvents = platform->fileEvents();
        services.diskArbitration = &platform->diskArbitration();
        services.driveTools = tools.get();
        services.watchQueue = Dispatch::mainQueue();
        services.savePath = "/private/var/kestrane/usbblocker.cnf";
        services.watchedFolder = "/private/var";
        list = std::make_unique<USBDiskList>(services);
        platform->files().setFile(services.savePath, "WD Elements 25A2 Media:1000__white\n");
    }

    void TearDown() override {
        engine.reset();
        list.reset();
        VirtualClockTest::TearDown();
    }

    void startEngine(int model) {
        auto settings = platform->settings().standard();
        settings->setValue("model", PlatformValue(model));
        engine = std::make_unique<USBBlocker>(platform->diskArbitration().createSession(), *list, *tools,
                                              settings.get(), Dispatch::global(), Dispatch::mainQueue());
        engine->setDelegate(questions);
        settle();
    }

    void settle() { Dispatch::main().runUntil([] { return false; }, seconds(2)); }

    bool mounted(const std::string& bsdName) {
        auto description = platform->description(bsdName);
        return description && description->path(DiskDescriptionKey::volumePath).has_value();
    }

    std::shared_ptr<SimPlatform> platform;
    std::unique_ptr<DriveTools> tools;
    std::unique_ptr<USBDiskList> list;
    std::shared_ptr<QuestionLog> questions = std::make_shared<QuestionLog>();
    std::unique_ptr<USBBlocker> engine;
};

TEST_F(USBBlockerSimTest, StartingUnmountsMountedExternalVolumesThatAreNotWhiteListed) {
    ASSERT_TRUE(mounted("disk5s1") && mounted("disk7s1") && mounted("disk8s1"));
    startEngine(0);
    EXPECT_FALSE(mounted("disk7s1"));
    EXPECT_TRUE(mounted("disk5s1"));  // white-listed
    EXPECT_TRUE(mounted("disk8s1"));  // a disk image is not guarded
    EXPECT_EQ(platform->mountVolume("disk7s1"), std::nullopt);  // the mode lets it back
}

TEST_F(USBBlockerSimTest, AskingModeHoldsTheDiskUntilTheUserAllowsIt) {
    startEngine(1);
    auto refusal = platform->mountVolume("disk4s1");
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->status, 0xF8DA0004u);
    EXPECT_EQ(refusal->statusString, "Denied");
    EXPECT_FALSE(mounted("disk4s1"));
    settle();
    EXPECT_EQ(questions->asked, std::vector<std::string>{"disk4s1"});

    engine->allowMount(DADisk("disk4s1"));
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return mounted("disk4s1"); }, seconds(10)));
    // Pulling the stick forgets the answer: it is asked about again next time.
    platform->removeDisk("disk4");
    settle();
    EXPECT_EQ(engine->mountAnnalValue("disk4"), std::nullopt);
}

TEST_F(USBBlockerSimTest, AWhiteListChangeByAnotherProcessLetsTheDiskMount) {
    startEngine(2);
    EXPECT_TRUE(platform->mountVolume("disk7s1").has_value());
    // The application (another process) adds the disk; the watch reloads a second later.
    platform->files().append("/private/var/kestrane/usbblocker.cnf", "Generic Flash Disk Media:0__white\n");
    settle();
    EXPECT_EQ(platform->mountVolume("disk7s1"), std::nullopt);
    EXPECT_TRUE(mounted("disk7s1"));
}

}  // namespace
}  // namespace harbormind
