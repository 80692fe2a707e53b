#include <gtest/gtest.h>

#include "platform/NetworkMountStatus.h"
#include "platform/linux/network/NetworkMountComplaint.h"

namespace harbormind {
namespace {

using S = NetworkMountStatus;

// The reason a failed connect shows is the program's last line, without its log's time stamp.
TEST(NetworkMountComplaint, TheReasonIsTheLastLineWithoutALogTimeStamp) {
    const std::string userSpace =
        "2026/12/07 22:17:33 NOTICE: starting\n"
        "2026/12/07 22:17:33 Failed to lsf with 2 errors: last error was: couldn't connect SMB: connection error\n";
    EXPECT_EQ(NetworkMountComplaint::lastLine(userSpace),
              "Failed to lsf with 2 errors: last error was: couldn't connect SMB: connection error");
    EXPECT_EQ(NetworkMountComplaint::classify(userSpace, 1, false), S::hostDown);

    EXPECT_EQ(NetworkMountComplaint::lastLine("mount error(13): Permission denied\r\n\n"),
              "mount error(13): Permission denied");
    // Text that only starts like a stamp, or is nothing but one, is kept as it is.
    EXPECT_EQ(NetworkMountComplaint::lastLine("2026/12/07 is the day"), "2026/12/07 is the day");
    EXPECT_EQ(NetworkMountComplaint::lastLine("2026/12/07 22:17:33 "), "2026/12/07 22:17:33 ");
    EXPECT_EQ(NetworkMountComplaint::lastLine(""), "");
}

// The kernel's "permission denied" is a refused login only for a named user; a guest is
// refused the share.
TEST(NetworkMountComplaint, EachProgramsComplaintBecomesTheStatusCallersKnow) {
    EXPECT_EQ(NetworkMountComplaint::classify("mount error(13): Permission denied", 32, true), S::authenticationRefused);
    EXPECT_EQ(NetworkMountComplaint::classify("mount error(13): Permission denied", 32, false), S::permissionDenied);
    EXPECT_EQ(NetworkMountComplaint::classify("NT_STATUS_BAD_NETWORK_NAME", 1, true), S::noSuchShare);
    EXPECT_EQ(NetworkMountComplaint::classify("mount.nfs: Connection timed out", 32, false), S::timedOut);
    EXPECT_EQ(NetworkMountComplaint::classify("something new", 5, false), 5);
    EXPECT_EQ(NetworkMountComplaint::classify("something new", 0, false), S::hostDown);
}

}  // namespace
}  // namespace harbormind
