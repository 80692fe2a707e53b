#include <gtest/gtest.h>

#include <stdexcept>
#include <string_view>
#include <vector>

#include "cleaning/FolderTreeStorage.h"

namespace harbormind {
namespace {

// A folder with two sub-folders and three files, made as a scan makes it: only the sub-folders
// get a record.
struct ScannedFolder {
    FolderTreeStorage storage;
    FolderTreeNode* top = storage.makeNode("/top");
    std::vector<FolderTreeNode*> children;

    ScannedFolder() {
        std::vector<std::string_view> names{"d1", "d0", "a", "b", "c"};
        storage.makeChildren(top, names, 2);
        children.assign(top->childs.begin(), top->childs.end());
    }
};

TEST(FolderRecordTest, OnlyFoldersKeepChildrenAndCountsAndEveryNameReadsBack) {
    ScannedFolder tree;
    ASSERT_EQ(tree.children.size(), 5U);
    std::vector<std::string_view> names;
    for (const FolderTreeNode* child : tree.children) {
        names.push_back(child->strFolderName());
        EXPECT_EQ(child->parent, tree.top);
    }
    EXPECT_EQ(names, (std::vector<std::string_view>{"d1", "d0", "a", "b", "c"}));

    FolderTreeNode* folder = tree.children[0];
    FolderTreeNode* file = tree.children[2];
    folder->iFileCount += 3;
    folder->iFolderCount = 2;
    folder->iFolderCount -= 1;
    EXPECT_EQ(folder->iFileCount, 3);
    EXPECT_EQ(folder->iFolderCount, 1);
    EXPECT_EQ(tree.children[1]->iFileCount, 0) << "each folder has its own record";

    // A file counts nothing and has no children; asking it to is a fault, not a silent loss.
    file->iFileCount = 0;
    EXPECT_EQ(file->iFileCount, 0);
    EXPECT_TRUE(file->childs.empty());
    EXPECT_THROW(file->iFileCount += 1, std::logic_error);
    EXPECT_THROW(file->childs.push_back(tree.children[3]), std::logic_error);
    folder->childs.push_back(tree.children[3]);
    EXPECT_EQ(folder->childs.size(), 1U);
    EXPECT_EQ(sizeof(FolderTreeNode), 24U);
}

TEST(FolderRecordTest, AFileReadsItsFolderDeviceUnlessGivenItsOwnAndKeepsItWhenMoved) {
    ScannedFolder tree;
    FolderTreeNode* folder = tree.children[0];
    FolderTreeNode* file = tree.children[2];
    FolderTreeNode* mountedOver = tree.children[3];
    tree.top->device = 0x801;
    folder->device = 0x802;
    EXPECT_EQ(file->device, 0x801U);
    EXPECT_EQ(folder->device, 0x802U);
    file->device = 0x801;  // the folder's: nothing kept of its own
    mountedOver->device = 0x803;
    tree.top->device = 0x804;
    EXPECT_EQ(file->device, 0x804U) << "a file follows its folder";
    EXPECT_EQ(mountedOver->device, 0x803U) << "a file on another device keeps its own";

    // Moved under a folder on another device (as junk entries shown under their category are),
    // a file keeps the device it had.
    file->parent = folder;
    EXPECT_EQ(file->device, 0x804U);
    file->parent = nullptr;
    EXPECT_EQ(file->device, 0x804U);
}

}  // namespace
}  // namespace harbormind
