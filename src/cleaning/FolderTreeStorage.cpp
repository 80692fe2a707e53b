#include "cleaning/FolderTreeStorage.h"

#include <cstring>
#include <new>

namespace harbormind {

// Trees of millions of entries are held whole; a larger node shows at once in their memory.
static_assert(sizeof(FolderTreeNode) <= 64, "a tree node fits in 64 bytes");

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
    const char* stored = storeName(name);
    if (usedInLastBlock_ == nodesPerBlock) {
        nodeBlocks_.push_back(std::make_unique_for_overwrite<NodeBlock>());
        usedInLastBlock_ = 0;
    }
    void* place = nodeBlocks_.back()->bytes + usedInLastBlock_ * sizeof(FolderTreeNode);
    auto* node = new (place) FolderTreeNode(stored);
    ++usedInLastBlock_;
    ++nodeCount_;
    return node;
}

FolderTreeNode** FolderTreeStorage::makeChildPlaces(std::size_t count) {
    if (count == 0) {
        return nullptr;
    }
    if (count > placesPerBlock / 4) {
        // A large folder gets a block of its own, placed before the current block so the current
        // block keeps filling.
        auto block = std::make_unique_for_overwrite<FolderTreeNode*[]>(count);
        FolderTreeNode** places = block.get();
        placeBlocks_.insert(placeBlocks_.begin(), std::move(block));
        return places;
    }
    if (placesUsed_ + count > placesPerBlock) {
        placeBlocks_.push_back(std::make_unique_for_overwrite<FolderTreeNode*[]>(placesPerBlock));
        placesUsed_ = 0;
    }
    FolderTreeNode** places = placeBlocks_.back().get() + placesUsed_;
    placesUsed_ += count;
    return places;
}

const char* FolderTreeStorage::storeName(std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    bool longName = name.size() >= longNameMark;
    std::size_t header = longName ? 1 + sizeof(std::uint32_t) : 1;
    char* place = carve(header + name.size());
    if (longName) {
        auto length = static_cast<std::uint32_t>(name.size());
        place[0] = static_cast<char>(longNameMark);
        std::memcpy(place + 1, &length, sizeof(length));
    } else {
        place[0] = static_cast<char>(name.size());
    }
    std::memcpy(place + header, name.data(), name.size());
    return place;
}

char* FolderTreeStorage::carve(std::size_t bytes) {
    if (bytes > nameBlockSize / 4) {
        // A rare long name gets a block of its own, placed before the current block.
        auto block = std::make_unique_for_overwrite<char[]>(bytes);
        char* place = block.get();
        nameBlocks_.insert(nameBlocks_.begin(), std::move(block));
        return place;
    }
    if (nameBlockUsed_ + bytes > nameBlockSize) {
        nameBlocks_.push_back(std::make_unique_for_overwrite<char[]>(nameBlockSize));
        nameBlockUsed_ = 0;
    }
    char* place = nameBlocks_.back().get() + nameBlockUsed_;
    nameBlockUsed_ += bytes;
    return place;
}

std::shared_ptr<FolderTreeNode> FolderTreeStorage::share(const std::shared_ptr<FolderTreeStorage>& storage,
                                                         FolderTreeNode* node) {
    if (!storage || node == nullptr) {
        return nullptr;
    }
    return std::shared_ptr<FolderTreeNode>(storage, node);
}

}  // namespace harbormind
