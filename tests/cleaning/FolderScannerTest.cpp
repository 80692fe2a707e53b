#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>

#include "cleaning/DMFileScanManager.h"
#include "cleaning/FolderScanner.h"
#include "cleaning/TempTree.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"
#include "support/Clock.h"

namespace harbormind {
namespace {

using test::TempTree;

std::vector<std::string> names(const FolderTreeNode& node) {
    std::vector<std::string> result;
    for (const FolderTreeNode* child : node.childs) {
        result.emplace_back(child->strFolderName());
    }
    return result;
}

// The order the file system lists a folder in.
std::vector<std::string> listingOrder(LinuxDirectoryWalker& walker, const std::string& path) {
    DirectoryListing listing;
    auto handle = walker.openFolder(path);
    walker.list(handle, listing);
    walker.close(handle);
    std::vector<std::string> result;
    for (const auto& entry : listing.entries) {
        result.emplace_back(listing.name(entry));
    }
    return result;
}

TEST(FolderScannerTest, FoldersFirstThenFilesWithApparentSizes) {
    TempTree tree;
    tree.file("a", 10);
    tree.file("b", 20);
    tree.folder("s");
    tree.folder("t");
    tree.file(".hidden", 5);
    LinuxDirectoryWalker walker;
    auto top = FolderScanner::scanPath(walker, tree.path(), {});

    EXPECT_EQ(top->iTotalSize, 35);
    EXPECT_EQ(top->iFileCount, 3);
    EXPECT_EQ(top->iFolderCount, 2);
    std::vector<std::string> folders;
    std::vector<std::string> files;
    for (const auto& name : listingOrder(walker, tree.path())) {
        (name == "s" || name == "t" ? folders : files).push_back(name);
    }
    std::vector<std::string> expected(folders.rbegin(), folders.rend());
    expected.insert(expected.end(), files.begin(), files.end());
    EXPECT_EQ(names(*top), expected);
    EXPECT_EQ(top->childs.back()->fullpath(), tree.path(files.back()));
}

TEST(FolderScannerTest, LinksCountNothingAndAreNeverFollowed) {
    TempTree tree;
    tree.file("big/huge", 1 << 30);
    tree.folder("scan/sub");
    tree.file("scan/sub/f", 3);
    tree.link("scan/link", tree.path("big"));
    LinuxDirectoryWalker walker;
    auto top = FolderScanner::scanPath(walker, tree.path("scan"), {});

    EXPECT_EQ(top->iTotalSize, 3);
    EXPECT_EQ(top->iFileCount, 2);  // the link counts as a non-folder entry
    ASSERT_EQ(names(*top), (std::vector<std::string>{"sub", "link"}));
    const FolderTreeNode* link = top->childs[1];
    EXPECT_TRUE(link->isLink);
    EXPECT_FALSE(link->isFolder);
    EXPECT_EQ(link->iTotalSize, 0);
    EXPECT_TRUE(link->childs.empty());
}

TEST(FolderScannerTest, SocketIsAnEntryNotAFolderAndAMissingFolderStaysEmpty) {
    // A socket's directory-entry type shares the directory bit; it is still no folder.
    TempTree tree;
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string socketPath = tree.path("sock");
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    LinuxDirectoryWalker walker;
    auto top = FolderScanner::scanPath(walker, tree.path(), {});
    ::close(fd);

    ASSERT_EQ(top->childs.size(), 1U);
    EXPECT_FALSE(top->childs[0]->isFolder);
    EXPECT_EQ(top->childs[0]->kind, EntryKind::Socket);
    EXPECT_EQ(top->iFolderCount, 0);
    EXPECT_EQ(top->iFileCount, 1);

    auto missing = FolderScanner::scanPath(walker, tree.path("missing"), {});
    EXPECT_TRUE(missing->childs.empty());
}

class RecordingDelegate : public DMFolderManagerDelegate {
public:
    bool isStop() override {
        ++asked;
        return stopAfter >= 0 && asked > stopAfter;
    }
    void searchFileName(std::string_view name) override { reported.emplace_back(name); }
    void searchFinish() override {
        finished = true;
        Clock::current().notifyAll();
    }
    void deleteFileFinish() override {
        deleted = true;
        Clock::current().notifyAll();
    }
    bool waitFor(const std::atomic<bool>& flag) {
        Clock& clock = Clock::current();
        return clock.waitUntil([&flag] { return flag.load(); }, clock.now() + seconds(30));
    }
    int stopAfter = -1;
    int asked = 0;
    std::vector<std::string> reported;
    std::atomic<bool> finished{false};
    std::atomic<bool> deleted{false};
};

TEST(FolderScannerTest, ReportsEveryNameButTheFirstOfEachListingAndAsksBeforeEachFolder) {
    TempTree tree;
    tree.file("one/x", 1);
    tree.file("one/y", 1);
    tree.file("z", 1);
    LinuxDirectoryWalker walker;
    auto delegate = std::make_shared<RecordingDelegate>();
    FolderScanner::scanPath(walker, tree.path(), delegate);
    EXPECT_EQ(delegate->asked, 2);
    EXPECT_EQ(delegate->reported.size(), 2U);  // the second entry of each listing
}

TEST(FolderScannerTest, StopEndsTheScanEarlyAndTheFinishStillArrives) {
    TempTree tree;
    tree.file("one/two/deep", 100);
    tree.file("top", 1);
    LinuxDirectoryWalker walker;
    DMFileScanManager manager(&walker);
    auto delegate = std::make_shared<RecordingDelegate>();
    delegate->stopAfter = 1;
    manager.setDelegate(delegate);
    manager.bulidTree(tree.path());
    ASSERT_TRUE(delegate->waitFor(delegate->finished));
    auto root = manager.getRoot();
    EXPECT_EQ(root->iTotalSize, 1);
    ASSERT_EQ(root->childs.size(), 2U);
    EXPECT_TRUE(root->childs[0]->childs.empty());  // "one" was never listed
}

}  // namespace
}  // namespace harbormind
