#pragma once

#include <string_view>
#include <vector>

namespace harbormind {

class FolderTreeNode;

// The orders a folder's children can be shown in. The tree itself keeps scan order.
enum class SortType : int {
    fileNameOrder = 0,
    fileReverseOrder = 1,
    sizeOrder = 2,
    sizeReverseOrder = 3,
    dateOrder = 4,
    dateReverseOrder = 5,
    noSort = 6,
};

// The children of `node` in `order`; ties keep scan order.
std::vector<FolderTreeNode*> sortedChilds(const FolderTreeNode& node, SortType order);

// The order after a click on the header of the column `columnIdentifier`; an unknown column
// leaves the order unchanged.
SortType sortTypeAfterHeaderClick(SortType current, std::string_view columnIdentifier);

}  // namespace harbormind
