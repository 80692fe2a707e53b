#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/sim/SimPlatform.h"
#include "platform/ScriptRunner.h"
#include "runner/DMRunCommand.h"
#include "runner/RegistryEntry.h"

namespace harbormind {
namespace {

std::shared_ptr<SimPlatform> laptop() {
    const char* root = std::getenv("HARBORMIND_SOURCE_DIR");
    auto result = SimPlatform::load(std::string(root ? root : HARBORMIND_SOURCE_DIR_DEFAULT) + "/tests/scenarios/laptop.json");
    EXPECT_TRUE(result) << result.error;
    Platform::setCurrent(result.platform);
    return result.platform;
}

TEST(RegistryEntryTest, FindsMediaByNameAndByVolumePath) {
    auto platform = laptop();
    auto partition = RegistryEntry::fromBSDName("disk0s1");
    ASSERT_TRUE(partition);
    EXPECT_EQ(partition->property("Partition ID")->asInteger(), 1);
    EXPECT_EQ(partition->property("BSD Name")->asText(), "disk0s1");
    EXPECT_FALSE(partition->property("Serial Number")) << "property() does not search the parents";

    auto root = RegistryEntry::fromVolumePath("/");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->property("BSD Name")->asText(), "disk3s1");
    EXPECT_FALSE(RegistryEntry::fromVolumePath("/Volumes/Nothing"));
    EXPECT_FALSE(RegistryEntry::fromBSDName("disk42"));
}

TEST(RegistryEntryTest, ParentsAndAncestorsByClassStartAboveTheEntry) {
    auto platform = laptop();
    auto media = RegistryEntry::fromBSDName("disk0");
    ASSERT_TRUE(media);
    auto parent = RegistryEntry::parentOf(*media);
    ASSERT_TRUE(parent);
    EXPECT_EQ(parent->property("IOClass")->asText(), "IOBlockStorageDriver");

    auto device = RegistryEntry::ancestorOf(*media, "IONVMeBlockStorageDevice");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->property("Serial Number")->asText(), "0ba0174ae1a2c62c");
    EXPECT_FALSE(RegistryEntry::ancestorOf(*media, "IOMedia")) << "the entry itself is not its own ancestor";
    EXPECT_FALSE(RegistryEntry::ancestorOf(*media, "ionvmeblockstoragedevice")) << "class names match exactly";

    auto root = RegistryEntry::fromRegistryPath("IOService:/J314sAP");
    ASSERT_TRUE(root);
    EXPECT_FALSE(RegistryEntry::parentOf(*root));
    auto driver = RegistryEntry::fromRegistryPath("IOService:/J314sAP/ans@8E400000/IONVMeBlockStorageDevice/IOBlockStorageDriver");
    ASSERT_TRUE(driver);
    EXPECT_EQ(driver->entry(), parent->entry());
    EXPECT_FALSE(RegistryEntry::fromRegistryPath("IOService:/Nowhere"));
}

TEST(DMRunCommandTest, RunsAsTheUserOrAsAdministratorAndACancelledPromptIsAFailure) {
    auto result = SimPlatform::fromJson(R"({"scripts": {"rules": [
        {"match": "launchctl load -w '/Library/LaunchAgents/a b.plist'", "stdout": "loaded", "privilege": "administrator"},
        {"match": "echo hi", "stdout": "hi"}]}})");
    ASSERT_TRUE(result) << result.error;
    Platform::setCurrent(result.platform);
    const std::string line = "launchctl load -w '/Library/LaunchAgents/a b.plist'";
    EXPECT_EQ(DMRunCommand::runScript(line, ScriptPrivilege::Administrator),
              std::make_pair(true, std::optional<std::string>("loaded")));
    EXPECT_EQ(DMRunCommand::runScript("echo hi", ScriptPrivilege::User),
              std::make_pair(true, std::optional<std::string>("hi")));
    ASSERT_EQ(result.platform->scriptRuns().size(), 2U);
    EXPECT_EQ(result.platform->scriptRuns()[0].commandLine, line) << "the line is passed on unchanged";

    result.platform->setAdministratorGranted(false);
    EXPECT_EQ(DMRunCommand::runScript(line, ScriptPrivilege::Administrator),
              std::make_pair(false, std::optional<std::string>()));
}

}  // namespace
}  // namespace harbormind
