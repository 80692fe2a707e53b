#pragma once

#include <cstdint>

namespace harbormind {

// A node's device number, used like the number. It takes no room in the node: a folder keeps it
// in its record in the tree's storage, and any other entry reads its folder's, unless it was
// given another one (then kept beside the nodes). Lives only inside a node, so it can be neither
// copied nor made on its own.
class NodeDevice {
public:
    NodeDevice(const NodeDevice&) = delete;
    NodeDevice& operator=(const NodeDevice& other) { return *this = other.get(); }
    NodeDevice& operator=(std::uint64_t device);

    std::uint64_t get() const;
    operator std::uint64_t() const { return get(); }  // NOLINT: reads as the number it stands for

private:
    friend class FolderTreeNode;
    NodeDevice() = default;
};

}  // namespace harbormind
