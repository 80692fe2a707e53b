#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "LinuxTestMachine.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/linux/disks/LinuxDiskDescriber.h"
#include "platform/linux/disks/UdevDatabase.h"
#include "testsupport/ChildProcess.h"

namespace harbormind {
namespace {

using Key = DiskDescriptionKey;
namespace fs = std::filesystem;

// The record udev writes for an NTFS partition on a GPT disk (sdb1 is 8:17 in the machine).
const char* ntfsRecord =
    "S:disk/by-label/My_Files\n"
    "I:2736481\n"
    "E:ID_FS_LABEL=My_Files\n"
    "E:ID_FS_LABEL_ENC=My\\x20Files\n"
    "E:ID_FS_UUID=4A1C2B3D5E6F7081\n"
    "E:ID_FS_TYPE=ntfs\n"
    "E:ID_FS_USAGE=filesystem\n"
    "E:ID_PART_ENTRY_SCHEME=gpt\n"
    "E:ID_PART_ENTRY_NAME=Basic\\x20data\\x20partition\n"
    "E:ID_PART_ENTRY_TYPE=ebd0a0a2-b9e5-4433-87c0-68b6b72699c7\n"
    "E:ID_PART_ENTRY_UUID=0b5a1c2e-3d4f-4a5b-8c6d-7e8f90a1b2c3\n"
    "E:broken line without an equals sign\n"
    "G:systemd\n";

class UdevDatabaseTest : public testing::Test {
protected:
    void SetUp() override {
        test::buildMachine(sysfs);
        udevRoot = fs::path(sysfs.devRoot()).parent_path() / "udev-data";
        fs::create_directories(udevRoot);
        std::ofstream(udevRoot / "b8:17") << ntfsRecord;
    }

    test::FakeSysfs sysfs;
    fs::path udevRoot;
};

TEST_F(UdevDatabaseTest, ReadsTheFileSystemAndPartitionEntryOfARecord) {
    auto facts = UdevDatabase(udevRoot.string()).facts("8:17");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->type, "ntfs");
    EXPECT_EQ(facts->label, "My Files");
    EXPECT_EQ(facts->uuid, "4A1C2B3D5E6F7081");
    EXPECT_EQ(facts->entryScheme, "gpt");
    EXPECT_EQ(facts->entryName, "Basic data partition");
    EXPECT_EQ(facts->entryUuid, "0b5a1c2e-3d4f-4a5b-8c6d-7e8f90a1b2c3");
    EXPECT_FALSE(facts->tableType);
    // No record, or a number that is not one, reads nothing (and never leaves the folder).
    EXPECT_FALSE(UdevDatabase(udevRoot.string()).facts("8:18"));
    EXPECT_FALSE(UdevDatabase(udevRoot.string()).facts("8:17/../b8:17"));
    EXPECT_FALSE(UdevDatabase(udevRoot.string()).facts(""));
    EXPECT_EQ(UdevDatabase::decoded("a\\x2fb\\x2"), "a/b\\x2");
}

// Runs as an ordinary user (root re-runs it as "nobody"): a node this user may not open is
// described from the udev database, a readable one by probing it.
TEST_F(UdevDatabaseTest, AnOrdinaryUserSeesLabelTypeAndUuidOfNodesItCannotOpen) {
    if (::geteuid() == 0) {
        std::vector<std::string> argv{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--",
                                      "env", "TMPDIR=/tmp", fs::read_symlink("/proc/self/exe").string(),
                                      "--gtest_filter=UdevDatabaseTest.AnOrdinaryUserSeesLabelTypeAndUuidOfNodesItCannotOpen"};
        int out = -1;
        test::ChildProcess child(argv, {}, &out);
        std::string text;
        char buffer[4096];
        ssize_t got;
        while ((got = ::read(out, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(out);
        EXPECT_EQ(child.waitExit(std::chrono::seconds(60)), 0) << text;
        EXPECT_NE(text.find("[  PASSED  ] 1 test"), std::string::npos) << text;
        return;
    }
    std::ofstream(sysfs.devNode("sdb1")) << std::string(4096, '\0');
    ::chmod(sysfs.devNode("sdb1").c_str(), 0);
    LinuxPaths paths;
    paths.sysfsRoot = sysfs.sysfsRoot();
    paths.devRoot = sysfs.devRoot();
    paths.mountInfo = sysfs.mountInfo();
    paths.udevDataRoot = udevRoot.string();
    LinuxDiskDescriber describer(paths);
    auto device = describer.device("sdb1");
    ASSERT_TRUE(device);
    DiskDescription description = describer.describe(*device, describer.probe(*device), MountTable::parse(""), 1.0);
    EXPECT_EQ(description.text(Key::volumeType), "ntfs");
    EXPECT_EQ(description.text(Key::volumeName), "My Files");
    EXPECT_EQ(description.text(Key::volumeUUID), "4A1C2B3D5E6F7081");

    // Readable, the node's own (empty) contents count, not the record.
    ::chmod(sysfs.devNode("sdb1").c_str(), 0600);
    DiskDescription probed = describer.describe(*device, describer.probe(*device), MountTable::parse(""), 1.0);
    EXPECT_FALSE(probed.text(Key::volumeType));
}

}  // namespace
}  // namespace harbormind
