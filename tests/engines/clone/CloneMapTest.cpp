#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engines/clone/CloneDevicePath.h"
#include "engines/clone/CloneMapStore.h"

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
    map.sourceSample = "0123456789abcdef0123456789abcdef";
    map.done.add({0, 4096});
    map.done.add({8192, 65536});
    map.unreadable.add({4096, 4608});
    return map;
}

// Replaces the first `from` in the map's text by `to`, keeping the checksum line as it was.
std::string edited(const std::string& text, const std::string& from, const std::string& to) {
    std::string copy = text;
    copy.replace(copy.find(from), from.size(), to);
    return copy;
}

TEST(CloneMapTest, ReadsBackWhatItWroteAndRefusesDamagedText) {
    CloneMap map = sampleMap();
    std::string text = map.serialize();
    EXPECT_EQ(CloneMap::parse(text), map);

    EXPECT_FALSE(CloneMap::parse(text.substr(0, text.size() - 4)));  // cut before the end line
    EXPECT_FALSE(CloneMap::parse(text + "done 1 2\n"));              // after the end line
    EXPECT_FALSE(CloneMap::parse(""));
    // One digit changed, a range added or a sample replaced: the checksum no longer matches.
    EXPECT_FALSE(CloneMap::parse(edited(text, "done 8192 65536", "done 8192 85536")));
    EXPECT_FALSE(CloneMap::parse(edited(text, "done 0 4096", "done 0 4096\ndone 65536 131072")));
    EXPECT_FALSE(CloneMap::parse(edited(text, "0123456789", "9123456789")));
}

// A map whose checksum is right but whose content is not possible: written by something
// other than the engine.
TEST(CloneMapTest, RefusesRangesOffSectorsOrPastTheSourceEvenWithARightChecksum) {
    auto resealed = [](CloneMap map) { return CloneMap::parse(map.serialize()); };
    CloneMap unaligned = sampleMap();
    unaligned.done.add({65536, 131073});
    EXPECT_FALSE(resealed(unaligned));
    CloneMap pastEnd = sampleMap();
    pastEnd.done.add({0, 2 << 20});
    EXPECT_FALSE(resealed(pastEnd));
    CloneMap bigSectors = sampleMap();  // 4608 is no multiple of 4096
    bigSectors.sectorSize = 4096;
    EXPECT_FALSE(resealed(bigSectors));
    CloneMap oddSectors = sampleMap();
    oddSectors.sectorSize = 520;
    EXPECT_FALSE(resealed(oddSectors));
    CloneMap fine = sampleMap();
    fine.sectorSize = 4096;
    fine.unreadable.clear();
    fine.unreadable.add({4096, 8192});
    EXPECT_EQ(resealed(fine), fine);
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
    EXPECT_TRUE(store.find(map.destinationIdentity).damaged());  // but still a mark
    EXPECT_FALSE(store.find("serial:another").present);
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
