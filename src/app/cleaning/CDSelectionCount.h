#pragma once

#include "cleaning/SelectMessage.h"

namespace harbormind {

class FolderTreeNode;

// Counts what is marked below `top` without visiting kept subtrees: a kept folder has nothing
// marked below it (its status is that of its children), and the deletion pass skips it too, so
// the count matches what would be deleted. Each marked entry is counted by SelectMessage's rule.
// Unmarking the top of a tree of millions of entries is thus counted at once.
class CDSelectionCount {
public:
    static SelectMessage marked(const FolderTreeNode* top);
};

}  // namespace harbormind
