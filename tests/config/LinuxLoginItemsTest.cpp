#include <gtest/gtest.h>

#include <filesystem>

#include "testsupport/TemporaryFolder.h"
#include "config/DMConfigurationManager.h"
#include "platform/linux/desktop/LinuxLoginItems.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using test::TemporaryFolder;

constexpr const char* helper = "com.kestrane.harbormind.LaunchAtLoginHelper";

class LinuxLoginItemsTest : public testing::Test {
protected:
    std::string autostart() const { return folder.path() + "/autostart"; }
    std::string entryFile() const { return autostart() + "/" + helper + ".desktop"; }

    TemporaryFolder folder;
};

TEST_F(LinuxLoginItemsTest, LaunchAtLoginWritesAndReadsTheAutostartEntry) {
    LinuxLoginItems items(autostart(), "Kestrane Harbormind", {"/usr/bin/harbormind"});
    DMConfigurationManager manager("com.kestrane.harbormind", nullptr, &items, nullptr);
    EXPECT_FALSE(manager.launchAtLogin());
    EXPECT_FALSE(fs::exists(entryFile()));

    manager.setLaunchAtLogin(true);
    EXPECT_TRUE(manager.launchAtLogin());
    EXPECT_EQ(TemporaryFolder::read(entryFile()),
              "[Desktop Entry]\nType=Application\nName=Kestrane Harbormind\nExec=/usr/bin/harbormind\n"
              "Terminal=false\nHidden=false\nX-GNOME-Autostart-enabled=true\n");

    manager.setLaunchAtLogin(false);
    EXPECT_FALSE(manager.launchAtLogin());
    EXPECT_EQ(items.state(helper), LoginItemState::Disabled);
    EXPECT_NE(TemporaryFolder::read(entryFile()).find("Hidden=true\n"), std::string::npos);
}

TEST_F(LinuxLoginItemsTest, EntriesEditedByTheDesktopAreUnderstood) {
    LinuxLoginItems items(autostart(), "Kestrane Harbormind", {"/usr/bin/harbormind"});
    TemporaryFolder::write(entryFile(), "# edited\n[Desktop Entry]\nExec=harbormind\n"
                                        "X-GNOME-Autostart-enabled = false\n[Desktop Action x]\nHidden=false\n");
    EXPECT_EQ(items.state(helper), LoginItemState::Disabled);
    TemporaryFolder::write(entryFile(), "[Desktop Action x]\nExec=harbormind\n");
    EXPECT_EQ(items.state(helper), std::nullopt);
    TemporaryFolder::write(entryFile(), "[Desktop Entry]\r\nExec=harbormind\r\nHidden=false\r\n");
    EXPECT_EQ(items.state(helper), LoginItemState::Enabled);
}

TEST_F(LinuxLoginItemsTest, ExecLineQuotesEveryArgumentThatNeedsIt) {
    LinuxLoginItems items(autostart(), "Name", {"/opt/Kestrane Harbormind/harbormind", "--at-login", "50%", "a\"b$c\\d"});
    EXPECT_EQ(items.execLine(),
              R"("/opt/Kestrane Harbormind/harbormind" --at-login 50%% "a\\"b\\$c\\\\d")");
}

TEST_F(LinuxLoginItemsTest, IdentifiersThatAreNoFileNameAreRefused) {
    LinuxLoginItems items(autostart(), "Name", {"/usr/bin/harbormind"});
    EXPECT_FALSE(items.setState("../outside", LoginItemState::Enabled));
    EXPECT_FALSE(items.setState("", LoginItemState::Enabled));
    EXPECT_FALSE(fs::exists(folder.path() + "/outside.desktop"));
    EXPECT_FALSE(fs::exists(autostart()));
}

}  // namespace
}  // namespace harbormind
