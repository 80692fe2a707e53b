#include <gtest/gtest.h>

#include "drivemodel/DMLocalDriveObject.h"
#include "network/LocalDrivePassword.h"
#include "platform/sim/SimKeychainFiles.h"
#include "platform/sim/SimPlatform.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

class LocalDrivePasswordTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        platform = SimPlatform::empty();
        Platform::setCurrent(platform);
        ASSERT_TRUE(platform->addDisk(R"({"bsdName": "disk4", "description": {"DAMediaSize": 1000, "DAMediaWhole": true}})"));
        ASSERT_TRUE(platform->addDisk(R"({"bsdName": "disk4s1", "parent": "disk4",
            "properties": {"UUID": "6A3E5C12-01", "Base": 1048576, "Partition ID": 1},
            "description": {"DAMediaSize": 512}})"));
    }
    SimKeychainFiles& keychains() { return *dynamic_cast<SimKeychainFiles*>(platform->keychainFiles()); }

    std::shared_ptr<SimPlatform> platform;
};

TEST_F(LocalDrivePasswordTest, APasswordIsKeptUnderTheDrivesFlag) {
    auto drive = DMLocalDriveObject::create("disk4s1");
    EXPECT_FALSE(LocalDrivePassword::password(*drive).has_value());
    LocalDrivePassword::setPassword(*drive, "unlock me");
    EXPECT_EQ(LocalDrivePassword::password(*drive), "unlock me");
    auto items = keychains().items("/home/user/localdrives.keychain");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].account, "DM-6A3E5C12-01");
    EXPECT_EQ(items[0].accessibility, "accessibleWhenUnlockedAlways");
    // Every instance let go of the file, so it is locked again.
    EXPECT_FALSE(keychains().isUnlocked("/home/user/localdrives.keychain"));

    LocalDrivePassword::setPassword(*drive, std::nullopt);
    EXPECT_FALSE(LocalDrivePassword::password(*drive).has_value());
}

TEST_F(LocalDrivePasswordTest, ADriveWithoutAFlagHasNoPassword) {
    ASSERT_TRUE(platform->addDisk(R"({"bsdName": "disk5", "description": {"DAMediaSize": 1000}})"));
    auto drive = DMLocalDriveObject::create("disk5");
    LocalDrivePassword::setPassword(*drive, "ignored");
    EXPECT_FALSE(LocalDrivePassword::password(*drive).has_value());
    EXPECT_FALSE(keychains().exists("/home/user/localdrives.keychain"));
}

}  // namespace
}  // namespace harbormind
