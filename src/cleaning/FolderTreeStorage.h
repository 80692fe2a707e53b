#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>
#include <vector>

#include "cleaning/FolderTreeNode.h"
#include "cleaning/NodeRecord.h"
#include "platform/TreeBlockSource.h"

namespace harbormind {

// Owns the nodes of one tree, their names, the records of folders and the child lists that are not
// side by side. Nodes and names are carved out of blocks of 2 MiB aligned to their size, nodes
// from the front and names from the back: a node finds its block, and through it the storage,
// from its own address, so it refers to its name and its parent by 32-bit numbers instead of
// pointers. A node that may have children (any made with `makeNode`, and the folders among the
// children made with `makeChildren`) has a record (NodeRecord) stored just before its name. A
// scan makes each folder's children side by side, so a record needs no array of child pointers.
// All of it is released at once with the storage. A view keeps a tree alive through a shared_ptr
// to its top node that shares ownership of the storage. Making nodes is safe from several threads.
class FolderTreeStorage {
public:
    // A node's number: its block's index in the high 15 bits, its place in the block below.
    using NodeNumber = std::uint32_t;
    static constexpr NodeNumber noNode = ~NodeNumber{0};
    using ChildNumbers = std::vector<NodeNumber>;

    // The first block is taken on small pages, so a small tree stays small; a tree that outgrows
    // it is large, and its further blocks are asked for on large pages.
    explicit FolderTreeStorage(TreeBlockSource blocks = TreeBlockSource::heap());
    ~FolderTreeStorage();
    FolderTreeStorage(const FolderTreeStorage&) = delete;
    FolderTreeStorage& operator=(const FolderTreeStorage&) = delete;

    // A new node, with a record, whose name is copied into the storage (a name takes at most a
    // quarter of a block; a longer one throws std::length_error).
    FolderTreeNode* makeNode(std::string_view name);
    // Makes one node per name, in that order, as all the children of `parent` (which has none
    // yet), each with `parent` as its parent; the first `withRecords` of them (all by default)
    // have a record, so they can have children, counts and a device of their own.
    void makeChildren(FolderTreeNode* parent, std::span<const std::string_view> names);
    void makeChildren(FolderTreeNode* parent, std::span<const std::string_view> names, std::size_t withRecords);
    // How many nodes were made so far.
    std::size_t nodeCount() const;
    // Calls `visit` for every node made after the first `count`, the newest first: a node is
    // made after its parent, so every node is visited after all of its descendants made since.
    void visitNewestFirst(std::size_t count, const std::function<void(FolderTreeNode&)>& visit);

    // The storage `insideNode` (any address inside one of its nodes) belongs to.
    static FolderTreeStorage& of(const void* insideNode);
    // The node that holds `insideNode`.
    static FolderTreeNode* nodeContaining(const void* insideNode);
    // The record of `node`, or null when it has none.
    static NodeRecord* recordOf(const FolderTreeNode* node);
    FolderTreeNode* node(NodeNumber number) const;
    static NodeNumber numberOf(const FolderTreeNode* node);
    // The stored name that starts `offset` bytes into the block of `node`.
    static std::string_view nameAt(const FolderTreeNode* node, std::uint32_t offset);

    // A new, empty child list and its number; the list lives as long as the storage.
    std::uint32_t makeChildNumbers();
    ChildNumbers& childNumbers(std::uint32_t list) const;

    // A shared handle on `node` that keeps the whole storage alive.
    static std::shared_ptr<FolderTreeNode> share(const std::shared_ptr<FolderTreeStorage>& storage,
                                                 FolderTreeNode* node);

private:
    struct Block;
    struct FreeTable {
        void operator()(Block** table) const;
    };

    // Slots and name bytes taken in a block, to be filled by `place`.
    struct Room {
        Block* block;
        std::uint32_t slot;
        std::uint32_t nameOffset;
    };

    // The block to place `bytes` in: the current one, or a new one when it is full. May let go
    // of `lock` (held on entry) while it takes a new block or waits for another thread's; holds
    // it again on return.
    Block& blockWithRoom(std::size_t bytes, std::unique_lock<std::mutex>& lock);
    Block* takeBlock(bool largePages);
    void giveBackBlock(Block* block);
    // Takes room for `nodes` nodes and `nameBytes` bytes of names; called with the lock held.
    Room reserve(Block& block, std::size_t nodes, std::size_t nameBytes);
    // Makes a node in the next slot of `room`, its record (when asked) and name in the next bytes.
    static FolderTreeNode* place(Room& room, std::string_view name, bool withRecord);
    void spreadChildren(FolderTreeNode* parent, std::span<const std::string_view> names, std::size_t withRecords);

    TreeBlockSource blockSource_;
    mutable std::mutex mutex_;
    std::unique_ptr<Block*[], FreeTable> blocks_;  // fixed room: readers never see it move
    std::size_t blockCount_ = 0;
    bool addingBlock_ = false;  // a thread is taking a new block without the lock
    std::condition_variable blockAdded_;
    std::size_t nodeCount_ = 0;

    static constexpr std::size_t listsPerChunk = 4096;
    static constexpr std::size_t listChunks = 4096;
    std::unique_ptr<std::unique_ptr<ChildNumbers[]>[]> listChunks_;
    std::size_t listCount_ = 0;
};

}  // namespace harbormind
