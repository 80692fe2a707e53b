#include "cleaning/SortType.h"

#include <algorithm>

#include "cleaning/CleaningTexts.h"
#include "cleaning/FolderTreeNode.h"

namespace harbormind {

std::vector<FolderTreeNode*> sortedChilds(const FolderTreeNode& node, SortType order) {
    std::vector<FolderTreeNode*> children(node.childs.begin(), node.childs.end());
    auto sortBy = [&children](auto less) { std::stable_sort(children.begin(), children.end(), less); };
    switch (order) {
    case SortType::fileNameOrder:
        sortBy([](const FolderTreeNode* a, const FolderTreeNode* b) { return a->strFolderName() < b->strFolderName(); });
        break;
    case SortType::fileReverseOrder:
        sortBy([](const FolderTreeNode* a, const FolderTreeNode* b) { return a->strFolderName() > b->strFolderName(); });
        break;
    case SortType::sizeOrder:
        sortBy([](const FolderTreeNode* a, const FolderTreeNode* b) { return a->iTotalSize > b->iTotalSize; });
        break;
    case SortType::sizeReverseOrder:
        sortBy([](const FolderTreeNode* a, const FolderTreeNode* b) { return a->iTotalSize < b->iTotalSize; });
        break;
    case SortType::dateOrder:
        sortBy([](const FolderTreeNode* a, const FolderTreeNode* b) { return a->ModificationDate() < b->ModificationDate(); });
        break;
    case SortType::dateReverseOrder:
        sortBy([](const FolderTreeNode* a, const FolderTreeNode* b) { return a->ModificationDate() > b->ModificationDate(); });
        break;
    case SortType::noSort:
        break;
    }
    return children;
}

SortType sortTypeAfterHeaderClick(SortType current, std::string_view columnIdentifier) {
    if (columnIdentifier == CleaningTexts::columnFileName) {
        return current == SortType::fileNameOrder ? SortType::fileReverseOrder : SortType::fileNameOrder;
    }
    if (columnIdentifier == CleaningTexts::columnFileSize) {
        return current == SortType::sizeOrder ? SortType::sizeReverseOrder : SortType::sizeOrder;
    }
    if (columnIdentifier == CleaningTexts::columnFileModificationDate) {
        return current == SortType::dateOrder ? SortType::dateReverseOrder : SortType::dateOrder;
    }
    return current;
}

}  // namespace harbormind
