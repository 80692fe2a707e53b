#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "daemon/DaemonBusFixture.h"
#include "daemon/linux/BlockDeviceCheck.h"
#include "daemon/linux/LinuxDaemonBackend.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "testsupport/LoopDisk.h"
#include "testsupport/ProgramRun.h"

namespace harbormind {
namespace {

using F = DMEraseFileSystem;
using P = DMDiskToolsServerProtocol;

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::string blkid(const std::string& device, const std::string& tag) {
    return trimmed(test::runProgram({"blkid", "-p", "-o", "value", "-s", tag, "/dev/" + device}).out);
}

// The real daemon's disk tools on a private bus, reached through the application's wrapper,
// working on loop devices of the test's own.
class DiskToolsRealDeviceTest : public test::DaemonBusFixture {
protected:
    void SetUp() override {
        if (auto why = test::LoopDisk::unavailableReason(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        DaemonBusFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        state = std::filesystem::temp_directory_path() / ("hm-disktools-" + std::to_string(::getpid()));
        std::filesystem::create_directories(state);
        serve(std::make_shared<LinuxDaemonBackend>("/media", (state / "luks").string(), 50, std::string(),
                                                   (state / "run").string()),
              std::make_shared<BlockDeviceCheck>());
    }
    void TearDown() override {
        DaemonBusFixture::TearDown();
        std::error_code error;
        std::filesystem::remove_all(state, error);
    }

    std::unique_ptr<test::LoopDisk> attached(int megabytes, const std::string& script = {}) {
        auto disk = std::make_unique<test::LoopDisk>(megabytes);
        if (!script.empty()) {
            EXPECT_TRUE(disk->partition(script));
        }
        EXPECT_TRUE(disk->attach());
        if (!script.empty()) {
            disk->announcePartitions();
        }
        return disk;
    }

    // Mounts the volume, writes and reads a file on it, and unmounts it.
    bool usable(const std::string& device) {
        std::filesystem::path point = state / ("mnt-" + device);
        std::filesystem::create_directories(point);
        // Without the kernel's driver (as in containers) the FUSE one mounts it.
        const std::string type = blkid(device, "TYPE");
        std::vector<std::string> fuse = type == "vfat"    ? std::vector<std::string>{"fusefat", "-o", "rw+"}
                                        : type == "exfat" ? std::vector<std::string>{"mount.exfat-fuse"}
                                                          : std::vector<std::string>{"mount"};
        fuse.insert(fuse.end(), {"/dev/" + device, point.string()});
        if (test::runProgram({"mount", "/dev/" + device, point.string()}).status != 0 &&
            test::runProgram(fuse).status != 0) {
            return false;
        }
        bool written = static_cast<bool>(std::ofstream(point / "hello.txt") << "hello");
        std::ifstream back(point / "hello.txt");
        std::string text;
        std::getline(back, text);
        back.close();
        test::runProgram({"umount", point.string()});
        return written && text == "hello";
    }

    nlohmann::json sfdiskTable(const test::LoopDisk& disk) {
        auto json = nlohmann::json::parse(test::runProgram({"sfdisk", "--json", disk.node()}).out, nullptr, false);
        return json.is_object() ? json["partitiontable"] : nlohmann::json();
    }

    std::filesystem::path state;
    DMDiskToolsWrapper tools;
};

TEST_F(DiskToolsRealDeviceTest, ADiskImageHasNoHealthToReport) {
    auto disk = attached(16);
    DMDriveHealth health = tools.health(disk->name());
    EXPECT_EQ(health.assessment, DMDriveHealthAssessment::notAvailable);
    EXPECT_EQ(health.reason, disk->name() + " is a disk image: only real drives report their health");
}

TEST_F(DiskToolsRealDeviceTest, EachFileSystemIsMadeNamedAndMountableOnANewGpt) {
    auto disk = attached(320);
    for (auto [fileSystem, label] : {std::pair{F::ext4, "Linux Data"}, std::pair{F::exfat, "Camera"},
                                     std::pair{F::fat32, "stick"}, std::pair{F::ntfs, "Windows Data"}}) {
        SCOPED_TRACE(DMEraseFileSystems::nameOf(fileSystem));
        XPCCodeAnswer erased = tools.erase(disk->name(), fileSystem, label, "");
        ASSERT_EQ(erased.code, 0) << erased.message;
        EXPECT_EQ(erased.message, disk->partition(1));
        nlohmann::json table = sfdiskTable(*disk);
        EXPECT_EQ(table["label"], "gpt");
        ASSERT_EQ(table["partitions"].size(), 1u);
        EXPECT_EQ(blkid(disk->partition(1), "TYPE"), fileSystem == F::fat32 ? "vfat" : DMEraseFileSystems::nameOf(fileSystem));
        // FAT32 keeps its names in capitals.
        EXPECT_EQ(blkid(disk->partition(1), "LABEL"), fileSystem == F::fat32 ? "STICK" : label);
        EXPECT_TRUE(usable(disk->partition(1)));
    }
    XPCCodeAnswer encrypted = tools.erase(disk->name(), F::luks2Ext4, "Secret", "a password");
    if (encrypted.code == 0) {
        EXPECT_EQ(blkid(disk->partition(1), "TYPE"), "crypto_LUKS");
    } else {
        EXPECT_NE(encrypted.message.find("device-mapper"), std::string::npos) << encrypted.message;
    }
}

TEST_F(DiskToolsRealDeviceTest, ANameWithAQuoteASlashAndAccentsIsKeptWhereTheFileSystemAllowsIt) {
    auto disk = attached(64);
    const std::string name = "Zoë's \"a/b\"";
    XPCCodeAnswer ext4 = tools.erase(disk->name(), F::ext4, name, "");
    ASSERT_EQ(ext4.code, 0) << ext4.message;
    EXPECT_EQ(blkid(disk->partition(1), "LABEL"), name);

    // exFAT and FAT32 cannot hold it: refused with the reason, and the volume is untouched.
    XPCCodeAnswer exfat = tools.erase(disk->partition(1), F::exfat, name, "");
    EXPECT_EQ(exfat.code, P::invalid);
    EXPECT_EQ(exfat.message, "An exFAT name cannot contain \".");
    XPCCodeAnswer fat = tools.erase(disk->partition(1), F::fat32, "Zoë", "");
    EXPECT_EQ(fat.code, P::invalid);
    EXPECT_EQ(blkid(disk->partition(1), "TYPE"), "ext4");
    EXPECT_EQ(blkid(disk->partition(1), "LABEL"), name);

    XPCCodeAnswer ntfs = tools.erase(disk->partition(1), F::ntfs, name, "");
    ASSERT_EQ(ntfs.code, 0) << ntfs.message;
    EXPECT_EQ(blkid(disk->partition(1), "LABEL"), name);
}

TEST_F(DiskToolsRealDeviceTest, PartitionsAreCreatedInFreeSpaceAndDeleted) {
    for (const char* scheme : {"gpt", "dos"}) {
        SCOPED_TRACE(scheme);
        auto disk = attached(200, std::string("label: ") + scheme + "\\n");
        std::string error;
        auto table = tools.partitionTable(disk->name(), error);
        ASSERT_TRUE(table) << error;
        ASSERT_EQ(table->freeRegions().size(), 1u);
        const std::int64_t mib = 1 << 20;
        EXPECT_EQ(table->freeRegions()[0].startBytes, mib);

        XPCCodeAnswer first = tools.createPartition(disk->name(), mib, 64 * mib, F::ext4, "Data", "");
        ASSERT_EQ(first.code, 0) << first.message;
        XPCCodeAnswer second = tools.createPartition(disk->name(), 80 * mib, 32 * mib, F::exfat, "Photos", "");
        ASSERT_EQ(second.code, 0) << second.message;
        nlohmann::json written = sfdiskTable(*disk);
        ASSERT_EQ(written["partitions"].size(), 2u);
        EXPECT_EQ(written["partitions"][0]["start"], 2048);
        EXPECT_EQ(written["partitions"][0]["size"], 64 * 2048);
        EXPECT_EQ(written["partitions"][1]["start"], 80 * 2048);
        if (std::string(scheme) == "gpt") {
            EXPECT_EQ(written["partitions"][0]["name"], "Data");
        }
        EXPECT_EQ(blkid(first.message, "LABEL"), "Data");
        EXPECT_EQ(blkid(second.message, "TYPE"), "exfat");

        // Space that is taken is refused, and nothing changes.
        XPCCodeAnswer overlap = tools.createPartition(disk->name(), 32 * mib, 16 * mib, F::ext4, "", "");
        EXPECT_EQ(overlap.code, P::invalid);

        XPCCodeAnswer removed = tools.deletePartition(first.message);
        ASSERT_EQ(removed.code, 0) << removed.message;
        written = sfdiskTable(*disk);
        ASSERT_EQ(written["partitions"].size(), 1u);
        EXPECT_EQ(written["partitions"][0]["start"], 80 * 2048);
        EXPECT_FALSE(std::filesystem::exists("/sys/class/block/" + first.message));
    }
}

TEST_F(DiskToolsRealDeviceTest, AVolumeInUseIsRefusedWithTheReasonAndNothingChanges) {
    auto disk = attached(64, "label: gpt\\n,32M,L\\n,,L\\n");
    ASSERT_TRUE(disk->format(1, "mkfs.ext4 -q -L Busy"));
    std::filesystem::path point = state / "busy";
    std::filesystem::create_directories(point);
    ASSERT_EQ(test::runProgram({"mount", "/dev/" + disk->partition(1), point.string()}).status, 0);

    XPCCodeAnswer whole = tools.erase(disk->name(), F::exfat, "", "");
    EXPECT_EQ(whole.code, P::busy);
    EXPECT_EQ(whole.message, disk->partition(1) + " is mounted at " + point.string() + "; unmount it first");
    XPCCodeAnswer removed = tools.deletePartition(disk->partition(1));
    EXPECT_EQ(removed.code, P::busy);
    EXPECT_EQ(sfdiskTable(*disk)["partitions"].size(), 2u);
    EXPECT_EQ(blkid(disk->partition(1), "LABEL"), "Busy");

    // Its neighbour, which nothing uses, may be erased meanwhile.
    XPCCodeAnswer neighbour = tools.erase(disk->partition(2), F::fat32, "free", "");
    EXPECT_EQ(neighbour.code, 0) << neighbour.message;
    test::runProgram({"umount", point.string()});
}

TEST_F(DiskToolsRealDeviceTest, ADiskImageOfAnotherNeedsTheAdministratorsAction) {
    auto disk = attached(32);
    authorizer->allowed = false;
    XPCCodeAnswer refused = tools.erase(disk->name(), F::ext4, "", "");
    EXPECT_EQ(refused.code, P::notPermitted);
    EXPECT_EQ(refused.message,
              disk->name() + " is a disk image you did not attach: changing it needs an administrator");
    EXPECT_EQ(authorizer->lastAction, DaemonAction::eraseSystem);
    EXPECT_EQ(blkid(disk->name(), "TYPE"), "");
}

}  // namespace
}  // namespace harbormind
