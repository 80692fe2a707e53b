#pragma once

#include <cstdint>

namespace harbormind {

class FolderTreeNode;

enum class NodeCountKind { Files, Folders };

// One of a node's counts of descendants, used like the integer it stands for. It takes no room in
// the node: a folder keeps its counts in its record in the tree's storage, found from the count's
// own address, and an entry that is no folder counts nothing (setting it to anything but 0 throws
// std::logic_error). Lives only inside a node, so it can be neither copied nor made on its own.
template <NodeCountKind Kind>
class NodeCount {
public:
    NodeCount(const NodeCount&) = delete;
    NodeCount& operator=(const NodeCount& other) { return *this = other.get(); }
    NodeCount& operator=(std::int64_t value);
    NodeCount& operator+=(std::int64_t change) { return *this = get() + change; }
    NodeCount& operator-=(std::int64_t change) { return *this = get() - change; }

    std::int32_t get() const;
    operator std::int32_t() const { return get(); }  // NOLINT: reads as the count it stands for

private:
    friend class FolderTreeNode;
    NodeCount() = default;
};

extern template class NodeCount<NodeCountKind::Files>;
extern template class NodeCount<NodeCountKind::Folders>;

}  // namespace harbormind
