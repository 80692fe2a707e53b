#pragma once

#include <cstdint>

namespace harbormind {

class FolderTreeNode;

// A node's parent, used like a pointer to it. It holds the parent's 32-bit number in the tree's
// storage rather than an address, and lives only inside a node (it finds the storage from its own
// address), so it can be neither copied nor made on its own: read it into a FolderTreeNode*.
class NodeParent {
public:
    NodeParent(const NodeParent&) = delete;
    NodeParent& operator=(const NodeParent& other) { return *this = other.get(); }
    // `node` must belong to the same storage as this node, or be null.
    NodeParent& operator=(FolderTreeNode* node);

    FolderTreeNode* get() const;
    operator FolderTreeNode*() const { return get(); }  // NOLINT: reads as the pointer it stands for
    FolderTreeNode* operator->() const { return get(); }
    FolderTreeNode& operator*() const { return *get(); }

private:
    friend class FolderTreeNode;
    friend class FolderTreeStorage;
    NodeParent() = default;

    std::uint32_t number_ = ~std::uint32_t{0};  // none
};

}  // namespace harbormind
