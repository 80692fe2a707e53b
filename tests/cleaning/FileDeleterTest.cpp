#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TempTree.h"
#include "cleaning/FileDeleter.h"
#include "cleaning/FolderScanner.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"

namespace harbormind {
namespace {

using test::TempTree;

FolderTreeNode* child(const FolderTreeNode* node, std::string_view name) {
    for (FolderTreeNode* candidate : node->childs) {
        if (candidate->strFolderName() == name) {
            return candidate;
        }
    }
    return nullptr;
}

void mark(FolderTreeNode* node, int status) {
    node->selectStatus = status;
    node->updateChildStatus();
    node->updateParentStatus(status);
}

// Every node left in the tree is still on disk, and the totals add up to what is left.
void expectTreeMatchesDisk(const FolderTreeNode* node) {
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(node->fullpath()))) << node->fullpath();
    std::int64_t size = 0;
    std::int64_t files = 0;
    std::int64_t folders = 0;
    for (const FolderTreeNode* c : node->childs) {
        expectTreeMatchesDisk(c);
        size += c->iTotalSize;
        files += c->isFolder ? c->iFileCount : 1;
        folders += c->isFolder ? c->iFolderCount + 1 : 0;
    }
    if (node->isFolder) {
        EXPECT_EQ(node->iTotalSize, size) << node->fullpath();
        EXPECT_EQ(node->iFileCount, files) << node->fullpath();
        EXPECT_EQ(node->iFolderCount, folders) << node->fullpath();
    }
}

class FileDeleterTest : public ::testing::Test {
protected:
    std::shared_ptr<FolderTreeNode> scan(const std::string& relative = {}) {
        return FolderScanner::scanPath(walker, tree.path(relative), {});
    }
    TempTree tree;
    LinuxDirectoryWalker walker;
    DMDeleteFaileRecord record;
    FileDeleter deleter{walker, record};
};

TEST_F(FileDeleterTest, MixedFolderLosesOnlyItsMarkedFile) {
    tree.file("top/d/gone", 10);
    tree.file("top/d/kept", 20);
    auto top = scan("top");
    FolderTreeNode* d = child(top.get(), "d");
    mark(child(d, "gone"), 0);
    EXPECT_EQ(top->selectStatus, -1);
    deleter.driveClearPass(top.get());

    EXPECT_FALSE(tree.exists("top/d/gone"));
    EXPECT_TRUE(tree.exists("top/d/kept"));
    EXPECT_EQ(d->iTotalSize, 20);
    EXPECT_EQ(top->iTotalSize, 20);
    EXPECT_EQ(top->selectStatus, 1);
    EXPECT_EQ(d->selectStatus, 1);
    EXPECT_EQ(record.iFileCount + record.iFolderCount, 0);
    expectTreeMatchesDisk(top.get());
}

TEST_F(FileDeleterTest, MarkedEmptyFolderIsRemovedAndWholeTopIsRemovedWhenAllowed) {
    tree.folder("top/empty");
    tree.file("top/a/b/c", 1);
    auto top = scan("top");
    mark(top.get(), 0);
    deleter.driveClearPass(top.get());
    EXPECT_FALSE(tree.exists("top"));
    EXPECT_TRUE(top->childs.empty());
    EXPECT_EQ(top->iFileCount + top->iFolderCount + top->iTotalSize, 0);
    EXPECT_EQ(record.iFolderCount, 0);
}

TEST_F(FileDeleterTest, EntryChangedAfterTheScanFailsAndItsFolderStays) {
    tree.file("top/d/a", 5);
    tree.file("top/d/b", 5);
    auto top = scan("top");
    FolderTreeNode* d = child(top.get(), "d");
    // "a" is replaced by another file, and a file the scan never saw appears in "d".
    tree.replaceWithFile("top/d/a", 5);
    tree.file("top/other", 1);
    mark(d, 0);
    deleter.driveClearPass(top.get());

    EXPECT_TRUE(tree.exists("top/d/a"));
    EXPECT_FALSE(tree.exists("top/d/b"));
    EXPECT_EQ(record.iFileCount, 1);
    EXPECT_EQ(record.iFolderCount, 0);  // "d" is not tried: it still has a descendant in the tree
    ASSERT_EQ(d->childs.size(), 1U);
    EXPECT_EQ(d->childs[0]->selectStatus, 1);
    EXPECT_EQ(d->selectStatus, 1);
    expectTreeMatchesDisk(top.get());
}

TEST_F(FileDeleterTest, FolderReplacedByALinkOutsideTheTreeIsNotFollowed) {
    tree.file("outside/precious", 7);
    tree.file("outside/inner/also", 7);
    tree.file("top/victim/precious", 7);
    tree.file("top/victim/inner/also", 7);
    tree.file("top/plain", 3);
    auto top = scan("top");
    mark(top.get(), 0);
    std::filesystem::remove_all(tree.path("top/victim"));
    tree.link("top/victim", tree.path("outside"));
    deleter.driveClearPass(top.get());

    EXPECT_TRUE(tree.exists("outside/precious"));
    EXPECT_TRUE(tree.exists("outside/inner/also"));
    EXPECT_TRUE(tree.exists("top/victim"));  // the link itself is not what was scanned either
    EXPECT_FALSE(tree.exists("top/plain"));
    EXPECT_EQ(record.iFolderCount, 1);  // the replaced folder; the top keeps it, so is not tried
    EXPECT_EQ(record.iFileCount, 0);
    expectTreeMatchesDisk(top.get());
}

TEST_F(FileDeleterTest, FileReplacedByALinkRemovesNeitherLinkNorTarget) {
    tree.file("outside/target", 7);
    tree.file("top/f", 7);
    auto top = scan("top");
    mark(top.get(), 0);
    std::filesystem::remove(tree.path("top/f"));
    tree.link("top/f", tree.path("outside/target"));
    deleter.driveClearPass(top.get());
    EXPECT_TRUE(tree.exists("outside/target"));
    EXPECT_TRUE(tree.exists("top/f"));
    EXPECT_EQ(record.iFileCount, 1);
}

TEST_F(FileDeleterTest, MountPointInsideTheTreeIsNotEntered) {
    tree.file("top/loose", 1);
    std::string mountPoint = tree.folder("top/mnt");
    if (std::system(("mount -t tmpfs -o size=1m hm-cleaning-test " + mountPoint + " 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "needs root to mount a tmpfs";
    }
    tree.file("top/mnt/other-drive", 9);
    auto top = scan("top");
    mark(top.get(), 0);
    deleter.driveClearPass(top.get());
    bool survived = tree.exists("top/mnt/other-drive");
    std::system(("umount " + mountPoint).c_str());
    EXPECT_TRUE(survived);
    EXPECT_FALSE(tree.exists("top/loose"));
    EXPECT_EQ(record.iFolderCount, 1);  // the mount point
    ASSERT_EQ(record.failures.size(), 1u);
    EXPECT_EQ(record.failures[0].path, mountPoint);
    EXPECT_EQ(record.failures[0].reason, "another drive is mounted there");
    EXPECT_FALSE(record.failures[0].top);
}

}  // namespace
}  // namespace harbormind

namespace harbormind {
namespace {

TEST_F(FileDeleterTest, DriveClearOfAMountedDriveEmptiesItAndCountsTheMountPoint) {
    std::string mountPoint = tree.folder("drive");
    if (std::system(("mount -t tmpfs -o size=1m hm-cleaning-test " + mountPoint + " 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "needs root to mount a tmpfs";
    }
    tree.file("drive/a/b", 4);
    tree.file("drive/c", 4);
    auto top = scan("drive");
    mark(top.get(), 0);
    deleter.driveClearPass(top.get());
    bool empty = std::filesystem::is_empty(mountPoint);
    std::system(("umount " + mountPoint).c_str());
    EXPECT_TRUE(empty);
    EXPECT_EQ(record.iFolderCount, 1);
    EXPECT_EQ(record.iFileCount, 0);
    // What went is counted; the drive's own top folder stays, marked as such, with its reason.
    EXPECT_EQ(record.deletedFiles, 2);
    EXPECT_EQ(record.deletedFolders, 1);
    EXPECT_EQ(record.deletedBytes, 8);
    ASSERT_EQ(record.failures.size(), 1u);
    EXPECT_TRUE(record.failures[0].top);
    EXPECT_EQ(record.failures[0].reason, "it is in use or a mount point");
    EXPECT_TRUE(top->childs.empty());
    EXPECT_EQ(top->selectStatus, 1);
}

}  // namespace
}  // namespace harbormind
