#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "TempTree.h"
#include "cleaning/DMFileClearManager.h"
#include "cleaning/FileDeleter.h"
#include "cleaning/JunkTreeBuilder.h"
#include "cleaning/SelectMessage.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"
#include "platform/linux/files/LinuxJunkLocations.h"
#include "platform/linux/files/LinuxTemporaryEntryFilter.h"
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

TEST(JunkTableTest, RootGetsNoTemporaryFoldersAndAUserOnlyTheirOwnQuietEntries) {
    auto rootTable = LinuxJunkLocations(0).categories("/root");
    for (const auto& category : rootTable) {
        EXPECT_NE(category.key, "globalTemp");
        EXPECT_EQ(category.entryFilter, nullptr) << category.key;
    }
    auto userTable = LinuxJunkLocations(1000).categories("/home/u");
    ASSERT_EQ(userTable.front().key, "globalTemp");
    ASSERT_NE(userTable.front().entryFilter, nullptr);
    EntryStat old;
    old.kind = EntryKind::Regular;
    old.owner = 1000;
    auto now = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
    old.modifiedSeconds = now.count() - 2 * LinuxTemporaryEntryFilter::quietSeconds;
    EXPECT_TRUE(userTable.front().entryFilter->offers(old));
    EntryStat others = old;
    others.owner = 0;
    EXPECT_FALSE(userTable.front().entryFilter->offers(others));
    for (std::size_t i = 1; i < userTable.size(); ++i) {
        EXPECT_EQ(userTable[i].entryFilter, nullptr) << userTable[i].key;
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

// Junk is measured by the space it frees: a cache of many small files takes far more on disk
// than its lengths add up to, and a sparse file far less.
TEST_F(JunkTreeTest, SizesCountWhatTheFilesTakeOnDisk) {
    std::int64_t expected = 0;
    for (int i = 0; i < 400; ++i) {
        std::string name = "Library/Caches/small/" + std::to_string(i);
        home.file(name, 10);
        expected += home.onDisk(name);
    }
    std::filesystem::resize_file(home.file("Downloads/sparse.iso", 0), 64 * MiB);
    ASSERT_GT(expected, MiB) << "this file system keeps small files without blocks of their own";
    auto root = build();
    ASSERT_EQ(keys(*root), std::vector<std::string>{"userCache"});
    EXPECT_EQ(root->childs[0]->iTotalSize, expected);
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

TEST_F(JunkTreeTest, EveryCategoryMarkedCountsWhatTheyHoldFromTheTop) {
    home.file("Library/Caches/a/c1", 2 * MiB);
    home.file("Library/Caches/c2", 3);
    home.file("Downloads/d", 2 * MiB);
    auto root = build();
    ASSERT_EQ(keys(*root), (std::vector<std::string>{"userCache", "downloads"}));
    EXPECT_EQ(root->iTotalSize, 4 * MiB + home.onDisk("Library/Caches/c2"));
    EXPECT_EQ(root->iFileCount, 3);
    EXPECT_EQ(root->iFolderCount, 3);  // the two categories and the folder a

    SelectMessage separately;
    for (FolderTreeNode* category : root->childs) {
        category->selectStatus = 0;
        category->updateChildStatus();
        category->updateParentStatus(0);
        SelectMessage one = SelectMessage::count(category);
        separately.fileCount += one.fileCount;
        separately.folderCount += one.folderCount;
        separately.totalSize += one.totalSize;
    }
    ASSERT_EQ(root->selectStatus, 0);  // every category marked marks the top as well
    SelectMessage fromTop = SelectMessage::count(root.get());
    EXPECT_EQ(fromTop.fileCount, 3);
    EXPECT_EQ(fromTop.folderCount, separately.folderCount);
    EXPECT_EQ(fromTop.totalSize, 4 * MiB + home.onDisk("Library/Caches/c2"));

    DMDeleteFaileRecord record;
    FileDeleter(walker, record).junkPass(root.get());
    EXPECT_TRUE(root->childs.empty());
    EXPECT_EQ(root->iTotalSize, 0);
    EXPECT_EQ(root->iFileCount, 0);
}

// A shared temporary folder as an ordinary user sees it: only their own regular files,
// folders and links, untouched for an hour, are offered; never sockets or pipes.
TEST_F(JunkTreeTest, TemporaryPlaceOffersOnlyTheUsersQuietFilesAndFolders) {
    const auto user = static_cast<std::uint32_t>(::geteuid());
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    auto age = [now](const std::string& path, std::int64_t secondsAgo) {
        timespec times[2] = {{now - secondsAgo, 0}, {now - secondsAgo, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
    };
    const std::int64_t old = 2 * LinuxTemporaryEntryFilter::quietSeconds;
    age(home.file("tmp/old", 2 * MiB), old);
    age(home.file("tmp/fresh", 2 * MiB), 60);
    age(home.file("tmp/work/inner-old", 2 * MiB), old);
    age(home.file("tmp/work/inner-fresh", 2 * MiB), 10);
    ASSERT_EQ(::mkfifo(home.path("tmp/pipe").c_str(), 0600), 0);
    age(home.path("tmp/pipe"), old);
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string socketPath = home.path("tmp/sock");
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    age(socketPath, old);
    bool root = user == 0;
    if (root) {
        // Another user's quiet file, in a place and in the user's own folder.
        age(home.file("tmp/theirs", 2 * MiB), old);
        age(home.file("tmp/work/theirs-inside", 2 * MiB), old);
        ASSERT_EQ(::lchown(home.path("tmp/theirs").c_str(), 4321, 4321), 0);
        ASSERT_EQ(::lchown(home.path("tmp/work/theirs-inside").c_str(), 4321, 4321), 0);
    }
    age(home.path("tmp/work"), old);

    JunkCategory temp;
    temp.key = "globalTemp";
    temp.paths = {home.path("tmp")};
    temp.entryFilter = std::make_shared<LinuxTemporaryEntryFilter>(user, now);
    auto tree = JunkTreeBuilder::build(walker, {temp}, 0, {});
    ::close(fd);

    ASSERT_EQ(tree->childs.size(), 1U);
    const FolderTreeNode* place = tree->childs[0]->childs.at(0);
    std::vector<std::string> offered;
    for (const FolderTreeNode* entry : place->childs) {
        offered.emplace_back(entry->strFolderName());
        for (const FolderTreeNode* inner : entry->childs) {
            offered.push_back(std::string(entry->strFolderName()) + "/" + std::string(inner->strFolderName()));
        }
    }
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, (std::vector<std::string>{"old", "work", "work/inner-old"}));
    EXPECT_EQ(place->iTotalSize, 4 * MiB);
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
