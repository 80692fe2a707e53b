#include <gtest/gtest.h>

#include <sstream>

#include "network/NetworkDriveCommands.h"
#include "network/NetworkTestPlatform.h"
#include "network/NetworkVerbRun.h"
#include "platform/NetworkMountStatus.h"
#include "platform/sim/SimFileStore.h"
#include "platform/sim/SimKeychainFiles.h"
#include "platform/sim/SimNetworkMounter.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using test::runNetworkVerb;

class NetworkDriveCommandsTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        Platform::setCurrent(std::make_shared<test::NetworkTestPlatform>("/home/tester", &keychains, &files, &mounter));
    }

    SimKeychainFiles keychains;
    SimFileStore files;
    SimNetworkMounter mounter;
};

TEST_F(NetworkDriveCommandsTest, AddConnectDisconnectAndRemoveADrive) {
    EXPECT_EQ(runNetworkVerb([](auto& c) { return c.list(); }).second, "No network drives.\n");

    NetworkDriveCommands::NewDrive drive{"Team", NetworkDriveCommands::typeNamed("SMB"), "nas", "bob", "team", "pw", false};
    auto added = runNetworkVerb([&](auto& c) { return c.add(drive); });
    EXPECT_EQ(added, (std::pair<int, std::string>{0, "Added smb://bob@nas/team\n"}));
    EXPECT_EQ(runNetworkVerb([&](auto& c) { return c.add(drive); }).first, 1);
    NetworkDriveCommands::NewDrive incomplete{"", std::nullopt, "nas", "", "x", std::nullopt, false};
    EXPECT_EQ(runNetworkVerb([&](auto& c) { return c.add(incomplete); }).first, 1);

    auto connected = runNetworkVerb([](auto& c) { return c.connect("Team"); });
    EXPECT_EQ(connected.first, 0);
    EXPECT_TRUE(connected.second.starts_with("Connected smb://bob@nas/team at /home/tester/mnt/")) << connected.second;
    EXPECT_EQ(mounter.requests().at(0).password, "pw");

    auto listed = runNetworkVerb([](auto& c) { return c.list(); }, true);
    EXPECT_NE(listed.second.find("\"state\": \"mounted\""), std::string::npos) << listed.second;

    EXPECT_EQ(runNetworkVerb([](auto& c) { return c.disconnect("smb://bob@nas/team"); }).second,
              "Disconnected smb://bob@nas/team\n");
    EXPECT_TRUE(mounter.mountedVolumes().empty());
    EXPECT_EQ(runNetworkVerb([](auto& c) { return c.disconnect("Team"); }).first, 1);
    EXPECT_NE(runNetworkVerb([](auto& c) { return c.list(); }).second.find("offline"), std::string::npos);

    EXPECT_EQ(runNetworkVerb([](auto& c) { return c.remove("Team"); }).second,
              "Removed smb://bob@nas/team\n");
    EXPECT_EQ(runNetworkVerb([](auto& c) { return c.remove("Team"); }).first, 2);
    EXPECT_EQ(runNetworkVerb([](auto& c) { return c.connect("Team"); }).first, 2);
}

TEST_F(NetworkDriveCommandsTest, AFailedConnectSaysWhy) {
    NetworkDriveCommands::NewDrive drive{"Team", std::nullopt, "nas", "bob", "/team", "bad", false};
    runNetworkVerb([&](auto& c) { return c.add(drive); });
    mounter.setResponder([](const NetworkMountRequest&) {
        return NetworkMountResult{NetworkMountStatus::authenticationRefused, {}, {}};
    });
    auto result = runNetworkVerb([](auto& c) { return c.connect("Team"); }, true);
    EXPECT_EQ(result.first, 1);
    EXPECT_NE(result.second.find("The user name or password is incorrect."), std::string::npos);
}

TEST_F(NetworkDriveCommandsTest, AddRefusesASecondDriveOfOneNameAndAPasswordItCannotKeep) {
    NetworkDriveCommands::NewDrive drive{"Team", std::nullopt, "nas", "bob", "/team", "pw", false};
    EXPECT_EQ(runNetworkVerb([&](auto& c) { return c.add(drive); }).first, 0);
    NetworkDriveCommands::NewDrive sameName{"Team", std::nullopt, "other", "ann", "/x", "pw", false};
    auto refused = runNetworkVerb([&](auto& c) { return c.add(sameName); });
    EXPECT_EQ(refused, (std::pair<int, std::string>{1, "A network drive named Team is already in the list.\n"}));

    // The keychain cannot be read: the password would be lost, so the drive is not added.
    keychains.damage("/home/tester/networkdrives.keychain");
    NetworkDriveCommands::NewDrive other{"Other", std::nullopt, "nas", "bob", "/other", "pw2", false};
    auto failed = runNetworkVerb([&](auto& c) { return c.add(other); });
    EXPECT_EQ(failed.first, 1);
    EXPECT_NE(failed.second.find("could not be stored in /home/tester/networkdrives.keychain"), std::string::npos)
        << failed.second;
    auto listed = runNetworkVerb([](auto& c) { return c.list(); });
    EXPECT_EQ(listed.second.find("Other"), std::string::npos) << listed.second;
}

// A disconnect shows that it waits for written files, and never says "Disconnected" while
// they have not reached the server.
TEST_F(NetworkDriveCommandsTest, DisconnectWaitsForWrittenFilesAndRefusesWhenTheyDoNotArrive) {
    NetworkDriveCommands::NewDrive drive{"Team", std::nullopt, "nas", "bob", "/team", "pw", false};
    runNetworkVerb([&](auto& c) { return c.add(drive); });
    ASSERT_EQ(runNetworkVerb([](auto& c) { return c.connect("Team"); }).first, 0);
    std::string mountPoint = mounter.mountedVolumes().at(0).mountPoint;
    mounter.setPendingWrites(mountPoint, 2);
    auto refused = runNetworkVerb([](auto& c) { return c.disconnect("Team"); });
    EXPECT_EQ(refused.first, 1);
    EXPECT_EQ(refused.second, "Waiting for 2 files to reach the server ...\n" +
                                  NetworkMountStatus::describe(NetworkMountStatus::writesPending) + "\n");
    EXPECT_EQ(mounter.mountedVolumes().size(), 1u);

    mounter.setPendingWrites(mountPoint, 0);
    EXPECT_EQ(runNetworkVerb([](auto& c) { return c.disconnect("Team"); }).second,
              "Disconnected smb://bob@nas/team\n");
    EXPECT_TRUE(mounter.mountedVolumes().empty());
}

}  // namespace
}  // namespace harbormind
