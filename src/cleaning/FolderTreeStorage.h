#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "cleaning/FolderTreeNode.h"

namespace harbormind {

// Owns the nodes of one tree, their names and their child arrays. All are carved out of large
// blocks,
// so a scan of a million entries makes a few hundred allocations instead of millions, and all
// of it is released at once with the storage. A view keeps a tree alive through a
// shared_ptr to its top node that shares ownership of the storage.
class FolderTreeStorage {
public:
    FolderTreeStorage();
    ~FolderTreeStorage();
    FolderTreeStorage(const FolderTreeStorage&) = delete;
    FolderTreeStorage& operator=(const FolderTreeStorage&) = delete;

    // A stored name starts with its length in one byte; this mark in that byte says the length
    // follows in four bytes instead.
    static constexpr unsigned char longNameMark = 255;

    // A new node whose name is copied into the storage.
    FolderTreeNode* makeNode(std::string_view name);
    // Room for `count` child pointers, released with the storage.
    FolderTreeNode** makeChildPlaces(std::size_t count);
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

    const char* storeName(std::string_view name);
    char* carve(std::size_t bytes);

    std::vector<std::unique_ptr<char[]>> nameBlocks_;
    std::size_t nameBlockUsed_ = nameBlockSize;

    static constexpr std::size_t placesPerBlock = 16384;
    std::vector<std::unique_ptr<FolderTreeNode*[]>> placeBlocks_;
    std::size_t placesUsed_ = placesPerBlock;
};

}  // namespace harbormind
