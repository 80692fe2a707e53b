// The NTFS service's contract: a mount the daemon refuses comes back with its reason, the same
// from the simulated daemon as from the real one.
#include "contract/DaemonContractTest.h"
#include "drivemodel/DMNtfsWrapper.h"
#include "xpc/NtfsMountResult.h"

namespace harbormind::test {
namespace {

TEST_P(DaemonContractTest, AnNtfsMountOfAVolumeThatHoldsNoneSaysSoAndMountsNothing) {
    const std::string disk = machine->addDisk(128);
    DMNtfsWrapper wrapper;
    XPCCodeAnswer answer = wrapper.mountNTFSVolumeWithBsdName(disk);
    EXPECT_EQ(answer.code, NtfsMountResult::failed);
    EXPECT_EQ(answer.message, "/dev/" + disk + " holds no NTFS volume");
    // The kept call answers the same code, without the words.
    EXPECT_EQ(wrapper.mountAsNTFSNativelyWithBsdName(disk), NtfsMountResult::failed);
}

}  // namespace
}  // namespace harbormind::test
