#include <gtest/gtest.h>

#include "platform/FileSystemInfo.h"
#include "platform/PowerSource.h"
#include "platform/ScriptRunner.h"
#include "platform/SettingsStores.h"
#include "platform/UserDatabase.h"
#include "platform/Workspace.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimTestSupport.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

TEST(SimServicesTest, SettingsComeFromTheScenarioAndSuitesAreShared) {
    auto result = SimPlatform::fromJson(
        R"({"settings": {"standard": {"model": 2}, "suites": {"group.blocker": {"mode": 1}}}})");
    ASSERT_TRUE(result) << result.error;
    auto& settings = result.platform->settings();
    EXPECT_EQ(settings.standard()->value("model")->asInteger(), 2);
    EXPECT_EQ(settings.suite("group.blocker")->value("mode")->asInteger(), 1);
    settings.suite("new")->setValue("k", "v");
    EXPECT_EQ(settings.suite("new")->value("k")->asText(), "v");
    settings.standard()->removeValue("model");
    EXPECT_TRUE(settings.standard()->keys().empty());
}

TEST(SimServicesTest, FileSystemAnswersForNamedPathsAndMountPoints) {
    auto platform = test::loadScenario("usb-disks.json");
    FileSystemInfo& files = platform->fileSystem();
    EXPECT_TRUE(files.isReadable("/Volumes/ELEMENTS"));
    EXPECT_FALSE(files.isWritable("/Volumes/ELEMENTS/"));
    EXPECT_EQ(files.space("/Volumes/ELEMENTS").freeBytes, 412316860416);
    EXPECT_FALSE(files.exists("/nowhere"));
    EXPECT_FALSE(files.space("/nowhere").totalBytes);
    // A volume mounted later exists while it is mounted, with its media size as total.
    platform->setPath("/Volumes/STICK", SimPathInfo{});
    EXPECT_TRUE(files.exists("/Volumes/STICK"));
    EXPECT_FALSE(platform->mountVolume("disk8s1"));
    EXPECT_TRUE(files.canListFolder("/Volumes/Installer"));
    EXPECT_FALSE(platform->unmountVolume("disk7s1"));
    EXPECT_FALSE(files.exists("/Volumes/TINY"));
}

TEST(SimServicesTest, WorkspaceRecordsWhatItOpensAndRefusesNonURLs) {
    auto result = SimPlatform::fromJson(R"({"workspace": {"refuses": ["/Volumes/LOCKED"],
        "securitySettingsURL": "settings:security"}})");
    ASSERT_TRUE(result);
    auto& platform = *result.platform;
    Workspace& workspace = platform.workspace();
    EXPECT_TRUE(workspace.openFolder("/Volumes/STICK"));
    EXPECT_FALSE(workspace.openFolder("/Volumes/LOCKED"));
    EXPECT_TRUE(workspace.openURL("https://example.org/a"));
    EXPECT_FALSE(workspace.openURL("not a url"));
    EXPECT_FALSE(workspace.openURL(""));
    EXPECT_EQ(platform.openedFolders(), (std::vector<std::string>{"/Volumes/STICK", "/Volumes/LOCKED"}));
    EXPECT_EQ(platform.openedURLs(), std::vector<std::string>{"https://example.org/a"});
    EXPECT_EQ(workspace.securitySettingsURL(), "settings:security");
    EXPECT_EQ(workspace.fullDiskAccessSettingsURL(), "");
}

TEST(SimServicesTest, ScriptsAnswerFromRulesAndACancelledPromptFails) {
    auto result = SimPlatform::fromJson(R"({"scripts": {"administratorPrompt": "cancel", "rules": [
        {"match": "launchctl list", "stdout": "123 0 agent"},
        {"match": "false", "succeeded": false}]}})");
    ASSERT_TRUE(result) << result.error;
    auto& platform = *result.platform;
    ScriptRunner& scripts = platform.scripts();
    EXPECT_EQ(scripts.run("launchctl list", ScriptPrivilege::User), std::make_pair(true, std::optional<std::string>("123 0 agent")));
    EXPECT_EQ(scripts.run("launchctl list", ScriptPrivilege::Administrator), std::make_pair(false, std::optional<std::string>()));
    EXPECT_EQ(scripts.run("false", ScriptPrivilege::User).first, false);
    EXPECT_EQ(scripts.run("unknown", ScriptPrivilege::User), std::make_pair(true, std::optional<std::string>()));
    platform.setAdministratorGranted(true);
    EXPECT_TRUE(scripts.run("launchctl list", ScriptPrivilege::Administrator).first);
    ASSERT_EQ(platform.scriptRuns().size(), 5U);
    EXPECT_EQ(platform.scriptRuns()[1].privilege, ScriptPrivilege::Administrator);
}

TEST(SimServicesTest, UserAndPowerComeFromTheScenario) {
    auto platform = test::loadScenario("laptop.json");
    EXPECT_EQ(platform->users().currentUserHome(), "/Users/alice");
    EXPECT_EQ(platform->users().processHome(), "/Users/alice");
    EXPECT_FALSE(platform->users().environment("APP_SANDBOX_CONTAINER_ID"));
    platform->setEnvironment("APP_SANDBOX_CONTAINER_ID", "x");
    EXPECT_EQ(platform->users().environment("APP_SANDBOX_CONTAINER_ID"), "x");
    EXPECT_TRUE(platform->powerSource().hasExternalAdapter());
    platform->setExternalAdapter(false);
    EXPECT_FALSE(platform->powerSource().hasExternalAdapter());
    EXPECT_TRUE(platform->keychainFiles() != nullptr);
}

class SimPowerEventTest : public test::VirtualClockTest {};

TEST_F(SimPowerEventTest, AnEventUnplugsTheAdapter) {
    auto result = SimPlatform::fromJson(R"({"events": [{"at": 30, "action": "externalAdapter", "attached": false}]})");
    ASSERT_TRUE(result) << result.error;
    auto platform = result.platform;
    platform->start();
    clock->sleepFor(seconds(29.9));
    EXPECT_TRUE(platform->powerSource().hasExternalAdapter());
    EXPECT_TRUE(Dispatch::main().runUntil([&] { return !platform->powerSource().hasExternalAdapter(); }, seconds(1)));
    EXPECT_DOUBLE_EQ(now(), 30.0);
}

}  // namespace
}  // namespace harbormind
