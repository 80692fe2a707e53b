#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/linux/files/LinuxTreeBlocks.h"

namespace harbormind {
namespace {

TEST(LinuxTreeBlocksTest, BlocksAreAlignedToTheirSizeWritableWholeAndGivenBack) {
    TreeBlockSource source = LinuxTreeBlocks::source();
    constexpr std::size_t size = std::size_t{2} << 20;
    for (bool large : {false, true}) {
        auto* first = static_cast<unsigned char*>(source.take(size, large));
        auto* second = static_cast<unsigned char*>(source.take(size, large));
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        for (unsigned char* block : {first, second}) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % size, 0U);
            // Fresh memory reads as zeros and holds what is written at both ends.
            EXPECT_EQ(block[0], 0);
            EXPECT_EQ(block[size - 1], 0);
            std::memset(block, 0xA5, size);
            EXPECT_EQ(block[size - 1], 0xA5);
        }
        source.giveBack(first, size);
        source.giveBack(second, size);
    }
    EXPECT_EQ(source.take(3 << 20, false), nullptr);
    EXPECT_EQ(source.take(0, true), nullptr);
}

}  // namespace
}  // namespace harbormind
