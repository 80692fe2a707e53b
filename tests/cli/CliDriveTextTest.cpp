#include <gtest/gtest.h>

#include "cli/CliDriveText.h"

namespace harbormind {
namespace {

// Regression: the file systems of Linux machines were past the end of the name table, so
// listing a machine with an ext4 volume threw instead of printing.
TEST(CliDriveText, NamesEveryFileSystemIncludingTheLinuxOnes) {
    EXPECT_EQ(CliDriveText::text(DMDriveObjectFilesystem::corestorage), "corestorage");
    EXPECT_EQ(CliDriveText::text(DMDriveObjectFilesystem::ext4), "ext4");
    EXPECT_EQ(CliDriveText::text(DMDriveObjectFilesystem::luks), "luks");
}

}  // namespace
}  // namespace harbormind
