#include "cleaning/NodeList.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>

namespace harbormind {

NodeList::~NodeList() {
    release();
}

void NodeList::release() {
    if (capacity_ != 0) {
        std::free(data_);
    }
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

void NodeList::adopt(FolderTreeNode** places, std::size_t count) {
    release();
    data_ = places;
    size_ = static_cast<std::uint32_t>(count);
}

void NodeList::reserveOwned(std::size_t capacity) {
    if (capacity > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("too many children");
    }
    auto* grown = static_cast<FolderTreeNode**>(std::malloc(capacity * sizeof(FolderTreeNode*)));
    if (grown == nullptr) {
        throw std::bad_alloc();
    }
    std::copy(begin(), end(), grown);
    if (capacity_ != 0) {
        std::free(data_);
    }
    data_ = grown;
    capacity_ = static_cast<std::uint32_t>(capacity);
}

void NodeList::assign(std::size_t count, FolderTreeNode* value) {
    size_ = 0;
    if (count > capacity_) {
        reserveOwned(count);
    }
    std::fill(data_, data_ + count, value);
    size_ = static_cast<std::uint32_t>(count);
}

void NodeList::push_back(FolderTreeNode* node) {
    if (size_ == capacity_ || capacity_ == 0) {
        reserveOwned(std::max<std::size_t>(4, std::size_t{size_} * 2));
    }
    data_[size_++] = node;
}

NodeList::iterator NodeList::erase(const_iterator position) {
    auto index = static_cast<std::size_t>(position - data_);
    std::copy(data_ + index + 1, end(), data_ + index);
    --size_;
    return data_ + index;
}

FolderTreeNode*& NodeList::at(std::size_t index) {
    if (index >= size_) {
        throw std::out_of_range("no such child");
    }
    return data_[index];
}

FolderTreeNode* NodeList::at(std::size_t index) const {
    if (index >= size_) {
        throw std::out_of_range("no such child");
    }
    return data_[index];
}

}  // namespace harbormind

