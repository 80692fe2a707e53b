#include "app/cleaning/CDSelectionCount.h"

#include <vector>

#include "cleaning/FolderTreeNode.h"

namespace harbormind {

SelectMessage CDSelectionCount::marked(const FolderTreeNode* top) {
    SelectMessage total;
    if (top == nullptr) {
        return total;
    }
    std::vector<const FolderTreeNode*> pending{top};
    while (!pending.empty()) {
        const FolderTreeNode* node = pending.back();
        pending.pop_back();
        if (node->selectStatus == FolderTreeNode::statusMarked) {
            SelectMessage part = SelectMessage::count(node);
            total.totalSize += part.totalSize;
            total.folderCount += part.folderCount;
            total.fileCount += part.fileCount;
        } else if (node->selectStatus == FolderTreeNode::statusMixed) {
            pending.insert(pending.end(), node->childs.begin(), node->childs.end());
        }
    }
    return total;
}

}  // namespace harbormind
