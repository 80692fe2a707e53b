#include <gtest/gtest.h>

#include <string>
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

TEST(FolderTreeStorageTest, AdoptedChildrenGrowEraseAndKeepTheirOrder) {
    FolderTreeStorage storage;
    FolderTreeNode* parent = storage.makeNode("p");
    std::vector<FolderTreeNode*> made;
    for (int i = 0; i < 3; ++i) {
        made.push_back(storage.makeNode(std::to_string(i)));
    }
    parent->childs.adopt(storage.makeChildPlaces(3), 3);
    std::copy(made.begin(), made.end(), parent->childs.begin());
    // Growing past the adopted places moves the list to its own room and keeps the order.
    for (int i = 3; i < 40; ++i) {
        made.push_back(storage.makeNode(std::to_string(i)));
        parent->childs.push_back(made.back());
    }
    ASSERT_EQ(parent->childs.size(), 40U);
    EXPECT_TRUE(std::equal(made.begin(), made.end(), parent->childs.begin()));
    parent->removeChild(made[1]);
    parent->removeChild(made[39]);
    EXPECT_EQ(parent->childs.size(), 38U);
    EXPECT_EQ(parent->childs[1], made[2]);
    EXPECT_EQ(parent->childs.back(), made[38]);
    EXPECT_THROW(parent->childs.at(38), std::out_of_range);
    // Erasing from adopted places works in place.
    FolderTreeNode* other = storage.makeNode("o");
    other->childs.adopt(storage.makeChildPlaces(2), 2);
    other->childs[0] = made[0];
    other->childs[1] = made[1];
    other->removeChild(made[0]);
    ASSERT_EQ(other->childs.size(), 1U);
    EXPECT_EQ(other->childs.front(), made[1]);
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
