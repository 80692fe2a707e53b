#include <gtest/gtest.h>

#include <sstream>

#include "network/DMNetworkDriveManager.h"
#include "network/DMNetworkDriveObject.h"
#include "network/NetworkDriveCommands.h"
#include "network/NetworkDriveFolderText.h"
#include "network/NetworkDriveForm.h"
#include "network/NetworkTestPlatform.h"
#include "network/NetworkVerbRun.h"
#include "platform/sim/SimFileStore.h"
#include "platform/sim/SimKeychainFiles.h"
#include "platform/sim/SimNetworkMounter.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using test::runNetworkVerb;

using Address = NetworkDriveFolderText::Address;

Address addressOf(const std::string& text, const std::string& scheme = "smb") {
    return NetworkDriveFolderText::address(scheme, text);
}

TEST(NetworkDriveFolderTextTest, AHostAndShareWithATrailingSlashGiveHostAndSlashShare) {
    EXPECT_EQ(addressOf("nas.local/media/"), (Address{"nas.local", "/media"}));
    EXPECT_EQ(NetworkDriveFolderText::urlTitle("smb", "nas.local", "/media"), "smb://nas.local/media");
    EXPECT_EQ(addressOf("192.168.0.100/documents/reports"), (Address{"192.168.0.100", "/documents/reports"}));
    EXPECT_EQ(addressOf("nas"), (Address{"nas", ""}));
}

TEST(NetworkDriveFolderTextTest, SlashesThenBackslashesAreTrimmedAtBothEnds) {
    EXPECT_EQ(addressOf("//nas/share//"), (Address{"nas", "/share"}));
    EXPECT_EQ(addressOf("\\\\nas/share\\"), (Address{"nas", "/share"}));
    // Backslashes go after slashes, so a slash inside them stays.
    EXPECT_EQ(NetworkDriveFolderText::normalized("\\/nas/share/\\"), "/nas/share/");
    EXPECT_EQ(addressOf("  nas/share \n"), (Address{"nas", "/share"}));
}

TEST(NetworkDriveFolderTextTest, AWholeAddressLosesItsSchemeAndAccountButKeepsItsPort) {
    EXPECT_EQ(NetworkDriveFolderText::normalized("smb://bob@nas:1445/team/"), "nas:1445/team");
    EXPECT_EQ(addressOf("smb://bob@nas:1445/team/"), (Address{"nas:1445", "/team"}));
    // The drive's own scheme is used, whatever the text said.
    EXPECT_EQ(addressOf("afp://nas/team", "nfs"), (Address{"nas", "/team"}));
}

TEST(NetworkDriveFolderTextTest, TextThatMakesNoAddressGivesNoHostAndNoFolder) {
    EXPECT_EQ(addressOf(""), (Address{}));
    EXPECT_EQ(addressOf("///"), (Address{}));
    EXPECT_EQ(addressOf("nas/my share"), (Address{}));
    EXPECT_EQ(addressOf(":445/share"), (Address{}));
}

TEST(NetworkDriveFormTest, TheFormFillsTheDriveAndComesBackFromIt) {
    DMNetworkDriveObject drive;
    drive.setScheme("smb");
    NetworkDriveForm form{"Team", "smb://nas/team/", "bob", "", false};
    form.applyTo(drive);
    EXPECT_EQ(drive.name(), "Team");
    EXPECT_EQ(drive.host(), "nas");
    EXPECT_EQ(drive.dir(), "/team");
    EXPECT_EQ(drive.userName(), "bob");
    // An empty password is accepted and is no password.
    EXPECT_FALSE(drive.password().has_value());
    EXPECT_TRUE(drive.isComplete());
    EXPECT_EQ(drive.identifier(), "smb://bob@nas/team");

    NetworkDriveForm back = NetworkDriveForm::from(drive);
    EXPECT_EQ(back.folder, "nas/team");
    EXPECT_EQ(back.password, "");

    NetworkDriveForm guest{"Public", "nas/public", "", "", false};
    guest.applyTo(drive);
    EXPECT_FALSE(drive.isComplete());
    guest.anonymous = true;
    guest.applyTo(drive);
    EXPECT_TRUE(drive.isComplete());
}

class NetworkDriveEditTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        Platform::setCurrent(std::make_shared<test::NetworkTestPlatform>("/home/tester", &keychains, &files, &mounter));
        runNetworkVerb([](auto& c) {
            return c.add({"Team", NetworkDriveCommands::typeNamed("smb"), "nas", "bob", "/team", "pw", false});
        });
        runNetworkVerb([](auto& c) {
            return c.add({"Media", NetworkDriveCommands::typeNamed("afp"), "nas", "bob", "/media", "pw", false});
        });
    }

    std::string listed() {
        return runNetworkVerb([](auto& c) { return c.list(); }).second;
    }

    SimKeychainFiles keychains;
    SimFileStore files;
    SimNetworkMounter mounter;
};

TEST_F(NetworkDriveEditTest, EditTakesTheFolderTextAsTheEditorDoesAndKeepsWhatIsNotGiven) {
    NetworkDriveCommands::DriveEdit changes;
    changes.folder = "smb://other:1445/archive/";
    auto result = runNetworkVerb([&](auto& c) { return c.edit("Team", changes); });
    EXPECT_EQ(result, (std::pair<int, std::string>{0, "Saved smb://bob@other:1445/archive\n"}));
    std::string list = listed();
    EXPECT_NE(list.find("Team  smb://bob@other:1445/archive  offline"), std::string::npos) << list;
    EXPECT_EQ(list.find("smb://bob@nas/team"), std::string::npos) << list;

    // The password went with the drive: connecting uses it.
    EXPECT_EQ(runNetworkVerb([](auto& c) { return c.connect("Team"); }).first, 0);
    EXPECT_EQ(mounter.requests().at(0).password, "pw");
    EXPECT_EQ(mounter.requests().at(0).url, "smb://other:1445/archive");
}

TEST_F(NetworkDriveEditTest, EditChangesTypeNameAndAccount) {
    NetworkDriveCommands::DriveEdit changes;
    changes.type = DMNetworkDriveType::nfs;
    changes.name = "Team NFS";
    changes.userName = "ann";
    EXPECT_EQ(runNetworkVerb([&](auto& c) { return c.edit("smb://bob@nas/team", changes); }).second,
              "Saved nfs://ann@nas/team\n");
    EXPECT_NE(listed().find("Team NFS  nfs://ann@nas/team"), std::string::npos);
}

TEST_F(NetworkDriveEditTest, EditRefusesWhatTheEditorWouldRefuseAndLeavesTheDriveAsItWas) {
    const std::string before = listed();
    NetworkDriveCommands::DriveEdit noUser;
    noUser.userName = "";
    EXPECT_EQ(runNetworkVerb([&](auto& c) { return c.edit("Team", noUser); }).first, 1);
    NetworkDriveCommands::DriveEdit noHost;
    noHost.folder = "///";
    EXPECT_EQ(runNetworkVerb([&](auto& c) { return c.edit("Team", noHost); }).first, 1);
    NetworkDriveCommands::DriveEdit takenName;
    takenName.name = "Media";
    auto taken = runNetworkVerb([&](auto& c) { return c.edit("Team", takenName); });
    EXPECT_EQ(taken.first, 1);
    EXPECT_NE(taken.second.find("already in the list"), std::string::npos) << taken.second;
    NetworkDriveCommands::DriveEdit sameAsOther;
    sameAsOther.type = DMNetworkDriveType::afp;
    sameAsOther.folder = "nas/media";
    EXPECT_EQ(runNetworkVerb([&](auto& c) { return c.edit("Team", sameAsOther); }).first, 1);
    EXPECT_EQ(runNetworkVerb([&](auto& c) { return c.edit("Nobody", sameAsOther); }).first, 2);
    EXPECT_EQ(listed(), before);

    // A guest needs no account.
    NetworkDriveCommands::DriveEdit guest;
    guest.userName = "";
    guest.anonymous = true;
    EXPECT_EQ(runNetworkVerb([&](auto& c) { return c.edit("Team", guest); }).first, 0);
}

TEST_F(NetworkDriveEditTest, AConnectedDriveIsNotEdited) {
    ASSERT_EQ(runNetworkVerb([](auto& c) { return c.connect("Team"); }).first, 0);
    NetworkDriveCommands::DriveEdit changes;
    changes.name = "Renamed";
    auto result = runNetworkVerb([&](auto& c) { return c.edit("Team", changes); });
    EXPECT_EQ(result.first, 1);
    EXPECT_NE(result.second.find("Disconnect"), std::string::npos) << result.second;
}

}  // namespace
}  // namespace harbormind
