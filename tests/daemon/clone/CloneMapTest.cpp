#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "daemon/clone/CloneDevicePath.h"
#include "daemon/clone/CloneMapStore.h"

namespace harbormind::clone {
namespace {

TEST(ByteRangeSetTest, MergesTouchingRangesAndFindsGaps) {
    ByteRangeSet set;
    set.add({10, 20});
    set.add({30, 40});
    set.add({20, 25});  // touches the first
    set.add({35, 50});  // overlaps the second
    set.add({5, 5});    // empty
    EXPECT_EQ(set.ranges(), (std::vector<ByteRange>{{10, 25}, {30, 50}}));
    EXPECT_EQ(set.totalBytes(), 35u);
    EXPECT_TRUE(set.contains({12, 25}));
    EXPECT_FALSE(set.contains({24, 31}));
    EXPECT_EQ(set.gapsWithin(60), (std::vector<ByteRange>{{0, 10}, {25, 30}, {50, 60}}));
    EXPECT_EQ(set.gapsWithin(28), (std::vector<ByteRange>{{0, 10}, {25, 28}}));
    set.add({0, 100});
    EXPECT_EQ(set.ranges(), (std::vector<ByteRange>{{0, 100}}));
}

CloneMap sampleMap() {
    CloneMap map;
    map.destinationIdentity = "loop:/var/tmp/my disk.img@0";
    map.sourceIdentity = "serial:Generic_Flash_1234";
    map.sourceName = "sdb";
    map.sourceSize = 1 << 20;
    map.done.add({0, 4096});
    map.done.add({8192, 65536});
    map.unreadable.add({4096, 4608});
    return map;
}

TEST(CloneMapTest, ReadsBackWhatItWroteAndRefusesDamagedText) {
    CloneMap map = sampleMap();
    std::string text = map.serialize();
    EXPECT_EQ(CloneMap::parse(text), map);

    EXPECT_FALSE(CloneMap::parse(text.substr(0, text.size() - 4)));  // cut before the end line
    EXPECT_FALSE(CloneMap::parse(text + "done 1 2\n"));              // after the end line
    EXPECT_FALSE(CloneMap::parse("kestrane-clone-map 2\n" + text.substr(text.find('\n') + 1)));
    std::string pastEnd = text;
    pastEnd.insert(pastEnd.find("end\n"), "done 0 2097152\n");  // beyond the source
    EXPECT_FALSE(CloneMap::parse(pastEnd));
    std::string backwards = text;
    backwards.insert(backwards.find("end\n"), "done 50 40\n");
    EXPECT_FALSE(CloneMap::parse(backwards));
    EXPECT_FALSE(CloneMap::parse(""));
}

TEST(CloneMapStoreTest, KeepsOneWholeFilePerDestination) {
    std::string pattern = (std::filesystem::temp_directory_path() / "hm-clone-store-XXXXXX").string();
    std::filesystem::path folder = ::mkdtemp(pattern.data());
    CloneMapStore store(folder / "state");
    CloneMap map = sampleMap();

    EXPECT_FALSE(store.load(map.destinationIdentity));
    ASSERT_TRUE(store.save(map));
    EXPECT_EQ(store.load(map.destinationIdentity), map);
    EXPECT_FALSE(store.load("serial:another"));
    auto permissions = std::filesystem::status(store.fileFor(map.destinationIdentity)).permissions();
    EXPECT_EQ(permissions & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    std::ofstream(store.fileFor(map.destinationIdentity), std::ios::trunc)
        << "kestrane-clone-map 1\ndestination x\n";
    EXPECT_FALSE(store.load(map.destinationIdentity));  // damaged: not used
    store.remove(map.destinationIdentity);
    EXPECT_FALSE(std::filesystem::exists(store.fileFor(map.destinationIdentity)));
    std::filesystem::remove_all(folder);
}

TEST(CloneDevicePathTest, RawNamesMeanTheBlockDevice) {
    EXPECT_EQ(blockDevicePath("/dev/rhm-clone-none"), "/dev/rhm-clone-none");  // no such device: unchanged
    EXPECT_EQ(blockDevicePath("/dev/sda"), "/dev/sda");
    EXPECT_EQ(blockDevicePath("/dev/r"), "/dev/r");
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/block")) {
        std::string name = entry.path().filename().string();
        if (std::filesystem::is_block_file("/dev/" + name) && !std::filesystem::exists("/dev/r" + name)) {
            EXPECT_EQ(blockDevicePath("/dev/r" + name), "/dev/" + name);
            break;
        }
    }
}

}  // namespace
}  // namespace harbormind::clone
