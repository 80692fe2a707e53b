#include <gtest/gtest.h>

#include "cleaning/FolderTreeNode.h"
#include "cleaning/FolderTreeStorage.h"
#include "cleaning/SelectMessage.h"
#include "cleaning/SortType.h"

namespace harbormind {
namespace {

class FolderTreeNodeTest : public ::testing::Test {
protected:
    FolderTreeNode* node(std::string_view name, FolderTreeNode* parent, bool folder = true, std::int64_t size = 0) {
        FolderTreeNode* made = storage.makeNode(name);
        made->isFolder = folder;
        made->iTotalSize = folder ? 0 : size;
        if (parent != nullptr) {
            made->parent = parent;
            parent->childs.push_back(made);
            made->updateParent(folder, made->iTotalSize, TotalsChange::Add);
        }
        return made;
    }
    FolderTreeStorage storage;
};

TEST_F(FolderTreeNodeTest, FullPathJoinsAncestorNamesAndUnnamedAncestorsGiveEmptyParts) {
    FolderTreeNode* top = node("/Users/x", nullptr);
    FolderTreeNode* b = node("b", node("a", top));
    EXPECT_EQ(b->getFolderFullPath(), "/Users/x/a/b");
    EXPECT_EQ(b->fullpath(), "/Users/x/a/b");

    FolderTreeNode* unnamed = node("", nullptr);
    EXPECT_EQ(node("c", node("cat", unnamed))->getFolderFullPath(), "/cat/c");

    // A node with a stored path anchors its descendants' paths, whatever its parent is.
    FolderTreeNode* moved = node("Moved", node("category", unnamed));
    moved->setFullpath("/home/u/.cache/Moved");
    EXPECT_EQ(node("f", moved, false)->fullpath(), "/home/u/.cache/Moved/f");
}

TEST_F(FolderTreeNodeTest, TotalsGrowAndShrinkInEveryAncestor) {
    FolderTreeNode* top = node("top", nullptr);
    FolderTreeNode* a = node("a", top);
    FolderTreeNode* f = node("f", a, false, 10);
    node("s", a);
    EXPECT_EQ(top->iTotalSize, 10);
    EXPECT_EQ(top->iFileCount, 1);
    EXPECT_EQ(top->iFolderCount, 2);
    EXPECT_EQ(a->iFolderCount, 1);
    f->updateParent(false, 10, TotalsChange::Remove);
    EXPECT_EQ(top->iTotalSize, 0);
    EXPECT_EQ(top->iFileCount, 0);
    EXPECT_EQ(f->iTotalSize, 10);  // the node itself is unchanged
}

TEST_F(FolderTreeNodeTest, SelectionStatusesFollowChildren) {
    FolderTreeNode* top = node("top", nullptr);
    FolderTreeNode* a = node("a", top, false, 1);
    FolderTreeNode* b = node("b", top, false, 2);
    a->selectStatus = 0;
    a->updateChildStatus();
    a->updateParentStatus(0);
    EXPECT_EQ(top->selectStatus, -1);
    EXPECT_EQ(FolderTreeNode::getNodeSelectStatus(top), -1);

    top->selectStatus = 0;
    top->updateChildStatus();
    EXPECT_EQ(a->selectStatus, 0);
    EXPECT_EQ(b->selectStatus, 0);

    // One child: that child's status; none: the node's own.
    FolderTreeNode* single = node("single", nullptr);
    FolderTreeNode* only = node("only", single, false);
    only->selectStatus = 0;
    EXPECT_EQ(FolderTreeNode::getNodeSelectStatus(single), 0);
    EXPECT_EQ(FolderTreeNode::getNodeSelectStatus(only), 0);
}

TEST_F(FolderTreeNodeTest, SelectionCountStopsAtMarkedFolders) {
    FolderTreeNode* top = node("", nullptr);
    FolderTreeNode* cat = node("cat", top);
    node("x", node("dir", cat), false, 100);
    FolderTreeNode* other = node("other", top);
    FolderTreeNode* loose = node("loose", other, false, 7);
    node("kept", other, false, 9);
    cat->selectStatus = 0;
    cat->updateChildStatus();
    loose->selectStatus = 0;
    SelectMessage message = SelectMessage::count(top);
    EXPECT_EQ(message.folderCount, 2);  // cat itself and dir
    EXPECT_EQ(message.fileCount, 2);
    EXPECT_EQ(message.totalSize, 107);
}

TEST_F(FolderTreeNodeTest, SortsAreStableAndHeaderClicksToggle) {
    FolderTreeNode* top = node("top", nullptr);
    FolderTreeNode* b1 = node("b", top, false, 5);
    FolderTreeNode* a = node("a", top, false, 5);
    FolderTreeNode* b2 = node("b", top, false, 9);
    a->setModificationDate("2024-01-02 10:00:00");
    b2->setModificationDate("2023-12-31 23:59:59");
    using V = std::vector<FolderTreeNode*>;
    EXPECT_EQ(sortedChilds(*top, SortType::fileNameOrder), (V{a, b1, b2}));
    EXPECT_EQ(sortedChilds(*top, SortType::fileReverseOrder), (V{b1, b2, a}));
    EXPECT_EQ(sortedChilds(*top, SortType::sizeOrder), (V{b2, b1, a}));
    EXPECT_EQ(sortedChilds(*top, SortType::sizeReverseOrder), (V{b1, a, b2}));
    EXPECT_EQ(sortedChilds(*top, SortType::dateOrder), (V{b1, b2, a}));  // undated rows first, in scan order
    EXPECT_EQ(sortedChilds(*top, SortType::noSort), (V{b1, a, b2}));

    EXPECT_EQ(sortTypeAfterHeaderClick(SortType::noSort, "fileName"), SortType::fileNameOrder);
    EXPECT_EQ(sortTypeAfterHeaderClick(SortType::fileNameOrder, "fileName"), SortType::fileReverseOrder);
    EXPECT_EQ(sortTypeAfterHeaderClick(SortType::fileReverseOrder, "fileName"), SortType::fileNameOrder);
    EXPECT_EQ(sortTypeAfterHeaderClick(SortType::sizeOrder, "fileSize"), SortType::sizeReverseOrder);
    EXPECT_EQ(sortTypeAfterHeaderClick(SortType::fileNameOrder, "fileModificationDate"), SortType::dateOrder);
    EXPECT_EQ(sortTypeAfterHeaderClick(SortType::dateOrder, "fileModificationDate"), SortType::dateReverseOrder);
}

}  // namespace
}  // namespace harbormind
