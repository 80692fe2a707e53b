#include <gtest/gtest.h>

#include "disktools/DMPartitionTable.h"
#include "xpc/DMVolumeLabelRules.h"

namespace harbormind {
namespace {

using F = DMEraseFileSystem;

TEST(VolumeLabelRules, EachFileSystemsLimitsAndForbiddenCharacters) {
    // ext4 counts bytes: sixteen ASCII letters fit, eight two-byte letters fit, nine do not.
    EXPECT_TRUE(DMVolumeLabelRules::check(F::ext4, std::string(16, 'a')).accepted);
    EXPECT_TRUE(DMVolumeLabelRules::check(F::ext4, "ÄÄÄÄÄÄÄÄ").accepted);
    EXPECT_FALSE(DMVolumeLabelRules::check(F::ext4, "ÄÄÄÄÄÄÄÄÄ").accepted);
    EXPECT_TRUE(DMVolumeLabelRules::check(F::ext4, "a\"b/c").accepted);
    // exFAT counts characters, not bytes, and refuses the characters Windows refuses.
    EXPECT_TRUE(DMVolumeLabelRules::check(F::exfat, "ÄÄÄÄÄÄÄÄÄÄÄ").accepted);
    EXPECT_FALSE(DMVolumeLabelRules::check(F::exfat, "ÄÄÄÄÄÄÄÄÄÄÄÄ").accepted);
    EXPECT_EQ(DMVolumeLabelRules::check(F::exfat, "a/b").reason, "An exFAT name cannot contain /.");
    // FAT32 keeps capitals and English letters only.
    auto fat = DMVolumeLabelRules::check(F::fat32, "my stick");
    EXPECT_TRUE(fat.accepted);
    EXPECT_EQ(fat.label, "MY STICK");
    EXPECT_FALSE(DMVolumeLabelRules::check(F::fat32, "Zoë").accepted);
    EXPECT_FALSE(DMVolumeLabelRules::check(F::fat32, "A.B").accepted);
    EXPECT_FALSE(DMVolumeLabelRules::check(F::fat32, "TWELVE CHARS").accepted);
    EXPECT_TRUE(DMVolumeLabelRules::check(F::ntfs, "Zoë's \"a/b\"").accepted);
    EXPECT_FALSE(DMVolumeLabelRules::check(F::ntfs, std::string(33, 'n')).accepted);
    // Nothing takes control characters or text that is not UTF-8; an empty name is no name.
    for (F fileSystem : DMEraseFileSystems::all()) {
        EXPECT_FALSE(DMVolumeLabelRules::check(fileSystem, "two\nlines").accepted);
        EXPECT_FALSE(DMVolumeLabelRules::check(fileSystem, "\xff\xfe").accepted);
        // An overlong "/" and a lone surrogate are no text either, whatever they decode to.
        EXPECT_FALSE(DMVolumeLabelRules::check(fileSystem, "a\xc0\xaf" "b").accepted);
        EXPECT_FALSE(DMVolumeLabelRules::check(fileSystem, "a\xed\xa0\x80").accepted);
        EXPECT_TRUE(DMVolumeLabelRules::check(fileSystem, "").accepted);
    }
}

std::string tableJson(const std::string& label, const std::string& partitions, const std::string& extra = {}) {
    return R"({"sizeBytes": 209715200, "sectorSize": 512, "table": {"label": ")" + label + R"(", "unit": "sectors")" +
           extra + R"(, "partitions": [)" + partitions + "]}}";
}

TEST(PartitionTable, FreeSpaceLiesBetweenPartitionsOnMebibytes) {
    auto table = DMPartitionTable::parse(tableJson(
        "gpt", R"({"node": "/dev/loop3p1", "start": 2048, "size": 131072}, {"node": "/dev/loop3p2", "start": 163840, "size": 65536})",
        R"(, "firstlba": 34, "lastlba": 409566)"));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->scheme(), DMPartitionTable::Scheme::gpt);
    ASSERT_EQ(table->partitions().size(), 2u);
    EXPECT_EQ(table->partitions()[1].number, 2);
    auto regions = table->freeRegions();
    ASSERT_EQ(regions.size(), 2u);
    const std::int64_t mib = 1 << 20;
    EXPECT_EQ(regions[0].startBytes, 65 * mib);
    EXPECT_EQ(regions[0].sizeBytes, 15 * mib);
    // The backup GPT at the end is not free space.
    EXPECT_EQ(regions[1].startBytes, 112 * mib);
    EXPECT_EQ(regions[1].sizeBytes, 87 * mib);
    EXPECT_TRUE(table->fits(65 * mib, 15 * mib));
    EXPECT_FALSE(table->fits(65 * mib, 16 * mib));
    EXPECT_FALSE(table->fits(65 * mib + 512, mib));
    EXPECT_FALSE(table->fits(2 * mib, mib));
}

TEST(PartitionTable, AFullMbrTableAndADiskWithoutTableOfferNoSpace) {
    std::string four;
    for (int i = 1; i <= 4; ++i) {
        four += std::string(i > 1 ? "," : "") + R"({"node": "/dev/sdb)" + std::to_string(i) + R"(", "start": )" +
                std::to_string(i * 2048) + R"(, "size": 2048})";
    }
    auto full = DMPartitionTable::parse(tableJson("dos", four));
    ASSERT_TRUE(full);
    EXPECT_TRUE(full->freeRegions().empty());
    auto bare = DMPartitionTable::parse(R"({"sizeBytes": 1048576000, "sectorSize": 512, "table": null})");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->scheme(), DMPartitionTable::Scheme::none);
    EXPECT_TRUE(bare->freeRegions().empty());
    EXPECT_FALSE(DMPartitionTable::parse(R"({"sizeBytes": 1, "sectorSize": 7})"));
    EXPECT_FALSE(DMPartitionTable::parse("not json"));
}

}  // namespace
}  // namespace harbormind
