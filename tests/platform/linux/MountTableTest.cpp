#include "platform/linux/disks/MountTable.h"

#include <gtest/gtest.h>

namespace harbormind {
namespace {

const char* sample =
    "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
    "40 26 8:17 / /media/ann/My\\040Stick rw,nosuid - vfat /dev/sdb1 rw\n"
    "41 26 8:17 /photos /home/ann/photos rw - vfat /dev/sdb1 rw\n"
    "42 26 0:55 / /media/ann/Backup rw - fuseblk /dev/sdc1 rw\n"
    "this line is not a mount\n"
    "43 26 8:33 /sub /srv/bind rw - ext4 /dev/sdc3 rw\n";

TEST(MountTableTest, ParsesFieldsAndDecodesEscapes) {
    MountTable table = MountTable::parse(sample);
    ASSERT_EQ(table.entries().size(), 5u);
    EXPECT_EQ(table.entries()[1].mountPoint, "/media/ann/My Stick");
    EXPECT_EQ(table.entries()[1].fsType, "vfat");
    EXPECT_EQ(table.entries()[1].source, "/dev/sdb1");
    EXPECT_EQ(table.entries()[2].root, "/photos");
}

TEST(MountTableTest, FindsTheWholeMountBeforeABindMountOfASubfolder) {
    MountTable table = MountTable::parse(sample);
    EXPECT_EQ(table.mountPointOf("8:17", "/dev/sdb1"), "/media/ann/My Stick");
    // Only a bind mount of a subfolder: better than nothing.
    EXPECT_EQ(table.mountPointOf("8:33", "/dev/sdc3"), "/srv/bind");
    EXPECT_EQ(table.mountPointOf("8:18", "/dev/sdb2"), std::nullopt);
}

TEST(MountTableTest, MatchesAFuseMountBySourceWhenTheNumberIsAnonymous) {
    MountTable table = MountTable::parse(sample);
    EXPECT_EQ(table.mountPointOf("8:33", "/dev/sdc1"), "/media/ann/Backup");
}

TEST(MountTableTest, ListsMountPointsMostRecentFirstForUnmounting) {
    MountTable table = MountTable::parse(sample);
    std::vector<std::string> expected{"/home/ann/photos", "/media/ann/My Stick"};
    EXPECT_EQ(table.mountPointsOf("8:17", ""), expected);
}

TEST(MountTableTest, FindsTheMountHoldingAPathByWholeComponents) {
    MountTable table = MountTable::parse(sample);
    EXPECT_EQ(table.entryContaining("/media/ann/Backup/file")->devNumber, "0:55");
    // "/media/ann/Backup2" is not inside "/media/ann/Backup".
    EXPECT_EQ(table.entryContaining("/media/ann/Backup2")->devNumber, "254:0");
}

TEST(MountTableTest, TruncatedEscapesAndShortLinesDoNotCrash) {
    MountTable table = MountTable::parse("1 2 3:4 / /mnt\\04 rw - ext4 /dev/x rw\n1 2\n- -\n\\\n");
    ASSERT_EQ(table.entries().size(), 1u);
    EXPECT_EQ(table.entries()[0].mountPoint, "/mnt\\04");
}

}  // namespace
}  // namespace harbormind
