#include <fstream>
#include <random>

#include "CheckDiskImage.h"
#include "engines/checkdisk/NtfsDirtyFlag.h"
#include "engines/checkdisk/OutputText.h"

namespace harbormind {
namespace {

using test::CheckDiskImage;

TEST(CheckDiskOutputTextTest, FileNamesInAnyEncodingBecomeValidUtf8) {
    EXPECT_EQ(OutputText::validUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x92\xBE"),
              "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x92\xBE");
    EXPECT_EQ(OutputText::validUtf8("Latin-1 caf\xE9."), "Latin-1 caf\xEF\xBF\xBD.");
    EXPECT_EQ(OutputText::validUtf8("cut \xE2\x82"), "cut \xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(OutputText::validUtf8("overlong \xC0\xAF surrogate \xED\xA0\x80"),
              "overlong \xEF\xBF\xBD\xEF\xBF\xBD surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(OutputText::validUtf8(std::string("a\0b", 3)), "a\xEF\xBF\xBD" "b");
}

// The NTFS flag reader takes its offsets from the volume itself: a damaged or hostile
// record must give no answer, never a read outside what was read.
TEST(CheckDiskNtfsDirtyFlagTest, DamagedVolumeRecordsGiveNoAnswer) {
    if (!CheckDiskImage::hasTool("mkfs.ntfs")) {
        GTEST_SKIP() << "mkfs.ntfs is not installed";
    }
    CheckDiskImage image(8);
    ASSERT_TRUE(CheckDiskImage::run("mkfs.ntfs -Q -F " + CheckDiskImage::quoted(image.image())));
    ASSERT_EQ(NtfsDirtyFlag::read(image.image()), false);

    // $Volume's record, found by its name, as the reader sees it.
    std::ifstream in(image.image(), std::ios::binary);
    std::string volume((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string name("$\0V\0o\0l\0u\0m\0e\0", 14);
    std::size_t at = volume.find(name);
    ASSERT_NE(at, std::string::npos);
    std::size_t start = volume.rfind("FILE", at);
    std::string record = volume.substr(start, 1024);
    ASSERT_EQ(NtfsDirtyFlag::parseVolumeRecord(record), false);

    EXPECT_EQ(NtfsDirtyFlag::parseVolumeRecord(record.substr(0, 100)), std::nullopt);
    EXPECT_EQ(NtfsDirtyFlag::parseVolumeRecord(std::string(1024, '\xFF')), std::nullopt);
    std::mt19937 random(15);
    for (int round = 0; round < 5000; ++round) {
        std::string damaged = record;
        for (int flip = 0; flip < 4; ++flip) {
            damaged[random() % damaged.size()] = static_cast<char>(random());
        }
        (void)NtfsDirtyFlag::parseVolumeRecord(damaged);
    }
    std::string notNtfs = image.folder() + "/zeros";
    std::ofstream(notNtfs) << std::string(8192, '\0');
    EXPECT_EQ(NtfsDirtyFlag::read(notNtfs), std::nullopt);
}

}  // namespace
}  // namespace harbormind
