#include "cleaning/NodeParent.h"

#include <stdexcept>

#include "cleaning/FolderTreeStorage.h"

namespace harbormind {

NodeParent& NodeParent::operator=(FolderTreeNode* node) {
    if (node != nullptr && &FolderTreeStorage::of(node) != &FolderTreeStorage::of(this)) {
        throw std::invalid_argument("a parent from another tree");
    }
    number_ = FolderTreeStorage::numberOf(node);
    return *this;
}

FolderTreeNode* NodeParent::get() const {
    if (number_ == FolderTreeStorage::noNode) {
        return nullptr;
    }
    return FolderTreeStorage::of(this).node(number_);
}

}  // namespace harbormind
