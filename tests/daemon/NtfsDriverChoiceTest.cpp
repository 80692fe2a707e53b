#include <gtest/gtest.h>

#include "daemon/linux/NtfsDriverChoice.h"

namespace harbormind {
namespace {

NtfsMountRequest requestFor(HibernationFile hibernation) {
    return NtfsMountRequest{"/dev/loop9", 1234, 567, hibernation};
}

TEST(NtfsDriverChoiceTest, Ntfs3gIsPreferredAndTheKernelDriverIsTheFallback) {
    EXPECT_EQ(NtfsDriverChoice::choose(true, true), NtfsDriver::ntfs3g);
    EXPECT_EQ(NtfsDriverChoice::choose(true, false), NtfsDriver::ntfs3g);
    EXPECT_EQ(NtfsDriverChoice::choose(false, true), NtfsDriver::kernelNtfs3);
    EXPECT_FALSE(NtfsDriverChoice::choose(false, false).has_value());
}

TEST(NtfsDriverChoiceTest, Ntfs3gLinesCarryTheSafetyOptionsAndRemoveTheFileOnlyWhenWritingAndAsked) {
    auto keep = requestFor(HibernationFile::keep);
    auto remove = requestFor(HibernationFile::remove);
    EXPECT_EQ(NtfsDriverChoice::options(NtfsDriver::ntfs3g, keep, false),
              "rw,nosuid,nodev,uid=1234,gid=567,dmask=0077,fmask=0177");
    EXPECT_EQ(NtfsDriverChoice::options(NtfsDriver::ntfs3g, remove, false),
              "rw,nosuid,nodev,uid=1234,gid=567,dmask=0077,fmask=0177,remove_hiberfile");
    // The read-only retry never removes anything.
    EXPECT_EQ(NtfsDriverChoice::options(NtfsDriver::ntfs3g, remove, true),
              "ro,nosuid,nodev,uid=1234,gid=567,dmask=0077,fmask=0177");
}

TEST(NtfsDriverChoiceTest, TheKernelDriverGetsOnlyOwnerDataItUnderstands) {
    // The kernel refuses a mount whose data it does not know: no remove_hiberfile, and the
    // flags (ro, nosuid, nodev) travel as mount flags, not as words.
    for (HibernationFile hibernation : {HibernationFile::keep, HibernationFile::remove}) {
        for (bool readOnly : {false, true}) {
            EXPECT_EQ(NtfsDriverChoice::options(NtfsDriver::kernelNtfs3, requestFor(hibernation), readOnly),
                      "uid=1234,gid=567,dmask=0077,fmask=0177");
        }
    }
}

}  // namespace
}  // namespace harbormind
