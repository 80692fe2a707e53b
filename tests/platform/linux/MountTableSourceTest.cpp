#include "platform/linux/disks/MountTableSource.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "FakeSysfs.h"

namespace harbormind {
namespace {

bool lists(const MountTable& table, const std::string& mountPoint) {
    for (const auto& entry : table.entries()) {
        if (entry.mountPoint == mountPoint) {
            return true;
        }
    }
    return false;
}

TEST(MountTableSourceTest, ATableInAnOrdinaryFileIsReadOnEveryCall) {
    test::FakeSysfs sysfs;
    sysfs.setMountInfo("26 1 254:0 / / rw - ext4 /dev/vda rw\n");
    MountTableSource source(sysfs.mountInfo());
    EXPECT_FALSE(lists(*source.current(), "/media/ann/STICK"));
    sysfs.setMountInfo("26 1 254:0 / / rw - ext4 /dev/vda rw\n40 26 8:17 / /media/ann/STICK rw - vfat /dev/sdb1 rw\n");
    EXPECT_TRUE(lists(*source.current(), "/media/ann/STICK"));
}

// In a mount namespace of its own (a child process), so that nobody else's mounts change the
// table meanwhile: unchanged, the table is not read again; after a mount and an unmount it is.
TEST(MountTableSourceTest, TheKernelTableIsReadAgainOnlyAfterAMountOrUnmount) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting needs root";
    }
    std::string folder = (std::filesystem::temp_directory_path() / "hm-mtsource-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            ::_exit(77);
        }
        MountTableSource source("/proc/self/mountinfo");
        auto first = source.current();
        int failures = source.current() != first ? 1 : 0;
        if (::mount("harbormind-test", folder.c_str(), "tmpfs", 0, "size=1m") != 0) {
            ::_exit(77);
        }
        auto mounted = source.current();
        failures += mounted == first || !lists(*mounted, folder) ? 2 : 0;
        failures += source.current() != mounted ? 4 : 0;
        ::umount(folder.c_str());
        failures += lists(*source.current(), folder) ? 8 : 0;
        ::_exit(failures);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    std::filesystem::remove(folder);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << "no mount namespace of its own here";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: read again unchanged, 2: mount not seen, 4: read again after the "
                                         "mount, 8: unmount not seen";
}

}  // namespace
}  // namespace harbormind
