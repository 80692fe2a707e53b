#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/HarbormindCtl.h"
#include "xpc/XPCTransport.h"
#include "testsupport/LoopImageCleanup.h"
#include "testsupport/SourceTree.h"

namespace harbormind {
namespace {

struct CheckRun {
    int status;
    std::string out;
    std::string err;
};

CheckRun runCtl(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    int status = runHarbormindctl(arguments, out, err, in);
    return {status, out.str(), err.str()};
}

std::string scenario(const std::string& name) {
    return test::SourceTree::scenario(name);
}

bool shell(const std::string& line) {
    return std::system((line + " >/dev/null 2>&1").c_str()) == 0;
}

class CliCheckVerbTest : public testing::Test {
protected:
    void TearDown() override { XPCTransport::setCurrent(nullptr); }
};

TEST_F(CliCheckVerbTest, StreamsTheDaemonsLinesAndExitsZeroOnACleanVolume) {
    CheckRun run =
        runCtl({"check", "/dev/disk5s1", "--platform", "sim", "--scenario", scenario("usb-disks.json")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Mounting volume... OK\n"), std::string::npos) << run.out;
    // The mounted volume was unmounted for the check and is mounted again after the verdict.
    EXPECT_NE(run.out.find("disk5s1 was unmounted from /Volumes/ELEMENTS for the check"), std::string::npos) << run.out;
    const std::string end = "No errors found\ndisk5s1 is mounted again at /Volumes/ELEMENTS.\n";
    EXPECT_EQ(run.out.substr(run.out.size() - end.size()), end);

    CheckRun odd =
        runCtl({"check", "disk5s1;reboot", "--platform", "sim", "--scenario", scenario("usb-disks.json")});
    EXPECT_NE(odd.status, 0);
    EXPECT_EQ(odd.err, "harbormindctl: check disk5s1;reboot: not a device name\n");
}

TEST_F(CliCheckVerbTest, AsRootChecksADamagedLoopDeviceThenRepairsIt) {
    if (::geteuid() != 0 || !shell("command -v losetup") || !shell("command -v mkfs.vfat")) {
        GTEST_SKIP() << "needs root, losetup and dosfstools";
    }
    std::string folder =
        std::filesystem::temp_directory_path() / ("hm-firstaid-cli-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string image = folder + "/volume.img";
    test::LoopImageCleanup cleanup(image, folder);
    ASSERT_TRUE(shell("truncate -s 16M '" + image + "' && mkfs.vfat -F 16 '" + image + "'"));
    {
        std::fstream raw(image, std::ios::in | std::ios::out | std::ios::binary);
        raw.seekp(0x25);
        raw.put('\x01');  // the dirty bit
    }
    std::string loop;
    if (FILE* pipe = ::popen(("losetup -f --show '" + image + "'").c_str(), "r")) {
        char buffer[64] = {};
        if (std::fgets(buffer, sizeof buffer, pipe)) {
            loop = buffer;
        }
        ::pclose(pipe);
    }
    while (!loop.empty() && loop.back() == '\n') {
        loop.pop_back();
    }
    ASSERT_EQ(loop.rfind("/dev/loop", 0), 0u);
    CheckRun check = runCtl({"check", loop});
    CheckRun repair = runCtl({"check", loop.substr(5), "--repair"});
    CheckRun again = runCtl({"check", loop});
    shell("losetup -d '" + loop + "'");
    std::filesystem::remove_all(folder);

    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("Dirty bit is set"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("Errors remain\n"), std::string::npos);
    EXPECT_EQ(repair.status, 0) << repair.out;
    EXPECT_NE(repair.out.find("Errors were repaired\n"), std::string::npos);
    EXPECT_EQ(again.status, 0) << again.out;
}

// Regression: a healthy ext4 volume checked while mounted was reported damaged ("Free inodes
// count wrong ... Errors remain"), because a live file system's counters on disk lag behind.
TEST_F(CliCheckVerbTest, AsRootAMountedHealthyVolumeIsUnmountedCheckedCleanAndMountedAgain) {
    if (::geteuid() != 0 || !shell("command -v losetup") || !shell("command -v mkfs.ext4")) {
        GTEST_SKIP() << "needs root, losetup and e2fsprogs";
    }
    std::string folder =
        std::filesystem::temp_directory_path() / ("hm-firstaid-mounted-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder + "/mnt");
    std::string image = folder + "/volume.img";
    test::LoopImageCleanup cleanup(image, folder);
    // Larger than the smallest disk the drive model shows (100 MB).
    ASSERT_TRUE(shell("truncate -s 160M '" + image + "' && mkfs.ext4 -q -F -L HMCHECK '" + image + "'"));
    std::string loop;
    if (FILE* pipe = ::popen(("losetup -f --show '" + image + "'").c_str(), "r")) {
        char buffer[64] = {};
        if (std::fgets(buffer, sizeof buffer, pipe)) {
            loop = buffer;
        }
        ::pclose(pipe);
    }
    while (!loop.empty() && loop.back() == '\n') {
        loop.pop_back();
    }
    ASSERT_EQ(loop.rfind("/dev/loop", 0), 0u);
    ASSERT_TRUE(shell("mount '" + loop + "' '" + folder + "/mnt'"));
    // Files written and still open make the counters on disk stale, as on a drive in use.
    ASSERT_TRUE(shell("for i in $(seq 1 200); do echo $i > '" + folder + "/mnt/f$i'; done"));

    CheckRun check = runCtl({"check", loop.substr(5)});
    // Wherever the volume was mounted again, it goes before its loop device does.
    shell("for point in $(findmnt -n -o TARGET -S '" + loop + "'); do umount \"$point\" && rmdir \"$point\"; done");
    shell("losetup -d '" + loop + "'");
    std::filesystem::remove_all(folder);

    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_NE(check.out.find("was unmounted from " + folder + "/mnt for the check"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("No errors found\n"), std::string::npos) << check.out;
    EXPECT_EQ(check.out.find("count wrong"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("is mounted again at "), std::string::npos) << check.out;
}

}  // namespace
}  // namespace harbormind
