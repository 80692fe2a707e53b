#include "platform/linux/disks/LinuxDeviceRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "LinuxTestMachine.h"

namespace harbormind {
namespace {

class LinuxDeviceRegistryTest : public testing::Test {
protected:
    void SetUp() override {
        test::buildMachine(sysfs);
        LinuxPaths paths;
        paths.sysfsRoot = sysfs.sysfsRoot();
        paths.devRoot = sysfs.devRoot();
        registry = std::make_unique<LinuxDeviceRegistry>(paths, [this](const SysfsBlockDevice& device) {
            auto it = facts.find(device.name);
            return it == facts.end() ? VolumeFacts{} : it->second;
        });
    }

    std::optional<std::string> text(RegistryEntryId entry, const std::string& key) {
        auto value = registry->property(entry, key);
        return value ? value->asText() : std::nullopt;
    }

    // The nearest ancestor's BSD name, as the drive manager walks it.
    std::optional<std::string> parentName(const std::string& name) {
        auto entry = registry->entryForName(name);
        for (auto up = registry->parentEntry(*entry); up; up = registry->parentEntry(*up)) {
            if (auto bsd = text(*up, "BSD Name")) {
                return bsd;
            }
        }
        return std::nullopt;
    }

    // What the USB blocker's whole-disk walk answers.
    std::optional<std::string> wholeDisk(const std::string& name) {
        auto entry = registry->entryForName(name);
        auto parent = registry->parentEntry(*entry);
        if (parent && text(*parent, "IOClass") == "IOBlockStorageDriver") {
            return name;
        }
        auto below = *entry;
        for (auto up = parent; up; below = *up, up = registry->parentEntry(*up)) {
            if (text(*up, "IOClass") == "IOBlockStorageDriver") {
                return text(below, "BSD Name");
            }
        }
        return std::nullopt;
    }

    test::FakeSysfs sysfs;
    std::map<std::string, VolumeFacts> facts;
    std::unique_ptr<LinuxDeviceRegistry> registry;
};

TEST_F(LinuxDeviceRegistryTest, PartitionsHangBelowTheirDiskAndDisksHaveNoMediaParent) {
    EXPECT_EQ(parentName("sdb1"), "sdb");
    EXPECT_EQ(parentName("nvme0n1p2"), "nvme0n1");
    EXPECT_EQ(parentName("loop3p1"), "loop3");
    EXPECT_EQ(parentName("sdb"), std::nullopt);
    EXPECT_EQ(parentName("loop3"), std::nullopt);
}

TEST_F(LinuxDeviceRegistryTest, AMappingHangsBelowThePartitionItIsMappedOn) {
    EXPECT_EQ(parentName("dm-0"), "nvme0n1p2");
    auto children = registry->childEntries(*registry->entryForName("nvme0n1p2"));
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(text(children[0], "BSD Name"), "dm-0");
}

TEST_F(LinuxDeviceRegistryTest, TheWholeDiskWalkFindsThePhysicalDisk) {
    EXPECT_EQ(wholeDisk("sdb"), "sdb");
    EXPECT_EQ(wholeDisk("sdb1"), "sdb");
    EXPECT_EQ(wholeDisk("dm-0"), "nvme0n1");
}

TEST_F(LinuxDeviceRegistryTest, PartitionsCarryTheirOffsetNumberAndEntryUuid) {
    VolumeFacts entry;
    entry.entryUuid = "9f1c3a2e-0d44-4b39-a3f2-6b1d2c8e7a55";
    facts["sdb1"] = entry;
    auto id = *registry->entryForName("sdb1");
    EXPECT_EQ(registry->property(id, "Base")->asInteger(), 2048 * 512);
    EXPECT_EQ(registry->property(id, "Partition ID")->asInteger(), 1);
    EXPECT_EQ(text(id, "UUID"), "9F1C3A2E-0D44-4B39-A3F2-6B1D2C8E7A55");
    EXPECT_FALSE(registry->property(*registry->entryForName("sdb"), "Base"));
}

TEST_F(LinuxDeviceRegistryTest, TheMediumTypeSaysSolidStateForNonRotationalDisks) {
    auto driverOf = [this](const std::string& name) { return *registry->parentEntry(*registry->entryForName(name)); };
    auto nvme = registry->property(driverOf("nvme0n1"), "Device Characteristics");
    ASSERT_TRUE(nvme && nvme->asDictionary());
    EXPECT_EQ(nvme->asDictionary()->at("Medium Type").asText(), "Solid State");
    auto usb = registry->property(driverOf("sdb"), "Device Characteristics");
    EXPECT_EQ(usb->asDictionary()->at("Medium Type").asText(), "Rotational");
    // A disk image has no medium of its own.
    EXPECT_FALSE(registry->property(driverOf("loop3"), "Device Characteristics"));
}

TEST_F(LinuxDeviceRegistryTest, SerialNumbersAreFoundWalkingUp) {
    std::optional<std::string> usbSerial;
    for (auto up = registry->parentEntry(*registry->entryForName("sdb")); up && !usbSerial;
         up = registry->parentEntry(*up)) {
        usbSerial = text(*up, "USB Serial Number");
    }
    EXPECT_EQ(usbSerial, "4C530001");
    std::optional<std::string> serial;
    for (auto up = registry->parentEntry(*registry->entryForName("nvme0n1")); up && !serial;
         up = registry->parentEntry(*up)) {
        serial = text(*up, "Serial Number");
    }
    EXPECT_EQ(serial, "S4EWNX0N123");
}

TEST_F(LinuxDeviceRegistryTest, EntriesAreStableAndFoundByEveryKindOfPath) {
    auto id = registry->entryForName("sdb1");
    ASSERT_TRUE(id);
    EXPECT_EQ(registry->entryFromPath("/dev/sdb1"), id);
    EXPECT_EQ(registry->entryFromPath("sdb1"), id);
    EXPECT_EQ(registry->entryFromPath(sysfs.folderOf("sdb1").string()), id);
    EXPECT_FALSE(registry->entryFromPath("/etc"));
    EXPECT_FALSE(registry->entryForName("sdz"));
    EXPECT_FALSE(registry->property(9999, "BSD Name"));
}

TEST_F(LinuxDeviceRegistryTest, AnEntryWhoseDeviceWentAwayAnswersNothing) {
    auto id = *registry->entryForName("sdb1");
    sysfs.remove("sdb1");
    EXPECT_FALSE(registry->property(id, "BSD Name"));
    EXPECT_FALSE(registry->parentEntry(id));
}

// Following the machine, a disk's children are read anew: a partition added after the disk
// was first listed is found. Looking once, each entry keeps its own first answer.
TEST_F(LinuxDeviceRegistryTest, ChildrenAreReadAnewWhenFollowingAndOncePerEntryWhenLookingOnce) {
    LinuxPaths paths;
    paths.sysfsRoot = sysfs.sysfsRoot();
    paths.devRoot = sysfs.devRoot();
    paths.diskWatch = DiskWatch::Once;
    LinuxDeviceRegistry once(paths, nullptr);
    auto names = [](LinuxDeviceRegistry& source, const std::string& name) {
        std::vector<std::string> found;
        for (auto child : source.childEntries(*source.entryForName(name))) {
            auto bsd = source.property(child, "BSD Name");
            found.push_back(bsd ? *bsd->asText() : "?");
        }
        return found;
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& name : {"sdb", "nvme0n1", "nvme0n1p2", "loop3"}) {
            EXPECT_EQ(names(once, name), names(*registry, name)) << name;
        }
    }
    const auto before = names(*registry, "sdb");
    sysfs.addPartition("sdb", "sdb2", "8:18", 2, 60063744, 2048);
    auto after = names(*registry, "sdb");
    EXPECT_EQ(after.size(), before.size() + 1);
    EXPECT_NE(std::find(after.begin(), after.end(), "sdb2"), after.end());
}

}  // namespace
}  // namespace harbormind
