#pragma once

#include <cstdint>

namespace harbormind {

class FolderTreeNode;

// What is marked for deletion in a tree.
class SelectMessage {
public:
    std::int64_t totalSize = 0;
    std::int64_t folderCount = 0;
    std::int64_t fileCount = 0;

    // Counts the marks below and including `top`: a marked folder counts itself, its folders,
    // its files and its size without descending; a marked file counts itself and its size.
    static SelectMessage count(const FolderTreeNode* top);
};

}  // namespace harbormind
