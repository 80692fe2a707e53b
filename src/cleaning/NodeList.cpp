#include "cleaning/NodeList.h"

#include <limits>
#include <stdexcept>

#include "cleaning/FolderTreeStorage.h"
#include "cleaning/NodeRecord.h"

namespace harbormind {

FolderTreeNode* NodeList::iterator::operator*() const {
    if (numbers_ != nullptr) {
        return storage_->node(numbers_[index_]);
    }
    return first_ + index_;
}

NodeRecord* NodeList::record() const {
    return FolderTreeStorage::recordOf(FolderTreeStorage::nodeContaining(this));
}

void NodeList::setSideBySide(std::uint32_t first, std::size_t count) {
    NodeRecord* own = record();
    if (own == nullptr) {
        if (count == 0) {
            return;
        }
        throw std::logic_error("an entry that is no folder has no children");
    }
    own->children = first;
    own->count = static_cast<std::uint32_t>(count);
}

void NodeList::setNumbered(std::uint32_t list) {
    NodeRecord* own = record();
    if (own == nullptr) {
        throw std::logic_error("an entry that is no folder has no children");
    }
    own->children = list;
    own->count = NodeRecord::numbered;
}

std::size_t NodeList::size() const {
    const NodeRecord* own = record();
    if (own == nullptr) {
        return 0;
    }
    if (own->count != NodeRecord::numbered) {
        return own->count;
    }
    return FolderTreeStorage::of(this).childNumbers(own->children).size();
}

NodeList::iterator NodeList::begin() const {
    iterator it;
    const NodeRecord* own = record();
    if (own == nullptr || own->count == 0) {
        return it;
    }
    if (own->count == NodeRecord::numbered) {
        FolderTreeStorage& storage = FolderTreeStorage::of(this);
        it.storage_ = &storage;
        it.numbers_ = storage.childNumbers(own->children).data();
    } else {
        it.first_ = FolderTreeStorage::of(this).node(own->children);
    }
    return it;
}

NodeList::iterator NodeList::end() const {
    iterator it = begin();
    it.index_ = static_cast<iterator::difference_type>(size());
    return it;
}

FolderTreeNode* NodeList::at(std::size_t index) const {
    if (index >= size()) {
        throw std::out_of_range("no such child");
    }
    return (*this)[index];
}

void NodeList::makeNumbered(FolderTreeStorage& storage, NodeRecord& record) {
    if (record.count == NodeRecord::numbered) {
        return;
    }
    std::uint32_t list = storage.makeChildNumbers();
    FolderTreeStorage::ChildNumbers& numbers = storage.childNumbers(list);
    std::uint32_t first = record.children;
    std::uint32_t count = record.count;
    numbers.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        numbers.push_back(first + i);  // side by side in one block: consecutive numbers
    }
    record.children = list;
    record.count = NodeRecord::numbered;
}

void NodeList::push_back(FolderTreeNode* node) {
    FolderTreeStorage& storage = FolderTreeStorage::of(this);
    if (&FolderTreeStorage::of(node) != &storage) {
        throw std::invalid_argument("a child from another tree");
    }
    NodeRecord* own = record();
    if (own == nullptr) {
        throw std::logic_error("an entry that is no folder has no children");
    }
    makeNumbered(storage, *own);
    FolderTreeStorage::ChildNumbers& numbers = storage.childNumbers(own->children);
    if (numbers.size() == std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("too many children");
    }
    numbers.push_back(FolderTreeStorage::numberOf(node));
}

NodeList::iterator NodeList::erase(const_iterator position) {
    auto index = static_cast<std::size_t>(position - begin());
    NodeRecord* own = record();
    if (own->count != NodeRecord::numbered && index + 1 == own->count) {
        --own->count;
    } else if (own->count != NodeRecord::numbered && index == 0) {
        ++own->children;
        --own->count;
    } else {
        FolderTreeStorage& storage = FolderTreeStorage::of(this);
        makeNumbered(storage, *own);
        FolderTreeStorage::ChildNumbers& numbers = storage.childNumbers(own->children);
        numbers.erase(numbers.begin() + static_cast<std::ptrdiff_t>(index));
    }
    return begin() + static_cast<iterator::difference_type>(index);
}

void NodeList::clear() {
    NodeRecord* own = record();
    if (own == nullptr) {
        return;
    }
    if (own->count == NodeRecord::numbered) {
        FolderTreeStorage::of(this).childNumbers(own->children).clear();
    } else {
        own->count = 0;
    }
}

}  // namespace harbormind
