#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "cli/CtlRun.h"
#include "cli/HarbormindCtl.h"
#include "platform/linux/settings/LinuxSettingsStore.h"

namespace harbormind {
namespace {

using test::CtlRun;
using test::runCtl;

// Runs the verbs on the Linux platform with a configuration folder of the test's own.
class CliSettingsVerbsTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "hm-cli-settings-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        saved = previous ? std::optional<std::string>(previous) : std::nullopt;
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    void TearDown() override {
        if (saved) {
            ::setenv("XDG_CONFIG_HOME", saved->c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
        std::filesystem::remove_all(folder);
    }
    std::string plist() const { return folder + "/kestrane-harbormind/com.kestrane.harbormind.plist"; }

    std::string folder;
    std::optional<std::string> saved;
};

TEST_F(CliSettingsVerbsTest, ListShowsEveryKeyWithItsDefaultUntilOneIsSet) {
    CtlRun listed = runCtl({"settings", "list", "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    auto settings = nlohmann::json::parse(listed.out);
    ASSERT_EQ(settings.size(), 13u);
    std::map<std::string, bool> values;
    for (const auto& entry : settings) {
        values[entry["key"]] = entry["value"];
        EXPECT_FALSE(entry["stored"].get<bool>());
    }
    EXPECT_TRUE(values.at("notifyWhenDrivesAvailable"));
    EXPECT_TRUE(values.at("notifyWhenDrivesUnavailable"));
    EXPECT_FALSE(values.at("notifyWhenDrivesAppears"));
    EXPECT_FALSE(values.at("automaticallyUnmountExternalDrivesOnSleep"));
    EXPECT_TRUE(values.at("statusBarIcon"));
    EXPECT_EQ(values.count("notifyWhenConnectDrives"), 0u);

    EXPECT_EQ(runCtl({"settings", "get", "automaticallyConnectNetworkDrivesOnWake"}).out, "false\n");
    CtlRun set = runCtl({"settings", "set", "automaticallyConnectNetworkDrivesOnWake", "on"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "automaticallyConnectNetworkDrivesOnWake  true\n");
    EXPECT_EQ(runCtl({"settings", "get", "automaticallyConnectNetworkDrivesOnWake"}).out, "true\n");
    EXPECT_EQ(LinuxSettingsStore(plist()).value("automaticallyConnectNetworkDrivesOnWake")->asBool(), true);
    CtlRun text = runCtl({"settings", "list"});
    EXPECT_NE(text.out.find("automaticallyConnectNetworkDrivesOnWake  true\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("dockIcon  true  (default)\n"), std::string::npos) << text.out;
}

TEST_F(CliSettingsVerbsTest, UnknownKeysAndValuesOfTheWrongTypeAreRefusedAndNothingIsWritten) {
    CtlRun unknown = runCtl({"settings", "set", "notifyWhenConnectDrives", "true"});
    EXPECT_NE(unknown.status, 0);
    EXPECT_NE(unknown.err.find("unknown key notifyWhenConnectDrives"), std::string::npos) << unknown.err;
    CtlRun wrongType = runCtl({"settings", "set", "dockIcon", "5"});
    EXPECT_NE(wrongType.status, 0);
    EXPECT_NE(wrongType.err.find("true or false"), std::string::npos) << wrongType.err;
    EXPECT_NE(runCtl({"settings", "get", "DockIcon"}).status, 0);
    EXPECT_NE(runCtl({"settings", "set", "dockIcon"}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(plist()));

    // A value of another type on disk reads as the default and shows as not stored.
    LinuxSettingsStore(plist()).setValue("dockIcon", PlatformValue("yes"));
    auto entry = nlohmann::json::parse(runCtl({"settings", "get", "dockIcon", "--json"}).out);
    EXPECT_EQ(entry["value"], true);
    EXPECT_EQ(entry["stored"], false);
}

TEST_F(CliSettingsVerbsTest, NetworkEditRefusesContradictoryOrUnknownOptionsBeforeTouchingAnything) {
    CtlRun both = runCtl({"network", "edit", "Team", "--anonymous", "--no-anonymous"});
    EXPECT_NE(both.status, 0);
    EXPECT_NE(both.err.find("exclude each other"), std::string::npos) << both.err;
    CtlRun type = runCtl({"network", "edit", "Team", "--type", "gopher"});
    EXPECT_NE(type.status, 0);
    EXPECT_NE(type.err.find("unknown type gopher"), std::string::npos) << type.err;
}

}  // namespace
}  // namespace harbormind
