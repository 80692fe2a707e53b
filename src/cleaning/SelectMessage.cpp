#include "cleaning/SelectMessage.h"

#include <vector>

#include "cleaning/FolderTreeNode.h"

namespace harbormind {

SelectMessage SelectMessage::count(const FolderTreeNode* top) {
    SelectMessage message;
    if (top == nullptr) {
        return message;
    }
    std::vector<const FolderTreeNode*> pending{top};
    while (!pending.empty()) {
        const FolderTreeNode* node = pending.back();
        pending.pop_back();
        if (node->selectStatus == FolderTreeNode::statusMarked) {
            if (node->isFolder) {
                // The junk tree's top is no folder on disk: it counts what it holds, not itself.
                bool counted = node->parent != nullptr || !node->strFolderName().empty();
                message.fileCount += node->iFileCount;
                message.folderCount += node->iFolderCount + (counted ? 1 : 0);
            } else {
                message.fileCount += 1;
            }
            message.totalSize += node->iTotalSize;
            continue;
        }
        pending.insert(pending.end(), node->childs.begin(), node->childs.end());
    }
    return message;
}

}  // namespace harbormind
