// The disk tools' contract: a new volume's name, file system and space are refused alike, with
// the same reasons, before either side looks at the disk.
#include "contract/DaemonContractTest.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "xpc/DMDiskToolsServerProtocol.h"

namespace harbormind::test {
namespace {

constexpr std::int64_t MiB = 1 << 20;
using P = DMDiskToolsServerProtocol;

TEST_P(DaemonContractTest, TheDiskToolsRefuseANameOrSpaceNoFileSystemTakesWithTheReason) {
    const std::string disk = machine->addDisk(128);
    DMDiskToolsWrapper tools;
    XPCCodeAnswer longName = tools.erase(disk, DMEraseFileSystem::fat32, "TWELVE_CHARS", "");
    EXPECT_EQ(longName.code, P::invalid) << longName.message;
    EXPECT_EQ(longName.message, "A FAT32 name can be at most 11 characters long.");

    XPCCodeAnswer tooSmall = tools.createPartition(disk, MiB, 4096, DMEraseFileSystem::ext4, "", "");
    EXPECT_EQ(tooSmall.code, P::invalid);
    EXPECT_EQ(tooSmall.message, "a partition takes at least 1 MiB of the disk");

    XPCCodeAnswer unaligned = tools.createPartition(disk, MiB + 512, 8 * MiB, DMEraseFileSystem::ext4, "", "");
    EXPECT_EQ(unaligned.code, P::invalid);
    EXPECT_EQ(unaligned.message, "a partition starts and ends on a whole MiB");
}

}  // namespace
}  // namespace harbormind::test
