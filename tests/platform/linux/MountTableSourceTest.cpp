#include "platform/linux/disks/MountTableSource.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

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

// Whether this process may take a mount namespace of its own: tried in a child that does
// nothing else, so nothing runs there that another thread of this process might hold a lock of.
bool mayTakeOwnMountNamespace() {
    pid_t child = ::fork();
    if (child == 0) {
        ::_exit(::unshare(CLONE_NEWNS) == 0 ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs in a process of its own, in a mount namespace of its own; exits 0 when the table was
// read again exactly after each change, else says what went wrong.
[[noreturn]] void readsAgainOnlyAfterChanges() {
    std::string folder = (std::filesystem::temp_directory_path() / "hm-mtsource-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr || ::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        std::cerr << "no mount namespace of its own" << std::endl;
        std::exit(1);
    }
    MountTableSource source("/proc/self/mountinfo");
    auto first = source.current();
    std::string wrong = source.current() != first ? "read again unchanged; " : "";
    if (::mount("harbormind-test", folder.c_str(), "tmpfs", 0, "size=1m") != 0) {
        std::cerr << "cannot mount a tmpfs" << std::endl;
        std::exit(1);
    }
    auto mounted = source.current();
    wrong += mounted == first || !lists(*mounted, folder) ? "mount not seen; " : "";
    wrong += source.current() != mounted ? "read again after the mount; " : "";
    ::umount(folder.c_str());
    wrong += lists(*source.current(), folder) ? "unmount not seen; " : "";
    std::filesystem::remove(folder);
    std::cerr << wrong << std::endl;
    std::exit(wrong.empty() ? 0 : 1);
}

// In a mount namespace of its own, so that nobody else's mounts change the table meanwhile:
// unchanged, the table is not read again; after a mount and an unmount it is. The work runs
// in a freshly started copy of this test program (the thread-safe death-test style), never in
// a bare fork of a process whose other threads may hold the allocator's locks.
TEST(MountTableSourceTest, TheKernelTableIsReadAgainOnlyAfterAMountOrUnmount) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting needs root";
    }
    if (!mayTakeOwnMountNamespace()) {
        GTEST_SKIP() << "no mount namespace of its own here";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(readsAgainOnlyAfterChanges(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace harbormind
