#include "platform/linux/diskevents/NaturalNameOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace harbormind {
namespace {

TEST(NaturalNameOrderTest, DeviceNamesSortAsTheyAreRead) {
    std::vector<std::string> names{"loop10", "sdb",      "loop2",  "nvme0n1p10", "nvme0n1p2", "sda",
                                   "loop1",  "nvme10n1", "nvme2n1", "sdaa",      "loop02"};
    std::stable_sort(names.begin(), names.end(), NaturalNameOrder::less);
    std::vector<std::string> expected{"loop1",     "loop2",    "loop02",  "loop10", "nvme0n1p2", "nvme0n1p10",
                                      "nvme2n1",   "nvme10n1", "sda",     "sdaa",   "sdb"};
    EXPECT_EQ(names, expected);
}

TEST(NaturalNameOrderTest, NumbersEqualInValueOrderByWhatFollows) {
    EXPECT_FALSE(NaturalNameOrder::less("loop2", "loop02"));
    EXPECT_FALSE(NaturalNameOrder::less("loop02", "loop2")) << "equal values: neither comes first";
    EXPECT_TRUE(NaturalNameOrder::less("loop02", "loop2p1"));
    EXPECT_FALSE(NaturalNameOrder::less("sda", "sda"));
}

}  // namespace
}  // namespace harbormind
