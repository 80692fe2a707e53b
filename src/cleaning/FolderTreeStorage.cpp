#include "cleaning/FolderTreeStorage.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

namespace harbormind {

// Trees of millions of entries are held whole; a larger node shows at once in their memory.
static_assert(sizeof(FolderTreeNode) <= 24, "a tree node fits in 24 bytes");

namespace {

// The size of a transparent huge page; a node keeps its name's offset in the block in 21 bits.
constexpr std::size_t blockSize = std::size_t{2} << 20;
constexpr std::size_t maxBlocks = std::size_t{1} << 15;
constexpr std::size_t slotBits = 17;
// A stored name starts with its length in one byte; this mark in that byte says the length
// follows in four bytes instead.
constexpr unsigned char longNameMark = 255;
constexpr std::size_t longestName = blockSize / 4;

// The bytes a name takes in a block, with the record in front of it when there is one. A node
// with a record always stores its name's length, so the name is found after the record.
std::size_t storedNameSize(std::string_view name, bool withRecord) {
    if (name.empty() && !withRecord) {
        return 0;
    }
    std::size_t record = withRecord ? sizeof(NodeRecord) : 0;
    return record + (name.size() < longNameMark ? 1 : 1 + sizeof(std::uint32_t)) + name.size();
}

}  // namespace

// The head of a block; nodes follow it and names fill the block from its end.
struct FolderTreeStorage::Block {
    static constexpr std::size_t nodesOffset = 64;

    FolderTreeStorage* storage = nullptr;
    std::uint32_t index = 0;
    std::uint32_t nodeCount = 0;
    std::uint32_t namesBegin = blockSize;

    std::size_t room() const { return namesBegin - (nodesOffset + nodeCount * sizeof(FolderTreeNode)); }
    char* bytes() { return reinterpret_cast<char*>(this); }
    FolderTreeNode* nodeAt(std::size_t slot) {
        return std::launder(reinterpret_cast<FolderTreeNode*>(bytes() + nodesOffset + slot * sizeof(FolderTreeNode)));
    }
    static Block& of(const void* inside) {
        auto address = reinterpret_cast<std::uintptr_t>(inside) & ~std::uintptr_t{blockSize - 1};
        return *std::launder(reinterpret_cast<Block*>(address));
    }
};

void FolderTreeStorage::FreeTable::operator()(Block** table) const {
    std::free(table);
}

FolderTreeStorage::FolderTreeStorage(TreeBlockSource blocks)
    // calloc: the table's pages stay untouched, and cost no memory, until blocks are added.
    : blockSource_(blocks),
      blocks_(static_cast<Block**>(std::calloc(maxBlocks, sizeof(Block*)))) {
    if (!blocks_) {
        throw std::bad_alloc();
    }
}

FolderTreeStorage::~FolderTreeStorage() {
    for (std::size_t b = 0; b < blockCount_; ++b) {
        Block* block = blocks_[b];
        for (std::size_t slot = 0; slot < block->nodeCount; ++slot) {
            block->nodeAt(slot)->~FolderTreeNode();
        }
        giveBackBlock(block);
    }
}

FolderTreeStorage::Block& FolderTreeStorage::blockWithRoom(std::size_t bytes, std::unique_lock<std::mutex>& lock) {
    static_assert(sizeof(Block) <= Block::nodesOffset && Block::nodesOffset % alignof(FolderTreeNode) == 0);
    static_assert((blockSize - Block::nodesOffset) / sizeof(FolderTreeNode) <= (std::size_t{1} << slotBits));
    for (;;) {
        if (blockCount_ > 0 && blocks_[blockCount_ - 1]->room() >= bytes) {
            return *blocks_[blockCount_ - 1];
        }
        if (blockCount_ == maxBlocks) {
            throw std::length_error("tree too large");
        }
        // Another thread is adding a block: it is used as soon as it is there, so no thread takes
        // a second one (on large pages, a block taken is 2 MiB of memory at once).
        if (addingBlock_) {
            blockAdded_.wait(lock);
            continue;
        }
        // A new block is taken and its first page written without the lock: that first write
        // faults in the block's memory (all 2 MiB of it on a large page), and the other threads
        // go on placing nodes in the current block meanwhile.
        bool largePages = blockCount_ > 0;
        addingBlock_ = true;
        lock.unlock();
        Block* fresh = nullptr;
        try {
            fresh = takeBlock(largePages);
        } catch (...) {
            lock.lock();
            addingBlock_ = false;
            blockAdded_.notify_all();
            throw;
        }
        lock.lock();
        fresh->index = static_cast<std::uint32_t>(blockCount_);
        blocks_[blockCount_++] = fresh;
        addingBlock_ = false;
        blockAdded_.notify_all();
    }
}

FolderTreeStorage::Block* FolderTreeStorage::takeBlock(bool largePages) {
    void* memory = blockSource_.take(blockSize, largePages);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    Block* block = new (memory) Block;
    block->storage = this;
    return block;
}

void FolderTreeStorage::giveBackBlock(Block* block) {
    block->~Block();
    blockSource_.giveBack(block, blockSize);
}

FolderTreeStorage::Room FolderTreeStorage::reserve(Block& block, std::size_t nodes, std::size_t nameBytes) {
    Room room{&block, block.nodeCount, static_cast<std::uint32_t>(block.namesBegin - nameBytes)};
    block.nodeCount += static_cast<std::uint32_t>(nodes);
    block.namesBegin = room.nameOffset;
    nodeCount_ += nodes;
    return room;
}

FolderTreeNode* FolderTreeStorage::place(Room& room, std::string_view name, bool withRecord) {
    FolderTreeNode* node = new (room.block->nodeAt(room.slot++)) FolderTreeNode;
    if (name.empty() && !withRecord) {
        return node;
    }
    char* stored = room.block->bytes() + room.nameOffset;
    node->nameOffset_ = room.nameOffset;
    room.nameOffset += static_cast<std::uint32_t>(storedNameSize(name, withRecord));
    if (withRecord) {
        new (stored) NodeRecord;
        node->hasRecord_ = true;
        stored += sizeof(NodeRecord);
    }
    if (name.size() < longNameMark) {
        *stored++ = static_cast<char>(name.size());
    } else {
        auto length = static_cast<std::uint32_t>(name.size());
        *stored++ = static_cast<char>(longNameMark);
        std::memcpy(stored, &length, sizeof(length));
        stored += sizeof(length);
    }
    // The root's name is empty and its data() may be null, which memcpy must never be given.
    if (!name.empty()) {
        std::memcpy(stored, name.data(), name.size());
    }
    return node;
}

FolderTreeNode* FolderTreeStorage::makeNode(std::string_view name) {
    if (name.size() > longestName) {
        throw std::length_error("name too long");
    }
    std::size_t nameBytes = storedNameSize(name, true);
    std::unique_lock lock(mutex_);
    Room room = reserve(blockWithRoom(sizeof(FolderTreeNode) + nameBytes, lock), 1, nameBytes);
    lock.unlock();
    return place(room, name, true);
}

void FolderTreeStorage::makeChildren(FolderTreeNode* parent, std::span<const std::string_view> names) {
    makeChildren(parent, names, names.size());
}

void FolderTreeStorage::makeChildren(FolderTreeNode* parent, std::span<const std::string_view> names,
                                     std::size_t withRecords) {
    std::size_t nameBytes = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].size() > longestName) {
            throw std::length_error("name too long");
        }
        nameBytes += storedNameSize(names[i], i < withRecords);
    }
    if (names.empty()) {
        parent->childs.setSideBySide(0, 0);
        return;
    }
    std::size_t bytes = names.size() * sizeof(FolderTreeNode) + nameBytes;
    std::unique_lock lock(mutex_);
    bool fits = blockCount_ > 0 && blocks_[blockCount_ - 1]->room() >= bytes;
    // A folder that does not fit the current block starts a new one when that wastes little;
    // a larger one fills the current block and goes on in new ones, as a numbered list.
    if (!fits && bytes > blockSize / 16) {
        lock.unlock();
        spreadChildren(parent, names, withRecords);
        return;
    }
    Room room = reserve(blockWithRoom(bytes, lock), names.size(), nameBytes);
    lock.unlock();
    // The reserved slots and name bytes belong to this call alone, so they are written without
    // the lock: another thread places its folder's children meanwhile, and the first writes to
    // a fresh block (page faults) hold nobody up.
    NodeNumber first = NodeNumber{room.block->index} << slotBits | room.slot;
    NodeNumber parentNumber = numberOf(parent);
    for (std::size_t i = 0; i < names.size(); ++i) {
        place(room, names[i], i < withRecords)->parent.number_ = parentNumber;
    }
    parent->childs.setSideBySide(first, names.size());
}

void FolderTreeStorage::spreadChildren(FolderTreeNode* parent, std::span<const std::string_view> names,
                                       std::size_t withRecords) {
    std::uint32_t list = makeChildNumbers();
    ChildNumbers& numbers = childNumbers(list);
    numbers.reserve(names.size());
    NodeNumber parentNumber = numberOf(parent);
    std::unique_lock lock(mutex_);
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::size_t nameBytes = storedNameSize(names[i], i < withRecords);
        Room room = reserve(blockWithRoom(sizeof(FolderTreeNode) + nameBytes, lock), 1, nameBytes);
        FolderTreeNode* child = place(room, names[i], i < withRecords);
        child->parent.number_ = parentNumber;
        numbers.push_back(numberOf(child));
    }
    parent->childs.setNumbered(list);
}

std::size_t FolderTreeStorage::nodeCount() const {
    std::lock_guard lock(mutex_);
    return nodeCount_;
}

void FolderTreeStorage::visitNewestFirst(std::size_t count, const std::function<void(FolderTreeNode&)>& visit) {
    std::size_t remaining = nodeCount() - count;
    for (std::size_t b = blockCount_; b-- > 0 && remaining > 0;) {
        Block* block = blocks_[b];
        for (std::size_t slot = block->nodeCount; slot-- > 0 && remaining > 0; --remaining) {
            visit(*block->nodeAt(slot));
        }
    }
}

FolderTreeStorage& FolderTreeStorage::of(const void* insideNode) {
    return *Block::of(insideNode).storage;
}

FolderTreeNode* FolderTreeStorage::nodeContaining(const void* insideNode) {
    Block& block = Block::of(insideNode);
    auto offset = static_cast<std::size_t>(static_cast<const char*>(insideNode) - block.bytes());
    return block.nodeAt((offset - Block::nodesOffset) / sizeof(FolderTreeNode));
}

NodeRecord* FolderTreeStorage::recordOf(const FolderTreeNode* node) {
    if (!node->hasRecord_) {
        return nullptr;
    }
    return std::launder(reinterpret_cast<NodeRecord*>(Block::of(node).bytes() + node->nameOffset_));
}

FolderTreeNode* FolderTreeStorage::node(NodeNumber number) const {
    if (number == noNode) {
        return nullptr;
    }
    return blocks_[number >> slotBits]->nodeAt(number & ((NodeNumber{1} << slotBits) - 1));
}

FolderTreeStorage::NodeNumber FolderTreeStorage::numberOf(const FolderTreeNode* node) {
    if (node == nullptr) {
        return noNode;
    }
    Block& block = Block::of(node);
    auto offset = static_cast<std::size_t>(reinterpret_cast<const char*>(node) - block.bytes());
    return NodeNumber{block.index} << slotBits |
           static_cast<NodeNumber>((offset - Block::nodesOffset) / sizeof(FolderTreeNode));
}

std::string_view FolderTreeStorage::nameAt(const FolderTreeNode* node, std::uint32_t offset) {
    const char* stored = Block::of(node).bytes() + offset;
    auto length = static_cast<unsigned char>(stored[0]);
    if (length < longNameMark) {
        return {stored + 1, length};
    }
    std::uint32_t longLength = 0;
    std::memcpy(&longLength, stored + 1, sizeof(longLength));
    return {stored + 1 + sizeof(longLength), longLength};
}

std::uint32_t FolderTreeStorage::makeChildNumbers() {
    std::lock_guard lock(mutex_);
    if (listCount_ == listsPerChunk * listChunks) {
        throw std::length_error("too many child lists");
    }
    if (!listChunks_) {
        listChunks_ = std::make_unique<std::unique_ptr<ChildNumbers[]>[]>(listChunks);
    }
    std::unique_ptr<ChildNumbers[]>& chunk = listChunks_[listCount_ / listsPerChunk];
    if (!chunk) {
        chunk = std::make_unique<ChildNumbers[]>(listsPerChunk);
    }
    return static_cast<std::uint32_t>(listCount_++);
}

FolderTreeStorage::ChildNumbers& FolderTreeStorage::childNumbers(std::uint32_t list) const {
    return listChunks_[list / listsPerChunk][list % listsPerChunk];
}

std::shared_ptr<FolderTreeNode> FolderTreeStorage::share(const std::shared_ptr<FolderTreeStorage>& storage,
                                                         FolderTreeNode* node) {
    if (!storage || node == nullptr) {
        return nullptr;
    }
    return std::shared_ptr<FolderTreeNode>(storage, node);
}

}  // namespace harbormind
