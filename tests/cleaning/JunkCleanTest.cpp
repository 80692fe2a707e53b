#include <gtest/gtest.h>

#include <atomic>

#include "TempTree.h"
#include "cleaning/DMFileClearManager.h"
#include "cleaning/FileDeleter.h"
#include "cleaning/JunkTreeBuilder.h"
#include "platform/linux/LinuxDirectoryWalker.h"
#include "platform/linux/LinuxJunkLocations.h"
#include "platform/sim/SimJunkLocations.h"
#include "support/Clock.h"

namespace harbormind {
namespace {

using test::TempTree;
constexpr std::int64_t MiB = 1048576;

std::vector<std::string> keys(const FolderTreeNode& root) {
    std::vector<std::string> result;
    for (const FolderTreeNode* category : root.childs) {
        result.emplace_back(category->strFolderName());
    }
    return result;
}

TEST(JunkTableTest, SimulatedPlatformGivesTheOriginalTable) {
    SimJunkLocations locations;
    auto table = locations.categories("/Users/x");
    std::vector<std::string> order;
    for (const auto& category : table) {
        order.push_back(category.key);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"globalTemp", "userCache", "userLog", "userPrefs", "mails", "trash",
                                               "xcode", "downloads", "userAppCache", "systemLog"}));
    EXPECT_EQ(table[0].paths, std::vector<std::string>{"/private/tmp"});
    EXPECT_EQ(table[1].paths, std::vector<std::string>{"/Users/x/Library/Caches"});
    EXPECT_EQ(table[2].paths, std::vector<std::string>{"/Users/x/Library/Logs"});
    EXPECT_EQ(table[3].paths, std::vector<std::string>{"/Users/x/Library/Preferences"});
    EXPECT_EQ(table[4].paths, std::vector<std::string>{"/Users/x/Library/Containers/com.apple.mail/Data/Library/Mail"});
    EXPECT_EQ(table[5].paths, std::vector<std::string>{"/Users/x/.Trash"});
    EXPECT_EQ(table[6].paths, (std::vector<std::string>{"/Users/x/Library/Developer/Xcode/DerivedData",
                                                        "/Users/x/Library/Developer/Xcode/Archives",
                                                        "/Users/x/Library/Developer/Xcode/iOS Device Logs",
                                                        "/Users/x/Library/Developer/CoreSimulator/Caches"}));
    EXPECT_EQ(table[7].paths, std::vector<std::string>{"/Users/x/Downloads"});
    EXPECT_TRUE(table[8].paths.empty());
    EXPECT_TRUE(table[9].paths.empty());
    EXPECT_EQ(locations.containersFolder("/Users/x"), "/Users/x/Library/Containers/");
    EXPECT_EQ(table[2].containerSuffix, "/Data/Library/Logs");
    EXPECT_EQ(table[8].containerSuffix, "/Data/Library/Caches");
    for (const auto& category : table) {
        EXPECT_EQ(category.showsEntriesOfPlaces, category.key == "xcode" || category.key == "userAppCache");
    }
    std::vector<std::string> displayNames;
    for (const auto& category : table) {
        displayNames.push_back(category.displayName);
    }
    EXPECT_EQ(displayNames, (std::vector<std::string>{"Temp", "UserCache", "UserLog", "UserPrefs", "Mails", "Trash",
                                                      "Xcode", "Downloads", "UserAppCache", "SystemLog"}));
    EXPECT_EQ(table[0].explanation,
              "Using your Mac generates a lot of temporary files. By deleting these files you can free up disk space.");
    EXPECT_EQ(table[7].explanation,
              "Whenever you download a file, it gets stored on your Mac. Over time, these files accumulate and occupy "
              "a large disk space. Deleting the imcomplete downloads as well as the files you no longer need can save "
              "your disk space.");
    EXPECT_EQ(table[9].explanation,
              "Deletes all log files created by the system,if you do not need them, delete them. ");
}

TEST(JunkTableTest, LinuxTableNeverIncludesConfiguration) {
    LinuxJunkLocations locations;
    for (const auto& category : locations.categories("/home/u")) {
        for (const auto& path : category.paths) {
            EXPECT_EQ(path.find("/.config"), std::string::npos) << path;
        }
    }
}

class JunkTreeTest : public ::testing::Test {
protected:
    std::vector<JunkCategory> table() { return JunkTreeBuilder::composeTable(walker, locations, home.path()); }
    std::shared_ptr<FolderTreeNode> build() { return JunkTreeBuilder::build(walker, withoutGlobalTemp(), MiB, {}); }
    std::vector<JunkCategory> withoutGlobalTemp() {
        auto composed = table();
        composed.erase(composed.begin());  // the machine's own temporary folder is not part of the test
        return composed;
    }
    TempTree home;
    LinuxDirectoryWalker walker;
    SimJunkLocations locations;
};

TEST_F(JunkTreeTest, ContainerFoldersAddPlacesUnlessTheyAreLinks) {
    home.folder("Library/Containers/app.one/Data/Library");
    home.link("Library/Containers/app.one/Data/Library/Logs", "/");
    home.folder("Library/Containers/app.two");
    home.file("Library/Containers/not-a-folder", 1);
    auto composed = table();
    std::string containers = home.path("Library/Containers/");
    const auto& logs = composed[2].paths;
    const auto& caches = composed[8].paths;
    EXPECT_EQ(logs, (std::vector<std::string>{home.path("Library/Logs"), containers + "app.two/Data/Library/Logs"}));
    ASSERT_EQ(caches.size(), 2U);  // both containers, in listing order; missing places are kept
    EXPECT_NE(caches[0], caches[1]);
}

TEST_F(JunkTreeTest, FilterHidesSmallCategoriesAndDeveloperEntriesAreShownDirectly) {
    home.file("Library/Caches/exactly", MiB);
    home.file("Library/Logs/old.log", MiB + 1);
    home.file("Library/Developer/Xcode/DerivedData/loose.txt", MiB);
    home.file("Library/Developer/Xcode/DerivedData/Proj/big.o", MiB);
    home.folder("Library/Developer/Xcode/DerivedData/EmptyProj");
    home.file("Downloads/d", 3);
    auto root = build();
    EXPECT_EQ(keys(*root), (std::vector<std::string>{"userLog", "xcode"}));

    const FolderTreeNode* logs = root->childs[0];
    ASSERT_EQ(logs->childs.size(), 1U);
    EXPECT_EQ(logs->childs[0]->fullpath(), home.path("Library/Logs"));

    const FolderTreeNode* xcode = root->childs[1];
    EXPECT_EQ(xcode->iTotalSize, 2 * MiB);
    EXPECT_EQ(xcode->iFolderCount, 2);
    std::vector<std::string> paths;
    for (const FolderTreeNode* entry : xcode->childs) {
        EXPECT_EQ(entry->parent, xcode);
        paths.push_back(entry->fullpath());
    }
    EXPECT_EQ(paths, (std::vector<std::string>{home.path("Library/Developer/Xcode/DerivedData/Proj"),
                                               home.path("Library/Developer/Xcode/DerivedData/loose.txt")}));
    EXPECT_EQ(xcode->childs[0]->childs[0]->fullpath(), home.path("Library/Developer/Xcode/DerivedData/Proj/big.o"));
}

TEST_F(JunkTreeTest, JunkPassEmptiesPlacesAndDropsCategoriesOnlyWithoutEarlierFailure) {
    home.file("Library/Logs/a.log", 2 * MiB);
    home.file("Library/Developer/Xcode/DerivedData/Proj/big.o", 2 * MiB);
    home.file("Library/Developer/Xcode/DerivedData/Other/x.o", 2 * MiB);
    home.file("Downloads/setup.iso", 2 * MiB);
    auto root = build();
    ASSERT_EQ(keys(*root), (std::vector<std::string>{"userLog", "xcode", "downloads"}));
    for (FolderTreeNode* category : root->childs) {
        category->selectStatus = 0;
        category->updateChildStatus();
    }
    // The last category is deleted first: a failure in "xcode" keeps it and also keeps "userLog".
    home.replaceWithFile("Library/Developer/Xcode/DerivedData/Other/x.o", 2 * MiB);
    DMDeleteFaileRecord record;
    FileDeleter(walker, record).junkPass(root.get());

    EXPECT_EQ(keys(*root), (std::vector<std::string>{"userLog", "xcode"}));
    EXPECT_EQ(record.iFileCount, 1);
    EXPECT_FALSE(home.exists("Downloads/setup.iso"));
    EXPECT_FALSE(home.exists("Library/Logs/a.log"));
    EXPECT_FALSE(home.exists("Library/Developer/Xcode/DerivedData/Proj"));
    EXPECT_TRUE(home.exists("Library/Developer/Xcode/DerivedData/Other/x.o"));
    // The places themselves are emptied, never removed.
    EXPECT_TRUE(home.exists("Downloads"));
    EXPECT_TRUE(home.exists("Library/Logs"));
    const FolderTreeNode* xcode = root->childs[1];
    ASSERT_EQ(xcode->childs.size(), 1U);
    EXPECT_EQ(xcode->childs[0]->selectStatus, 1);
}

class FakeUsers : public UserDatabase {
public:
    explicit FakeUsers(std::string home) : home_(std::move(home)) {}
    std::optional<std::string> currentUserHome() override { return home_; }
    std::optional<std::string> currentUserName() override { return "u"; }
    std::string processHome() override { return "/elsewhere"; }
    std::optional<std::string> environment(const std::string&) override { return std::nullopt; }

private:
    std::string home_;
};

class Waiter : public DMFolderManagerDelegate {
public:
    void searchFinish() override { signal(finished); }
    void deleteFileFinish() override { signal(deleted); }
    bool wait(const std::atomic<bool>& flag) {
        Clock& clock = Clock::current();
        return clock.waitUntil([&flag] { return flag.load(); }, clock.now() + seconds(30));
    }
    std::atomic<bool> finished{false};
    std::atomic<bool> deleted{false};

private:
    void signal(std::atomic<bool>& flag) {
        flag = true;
        Clock::current().notifyAll();
    }
};

// Places outside the test's home are left out, so the machine's own folders are never touched.
class HomeOnlyLocations : public SimJunkLocations {
public:
    std::vector<JunkCategory> categories(const std::string& home) override {
        auto table = SimJunkLocations::categories(home);
        table.erase(table.begin());
        return table;
    }
};

TEST_F(JunkTreeTest, ManagerBuildsFromTheUserDatabaseHomeAndCleansInTheBackground) {
    home.file("Library/Caches/c", 2 * MiB);
    FakeUsers users(home.path());
    HomeOnlyLocations homeOnly;
    DMFileClearManager manager(&walker, &homeOnly, &users);
    auto waiter = std::make_shared<Waiter>();
    manager.setDelegate(waiter);
    manager.setFilterSize(MiB);
    manager.bulidTree();
    ASSERT_TRUE(waiter->wait(waiter->finished));
    auto root = manager.getRoot();
    ASSERT_EQ(keys(*root), std::vector<std::string>{"userCache"});
    root->childs[0]->selectStatus = 0;
    root->childs[0]->updateChildStatus();
    EXPECT_EQ(manager.deleteFiles(), 0);
    ASSERT_TRUE(waiter->wait(waiter->deleted));
    EXPECT_TRUE(root->childs.empty());
    EXPECT_EQ(manager.getFaileRecord().iFileCount, 0);
    EXPECT_FALSE(home.exists("Library/Caches/c"));
}

}  // namespace
}  // namespace harbormind
