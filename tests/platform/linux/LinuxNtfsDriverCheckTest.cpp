#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/mounting/LinuxNtfsDriverCheck.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

class LinuxNtfsDriverCheckTest : public testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("harbormind-ntfs-driver-" + std::to_string(::getpid()));
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path root;
};

TEST_F(LinuxNtfsDriverCheckTest, EitherDriverCountsAndNeitherFails) {
    std::ofstream(root / "filesystems") << "nodev\tsysfs\n\text4\n\tvfat\n";
    fs::path program = root / "ntfs-3g";
    EXPECT_FALSE(LinuxNtfsDriverCheck(root.string(), {program.string()}).present());

    // Only the kernel's driver, named as the last field of its line.
    std::ofstream(root / "filesystems") << "nodev\tsysfs\n\text4\n\tntfs3\n";
    EXPECT_TRUE(LinuxNtfsDriverCheck(root.string(), {program.string()}).present());

    // Only ntfs-3g, and only when it can be run.
    std::ofstream(root / "filesystems") << "\tntfs\n\tfuseblk\n";
    std::ofstream(program) << "#!/bin/sh\n";
    fs::permissions(program, fs::perms(0644));
    EXPECT_FALSE(LinuxNtfsDriverCheck(root.string(), {program.string()}).present());
    fs::permissions(program, fs::perms(0755));
    LinuxNtfsDriverCheck installed(root.string(), {"/nonexistent/ntfs-3g", program.string()});
    EXPECT_TRUE(installed.present());
    EXPECT_EQ(installed.ntfs3gProgram(), program.string());
}

}  // namespace
}  // namespace harbormind
