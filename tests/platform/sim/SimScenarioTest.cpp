#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "platform/DeviceRegistry.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimTestSupport.h"

namespace harbormind {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The nearest registry ancestor (from the media's parent up) that has a "BSD Name".
std::optional<std::string> registryParentName(Platform& platform, const std::string& bsdName) {
    auto session = platform.diskArbitration().createSession();
    auto disk = session->diskFromBSDName(bsdName);
    auto media = disk ? session->copyIOMedia(*disk) : std::nullopt;
    if (!media) {
        return std::nullopt;
    }
    auto entry = platform.registry().parentEntry(*media);
    for (; entry; entry = platform.registry().parentEntry(*entry)) {
        if (auto name = platform.registry().property(*entry, "BSD Name")) {
            return name->asText();
        }
    }
    return std::nullopt;
}

std::optional<PlatformValue> ancestorProperty(Platform& platform, const std::string& bsdName, const std::string& key) {
    auto session = platform.diskArbitration().createSession();
    auto media = session->copyIOMedia(DADisk(bsdName));
    for (auto entry = media; entry; entry = platform.registry().parentEntry(*entry)) {
        if (auto value = platform.registry().property(*entry, key)) {
            return value;
        }
    }
    return std::nullopt;
}

TEST(SimScenarioTest, LaptopLinksItsContainerToThePhysicalStoreAndItsVolumesToTheContainer) {
    auto platform = test::loadScenario("laptop.json");
    ASSERT_TRUE(platform);
    EXPECT_EQ(registryParentName(*platform, "disk0"), std::nullopt);
    EXPECT_EQ(registryParentName(*platform, "disk0s1"), "disk0");
    EXPECT_EQ(registryParentName(*platform, "disk0s2"), "disk0");
    EXPECT_EQ(registryParentName(*platform, "disk3"), "disk0s2");
    for (const char* volume : {"disk3s1", "disk3s2", "disk3s3", "disk3s4", "disk3s5"}) {
        EXPECT_EQ(registryParentName(*platform, volume), "disk3") << volume;
    }
    auto characteristics = ancestorProperty(*platform, "disk0s2", "Device Characteristics");
    ASSERT_TRUE(characteristics && characteristics->asDictionary());
    EXPECT_EQ(characteristics->asDictionary()->at("Medium Type").asText(), "Solid State");
    EXPECT_EQ(ancestorProperty(*platform, "disk0s1", "Partition ID")->asInteger(), 1);
    EXPECT_EQ(ancestorProperty(*platform, "disk0s2", "Serial Number")->asText(), "0ba0174ae1a2c62c");

    auto d = platform->description("disk3s5");
    EXPECT_EQ(d->path(DiskDescriptionKey::volumePath), "/System/Volumes/Data");
    EXPECT_EQ(platform->description("disk3s1")->path(DiskDescriptionKey::volumePath), "/");
    EXPECT_EQ(platform->description("disk3")->text(DiskDescriptionKey::mediaName), "AppleAPFSMedia");
    EXPECT_EQ(platform->description("disk0s2")->text(DiskDescriptionKey::mediaContent),
              "41504653-0000-11AA-AA11-00306543ECAC");
    EXPECT_FALSE(platform->description("disk0s2")->text(DiskDescriptionKey::volumeKind));
    EXPECT_EQ(platform->description("disk0")->boolean(DiskDescriptionKey::deviceInternal), true);
}

TEST(SimScenarioTest, UsbDisksHangUnderTheirWholeDisksAndCarryTheDaemonSection) {
    auto platform = test::loadScenario("usb-disks.json");
    ASSERT_TRUE(platform);
    for (const char* whole : {"disk4", "disk5", "disk6", "disk7", "disk8"}) {
        EXPECT_EQ(registryParentName(*platform, std::string(whole) + "s1"), whole);
        EXPECT_EQ(registryParentName(*platform, whole), std::nullopt);
    }
    EXPECT_EQ(platform->description("disk7")->integer(DiskDescriptionKey::mediaSize), 50 * 1024 * 1024);
    EXPECT_EQ(platform->description("disk8")->text(DiskDescriptionKey::deviceProtocol), "Virtual Interface");
    EXPECT_EQ(ancestorProperty(*platform, "disk5s1", "USB Serial Number")->asText(), "575836314134383637373931");
    EXPECT_FALSE(ancestorProperty(*platform, "disk5s1", "UUID"));

    auto daemon = platform->daemonAnswers();
    const auto* bitlocker = daemon.at("bitlocker").asDictionary();
    ASSERT_NE(bitlocker, nullptr);
    EXPECT_EQ(bitlocker->at("isBitLockerDriveWithBsdname").asDictionary()->at("disk6s1").asBool(), true);
    EXPECT_EQ(bitlocker->at("bitLockerDriveStatusWithBsdname").asDictionary()->at("disk6s1").asInteger(), 16);
}

TEST(SimScenarioTest, MountCommandsChangeTheMachineAndEveryLineIsRecorded) {
    auto platform = test::loadScenario("usb-disks.json");
    auto result = platform->processes().run("/bin/sh", {"-c", "/usr/sbin/diskutil mount 'disk4s1'"});
    EXPECT_EQ(result.standardOutput, "Volume STICK on disk4s1 mounted\n");
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(platform->description("disk4s1")->path("DAVolumePath"), "/Volumes/STICK");
    EXPECT_TRUE(platform->fileSystem().isWritable("/Volumes/STICK"));

    auto bitlocker = platform->processes().run("/bin/sh", {"-c", "/usr/sbin/diskutil mount 'disk6s1'"});
    EXPECT_EQ(bitlocker.standardOutput, "");
    EXPECT_NE(bitlocker.standardError.find("failed to mount"), std::string::npos);

    auto eject = platform->processes().run("/bin/sh", {"-c", "diskutil eject 'disk5' &"});
    EXPECT_EQ(eject.standardOutput, "Disk disk5 ejected\n");
    EXPECT_FALSE(platform->description("disk5s1"));

    auto unknown = platform->processes().run("/usr/bin/true", {"--version"});
    EXPECT_TRUE(unknown.launched);
    EXPECT_EQ(unknown.standardOutput, "");
    EXPECT_EQ(unknown.exitStatus, 127);
    EXPECT_EQ(platform->commandLines(),
              (std::vector<std::string>{"/usr/sbin/diskutil mount 'disk4s1'", "/usr/sbin/diskutil mount 'disk6s1'",
                                        "diskutil eject 'disk5' &", "/usr/bin/true --version"}));
}

TEST(SimScenarioTest, RulesAddedByTestsComeFirstAndStandardInputIsRecorded) {
    auto platform = test::loadScenario("laptop.json");
    ASSERT_TRUE(platform->addCommandRule(
        R"({"regex": "diskutil apfs unlockVolume '(disk[0-9s]+)' -passphrase '.*'", "stdout": "Unlocked $1 $$5\n"})"));
    EXPECT_FALSE(platform->addCommandRule(R"({"regex": "("})"));
    auto result = platform->processes().run("/bin/sh", {"-c", "diskutil apfs unlockVolume 'disk3s5' -passphrase 'x'"},
                                            std::string("secret\n"));
    EXPECT_EQ(result.standardOutput, "Unlocked disk3s5 $5\n");
    EXPECT_EQ(platform->commandInputs().back(), std::optional<std::string>("secret\n"));
}

TEST(SimScenarioTest, TheCommandTableQuotesEveryValue) {
    auto platform = SimPlatform::empty();
    CommandTable& commands = platform->commands();
    EXPECT_EQ(commands.ejectDisk("disk4"), "diskutil eject 'disk4' &");
    EXPECT_EQ(commands.lockVolume("disk3s5"), "diskutil apfs lockVolume 'disk3s5'");
    EXPECT_EQ(commands.unlockVolume("disk3s5", "it's $(rm -rf ~)"),
              "diskutil apfs unlockVolume 'disk3s5' -passphrase 'it'\\''s $(rm -rf ~)'");
    EXPECT_EQ(commands.listCoreStorage(), "diskutil cs list -plist");
    // Regression: the CoreStorage unlock line was missing, so the unlock failed without running.
    EXPECT_EQ(commands.unlockCoreStorageVolume("L1", "p'w"), "diskutil coreStorage unlockVolume 'L1' -passphrase 'p'\\''w'");
}

TEST(SimScenarioTest, BrokenScenariosGiveAnErrorThatSaysWhere) {
    struct Case {
        const char* text;
        const char* mentions;
    };
    const Case cases[] = {
        {"", "not valid JSON"},
        {"[]", "must be an object"},
        {R"({"disks": [{"bsdName": "disk1"}, {"bsdName": "disk1"}]})", "used twice"},
        {R"({"disks": [{"bsdName": "disk1", "parent": "nowhere"}]})", "unknown parent \"nowhere\""},
        {R"({"registry": [{"key": "a", "parent": "b"}, {"key": "b", "parent": "a"}]})", "its own ancestor"},
        {R"({"commands": [{"regex": "[unclosed"}]})", "commands[0].regex"},
        {R"({"commands": [{"match": "x", "regex": "x"}]})", "exactly one"},
        {R"({"events": [{"at": -1, "action": "mount", "bsdName": "disk1"}]})", "events[0].at"},
        {R"({"events": [{"at": 1, "action": "explode", "bsdName": "disk1"}]})", "unknown action"},
        {R"({"disks": [{"bsdName": "disk1", "description": {"DAMediaSize": 18446744073709551615}}]})", "too large"},
        {R"({"disks": [{"bsdName": 7}]})", "disks[0].bsdName"},
        {R"({"disks": [{"bsdName": "disk1"}, {"bsdName": "disk2", "parent": ["disk1", "gone"]}]})",
         "unknown parent \"gone\""},
        {R"({"disks": [{"bsdName": "disk1", "parent": []}]})", "disks[0].parent"},
    };
    for (const auto& c : cases) {
        auto result = SimPlatform::fromJson(c.text);
        EXPECT_FALSE(result) << c.text;
        EXPECT_NE(result.error.find(c.mentions), std::string::npos) << c.text << " gave: " << result.error;
    }
    auto missing = SimPlatform::load("/nonexistent/scenario.json");
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.error.find("/nonexistent/scenario.json"), std::string::npos);
}

// Regression: one parent per entry could not describe a RAID set on two members.
TEST(SimScenarioTest, AnEntryMayHaveSeveralParentsAndEachListsItAsAChild) {
    auto result = SimPlatform::fromJson(R"({"disks": [
        {"bsdName": "disk2"}, {"bsdName": "disk3"},
        {"bsdName": "disk2s2", "parent": "disk2"}, {"bsdName": "disk3s2", "parent": "disk3"},
        {"bsdName": "disk4", "parent": ["disk2s2", "disk3s2"]}]})");
    ASSERT_TRUE(result) << result.error;
    auto& platform = *result.platform;
    auto mediaOf = [&](const std::string& name) {
        auto session = platform.diskArbitration().createSession();
        return session->copyIOMedia(*session->diskFromBSDName(name));
    };
    auto set = mediaOf("disk4");
    ASSERT_TRUE(set);
    EXPECT_EQ(platform.registry().parentEntry(*set), mediaOf("disk2s2")) << "the first parent is followed";
    EXPECT_EQ(platform.registry().childEntries(*mediaOf("disk2s2")), std::vector<RegistryEntryId>{*set});
    EXPECT_EQ(platform.registry().childEntries(*mediaOf("disk3s2")), std::vector<RegistryEntryId>{*set});
}

TEST(SimScenarioTest, UnknownSectionsAreKeptForTheLayersThatReadThem) {
    auto result = SimPlatform::fromJson(R"({"network": {"servers": ["smb://nas"]}, "name": "x"})");
    ASSERT_TRUE(result) << result.error;
    auto network = result.platform->section("network");
    ASSERT_TRUE(network && network->asDictionary());
    EXPECT_EQ(network->asDictionary()->at("servers").asArray()->at(0).asText(), "smb://nas");
    EXPECT_FALSE(result.platform->section("name"));
}

// Fuzz: random bytes, every truncation of the real scenarios and random byte changes must
// give a platform or an error, never a crash or a hang.
TEST(SimScenarioFuzzTest, NoInputCrashesTheLoader) {
    std::mt19937 random(20261206);
    std::vector<std::string> seeds;
    for (const char* name : {"laptop.json", "usb-disks.json", "usb-hotplug.json"}) {
        seeds.push_back(readFile(test::scenarioPath(name)));
        ASSERT_FALSE(seeds.back().empty());
    }
    int loaded = 0;
    for (const auto& seed : seeds) {
        for (std::size_t cut = 0; cut < seed.size(); cut += 29) {
            loaded += SimPlatform::fromJson(seed.substr(0, cut)) ? 1 : 0;
        }
        for (int round = 0; round < 120; ++round) {
            std::string mutated = seed;
            int changes = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < changes; ++i) {
                std::size_t at = random() % mutated.size();
                const char replacements[] = "{}[]\":,0-9aZ\\ \x80\xff";
                mutated[at] = replacements[random() % (sizeof(replacements) - 1)];
            }
            auto result = SimPlatform::fromJson(mutated);
            loaded += result ? 1 : 0;
            EXPECT_TRUE(result || !result.error.empty());
        }
    }
    for (int round = 0; round < 500; ++round) {
        std::string noise(random() % 200, '\0');
        for (auto& c : noise) c = static_cast<char>(random());
        EXPECT_FALSE(SimPlatform::fromJson(noise));
    }
    EXPECT_GT(loaded, 0);
}

TEST(SimScenarioFuzzTest, DeepNestingIsRefusedInsteadOfExhaustingTheStack) {
    std::string deep = R"({"daemon": {"x": )" + std::string(100000, '[') + std::string(100000, ']') + "}}";
    auto result = SimPlatform::fromJson(deep);
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find("nested too deeply"), std::string::npos) << result.error;
}

}  // namespace
}  // namespace harbormind
