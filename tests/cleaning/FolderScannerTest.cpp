#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

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
    // A folder never entered still records what it is, so it can be deleted safely.
    EXPECT_EQ(root->childs[0]->kind, EntryKind::Directory);
    EXPECT_EQ(root->childs[0]->inode, walker.statPath(tree.path("one"))->inode);
}


// A tree wide and deep enough that several threads list its folders at once.
void makeBusyTree(TempTree& tree) {
    for (int a = 0; a < 12; ++a) {
        for (int b = 0; b < 6; ++b) {
            std::string folder = "d" + std::to_string(a) + "/e" + std::to_string(b);
            for (int f = 0; f < 5; ++f) {
                tree.file(folder + "/f" + std::to_string(f), a * 100 + b * 10 + f);
            }
            tree.file(folder + "/inner/g", 1);
        }
        tree.link("d" + std::to_string(a) + "/up", tree.path());
    }
}

struct Expected {
    std::int64_t size = 0;
    std::int64_t files = 0;
    std::int64_t folders = 0;
};

// The node records the object at `path` itself (never a link's target), as deletion checks it.
void expectIdentityOf(LinuxDirectoryWalker& walker, const FolderTreeNode& node, const std::string& path) {
    auto stat = walker.statPath(path);
    ASSERT_TRUE(stat.has_value()) << path;
    EXPECT_EQ(node.kind, stat->kind) << path;
    EXPECT_EQ(node.inode, stat->inode) << path;
    EXPECT_EQ(static_cast<std::uint64_t>(node.device), stat->device) << path;
    EXPECT_EQ(node.isLink, stat->kind == EntryKind::SymbolicLink) << path;
}

// Checks `node` against the file system one folder at a time, the way a single thread would
// build it: child order from the folder's own listing, totals summed over everything below.
Expected checkAgainstListing(LinuxDirectoryWalker& walker, const FolderTreeNode& node, const std::string& path) {
    std::vector<std::string> folders;
    std::vector<std::string> others;
    DirectoryListing listing;
    auto handle = walker.openFolder(path);
    walker.list(handle, listing);
    walker.close(handle);
    for (const auto& entry : listing.entries) {
        bool folder = entry.typeCode == 4;
        (folder ? folders : others).emplace_back(listing.name(entry));
    }
    std::vector<std::string> order(folders.rbegin(), folders.rend());
    order.insert(order.end(), others.begin(), others.end());
    EXPECT_EQ(names(node), order) << path;
    Expected sum;
    for (const FolderTreeNode* child : node.childs) {
        EXPECT_EQ(child->parent, &node);
        expectIdentityOf(walker, *child, path + "/" + std::string(child->strFolderName()));
        Expected below = child->isFolder ? checkAgainstListing(walker, *child, path + "/" + std::string(child->strFolderName()))
                                         : Expected{child->iTotalSize, 0, 0};
        sum.size += below.size;
        sum.files += below.files + (child->isFolder ? 0 : 1);
        sum.folders += below.folders + (child->isFolder ? 1 : 0);
    }
    EXPECT_EQ(node.iTotalSize, sum.size) << path;
    EXPECT_EQ(node.iFileCount, sum.files) << path;
    EXPECT_EQ(node.iFolderCount, sum.folders) << path;
    return sum;
}

int openDescriptors() {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                          std::filesystem::directory_iterator{}));
}

TEST(FolderScannerParallelTest, EveryFolderKeepsItsListingOrderAndTotalsAddUpWhateverThreadListedIt) {
    TempTree tree;
    makeBusyTree(tree);
    LinuxDirectoryWalker walker;
    int before = openDescriptors();
    for (int round = 0; round < 5; ++round) {
        auto top = FolderScanner::scanPath(walker, tree.path(), {});
        Expected total = checkAgainstListing(walker, *top, tree.path());
        EXPECT_EQ(total.files, 12 * 6 * 5 + 12 * 6 + 12);  // the links count as entries
        EXPECT_EQ(total.folders, 12 + 12 * 6 * 2);
        for (const FolderTreeNode* child : top->childs) {
            ASSERT_TRUE(child->isFolder);
            EXPECT_TRUE(child->childs.back()->isLink);  // the link to the top is never entered
            EXPECT_TRUE(child->childs.back()->childs.empty());
        }
    }
    EXPECT_EQ(openDescriptors(), before);  // every folder handle was closed
}

TEST(FolderScannerParallelTest, ATreeBelowAnotherNodeAddsItsTotalsToTheNodesAbove) {
    TempTree tree;
    makeBusyTree(tree);
    LinuxDirectoryWalker walker;
    FolderTreeStorage storage;
    FolderTreeNode* above = storage.makeNode("above");
    above->iTotalSize = 7;
    above->iFileCount = 1;
    FolderTreeNode* top = storage.makeNode(tree.path());
    top->setFullpath(tree.path());
    top->parent = above;
    FolderScanner scanner(walker, storage, {});
    scanner.scan(top);
    EXPECT_EQ(above->iTotalSize, 7 + top->iTotalSize);
    EXPECT_EQ(above->iFileCount, 1 + top->iFileCount);
    EXPECT_EQ(above->iFolderCount, top->iFolderCount);
    EXPECT_GT(top->iFolderCount, 0);
}

// Stops after a number of folders, from whichever thread asks; every call is counted.
class CountingStopDelegate : public DMFolderManagerDelegate {
public:
    bool isStop() override { return ++asked > stopAfter; }
    void searchFileName(std::string_view) override { ++reported; }
    int stopAfter = 0;
    int asked = 0;  // the scanner calls the delegate from one thread at a time
    int reported = 0;
};

TEST(FolderScannerParallelTest, AStopInTheMiddleLeavesConsistentTotalsAndNoOpenHandles) {
    TempTree tree;
    makeBusyTree(tree);
    LinuxDirectoryWalker walker;
    int before = openDescriptors();
    auto delegate = std::make_shared<CountingStopDelegate>();
    delegate->stopAfter = 20;
    auto top = FolderScanner::scanPath(walker, tree.path(), delegate);
    EXPECT_EQ(delegate->asked, 21);  // once the answer was yes, nobody asks again
    std::int64_t listed = 0;
    std::vector<const FolderTreeNode*> pending{top.get()};
    while (!pending.empty()) {
        const FolderTreeNode* node = pending.back();
        pending.pop_back();
        Expected sum;
        for (const FolderTreeNode* child : node->childs) {
            sum.size += child->iTotalSize;
            sum.files += child->iFileCount + (child->isFolder ? 0 : 1);
            sum.folders += child->iFolderCount + (child->isFolder ? 1 : 0);
            pending.push_back(child);
        }
        if (!node->isFolder) {
            continue;
        }
        EXPECT_EQ(node->kind, EntryKind::Directory);  // listed or not, every folder was looked up
        EXPECT_NE(node->inode, 0U);
        listed += node->childs.empty() ? 0 : 1;
        EXPECT_EQ(node->iTotalSize, sum.size);
        EXPECT_EQ(node->iFileCount, sum.files);
        EXPECT_EQ(node->iFolderCount, sum.folders);
    }
    EXPECT_EQ(listed, 20);  // exactly the folders the delegate let through (none is empty)
    EXPECT_EQ(openDescriptors(), before);
}

}  // namespace
}  // namespace harbormind
