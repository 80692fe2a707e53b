#include <fstream>

#include "CheckDiskImage.h"
#include "FakeChecker.h"
#include "StreamRecorder.h"
#include "engines/checkdisk/CheckDiskEngine.h"
#include "engines/checkdisk/CheckDiskTexts.h"
#include "engines/checkdisk/NtfsDirtyFlag.h"

namespace harbormind {
namespace {

using test::CheckDiskImage;
using test::StreamRecorder;

std::string sha256Of(const std::string& path) {
    return CheckDiskImage::capture("sha256sum " + CheckDiskImage::quoted(path)).substr(0, 64);
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Damaged volumes on real loop devices, checked and repaired with the real checkers:
// a check reports the damage and writes nothing, a repair mends it, a second check is
// clean, and the files written before the damage keep their contents.
class CheckDiskRealVolumeTest : public ::testing::Test {
protected:
    void requireTools(std::initializer_list<const char*> tools) {
        if (std::string reason = CheckDiskImage::loopUnavailableReason(); !reason.empty()) {
            GTEST_SKIP() << "First Aid on real volumes " << reason;
        }
        for (const char* tool : tools) {
            if (!CheckDiskImage::hasTool(tool)) {
                GTEST_SKIP() << tool << " is not installed";
            }
        }
        image_ = std::make_unique<CheckDiskImage>(32);
    }

    std::string randomFile(const std::string& name, int kilobytes) {
        std::string path = image_->folder() + "/" + name;
        CheckDiskImage::run("dd if=/dev/urandom bs=1024 count=" + std::to_string(kilobytes) +
                            " of=" + CheckDiskImage::quoted(path));
        return path;
    }

    CheckDiskVerdict firstAid(CheckDiskMode mode, StreamRecorder& recorder) {
        return engine_.run({image_->device(), mode}, recorder.sink());
    }

    // Check, repair, check again; `damage` names what the first check must report.
    void findAndMend(std::initializer_list<const char*> damage) {
        ASSERT_TRUE(image_->attach());
        std::string before = image_->checksum();
        StreamRecorder check;
        EXPECT_EQ(firstAid(CheckDiskMode::check, check), CheckDiskVerdict::errorsRemain) << check.text();
        for (const char* report : damage) {
            EXPECT_TRUE(contains(check.text(), report)) << report << " missing in:\n" << check.text();
        }
        EXPECT_EQ(image_->checksum(), before) << "a check changed the volume";

        StreamRecorder repair;
        EXPECT_EQ(firstAid(CheckDiskMode::repair, repair), CheckDiskVerdict::repaired) << repair.text();
        EXPECT_EQ(repair.entries().back(),
                  StreamRecorder::Entry(DMCheckStatus::checkEnd, CheckDiskTexts::errorsRepaired));

        StreamRecorder again;
        EXPECT_EQ(firstAid(CheckDiskMode::check, again), CheckDiskVerdict::clean) << again.text();
        image_->detach();
    }

    std::unique_ptr<CheckDiskImage> image_;
    CheckDiskEngine engine_;
};

TEST_F(CheckDiskRealVolumeTest, Ext4WithAnOrphanedInodeAndAWrongFreeBlocksCount) {
    requireTools({"mkfs.ext4", "debugfs", "e2fsck"});
    std::string image = CheckDiskImage::quoted(image_->image());
    std::string kept = randomFile("kept", 300);
    std::string orphan = randomFile("orphan", 40);
    ASSERT_EQ(std::filesystem::file_size(kept), 300u * 1024);
    ASSERT_TRUE(CheckDiskImage::run("mkfs.ext4 -q -F " + image));
    ASSERT_TRUE(CheckDiskImage::run("debugfs -w -R 'write " + kept + " kept' " + image));
    ASSERT_TRUE(CheckDiskImage::run("debugfs -w -R 'write " + orphan + " orphan' " + image));
    std::string stat = CheckDiskImage::capture("debugfs -R 'stat orphan' " + image);
    std::string inode =
        stat.substr(stat.find("Inode: ") + 7,
                    stat.find_first_of(" \t", stat.find("Inode: ") + 7) - stat.find("Inode: ") - 7);
    ASSERT_TRUE(CheckDiskImage::run("debugfs -w -R 'unlink orphan' " + image));
    ASSERT_TRUE(CheckDiskImage::run("debugfs -w -R 'ssv free_blocks_count 1234' " + image));

    findAndMend({"Unattached inode", "Free blocks count wrong"});

    std::string out = image_->folder() + "/out";
    CheckDiskImage::run("debugfs -R 'dump kept " + out + "' " + image);
    EXPECT_EQ(sha256Of(out), sha256Of(kept));
    CheckDiskImage::run("debugfs -R 'dump <" + inode + "> " + out + "' " + image);
    EXPECT_EQ(sha256Of(out), sha256Of(orphan)) << "the orphan's contents were lost";
    std::string lostAndFound = CheckDiskImage::capture("debugfs -R 'ls -l lost+found' " + image);
    EXPECT_TRUE(contains(lostAndFound, "#" + inode)) << inode << " not in:\n" << lostAndFound;
}

TEST_F(CheckDiskRealVolumeTest, VfatWithTheDirtyBitSetAndDifferingFatCopies) {
    requireTools({"mkfs.vfat", "fsck.vfat", "mcopy"});
    std::string image = CheckDiskImage::quoted(image_->image());
    std::string kept = randomFile("kept", 500);
    ASSERT_TRUE(CheckDiskImage::run("mkfs.vfat -F 16 " + image));
    ASSERT_TRUE(CheckDiskImage::run("mcopy -i " + image + " " + CheckDiskImage::quoted(kept) + " ::/kept"));
    {
        // The dirty bit of a FAT16 boot sector, and one free entry of the second FAT only.
        std::fstream raw(image_->image(), std::ios::in | std::ios::out | std::ios::binary);
        unsigned char boot[512];
        raw.read(reinterpret_cast<char*>(boot), sizeof boot);
        unsigned sectorSize = boot[11] | (boot[12] << 8);
        unsigned reserved = boot[14] | (boot[15] << 8);
        unsigned fatSectors = boot[22] | (boot[23] << 8);
        boot[0x25] |= 1;
        raw.seekp(0);
        raw.write(reinterpret_cast<char*>(boot), sizeof boot);
        raw.seekp(static_cast<std::streamoff>((reserved + fatSectors) * sectorSize + 2 * 1000));
        raw.write("\xF7\xFF", 2);
    }

    findAndMend({"Dirty bit is set", "FATs differ"});

    std::string out = image_->folder() + "/out";
    ASSERT_TRUE(CheckDiskImage::run("mcopy -i " + image + " ::/kept " + CheckDiskImage::quoted(out)));
    EXPECT_EQ(sha256Of(out), sha256Of(kept));
}

TEST_F(CheckDiskRealVolumeTest, NtfsWithTheVolumeDirtyFlagSet) {
    requireTools({"mkfs.ntfs", "ntfsfix", "ntfscp", "ntfscat"});
    std::string image = CheckDiskImage::quoted(image_->image());
    std::string kept = randomFile("kept", 400);
    ASSERT_TRUE(CheckDiskImage::run("mkfs.ntfs -Q -F " + image));
    ASSERT_TRUE(CheckDiskImage::run("ntfscp " + image + " " + CheckDiskImage::quoted(kept) + " kept"));
    // Plain ntfsfix schedules a Windows check: it sets the flag a crash would leave.
    ASSERT_TRUE(CheckDiskImage::run("ntfsfix " + image));
    ASSERT_EQ(NtfsDirtyFlag::read(image_->image()), true);

    findAndMend({CheckDiskTexts::ntfsDirty});

    EXPECT_EQ(NtfsDirtyFlag::read(image_->image()), false);
    std::string out = image_->folder() + "/out";
    CheckDiskImage::run("ntfscat " + image + " kept | dd of=" + CheckDiskImage::quoted(out));
    EXPECT_EQ(sha256Of(out), sha256Of(kept));
}

TEST_F(CheckDiskRealVolumeTest, Ext4WhoseOnlyFaultIsTheFreeBlocksCount) {
    // e2fsck -n exits 0 for this one; the check must still say the volume needs a repair.
    requireTools({"mkfs.ext4", "debugfs", "e2fsck"});
    std::string image = CheckDiskImage::quoted(image_->image());
    ASSERT_TRUE(CheckDiskImage::run("mkfs.ext4 -q -F " + image));
    ASSERT_TRUE(CheckDiskImage::run("debugfs -w -R 'ssv free_blocks_count 1234' " + image));
    findAndMend({"Free blocks count wrong"});
}

TEST_F(CheckDiskRealVolumeTest, MountedVolumeIsNeitherCheckedNorRepaired) {
    // An offline checker on a live file system reads counters that lag behind and reports
    // damage that is not there; a repair would corrupt it.
    requireTools({"mkfs.ext4", "mount"});
    ASSERT_TRUE(CheckDiskImage::run("mkfs.ext4 -q -F " + CheckDiskImage::quoted(image_->image())));
    ASSERT_TRUE(image_->attach());
    ASSERT_TRUE(image_->mount());
    std::string calls = image_->folder() + "/calls";
    CheckerPrograms programs;
    programs.setProgram(CheckerFamily::ext,
                        test::writeFakeChecker(image_->folder(), "echo ran > '" + calls + "'"));
    CheckDiskEngine engine(programs);
    StreamRecorder repair;
    EXPECT_EQ(engine.run({image_->device(), CheckDiskMode::repair}, repair.sink()), CheckDiskVerdict::stopped);
    EXPECT_EQ(repair.entries().back(),
              StreamRecorder::Entry(DMCheckStatus::checkStop,
                                    image_->device() + " is mounted. Unmount it before repairing it."));
    StreamRecorder check;
    EXPECT_EQ(engine.run({image_->device(), CheckDiskMode::check}, check.sink()), CheckDiskVerdict::stopped);
    EXPECT_EQ(check.entries().back().first, DMCheckStatus::checkStop);
    EXPECT_TRUE(contains(check.entries().back().second, "is mounted at " + image_->mountPoint()))
        << check.text();
    EXPECT_FALSE(std::filesystem::exists(calls));
}

TEST_F(CheckDiskRealVolumeTest, NtfsMirrorThatTheRepairCorrectedIsReportedAsRepaired) {
    // ntfsfix -d exits 0 after correcting $MFTMirr; only its words tell that it mended something.
    requireTools({"mkfs.ntfs", "ntfsfix"});
    ASSERT_TRUE(CheckDiskImage::run("mkfs.ntfs -Q -F " + CheckDiskImage::quoted(image_->image())));
    {
        // The first record of $MFTMirr, at the cluster the boot sector names, made to differ.
        std::fstream volume(image_->image(), std::ios::in | std::ios::out | std::ios::binary);
        unsigned char boot[512];
        volume.read(reinterpret_cast<char*>(boot), sizeof boot);
        std::uint64_t bytesPerSector = boot[11] | (boot[12] << 8);
        std::uint64_t mirrorCluster = 0;
        for (int i = 7; i >= 0; --i) {
            mirrorCluster = (mirrorCluster << 8) | boot[56 + i];
        }
        volume.seekp(static_cast<std::streamoff>(mirrorCluster * bytesPerSector * boot[13] + 0x100));
        volume.write(std::string(16, '\xAB').data(), 16);
    }
    ASSERT_TRUE(image_->attach());
    StreamRecorder repair;
    EXPECT_EQ(firstAid(CheckDiskMode::repair, repair), CheckDiskVerdict::repaired) << repair.text();
    EXPECT_TRUE(contains(repair.text(), "The checker repaired:\n  Correcting differences in $MFTMirr"))
        << repair.text();
    EXPECT_EQ(repair.entries().back(), StreamRecorder::Entry(DMCheckStatus::checkEnd, CheckDiskTexts::errorsRepaired));
    StreamRecorder again;
    EXPECT_EQ(firstAid(CheckDiskMode::check, again), CheckDiskVerdict::clean) << again.text();
    image_->detach();
}

TEST_F(CheckDiskRealVolumeTest, LoopDeviceDetachedDuringTheCheckEndsWithCheckStop) {
    requireTools({"mkfs.ext4"});
    ASSERT_TRUE(CheckDiskImage::run("mkfs.ext4 -q -F " + CheckDiskImage::quoted(image_->image())));
    ASSERT_TRUE(image_->attach());
    // The checker detaches the very device it was given: this test's own loop device. The
    // kernel lets a loop device go only once nobody holds it open (a program probing new
    // devices may, for a moment), and a device still there is rightly checked on: the checker
    // ends once the device is gone, as an unplugged disk is at once.
    CheckerPrograms programs;
    programs.setProgram(CheckerFamily::ext,
                        test::writeFakeChecker(image_->folder(), "echo checking\nlosetup -d \"$3\"\n"
                                                                 "size=/sys/block/${3#/dev/}/size\n"
                                                                 "for try in $(seq 200); do\n"
                                                                 "  [ \"$(cat $size 2>/dev/null || echo 0)\" = 0 ] && break\n"
                                                                 "  sleep 0.05\n"
                                                                 "done\nexit 8"));
    CheckDiskEngine engine(programs);
    StreamRecorder recorder;
    std::string device = image_->device();
    EXPECT_EQ(engine.run({device, CheckDiskMode::check}, recorder.sink()), CheckDiskVerdict::stopped);
    EXPECT_EQ(
        recorder.entries().back(),
        StreamRecorder::Entry(DMCheckStatus::checkStop, device + " disappeared while it was being checked."));
}

}  // namespace
}  // namespace harbormind
