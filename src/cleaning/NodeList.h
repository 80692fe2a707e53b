#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace harbormind {

class FolderTreeNode;

// The children of a node, used like a vector of node pointers. A scan hands it an array carved
// out of the tree's storage with exactly as many places as there are children; the list takes
// an allocation of its own only when it grows past that.
class NodeList {
public:
    using value_type = FolderTreeNode*;
    using iterator = FolderTreeNode**;
    using const_iterator = FolderTreeNode* const*;
    using reverse_iterator = std::reverse_iterator<iterator>;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;

    NodeList() = default;
    ~NodeList();
    NodeList(const NodeList&) = delete;
    NodeList& operator=(const NodeList&) = delete;

    // Uses `places` (owned by someone else, alive as long as this list) for `count` children.
    void adopt(FolderTreeNode** places, std::size_t count);
    void assign(std::size_t count, FolderTreeNode* value);
    void push_back(FolderTreeNode* node);
    iterator erase(const_iterator position);
    void clear() { size_ = 0; }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    iterator begin() { return data_; }
    iterator end() { return data_ + size_; }
    const_iterator begin() const { return data_; }
    const_iterator end() const { return data_ + size_; }
    reverse_iterator rbegin() { return reverse_iterator(end()); }
    reverse_iterator rend() { return reverse_iterator(begin()); }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }
    FolderTreeNode*& operator[](std::size_t index) { return data_[index]; }
    FolderTreeNode* operator[](std::size_t index) const { return data_[index]; }
    FolderTreeNode*& at(std::size_t index);
    FolderTreeNode* at(std::size_t index) const;
    FolderTreeNode*& front() { return data_[0]; }
    FolderTreeNode* front() const { return data_[0]; }
    FolderTreeNode*& back() { return data_[size_ - 1]; }
    FolderTreeNode* back() const { return data_[size_ - 1]; }

private:
    void release();
    void reserveOwned(std::size_t capacity);

    FolderTreeNode** data_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;  // 0 while the places are adopted (or there are none)
};

}  // namespace harbormind
