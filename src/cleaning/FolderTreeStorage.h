#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "cleaning/FolderTreeNode.h"

namespace harbormind {

// Owns the nodes of one tree and their names. Nodes and names are carved out of large blocks,
// so a scan of a million entries makes a few hundred allocations instead of millions, and all
// of it is released at once with the storage. A view keeps a tree alive through a
// shared_ptr to its top node that shares ownership of the storage.
class FolderTreeStorage {
public:
    FolderTreeStorage();
    ~FolderTreeStorage();
    FolderTreeStorage(const FolderTreeStorage&) = delete;
    FolderTreeStorage& operator=(const FolderTreeStorage&) = delete;

    // A new node whose name is copied into the storage.
    FolderTreeNode* makeNode(std::string_view name);
    std::string_view storeName(std::string_view name);
    std::size_t nodeCount() const { return nodeCount_; }

    // A shared handle on `node` that keeps the whole storage alive.
    static std::shared_ptr<FolderTreeNode> share(const std::shared_ptr<FolderTreeStorage>& storage,
                                                 FolderTreeNode* node);

private:
    static constexpr std::size_t nodesPerBlock = 4096;
    static constexpr std::size_t nameBlockSize = 256 * 1024;

    struct NodeBlock;
    std::vector<std::unique_ptr<NodeBlock>> nodeBlocks_;
    std::size_t usedInLastBlock_ = nodesPerBlock;
    std::size_t nodeCount_ = 0;

    std::vector<std::unique_ptr<char[]>> nameBlocks_;
    std::size_t nameBlockUsed_ = nameBlockSize;
};

}  // namespace harbormind
