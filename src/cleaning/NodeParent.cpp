#include "cleaning/NodeParent.h"

#include <stdexcept>

#include "cleaning/FolderTreeStorage.h"

namespace harbormind {

NodeParent& NodeParent::operator=(FolderTreeNode* node) {
    if (node != nullptr && &FolderTreeStorage::of(node) != &FolderTreeStorage::of(this)) {
        throw std::invalid_argument("a parent from another tree");
    }
    // An entry that reads its device from its folder keeps the one it had when it moves.
    FolderTreeNode* self = FolderTreeStorage::nodeContaining(this);
    std::uint64_t device = self->device;
    number_ = FolderTreeStorage::numberOf(node);
    self->device = device;
    return *this;
}

FolderTreeNode* NodeParent::get() const {
    if (number_ == FolderTreeStorage::noNode) {
        return nullptr;
    }
    return FolderTreeStorage::of(this).node(number_);
}

}  // namespace harbormind
