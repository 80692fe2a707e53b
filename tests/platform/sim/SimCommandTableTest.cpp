#include <gtest/gtest.h>

#include "platform/sim/SimCommandTable.h"

namespace harbormind {
namespace {

TEST(SimCommandTableTest, EncryptionLinesQuoteEveryValue) {
    SimCommandTable table;
    EXPECT_EQ(table.encryptAPFSVolume("disk3s1", "it's $(x)"),
              "/usr/sbin/diskutil apfs encryptVolume 'disk3s1' -user disk -passphrase 'it'\\''s $(x)'");
    EXPECT_EQ(table.listAPFSContainer("disk3"), "/usr/sbin/diskutil apfs list 'disk3'");
    EXPECT_EQ(table.convertToCoreStorage("disk2s2", "a\\b"),
              "/usr/sbin/diskutil coreStorage convert 'disk2s2' -passphrase 'a\\b'");
}

TEST(SimCommandTableTest, NewerSystemsConvertWithTheBundledToolByItsQuotedPath) {
    SimCommandTable table;
    table.setBundledVolumeTool("/Applications/Kestrane Harbormind.app/Contents/MacOS/diskutil");
    EXPECT_EQ(table.convertToCoreStorage("disk2s2", "pw"),
              "'/Applications/Kestrane Harbormind.app/Contents/MacOS/diskutil' coreStorage convert 'disk2s2' "
              "-passphrase 'pw'");
}

}  // namespace
}  // namespace harbormind
