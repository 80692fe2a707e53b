#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <set>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "cleaning/DeviceNumber.h"
#include "cleaning/FolderTreeStorage.h"

namespace harbormind {
namespace {

TEST(FolderTreeStorageTest, NamesOfEveryLengthReadBackWhole) {
    FolderTreeStorage storage;
    std::vector<std::string> names{"a", std::string(254, 'x'), std::string(255, 'y'), std::string(70000, 'z'),
                                   "with\nnewline", std::string("nul\0inside", 10)};
    std::vector<FolderTreeNode*> nodes;
    for (const auto& name : names) {
        nodes.push_back(storage.makeNode(name));
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(nodes[i]->strFolderName(), names[i]) << i;
    }
    EXPECT_TRUE(storage.makeNode("")->strFolderName().empty());
}

std::vector<std::string> numberedNames(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back("entry-" + std::to_string(i));
    }
    return names;
}

std::vector<std::string> childNames(const FolderTreeNode* node) {
    std::vector<std::string> names;
    for (const FolderTreeNode* child : node->childs) {
        names.emplace_back(child->strFolderName());
    }
    return names;
}

void makeChildren(FolderTreeStorage& storage, FolderTreeNode* parent, const std::vector<std::string>& names) {
    std::vector<std::string_view> views(names.begin(), names.end());
    storage.makeChildren(parent, views);
}

TEST(FolderTreeStorageTest, ChildrenMadeTogetherKeepOrderParentAndNamesThroughEveryChange) {
    FolderTreeStorage storage;
    FolderTreeNode* parent = storage.makeNode("p");
    std::vector<std::string> names = numberedNames(6);
    makeChildren(storage, parent, names);
    ASSERT_EQ(childNames(parent), names);
    for (const FolderTreeNode* child : parent->childs) {
        EXPECT_EQ(child->parent, parent);
    }
    std::vector<FolderTreeNode*> made(parent->childs.begin(), parent->childs.end());
    // Taking the last, then the first, then one in the middle; then growing.
    parent->removeChild(made[5]);
    parent->removeChild(made[0]);
    EXPECT_EQ(parent->childs.front(), made[1]);
    parent->removeChild(made[2]);
    FolderTreeNode* added = storage.makeNode("added");
    parent->childs.push_back(added);
    EXPECT_EQ(childNames(parent), (std::vector<std::string>{"entry-1", "entry-3", "entry-4", "added"}));
    EXPECT_EQ(parent->childs.back(), added);
    EXPECT_EQ(*parent->childs.rbegin(), added);
    EXPECT_THROW(parent->childs.at(4), std::out_of_range);
    parent->childs.clear();
    EXPECT_TRUE(parent->childs.empty());
    // A parent changes like a pointer and reads back as one.
    made[1]->parent = added;
    EXPECT_EQ(made[1]->parent, added);
    EXPECT_EQ(made[1]->parent->strFolderName(), "added");
    made[1]->parent = nullptr;
    EXPECT_FALSE(made[1]->parent);
}

TEST(FolderTreeStorageTest, AFolderTooLargeForOneBlockKeepsEveryChildInOrder) {
    FolderTreeStorage storage;
    FolderTreeNode* before = storage.makeNode("before");
    FolderTreeNode* parent = storage.makeNode("big");
    std::vector<std::string> names = numberedNames(70000);  // more than one block holds
    makeChildren(storage, parent, names);
    ASSERT_EQ(parent->childs.size(), names.size());
    EXPECT_EQ(childNames(parent), names);
    EXPECT_EQ(parent->childs[69999]->parent, parent);
    parent->removeChild(parent->childs[100]);
    EXPECT_EQ(parent->childs[100]->strFolderName(), "entry-101");
    // Small folders after it still get their children, and totals can be summed newest first.
    std::vector<std::string> small = numberedNames(3);
    makeChildren(storage, before, small);
    EXPECT_EQ(childNames(before), small);
    EXPECT_EQ(storage.nodeCount(), 2 + names.size() + small.size());
    std::size_t visited = 0;
    storage.visitNewestFirst(2, [&](FolderTreeNode&) { ++visited; });
    EXPECT_EQ(visited, names.size() + small.size());
}

// Hands out heap blocks and records what was asked for and what came back.
struct RecordedBlocks {
    static inline std::mutex mutex;
    static inline std::vector<bool> largePages;             // per block taken, in order
    static inline std::map<void*, std::size_t> outstanding;  // taken, not yet given back

    static TreeBlockSource source() {
        return {[](std::size_t size, bool large) -> void* {
                    void* block = std::aligned_alloc(size, size);
                    std::lock_guard lock(mutex);
                    largePages.push_back(large);
                    outstanding[block] = size;
                    return block;
                },
                [](void* block, std::size_t size) {
                    std::lock_guard lock(mutex);
                    EXPECT_EQ(outstanding[block], size);
                    outstanding.erase(block);
                    std::free(block);
                }};
    }
};

TEST(FolderTreeStorageTest, FoldersFilledFromSeveralThreadsKeepTheirChildrenAndGiveEveryBlockBack) {
    RecordedBlocks::largePages.clear();
    {
        FolderTreeStorage storage(RecordedBlocks::source());
        FolderTreeNode* top = storage.makeNode("top");
        std::vector<std::string> names = numberedNames(40);
        std::vector<std::string> folders = numberedNames(4);
        makeChildren(storage, top, folders);
        // Four threads each fill a deep chain of folders at once, so their children interleave
        // in the blocks.
        std::vector<std::thread> threads;
        for (FolderTreeNode* start : top->childs) {
            threads.emplace_back([&storage, &names, start] {
                FolderTreeNode* folder = start;
                for (int level = 0; level < 1500; ++level) {
                    makeChildren(storage, folder, names);
                    folder = folder->childs[static_cast<std::size_t>(level) % names.size()];
                }
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
        for (FolderTreeNode* start : top->childs) {
            FolderTreeNode* folder = start;
            for (int level = 0; level < 1500; ++level) {
                ASSERT_EQ(childNames(folder), names) << level;
                for (const FolderTreeNode* child : folder->childs) {
                    ASSERT_EQ(child->parent, folder);
                }
                folder = folder->childs[static_cast<std::size_t>(level) % names.size()];
            }
        }
        // Newest first still reaches every node after all of its descendants.
        std::set<const FolderTreeNode*> visited;
        storage.visitNewestFirst(1, [&](FolderTreeNode& node) {
            for (const FolderTreeNode* child : node.childs) {
                EXPECT_TRUE(visited.count(child)) << node.strFolderName();
            }
            visited.insert(&node);
        });
        EXPECT_EQ(visited.size(), 4 + 4 * 1500 * names.size());
    }
    // A tree this large spans several blocks: the first on small pages, the rest on large ones.
    ASSERT_GT(RecordedBlocks::largePages.size(), 2U);
    EXPECT_FALSE(RecordedBlocks::largePages.front());
    EXPECT_EQ(std::count(RecordedBlocks::largePages.begin(), RecordedBlocks::largePages.end(), true),
              static_cast<std::ptrdiff_t>(RecordedBlocks::largePages.size() - 1));
    EXPECT_TRUE(RecordedBlocks::outstanding.empty());
}

TEST(FolderTreeStorageTest, NodesOfAnotherTreeAreRefusedAsParentOrChild) {
    FolderTreeStorage one;
    FolderTreeStorage other;
    FolderTreeNode* mine = one.makeNode("mine");
    FolderTreeNode* theirs = other.makeNode("theirs");
    EXPECT_THROW(mine->parent = theirs, std::invalid_argument);
    EXPECT_THROW(mine->childs.push_back(theirs), std::invalid_argument);
    EXPECT_EQ(mine->parent, nullptr);
    EXPECT_TRUE(mine->childs.empty());
    EXPECT_LE(sizeof(FolderTreeNode), 40U);
}

TEST(FolderTreeStorageTest, StoredPathsAndDatesBelongToTheirNodeAndGoWithIt) {
    auto storage = std::make_unique<FolderTreeStorage>();
    FolderTreeNode* top = storage->makeNode("/top");
    FolderTreeNode* child = storage->makeNode("c");
    child->parent = top;
    top->setFullpath("/mnt/top");
    child->setModificationDate("2026-12-06 10:00:00");
    EXPECT_EQ(child->fullpath(), "/mnt/top/c");
    EXPECT_EQ(child->ModificationDate(), "2026-12-06 10:00:00");
    EXPECT_TRUE(top->ModificationDate().empty());
    EXPECT_FALSE(child->hasStoredFullpath());
    storage.reset();
    // A new storage reusing the same addresses starts with nothing stored.
    FolderTreeStorage again;
    FolderTreeNode* fresh = again.makeNode("/x");
    EXPECT_FALSE(fresh->hasStoredFullpath());
    EXPECT_TRUE(fresh->ModificationDate().empty());
}

TEST(DeviceNumberTest, ReadsBackEveryDeviceFromAnyThread) {
    std::vector<std::uint64_t> devices{0, 1, 0x800001, ~std::uint64_t{0} - 1, std::uint64_t{1} << 40};
    std::vector<DeviceNumber> numbers(devices.begin(), devices.end());
    for (std::size_t i = 0; i < devices.size(); ++i) {
        EXPECT_EQ(static_cast<std::uint64_t>(numbers[i]), devices[i]);
    }
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &wrong] {
            for (std::uint64_t d = 0; d < 200; ++d) {
                std::uint64_t device = 0x1000000 + static_cast<std::uint64_t>(t) * 1000 + d % 50;
                wrong[static_cast<std::size_t>(t)] += static_cast<std::uint64_t>(DeviceNumber(device)) != device;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace harbormind
