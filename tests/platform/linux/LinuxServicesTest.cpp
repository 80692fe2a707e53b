#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/linux/files/LinuxFileSystemInfo.h"
#include "platform/linux/desktop/LinuxPowerSource.h"
#include "platform/linux/processes/LinuxProcessLauncher.h"
#include "platform/linux/processes/LinuxScriptRunner.h"
#include "platform/linux/processes/LinuxUserDatabase.h"
#include "platform/linux/desktop/LinuxWorkspace.h"
#include "testsupport/TemporaryFolder.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
}

TEST(LinuxPowerSourceTest, AnOnlineMainsOrUsbSupplyIsAnAdapterAndADesktopAlwaysHasOne) {
    test::TemporaryFolder sys;
    LinuxPowerSource power(fs::path(sys.path()).string());
    EXPECT_TRUE(power.hasExternalAdapter()) << "no battery: a desktop on mains";

    write(fs::path(sys.path()) / "BAT0/type", "Battery");
    write(fs::path(sys.path()) / "AC/type", "Mains");
    write(fs::path(sys.path()) / "AC/online", "0");
    EXPECT_FALSE(power.hasExternalAdapter());
    write(fs::path(sys.path()) / "ucsi-source-psy-USBC000:001/type", "USB");
    write(fs::path(sys.path()) / "ucsi-source-psy-USBC000:001/online", "1");
    EXPECT_TRUE(power.hasExternalAdapter());
    write(fs::path(sys.path()) / "ucsi-source-psy-USBC000:001/online", "0");
    write(fs::path(sys.path()) / "AC/online", "1");
    EXPECT_TRUE(power.hasExternalAdapter());
}

TEST(LinuxUserDatabaseTest, TheAccountComesFromThePasswordDatabaseAndTheProcessHomeFromHome) {
    LinuxUserDatabase users;
    ASSERT_TRUE(users.currentUserName());
    ASSERT_TRUE(users.currentUserHome());
    const char* saved = getenv("HOME");
    std::string savedHome = saved ? saved : "";
    setenv("HOME", "/somewhere/else", 1);
    EXPECT_EQ(users.processHome(), "/somewhere/else");
    EXPECT_NE(users.currentUserHome(), "/somewhere/else");
    unsetenv("HOME");
    EXPECT_EQ(users.processHome(), *users.currentUserHome());
    if (saved) setenv("HOME", savedHome.c_str(), 1);
    EXPECT_FALSE(users.environment("HARBORMIND_SURELY_UNSET"));
}

TEST(LinuxFileSystemInfoTest, SpaceAndAccessOfRealPaths) {
    test::TemporaryFolder folder;
    LinuxFileSystemInfo files;
    auto space = files.space(fs::path(folder.path()).string());
    ASSERT_TRUE(space.totalBytes && space.freeBytes);
    EXPECT_GT(*space.totalBytes, 0);
    EXPECT_LE(*space.freeBytes, *space.totalBytes);
    // As df shows it: used and free (available) never exceed the total; reserved blocks are
    // in neither.
    ASSERT_TRUE(space.usedBytes);
    EXPECT_LE(*space.usedBytes + *space.freeBytes, *space.totalBytes);
    EXPECT_TRUE(files.exists(fs::path(folder.path()).string()));
    EXPECT_TRUE(files.isReadable(fs::path(folder.path()).string()));
    EXPECT_TRUE(files.isWritable(fs::path(folder.path()).string()));
    EXPECT_TRUE(files.canListFolder(fs::path(folder.path()).string()));
    const std::string missing = (fs::path(folder.path()) / "missing").string();
    EXPECT_FALSE(files.exists(missing));
    EXPECT_FALSE(files.isReadable(missing));
    EXPECT_FALSE(files.canListFolder(missing));
    EXPECT_FALSE(files.space(missing).totalBytes);
    write(fs::path(folder.path()) / "file", "x");
    EXPECT_FALSE(files.canListFolder((fs::path(folder.path()) / "file").string()));
}

TEST(LinuxFileSystemInfoTest, AReadOnlyMountIsReadableButNotWritable) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting a read-only tmpfs needs root";
    }
    test::TemporaryFolder folder;
    if (mount("tmpfs", fs::path(folder.path()).c_str(), "tmpfs", MS_RDONLY, "size=1m") != 0) {
        GTEST_SKIP() << "this machine does not allow mounting tmpfs";
    }
    LinuxFileSystemInfo files;
    EXPECT_TRUE(files.isReadable(fs::path(folder.path()).string()));
    EXPECT_FALSE(files.isWritable(fs::path(folder.path()).string()));
    EXPECT_EQ(files.space(fs::path(folder.path()).string()).totalBytes, 1 << 20);
    EXPECT_EQ(umount(fs::path(folder.path()).c_str()), 0);
}

TEST(LinuxScriptRunnerTest, RunsAsTheUserAndJudgesTheExitStatus) {
    LinuxProcessLauncher launcher;
    LinuxScriptRunner scripts(launcher);
    EXPECT_EQ(scripts.run("echo 'hello world'", ScriptPrivilege::User),
              std::make_pair(true, std::optional<std::string>("hello world")));
    EXPECT_EQ(scripts.run("true", ScriptPrivilege::User), std::make_pair(true, std::optional<std::string>()));
    EXPECT_EQ(scripts.run("echo partial; exit 1", ScriptPrivilege::User),
              std::make_pair(false, std::optional<std::string>()));
}

TEST(LinuxScriptRunnerTest, AdministratorRunsGoThroughTheElevationProgramUnlessAlreadyRoot) {
    test::TemporaryFolder folder;
    // A stand-in for the elevation program: records its arguments, then answers as told.
    const fs::path elevate = fs::path(folder.path()) / "elevate";
    write(elevate, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$(dirname \"$0\")/arguments\"\nexit \"${ELEVATE_STATUS:-0}\"");
    fs::permissions(elevate, fs::perms::owner_all);
    LinuxProcessLauncher launcher;
    LinuxScriptRunner scripts(launcher, elevate.string(), LinuxScriptRunner::RootCheck::AssumeNotRoot);

    const std::string line = "launchctl load 'it'\\''s.plist'";
    EXPECT_TRUE(scripts.run(line, ScriptPrivilege::Administrator).first);
    std::ifstream recorded(fs::path(folder.path()) / "arguments");
    std::string arguments((std::istreambuf_iterator<char>(recorded)), std::istreambuf_iterator<char>());
    EXPECT_EQ(arguments, "/bin/sh|-c|" + line + "|");

    for (const char* refused : {"126", "127"}) {
        setenv("ELEVATE_STATUS", refused, 1);
        EXPECT_EQ(scripts.run("true", ScriptPrivilege::Administrator), std::make_pair(false, std::optional<std::string>()));
    }
    unsetenv("ELEVATE_STATUS");
    LinuxScriptRunner missing(launcher, (fs::path(folder.path()) / "absent").string(), LinuxScriptRunner::RootCheck::AssumeNotRoot);
    EXPECT_FALSE(missing.run("true", ScriptPrivilege::Administrator).first);

    if (geteuid() == 0) {
        LinuxScriptRunner asRoot(launcher, (fs::path(folder.path()) / "absent").string());
        EXPECT_EQ(asRoot.run("id -u", ScriptPrivilege::Administrator), std::make_pair(true, std::optional<std::string>("0")));
    }
}

TEST(LinuxWorkspaceTest, OpensThroughTheFirstOpenerThatStartsAndRefusesWhatIsNotThere) {
    test::TemporaryFolder folder;
    const fs::path opener = fs::path(folder.path()) / "opener";
    write(opener, "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/opened\"");
    fs::permissions(opener, fs::perms::owner_all);
    auto display = [] { return true; };
    LinuxWorkspace workspace({{(fs::path(folder.path()) / "absent").string()}, {opener.string()}}, display);

    EXPECT_TRUE(workspace.openURL("https://example.org/x?y=1"));
    for (int i = 0; i < 500 && !fs::exists(fs::path(folder.path()) / "opened"); ++i) {
        usleep(10000);  // the opener runs on its own; this waits for a real child process
    }
    std::ifstream opened(fs::path(folder.path()) / "opened");
    std::string target((std::istreambuf_iterator<char>(opened)), std::istreambuf_iterator<char>());
    EXPECT_EQ(target, "https://example.org/x?y=1");

    EXPECT_FALSE(workspace.openURL("not a url"));
    EXPECT_FALSE(workspace.openURL("://x"));
    EXPECT_FALSE(workspace.openFolder((fs::path(folder.path()) / "missing").string()));
    EXPECT_FALSE(workspace.openFolder(opener.string())) << "a file is not a folder";
    EXPECT_TRUE(workspace.openFolder(fs::path(folder.path()).string()));
    EXPECT_FALSE(LinuxWorkspace({{(fs::path(folder.path()) / "absent").string()}}, display).openFolder(fs::path(folder.path()).string()));
    EXPECT_EQ(workspace.fullDiskAccessSettingsURL(), "");
}

// Regression: "Open" and "Help" said nothing when no program could show the target, because
// an opener that started counted as success even when it failed at once.
TEST(LinuxWorkspaceTest, AnOpenerThatFailsOrNoDisplayIsAFailureWithItsReason) {
    test::TemporaryFolder folder;
    const fs::path failing = fs::path(folder.path()) / "no-handler";
    write(failing, "#!/bin/sh\necho 'no application for inode/directory' >&2\nexit 3");
    fs::permissions(failing, fs::perms::owner_all);
    const fs::path working = fs::path(folder.path()) / "opener";
    write(working, "#!/bin/sh\nexit 0");
    fs::permissions(working, fs::perms::owner_all);
    auto display = [] { return true; };

    EXPECT_FALSE(LinuxWorkspace({{failing.string()}}, display).openFolder(fs::path(folder.path()).string()));
    EXPECT_TRUE(LinuxWorkspace({{failing.string()}, {working.string()}}, display).openURL("https://example.org/"))
        << "the next opener is tried";
    EXPECT_EQ(LinuxWorkspace({{working.string()}}, display).openingUnavailableReason(), std::nullopt);
    EXPECT_EQ(LinuxWorkspace({{(fs::path(folder.path()) / "absent").string()}}, display).openingUnavailableReason(),
              "no opener (xdg-open or gio) is installed");

    LinuxWorkspace headless({{working.string()}}, [] { return false; });
    EXPECT_FALSE(headless.openFolder(fs::path(folder.path()).string()));
    EXPECT_EQ(headless.openingUnavailableReason(), "there is no graphical session to show it in");
}

TEST(LinuxWorkspaceTest, NotificationSettingsOfTheRunningDesktopAreTriedFirst) {
    auto first = [](const std::string& desktop) {
        return LinuxWorkspace::notificationSettingsPrograms(desktop).front();
    };
    EXPECT_EQ(first("ubuntu:GNOME"), (LinuxWorkspace::Opener{"gnome-control-center", "notifications"}));
    EXPECT_EQ(first("KDE"), (LinuxWorkspace::Opener{"systemsettings", "kcm_notifications"}));
    EXPECT_EQ(first("XFCE"), (LinuxWorkspace::Opener{"xfce4-notifyd-config"}));
    // A desktop that merely contains another's name is not that desktop.
    EXPECT_EQ(first("NOTKDE"), first(""));
    // Every program is still tried on an unknown desktop, each once.
    auto all = LinuxWorkspace::notificationSettingsPrograms("ubuntu:GNOME");
    EXPECT_EQ(all.size(), LinuxWorkspace::notificationSettingsPrograms("").size());
    EXPECT_EQ(std::count(all.begin(), all.end(), first("ubuntu:GNOME")), 1);
}

}  // namespace
}  // namespace harbormind
