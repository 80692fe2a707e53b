#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/ProcessLauncher.h"
#include "platform/linux/processes/LinuxPackageManager.h"
#include "platform/linux/desktop/LinuxPasteboard.h"
#include "platform/linux/files/LinuxUserData.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

class TemporaryHome {
public:
    TemporaryHome() {
        std::string pattern = (fs::temp_directory_path() / "hm-home-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TemporaryHome() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

// ---- The named board ----

TEST(LinuxPasteboardTest, AWordLeftInTheFileIsReadOnceAndClearingRemovesIt) {
    TemporaryHome home;
    LinuxPasteboard board(home.path.string());
    EXPECT_FALSE(board.string("com.Kestrane.Zuzad-Ezerade"));
    write(home.path / "com.Kestrane.Zuzad-Ezerade", "silent");
    EXPECT_EQ(board.string("com.Kestrane.Zuzad-Ezerade"), std::optional<std::string>("silent"));
    // An empty file is still a word on the board.
    write(home.path / "empty", "");
    EXPECT_EQ(board.string("empty"), std::optional<std::string>(""));
    board.clear("com.Kestrane.Zuzad-Ezerade");
    EXPECT_FALSE(fs::exists(home.path / "com.Kestrane.Zuzad-Ezerade"));
    EXPECT_FALSE(board.string("com.Kestrane.Zuzad-Ezerade"));
}

TEST(LinuxPasteboardTest, LinksFoldersHugeFilesAndNamesWithAPathAreNotTaken) {
    TemporaryHome home;
    const fs::path boards = home.path / "boards";
    fs::create_directories(boards);
    write(home.path / "secret", "someone else's file");
    fs::create_symlink(home.path / "secret", boards / "link");
    fs::create_directories(boards / "folder");
    write(boards / "huge", std::string(LinuxPasteboard::maximumSize + 1, 'x'));
    LinuxPasteboard board(boards.string());
    EXPECT_FALSE(board.string("link"));
    EXPECT_FALSE(board.string("folder"));
    EXPECT_FALSE(board.string("huge"));
    EXPECT_FALSE(board.string("../secret"));
    EXPECT_FALSE(board.string(".."));
    // Clearing a link removes the link, never its target; a path is never cleared.
    board.clear("link");
    board.clear("../secret");
    EXPECT_FALSE(fs::exists(fs::symlink_status(boards / "link")));
    EXPECT_TRUE(fs::exists(home.path / "secret"));
}

// ---- This user's files ----

TEST(LinuxUserDataTest, SettingsKeychainsAndTheAutostartEntryGoAndNothingOutsideThem) {
    TemporaryHome home;
    const fs::path settings = home.path / ".config/kestrane-harbormind";
    const fs::path data = home.path / ".local/share/kestrane-harbormind";
    const fs::path autostart =
        home.path / ".config/autostart/com.kestrane.harbormind.LaunchAtLoginHelper.desktop";
    const fs::path otherEntry = home.path / ".config/autostart/other.desktop";
    const fs::path documents = home.path / "Documents";
    write(settings / "com.kestrane.harbormind.plist", "<plist/>");
    write(data / "keychains/default.keychain", "sealed");
    write(data / "nwd.plist", "<plist/>");
    write(autostart, "[Desktop Entry]\n");
    write(otherEntry, "[Desktop Entry]\n");
    write(documents / "thesis.odt", "years of work");
    // A link inside the data folder to the user's documents is removed, not followed.
    fs::create_symlink(documents, data / "documents-link");

    LinuxUserData userData({settings.string(), data.string()}, {autostart.string()});
    EXPECT_TRUE(userData.removeAll());
    EXPECT_FALSE(fs::exists(settings));
    EXPECT_FALSE(fs::exists(data));
    EXPECT_FALSE(fs::exists(autostart));
    EXPECT_TRUE(fs::exists(otherEntry));
    EXPECT_TRUE(fs::exists(documents / "thesis.odt"));
    // Nothing left to remove is still done.
    EXPECT_TRUE(userData.removeAll());
}

TEST(LinuxUserDataTest, AFolderThatCannotBeEmptiedIsReported) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root may remove files from a read-only folder";
    }
    TemporaryHome home;
    const fs::path settings = home.path / "settings";
    write(settings / "inner/file", "x");
    fs::permissions(settings / "inner", fs::perms::owner_read | fs::perms::owner_exec);
    LinuxUserData userData({settings.string()}, {});
    EXPECT_FALSE(userData.removeAll());
    fs::permissions(settings / "inner", fs::perms::owner_all);
}

// ---- The package manager ----

// Records every program started and answers as told.
class RecordingLauncher final : public ProcessLauncher {
public:
    ProcessResult run(const std::string& launchPath, const std::vector<std::string>& arguments,
                      const std::optional<std::string>& /*input*/) override {
        std::string line = launchPath;
        for (const std::string& argument : arguments) {
            line += "|" + argument;
        }
        lines.push_back(line);
        return answer;
    }
    std::vector<std::string> lines;
    ProcessResult answer{true, 0, "", ""};
};

TEST(LinuxPackageManagerTest, InstallAndRemoveRunAptThroughTheElevationProgramWithTheNameAsItsOwnArgument) {
    RecordingLauncher launcher;
    LinuxPackageManager packages(launcher, "/usr/bin/harbormind", "pkexec",
                                 LinuxPackageManager::RootCheck::AssumeNotRoot);
    EXPECT_TRUE(packages.install(packages.ntfsDriverPackage()));
    EXPECT_TRUE(packages.remove("harbormind"));
    EXPECT_EQ(launcher.lines, (std::vector<std::string>{"pkexec|apt-get|install|--yes|--|ntfs-3g",
                                                        "pkexec|apt-get|remove|--yes|--|harbormind"}));
    // A cancelled prompt (pkexec's 126) or a failed apt-get is a failure.
    launcher.answer.exitStatus = 126;
    EXPECT_FALSE(packages.install("ntfs-3g"));
    launcher.answer = ProcessResult{};
    EXPECT_FALSE(packages.install("ntfs-3g"));
}

TEST(LinuxPackageManagerTest, NamesOutsideDebiansRulesNeverReachATool) {
    RecordingLauncher launcher;
    LinuxPackageManager packages(launcher, "/usr/bin/harbormind", "pkexec",
                                 LinuxPackageManager::RootCheck::AssumeNotRoot);
    for (const char* name :
         {"", "x", "-y", "Harbormind", "ntfs-3g;reboot", "a b", "--purge", "ntfs-3g:", "$(id)"}) {
        EXPECT_FALSE(packages.install(name)) << name;
        EXPECT_FALSE(packages.remove(name)) << name;
    }
    EXPECT_TRUE(launcher.lines.empty());
    EXPECT_TRUE(LinuxPackageManager::isPackageName("libstdc++6:amd64"));
    EXPECT_TRUE(LinuxPackageManager::isPackageName("ntfs-3g"));
}

TEST(LinuxPackageManagerTest, TheApplicationsPackageIsTheOwnerOfTheRunningProgram) {
    RecordingLauncher launcher;
    LinuxPackageManager packages(launcher, "/usr/bin/harbormind");
    launcher.answer.standardOutput = "harbormind: /usr/bin/harbormind\n";
    EXPECT_EQ(packages.applicationPackage(), std::optional<std::string>("harbormind"));
    EXPECT_EQ(launcher.lines.back(), "dpkg-query|--search|/usr/bin/harbormind");

    EXPECT_EQ(LinuxPackageManager::ownerIn("ntfs-3g:amd64: /usr/bin/ntfs-3g\n"),
              std::optional<std::string>("ntfs-3g:amd64"));
    EXPECT_EQ(LinuxPackageManager::ownerIn("harbormind, harbormind-extra: /usr/bin\n"),
              std::optional<std::string>("harbormind"));
    EXPECT_FALSE(LinuxPackageManager::ownerIn("diversion by foo from: /usr/bin/harbormind\n"));
    EXPECT_FALSE(LinuxPackageManager::ownerIn("dpkg-query: no path found matching pattern\n"));

    // A program run from a build folder belongs to no package.
    launcher.answer.exitStatus = 1;
    EXPECT_FALSE(packages.applicationPackage());
    LinuxPackageManager relative(launcher, "harbormind");
    EXPECT_FALSE(relative.applicationPackage());
}

}  // namespace
}  // namespace harbormind
