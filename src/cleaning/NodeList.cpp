#include "cleaning/NodeList.h"

#include <limits>
#include <stdexcept>

#include "cleaning/FolderTreeStorage.h"

namespace harbormind {

FolderTreeNode* NodeList::iterator::operator*() const {
    if (numbers_ != nullptr) {
        return storage_->node(numbers_[index_]);
    }
    return first_ + index_;
}

void NodeList::setReference(std::uint32_t reference) {
    referenceLow_ = static_cast<std::uint16_t>(reference);
    referenceHigh_ = static_cast<std::uint16_t>(reference >> 16);
}

void NodeList::setSideBySide(std::uint32_t first, std::size_t count) {
    setReference(first);
    count_ = static_cast<std::uint16_t>(count);
}

void NodeList::setNumbered(std::uint32_t list) {
    setReference(list);
    count_ = numbered;
}

std::size_t NodeList::size() const {
    if (count_ != numbered) {
        return count_;
    }
    return FolderTreeStorage::of(this).childNumbers(reference()).size();
}

NodeList::iterator NodeList::begin() const {
    iterator it;
    if (count_ == numbered) {
        FolderTreeStorage& storage = FolderTreeStorage::of(this);
        it.storage_ = &storage;
        it.numbers_ = storage.childNumbers(reference()).data();
    } else if (count_ != 0) {
        it.first_ = FolderTreeStorage::of(this).node(reference());
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

void NodeList::makeNumbered(FolderTreeStorage& storage) {
    if (count_ == numbered) {
        return;
    }
    std::uint32_t list = storage.makeChildNumbers();
    FolderTreeStorage::ChildNumbers& numbers = storage.childNumbers(list);
    numbers.reserve(count_);
    for (std::uint32_t i = 0; i < count_; ++i) {
        numbers.push_back(reference() + i);  // side by side in one block: consecutive numbers
    }
    setNumbered(list);
}

void NodeList::push_back(FolderTreeNode* node) {
    FolderTreeStorage& storage = FolderTreeStorage::of(this);
    if (&FolderTreeStorage::of(node) != &storage) {
        throw std::invalid_argument("a child from another tree");
    }
    makeNumbered(storage);
    FolderTreeStorage::ChildNumbers& numbers = storage.childNumbers(reference());
    if (numbers.size() == std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("too many children");
    }
    numbers.push_back(FolderTreeStorage::numberOf(node));
}

NodeList::iterator NodeList::erase(const_iterator position) {
    auto index = static_cast<std::size_t>(position - begin());
    if (count_ != numbered && index + 1 == count_) {
        --count_;
    } else if (count_ != numbered && index == 0) {
        setSideBySide(reference() + 1, count_ - 1u);
    } else {
        FolderTreeStorage& storage = FolderTreeStorage::of(this);
        makeNumbered(storage);
        FolderTreeStorage::ChildNumbers& numbers = storage.childNumbers(reference());
        numbers.erase(numbers.begin() + static_cast<std::ptrdiff_t>(index));
    }
    return begin() + static_cast<iterator::difference_type>(index);
}

void NodeList::clear() {
    if (count_ == numbered) {
        FolderTreeStorage::of(this).childNumbers(reference()).clear();
    } else {
        count_ = 0;
    }
}

}  // namespace harbormind
