#include "cleaning/FolderTreeStorage.h"

#include <cstring>
#include <new>

namespace harbormind {

struct FolderTreeStorage::NodeBlock {
    alignas(FolderTreeNode) unsigned char bytes[sizeof(FolderTreeNode) * nodesPerBlock];
    FolderTreeNode* at(std::size_t index) {
        return std::launder(reinterpret_cast<FolderTreeNode*>(bytes + index * sizeof(FolderTreeNode)));
    }
};

FolderTreeStorage::FolderTreeStorage() = default;

FolderTreeStorage::~FolderTreeStorage() {
    for (std::size_t b = 0; b < nodeBlocks_.size(); ++b) {
        std::size_t used = b + 1 == nodeBlocks_.size() ? usedInLastBlock_ : nodesPerBlock;
        for (std::size_t i = 0; i < used; ++i) {
            nodeBlocks_[b]->at(i)->~FolderTreeNode();
        }
    }
}

FolderTreeNode* FolderTreeStorage::makeNode(std::string_view name) {
    std::string_view stored = storeName(name);
    if (usedInLastBlock_ == nodesPerBlock) {
        nodeBlocks_.push_back(std::make_unique<NodeBlock>());
        usedInLastBlock_ = 0;
    }
    void* place = nodeBlocks_.back()->bytes + usedInLastBlock_ * sizeof(FolderTreeNode);
    auto* node = new (place) FolderTreeNode(stored);
    ++usedInLastBlock_;
    ++nodeCount_;
    return node;
}

std::string_view FolderTreeStorage::storeName(std::string_view name) {
    if (name.empty()) {
        return {};
    }
    if (name.size() > nameBlockSize / 4) {
        // A rare long name gets a block of its own, placed before the current block so the
        // current block keeps filling.
        auto block = std::make_unique<char[]>(name.size());
        std::memcpy(block.get(), name.data(), name.size());
        std::string_view stored(block.get(), name.size());
        nameBlocks_.insert(nameBlocks_.begin(), std::move(block));
        return stored;
    }
    if (nameBlockUsed_ + name.size() > nameBlockSize) {
        nameBlocks_.push_back(std::make_unique<char[]>(nameBlockSize));
        nameBlockUsed_ = 0;
    }
    char* place = nameBlocks_.back().get() + nameBlockUsed_;
    std::memcpy(place, name.data(), name.size());
    nameBlockUsed_ += name.size();
    return {place, name.size()};
}

std::shared_ptr<FolderTreeNode> FolderTreeStorage::share(const std::shared_ptr<FolderTreeStorage>& storage,
                                                         FolderTreeNode* node) {
    if (!storage || node == nullptr) {
        return nullptr;
    }
    return std::shared_ptr<FolderTreeNode>(storage, node);
}

}  // namespace harbormind
