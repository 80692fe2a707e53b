#include "platform/linux/disks/DeviceReadAhead.h"

#include <gtest/gtest.h>

namespace harbormind {
namespace {

// Whatever the size, what is asked for lies on the device, in order, each page once.
TEST(DeviceReadAheadTest, RangesStayOnTheDeviceInOrderWithoutOverlap) {
    using Areas = DeviceReadAhead::Areas;
    for (std::int64_t size : {0LL, 512LL, 100LL * 1024, 1024LL * 1024 + 1, 64LL << 20, (64LL << 20) + 12345,
                              (190LL << 20) + 512, 1LL << 40}) {
        for (Areas areas : {Areas::Table, Areas::Signatures}) {
            std::int64_t end = 0;
            for (const auto& [offset, length] : DeviceReadAhead::rangesOf(size, areas)) {
                EXPECT_GT(length, 0) << size;
                EXPECT_GT(offset, end == 0 ? -1 : end) << size << ": overlaps or touches the range before";
                EXPECT_LE(offset + length, size) << size;
                end = offset + length;
            }
        }
    }
}

// The last labels of a pooled file system are read on a large device whose size is no
// multiple of their alignment, and a small device is not read past its signatures' places.
TEST(DeviceReadAheadTest, TheTailFollowsTheLabelsAlignmentAndSmallDevicesAreReadLittle) {
    const std::int64_t size = (190LL << 20) + 512;
    auto ranges = DeviceReadAhead::rangesOf(size, DeviceReadAhead::Areas::Signatures);
    ASSERT_FALSE(ranges.empty());
    EXPECT_EQ(ranges.back().first, size - 512 * 1024 - 512);
    std::int64_t small = 0;
    for (const auto& [offset, length] : DeviceReadAhead::rangesOf(32LL << 20, DeviceReadAhead::Areas::Signatures)) {
        small += length;
    }
    EXPECT_LE(small, 256 * 1024);
    EXPECT_EQ(DeviceReadAhead::rangesOf(1LL << 40, DeviceReadAhead::Areas::Table),
              (std::vector<DeviceReadAhead::Range>{{0, 64 * 1024}}));
}

}  // namespace
}  // namespace harbormind
