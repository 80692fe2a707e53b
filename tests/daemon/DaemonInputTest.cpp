#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "daemon/DaemonGuard.h"
#include "daemon/DaemonMethodTable.h"
#include "daemon/DeviceNameSyntax.h"
#include "daemon/FirstAidCommand.h"
#include "daemon/SyntaxOnlyDeviceCheck.h"
#include "daemon/linux/DaemonConfigFile.h"
#include "daemon/linux/LinuxNtfsService.h"
#include "daemon/linux/LocalAuthorizationRules.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using Form = DeviceArgumentForm;

TEST(DeviceNameSyntaxTest, RefusesWhatCannotBeADeviceName) {
    for (const char* good : {"sdb1", "nvme0n1p2", "dm-3", "loop12", "mmcblk0p1", "md127"}) {
        EXPECT_EQ(DeviceNameSyntax::problem(good, Form::name), "") << good;
    }
    EXPECT_EQ(DeviceNameSyntax::problem("/dev/disk/by-id/usb-SanDisk_1-0:0", Form::path), "");
    for (const std::string& bad : std::vector<std::string>{std::string(), std::string(".."), std::string("../sda"), std::string("sd a"),
                                  std::string("sda\n"), std::string("sd\0a", 4), std::string("sda;ls"),
                                  std::string("$(id)"), std::string("/dev/sda"), std::string(256, 'a'),
                                  std::string("\xc3\xa9")}) {
        EXPECT_NE(DeviceNameSyntax::problem(bad, Form::name), "") << bad;
    }
    for (const std::string& bad : std::vector<std::string>{"/dev/", "/dev//sda", "/dev/../etc/passwd", "dev/sda", "/devx/sda", "/dev/sda/"}) {
        EXPECT_NE(DeviceNameSyntax::problem(bad, Form::path), "") << bad;
    }
    EXPECT_NE(DeviceNameSyntax::problem("/dev/" + std::string(4091, 'a'), Form::path), "");
}

TEST(FirstAidCommandTest, ParsesTheTwoFormsTheApplicationBuilds) {
    auto repair = FirstAidCommand::parse({"-c", "diskutil repairVolume sdb1"});
    ASSERT_TRUE(repair);
    EXPECT_EQ(repair->checker, FirstAidCommand::Checker::repairVolume);
    EXPECT_EQ(repair->device, "sdb1");
    auto ntfsRepair = FirstAidCommand::parse(
        {"-c", "'/Applications/Kestrane Harbormind.app/Contents/MacOS/fsck_NTFS' /dev/sdc2 -F kestrane_chkdsk"});
    ASSERT_TRUE(ntfsRepair);
    EXPECT_EQ(ntfsRepair->checker, FirstAidCommand::Checker::ntfs);
    EXPECT_EQ(ntfsRepair->device, "sdc2");
    EXPECT_TRUE(ntfsRepair->repair);
    auto ntfsCheck = FirstAidCommand::parse({"-c", "'/opt/harbormind/fsck_NTFS' /dev/sdc2 kestrane_chkdsk"});
    ASSERT_TRUE(ntfsCheck);
    EXPECT_FALSE(ntfsCheck->repair);
    auto vector = FirstAidCommand::parse({"diskutil", "repairVolume", "sdb1"});
    ASSERT_TRUE(vector);
    EXPECT_EQ(vector->device, "sdb1");
}

TEST(FirstAidCommandTest, AnythingElseIsNoCommand) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {},
             {"-c"},
             {"-c", ""},
             {"-c", "rm -rf /"},
             {"-c", "diskutil repairVolume sdb1; reboot"},
             {"-c", "diskutil repairVolume sdb1 && id"},
             {"-c", "diskutil  repairVolume sdb1"},
             {"-c", "diskutil repairVolume 'sdb1'"},
             {"-c", "diskutil eraseDisk sdb"},
             {"-c", "'/tmp/evil' /dev/sdc2 -F kestrane_chkdsk"},
             {"-c", "'/x/fsck_NTFS' /dev/sdc2 -X kestrane_chkdsk"},
             {"-c", "'/x/fsck_NTFS' /dev/sdc2 -F kestrane_chkdsk extra"},
             {"-c", "'/x/fsck_NTFS' sdc2 -F kestrane_chkdsk"},
             {"-c", "'/x/fsck_NTFS' /dev/sdc2 -F other"},
             {"-c", "'/x/fsck_NTFS'' /dev/sdc2 kestrane_chkdsk"},
             {"-c", "diskutil repairVolume sdb1", "extra"},
             {"-x", "diskutil repairVolume sdb1"},
         }) {
        EXPECT_FALSE(FirstAidCommand::parse(arguments)) << (arguments.size() > 1 ? arguments[1] : "");
    }
}

// Allows everyone, counting how often it was asked.
class CountingAuthorizer final : public DaemonAuthorizer {
public:
    bool authorize(const CallerIdentity&, DaemonAction action) override {
        ++asked;
        lastAction = action;
        return allow;
    }
    int asked = 0;
    DaemonAction lastAction = DaemonAction::perDevice;
    bool allow = true;
};

// A call's form is checked before the caller is authorized (which may wait on a prompt), so
// a call that cannot be right never waits holding its arguments.
TEST(DaemonGuardTest, ArgumentsOfTheWrongFormAreRefusedBeforeAnyoneIsAsked) {
    auto authorizer = std::make_shared<CountingAuthorizer>();
    DaemonGuard guard(authorizer, std::make_shared<SyntaxOnlyDeviceCheck>());
    CallerIdentity caller{":1.5", 1000, 42, {}};
    const DaemonMethod* header = DaemonMethodTable::find(XPCServiceName::luks, "getLuksHeaderWithBsdname");
    const DaemonMethod* unlock = DaemonMethodTable::find(XPCServiceName::luks, "unlockDriveWithBsdname");
    const DaemonMethod* firstAid = DaemonMethodTable::find(XPCServiceName::checkDisk, "firstAidWithArguments");
    ASSERT_TRUE(header && unlock && firstAid);
    EXPECT_FALSE(guard.check(*header, caller, {std::string(30 << 20, 'a')}).allowed);
    EXPECT_FALSE(guard.check(*unlock, caller, {std::string("sdb1"), std::string(1025, 'p'), false}).allowed);
    // Overlong forms and surrogates decode to text a careless reader takes for something else.
    for (const char* password : {"\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "pw\xe2\x82"}) {
        EXPECT_FALSE(guard.check(*unlock, caller, {std::string("sdb1"), std::string(password), false}).allowed);
    }
    // A NUL ends the C string a backend hands on: it would act on less than was checked.
    EXPECT_FALSE(guard.check(*header, caller, {std::string("sdb1\0/../sda", 12)}).allowed);
    EXPECT_FALSE(guard.check(*unlock, caller, {std::string("sdb1"), std::string("pw\0rest", 7), false}).allowed);
    EXPECT_FALSE(guard.check(*firstAid, caller,
                             {std::vector<std::string>{"-c", std::string("'/x\0/fsck_NTFS' /dev/sdb1 kestrane_chkdsk", 41)}})
                     .allowed);
    EXPECT_FALSE(guard.check(*firstAid, caller, {std::vector<std::string>(17, "-c")}).allowed);
    EXPECT_FALSE(guard.check(*firstAid, caller,
                             {std::vector<std::string>{"-c", "diskutil repairVolume " + std::string(5000, 'a')}})
                     .allowed);
    EXPECT_EQ(authorizer->asked, 0);
}

TEST(DaemonGuardTest, AFirstAidRunThatRepairsNeedsTheRepairAction) {
    auto authorizer = std::make_shared<CountingAuthorizer>();
    DaemonGuard guard(authorizer, std::make_shared<SyntaxOnlyDeviceCheck>());
    const DaemonMethod* firstAid = DaemonMethodTable::find(XPCServiceName::checkDisk, "firstAidWithArguments");
    ASSERT_NE(firstAid, nullptr);
    CallerIdentity caller{":1.5", 1000, 42, {}};
    EXPECT_TRUE(guard.check(*firstAid, caller, {std::vector<std::string>{"-c", "diskutil repairVolume sdb1"}}).allowed);
    EXPECT_EQ(authorizer->lastAction, DaemonAction::repair);
    EXPECT_TRUE(guard.check(*firstAid, caller, {std::vector<std::string>{"-c", "'/x/fsck_NTFS' /dev/sdb1 kestrane_chkdsk"}})
                    .allowed);
    EXPECT_EQ(authorizer->lastAction, DaemonAction::check);
}

TEST(DaemonGuardTest, ChecksEveryArgumentByItsRoleAfterAuthorization) {
    auto authorizer = std::make_shared<CountingAuthorizer>();
    DaemonGuard guard(authorizer, std::make_shared<SyntaxOnlyDeviceCheck>());
    const DaemonMethod* unlock = DaemonMethodTable::find(XPCServiceName::bitLocker, "unlockBitLockerDriveWithBsdname");
    ASSERT_NE(unlock, nullptr);
    CallerIdentity caller{":1.5", 1000, 42, {}};
    auto allowed = guard.check(*unlock, caller, {std::string("sdb1"), std::string("pw"), false});
    EXPECT_TRUE(allowed.allowed) << allowed.reason;
    EXPECT_FALSE(guard.check(*unlock, caller, {std::string("sdb1"), std::string(2000, 'p'), false}).allowed);
    EXPECT_FALSE(guard.check(*unlock, caller, {std::string("sdb1"), std::string("\xff\xfe"), false}).allowed);
    EXPECT_FALSE(guard.check(*unlock, caller, {std::string("sdb1"), std::string("pw")}).allowed);
    EXPECT_FALSE(guard.check(*unlock, caller, {std::int64_t{1}, std::string("pw"), false}).allowed);
    authorizer->allow = false;
    authorizer->asked = 0;
    auto refused = guard.check(*unlock, caller, {std::string("sdb1"), std::string("pw"), false});
    EXPECT_FALSE(refused.allowed);
    EXPECT_EQ(refused.reason, "not authorized");
    EXPECT_EQ(authorizer->asked, 1);
}

TEST(DaemonMethodTableTest, EveryMethodHasOneRolePerArgumentAndADefaultWhenItReplies) {
    int count = 0;
    for (const auto& method : DaemonMethodTable::all()) {
        std::size_t arguments = 0;
        for (std::size_t i = 0; i < method.input.size(); ++i) {
            arguments += 1;
            i += method.input[i] == 'a' ? 1 : 0;
        }
        EXPECT_EQ(arguments, method.roles.size()) << method.name;
        EXPECT_EQ(method.replies(), method.defaultAnswer.has_value()) << method.name;
        ++count;
    }
    EXPECT_EQ(count, 64);
    // The volume's secrets are read with the right to encrypt, not with a question's.
    const DaemonMethod* key = DaemonMethodTable::find(XPCServiceName::bitLocker, "getBitLockerRecoveryKeyWithBsdname");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->action, DaemonAction::encrypt);
    for (const char* secret : {"getLuksRecoveryKeyWithBsdname", "getLuksHeaderWithBsdname"}) {
        EXPECT_EQ(DaemonMethodTable::find(XPCServiceName::luks, secret)->action, DaemonAction::encrypt) << secret;
    }
    const DaemonMethod* encrypt = DaemonMethodTable::find(XPCServiceName::luks, "encryptLuksDriveWithBsdname");
    ASSERT_NE(encrypt, nullptr);
    EXPECT_EQ(encrypt->roles, (std::vector<ArgumentRole>{ArgumentRole::overwrittenName, ArgumentRole::secret,
                                                          ArgumentRole::plain}));
}

class ConfigFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("harbormind-config-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string write(const std::string& text, mode_t mode) {
        std::string path = (folder / "drivemanagerd.conf").string();
        std::ofstream(path) << text;
        ::chmod(path.c_str(), mode);
        return path;
    }
    fs::path folder;
};

TEST_F(ConfigFileTest, TheGroupIsReadOnlyFromAFileNobodyElseMayChange) {
    EXPECT_EQ(DaemonConfigFile::read(write("# who may call\ngroup = diskadmins\n", 0644)).group, "diskadmins");
    EXPECT_EQ(DaemonConfigFile::read(write("group = diskadmins\n", 0666)).group, std::nullopt);
    EXPECT_EQ(DaemonConfigFile::read(write("group =\n", 0644)).group, std::nullopt);
    EXPECT_EQ(DaemonConfigFile::read((folder / "missing").string()).group, std::nullopt);
    fs::create_symlink(folder / "drivemanagerd.conf", folder / "link");
    EXPECT_EQ(DaemonConfigFile::read((folder / "link").string()).group, std::nullopt);
}

TEST(LocalAuthorizationRulesTest, RootTheDaemonsUserAndTheGroupMayCall) {
    LocalAuthorizationRules noGroup(std::nullopt);
    EXPECT_TRUE(noGroup.authorize({":1.1", 0, 1, {}}, DaemonAction::encrypt));
    EXPECT_TRUE(noGroup.authorize({":1.1", static_cast<std::uint32_t>(::geteuid()), 1, {}}, DaemonAction::encrypt));
    std::uint32_t stranger = ::geteuid() == 0 ? 64999 : 0;
    if (stranger != 0) {
        EXPECT_FALSE(noGroup.authorize({":1.1", stranger, 1, {}}, DaemonAction::query));
    }
    // The group "root" has gid 0 on every system.
    LocalAuthorizationRules rootGroup(std::string("root"));
    EXPECT_TRUE(rootGroup.authorize({":1.1", 64999, 1, {100, 0}}, DaemonAction::encrypt));
    EXPECT_FALSE(rootGroup.authorize({":1.1", 64999, 1, {100, 101}}, DaemonAction::encrypt));
}

TEST(LinuxNtfsServiceTest, TheKernelsNtfs3DriverCounts) {
    fs::path proc = fs::temp_directory_path() / ("harbormind-proc-" + std::to_string(::getpid()));
    fs::create_directories(proc);
    std::ofstream(proc / "filesystems") << "nodev\tsysfs\n\text4\n\tntfs3\n";
    EXPECT_TRUE(LinuxNtfsService(CallerIdentity{}, NtfsServicePaths{proc.string(), "/media"}).driverAvailable());
    fs::remove_all(proc);
}

}  // namespace
}  // namespace harbormind
