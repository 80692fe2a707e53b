#include <gtest/gtest.h>

#include <sstream>

#include "cleaning/DMDeleteFaileRecord.h"
#include "cleaning/FileDeleter.h"
#include "cleaning/FolderScanner.h"
#include "cleaning/FolderTreeNode.h"
#include "cleaning/TempTree.h"
#include "cli/CliCleanSelection.h"
#include "cli/CtlRun.h"
#include "cli/HarbormindCtl.h"
#include "cli/PathGlob.h"
#include "platform/UserDatabase.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"
#include "platform/sim/SimJunkLocations.h"
#include "testsupport/FixedHomeUsers.h"

namespace harbormind {
namespace {

constexpr std::int64_t MiB = 1048576;

// This machine, except that the user's home is a folder of the test and the junk places are
// the simulated table's places inside it (without the shared temporary folder).
class TemporaryHomePlatform final : public Platform {
public:
    explicit TemporaryHomePlatform(std::string home) : users_(std::move(home)) {}

    std::string name() const override { return "linux"; }
    DiskArbitration& diskArbitration() override { return linux_.diskArbitration(); }
    DeviceRegistry& registry() override { return linux_.registry(); }
    PowerSource& powerSource() override { return linux_.powerSource(); }
    SettingsStores& settings() override { return linux_.settings(); }
    UserDatabase& users() override { return users_; }
    CommandTable& commands() override { return linux_.commands(); }
    ProcessLauncher& processes() override { return linux_.processes(); }
    ScriptRunner& scripts() override { return linux_.scripts(); }
    Workspace& workspace() override { return linux_.workspace(); }
    FileSystemInfo& fileSystem() override { return linux_.fileSystem(); }
    DeviceNaming& deviceNaming() override { return linux_.deviceNaming(); }
    DirectoryWalker* directoryWalker() override { return &walker_; }
    JunkLocations* junkLocations() override { return &locations_; }

private:
    class HomeLocations final : public SimJunkLocations {
    public:
        std::vector<JunkCategory> categories(const std::string& home) override {
            auto table = SimJunkLocations::categories(home);
            table.erase(table.begin());
            return table;
        }
    };

    LinuxPlatform linux_;
    test::FixedHomeUsers users_;
    LinuxDirectoryWalker walker_;
    HomeLocations locations_;
};

using test::CtlRun;

class CleanVerbsTest : public testing::Test {
protected:
    void SetUp() override {
        home = tree.folder("home");
        tree.file("home/Library/Caches/app/a.bin", 2 * MiB);
        tree.file("home/Library/Caches/b.bin", MiB);
        tree.file("home/Downloads/big.iso", 3 * MiB);
        tree.file("home/.Trash/old.zip", 2 * MiB);
    }
    CtlRun run(std::vector<std::string> arguments, const std::string& input = {}) {
        std::ostringstream out;
        std::ostringstream err;
        std::istringstream in(input);
        int status = runHarbormindctl(arguments, out, err, in, nullptr, std::make_shared<TemporaryHomePlatform>(home));
        return {status, out.str(), err.str()};
    }

    test::TempTree tree;
    std::string home;
};

TEST_F(CleanVerbsTest, JunkCleanShowsWhatGoesAsksAndDeletesOnlyOnYes) {
    CtlRun declined = run({"junk", "clean"}, "n\n");
    EXPECT_EQ(declined.status, 1);
    EXPECT_NE(declined.out.find(home + "/Library/Caches"), std::string::npos) << declined.out;
    EXPECT_NE(declined.out.find("1 folders, 2 files, 3.1 MB (3145728 bytes) will be deleted."), std::string::npos)
        << declined.out;
    EXPECT_NE(declined.out.find("Delete them permanently? [y/N]"), std::string::npos);
    EXPECT_TRUE(tree.exists("home/Library/Caches/b.bin"));

    CtlRun accepted = run({"junk", "clean"}, "y\n");
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_FALSE(tree.exists("home/Library/Caches/b.bin"));
    EXPECT_FALSE(tree.exists("home/Library/Caches/app"));
    // The place itself stays; other categories are untouched.
    EXPECT_TRUE(tree.exists("home/Library/Caches"));
    EXPECT_TRUE(tree.exists("home/Downloads/big.iso"));
}

TEST_F(CleanVerbsTest, JunkCleanTakesCategoriesByKeyOrNameAndRefusesUnknownOnes) {
    CtlRun run1 = run({"junk", "clean", "Trash", "downloads", "--yes"});
    EXPECT_EQ(run1.status, 0) << run1.err;
    EXPECT_FALSE(tree.exists("home/.Trash/old.zip"));
    EXPECT_FALSE(tree.exists("home/Downloads/big.iso"));
    EXPECT_TRUE(tree.exists("home/Library/Caches/b.bin"));

    CtlRun unknown = run({"junk", "clean", "everything", "--yes"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("no category everything"), std::string::npos);
    EXPECT_TRUE(tree.exists("home/Library/Caches/b.bin"));
}

TEST_F(CleanVerbsTest, ClearRefusesTheSystemTheHomeVolumeAndFoldersThatAreNoDrivesMountPoint) {
    CtlRun system = run({"clear", "/", "--select", "*", "--yes"});
    EXPECT_EQ(system.status, 1);
    EXPECT_NE(system.err.find("refused: the volume holds the running system"), std::string::npos) << system.err;
    for (const char* path : {"/usr", "/boot", "/usr/"}) {
        EXPECT_EQ(run({"clear", path, "--select", "*", "--yes"}).status, 1) << path;
    }
    CtlRun folder = run({"clear", tree.path("home"), "--select", "*", "--yes"});
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.err.find("refused: the folder is not the mount point"), std::string::npos) << folder.err;
    EXPECT_TRUE(tree.exists("home/Downloads/big.iso"));
    // --select is required.
    EXPECT_EQ(run({"clear", "/"}).status, 2);
}

TEST(PathGlobTest, NamesPathsAndStars) {
    EXPECT_TRUE(PathGlob::matchesEntry("*.iso", "big.iso", "a/b/big.iso"));
    EXPECT_FALSE(PathGlob::matchesEntry("*.iso", "big.isox", "big.isox"));
    EXPECT_TRUE(PathGlob::matchesEntry("old/*", "x", "old/x"));
    EXPECT_FALSE(PathGlob::matchesEntry("old/*", "y", "old/x/y"));
    EXPECT_TRUE(PathGlob::matchesEntry("old/**", "y", "old/x/y"));
    EXPECT_TRUE(PathGlob::matchesEntry("**/cache", "cache", "a/b/cache"));
    EXPECT_TRUE(PathGlob::matchesEntry("**/cache", "cache", "cache"));
    EXPECT_TRUE(PathGlob::matches("file?.[lt]og", "file1.log"));
    EXPECT_FALSE(PathGlob::matches("file?.[!lt]og", "file1.log"));
    EXPECT_TRUE(PathGlob::matches("[a-c]x", "bx"));
    EXPECT_FALSE(PathGlob::matches("a?b", "a/b"));
    EXPECT_TRUE(PathGlob::matches("[", "["));
}

TEST(CliCleanSelectionTest, SettledStatusesCountsAndFailuresAfterAPass) {
    test::TempTree tree;
    tree.file("top/keep/a", 10);
    tree.file("top/go/b", 20);
    tree.file("top/go/c", 30);
    LinuxDirectoryWalker walker;
    auto top = FolderScanner::scanPath(walker, tree.path("top"), {});
    for (FolderTreeNode* child : top->childs) {
        if (child->strFolderName() == "go") {
            FolderTreeNode::updateChildStatus(child, FolderTreeNode::statusMarked);
        }
    }
    CliCleanSelection::settleStatuses(top.get());
    EXPECT_EQ(top->selectStatus, FolderTreeNode::statusMixed);
    CliCleanSelection selection(top.get());
    EXPECT_EQ(selection.amountLine(), "1 folders, 2 files, 50 bytes will be deleted.");
    EXPECT_EQ(CliCleanSelection::listing(top.get()), "  50 bytes\t" + tree.path("top/go") + "\n");
    // Nothing deleted yet: every marked leaf counts as left over.
    EXPECT_EQ(selection.failures(top.get()).size(), 2u);

    // Another program replaces one file before the pass: only that one is left and listed.
    tree.replaceWithFile("top/go/c", 30);
    DMDeleteFaileRecord record;
    FileDeleter(walker, record).driveClearPass(top.get());
    EXPECT_EQ(selection.failures(top.get(), top.get()), std::vector<std::string>{tree.path("top/go/c")});
    EXPECT_FALSE(tree.exists("top/go/b"));
    EXPECT_TRUE(tree.exists("top/keep/a"));
}

}  // namespace
}  // namespace harbormind
