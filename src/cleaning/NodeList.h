#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace harbormind {

class FolderTreeNode;
class FolderTreeStorage;
struct NodeRecord;

// The children of a node, used like a vector of node pointers. A scan makes a folder's children
// side by side in the tree's storage, so the list is just the first child's number and a count,
// kept in the folder's record; a list that is changed in the middle, grown, or too long for one
// storage block becomes a list of child numbers kept by the storage. It takes no room in the node
// (it finds the node and its record from its own address), so it can be neither copied nor made
// on its own. An entry without a record (one listed as no folder) has no children, and adding one
// throws std::logic_error.
class NodeList {
public:
    // Yields the children as FolderTreeNode* values.
    class iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using iterator_concept = std::random_access_iterator_tag;
        using value_type = FolderTreeNode*;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = FolderTreeNode*;

        iterator() = default;
        FolderTreeNode* operator*() const;
        FolderTreeNode* operator[](difference_type offset) const { return *(*this + offset); }
        iterator& operator++() { return *this += 1; }
        iterator operator++(int) { iterator before = *this; ++*this; return before; }
        iterator& operator--() { return *this -= 1; }
        iterator operator--(int) { iterator before = *this; --*this; return before; }
        iterator& operator+=(difference_type offset) { index_ += offset; return *this; }
        iterator& operator-=(difference_type offset) { index_ -= offset; return *this; }
        friend iterator operator+(iterator it, difference_type offset) { return it += offset; }
        friend iterator operator+(difference_type offset, iterator it) { return it += offset; }
        friend iterator operator-(iterator it, difference_type offset) { return it -= offset; }
        friend difference_type operator-(const iterator& a, const iterator& b) { return a.index_ - b.index_; }
        friend bool operator==(const iterator& a, const iterator& b) { return a.index_ == b.index_; }
        friend auto operator<=>(const iterator& a, const iterator& b) { return a.index_ <=> b.index_; }

    private:
        friend class NodeList;
        FolderTreeNode* first_ = nullptr;            // children side by side: the first of them
        const std::uint32_t* numbers_ = nullptr;     // otherwise the numbers of the children
        const FolderTreeStorage* storage_ = nullptr;
        difference_type index_ = 0;
    };
    using value_type = FolderTreeNode*;
    using const_iterator = iterator;
    using reverse_iterator = std::reverse_iterator<iterator>;
    using const_reverse_iterator = reverse_iterator;

    NodeList(const NodeList&) = delete;
    NodeList& operator=(const NodeList&) = delete;

    std::size_t size() const;
    bool empty() const { return size() == 0; }
    iterator begin() const;
    iterator end() const;
    reverse_iterator rbegin() const { return reverse_iterator(end()); }
    reverse_iterator rend() const { return reverse_iterator(begin()); }
    FolderTreeNode* operator[](std::size_t index) const { return begin()[static_cast<std::ptrdiff_t>(index)]; }
    FolderTreeNode* at(std::size_t index) const;
    FolderTreeNode* front() const { return (*this)[0]; }
    FolderTreeNode* back() const { return (*this)[size() - 1]; }

    // `node` must belong to the same storage as this list's node.
    void push_back(FolderTreeNode* node);
    iterator erase(const_iterator position);
    void clear();

private:
    friend class FolderTreeNode;
    friend class FolderTreeStorage;
    NodeList() = default;

    NodeRecord* record() const;
    // The children are the `count` nodes numbered from `first` (all in one block).
    void setSideBySide(std::uint32_t first, std::size_t count);
    // The children are those of the storage's child list `list`.
    void setNumbered(std::uint32_t list);
    // The record's list as child numbers kept by the storage.
    static void makeNumbered(FolderTreeStorage& storage, NodeRecord& record);
};

}  // namespace harbormind
