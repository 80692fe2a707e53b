#include "CheckDiskImage.h"
#include "StreamRecorder.h"
#include "engines/checkdisk/CheckDiskEngine.h"
#include "engines/checkdisk/CheckDiskTexts.h"

namespace harbormind {
namespace {

using test::CheckDiskImage;
using test::StreamRecorder;

struct FreshVolume {
    const char* type;
    const char* mkfs;
    int megabytes;
};

// Every checker of the table, for real, on a freshly made volume (an image file): its
// arguments are accepted, and its exit statuses read as clean for both a check and a repair.
class CheckDiskEveryFileSystemTest : public ::testing::TestWithParam<FreshVolume> {};

TEST_P(CheckDiskEveryFileSystemTest, AFreshVolumeIsCleanToCheckAndToRepair) {
    const FreshVolume& volume = GetParam();
    std::string mkfs = std::string(volume.mkfs).substr(0, std::string(volume.mkfs).find(' '));
    if (!CheckDiskImage::hasTool(mkfs)) {
        GTEST_SKIP() << mkfs << " is not installed";
    }
    CheckDiskImage image(volume.megabytes);
    ASSERT_TRUE(CheckDiskImage::run(std::string(volume.mkfs) + " " + CheckDiskImage::quoted(image.image())));
    CheckDiskEngine engine;
    StreamRecorder check;
    EXPECT_EQ(engine.run({image.image(), CheckDiskMode::check}, check.sink()), CheckDiskVerdict::clean)
        << check.text();
    EXPECT_EQ(check.entries().front().second, "Checking " + image.image() + " (" + volume.type + ")");
    std::string before = image.checksum();
    StreamRecorder repair;
    EXPECT_EQ(engine.run({image.image(), CheckDiskMode::repair}, repair.sink()), CheckDiskVerdict::clean)
        << repair.text();
    EXPECT_EQ(repair.entries().back(),
              StreamRecorder::Entry(DMCheckStatus::checkEnd, CheckDiskTexts::noErrorsFound));
    if (std::string(volume.type) == "btrfs") {
        EXPECT_EQ(repair.lines().front(), std::string(CheckDiskTexts::checkOnly) + "\n");
        EXPECT_EQ(image.checksum(), before) << "btrfs is only checked";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Checkers, CheckDiskEveryFileSystemTest,
    ::testing::Values(FreshVolume{"ext4", "mkfs.ext4 -q -F", 16}, FreshVolume{"vfat", "mkfs.vfat", 16},
                      FreshVolume{"exfat", "mkfs.exfat", 16}, FreshVolume{"ntfs", "mkfs.ntfs -Q -F", 16},
                      FreshVolume{"xfs", "mkfs.xfs -q", 320}, FreshVolume{"btrfs", "mkfs.btrfs -q", 128}),
    [](const ::testing::TestParamInfo<FreshVolume>& entry) { return std::string(entry.param.type); });

}  // namespace
}  // namespace harbormind
