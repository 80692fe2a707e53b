#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "PolicyAuthority.h"
#include "platform/linux/mounting/UserMediaFolder.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/PrivateBusTest.h"
#include "testsupport/ProgramRun.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

using test::Outcome;

Outcome run(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment = {},
            const std::string& errFile = "/dev/null") {
    return test::runProgram(argv, environment, errFile);
}

bool isMountPoint(const std::string& path) {
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string id, parent, numbers, root, point;
        fields >> id >> parent >> numbers >> root >> point;
        if (point == path) {
            return true;
        }
    }
    return false;
}

// The daemon on a private bus, mounting for a second, unprivileged user it never heard of
// before (created here, removed after), with a real loop device volume, and polkit's authority
// answering as the shipped policy does for an active session. The user reaches the daemon as
// the application does on a desktop: through harbormind-mount, which asks the daemon whenever
// it does not run as root.
class DaemonMountTest : public test::PrivateBusTest {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root: a loop device, a second user and a daemon that mounts";
        }
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        folder = bus->folder();
        media = folder + "/media";
        user = "hmmount" + std::to_string(::getpid() % 100000);
        ASSERT_EQ(run({"useradd", "--system", "--user-group", "--no-create-home", "--shell", "/usr/sbin/nologin", user})
                      .status,
                  0);
        std::string id = run({"id", "-u", user}).out;
        uid = static_cast<uid_t>(std::stoul(id));
        gid = static_cast<gid_t>(std::stoul(run({"id", "-g", user}).out));
        // Were polkit absent, the members of the configured group could do anything: polkit
        // decides here.
        std::ofstream(folder + "/drivemanagerd.conf") << "group = " << user << "\n";
        ::chmod((folder + "/drivemanagerd.conf").c_str(), 0644);
        label = "HMVOL" + std::to_string(::getpid() % 100000);
        fs::resize_file((std::ofstream(folder + "/image").close(), folder + "/image"), 16 << 20);
        ASSERT_EQ(run({"mkfs.ext4", "-q", "-F", "-L", label, folder + "/image"}).status, 0);
        Outcome attached = run({"losetup", "--find", "--show", folder + "/image"});
        ASSERT_EQ(attached.status, 0);
        loop = attached.out.substr(0, attached.out.find('\n'));
        loopName = loop.substr(5);
        authority = std::make_unique<test::PolicyAuthority>();
        daemon = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{HARBORMIND_DAEMON_PATH, "--config", folder + "/drivemanagerd.conf", "--media-root",
                                     media},
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}}, nullptr,
            folder + "/daemon.log");
        ASSERT_TRUE(bus->waitForName(XPCServiceName::mount));
    }

    void TearDown() override {
        daemon.reset();
        authority.reset();
        // Our own mounts only, by their exact paths, before the bus folder is removed.
        for (const auto& point : {userMountPoint(), userMountPoint() + "1", folder + "/rootmnt", folder + "/rootonly"}) {
            while (isMountPoint(point)) {
                ::umount2(point.c_str(), MNT_DETACH);
            }
        }
        if (!loop.empty() && stillOurs()) {
            run({"losetup", "--detach", loop});
        }
        if (!user.empty() && uid != 0) {
            run({"userdel", user});
            run({"groupdel", user});
        }
        bus.reset();
    }

    bool stillOurs() const {
        std::ifstream backing("/sys/block/" + loopName + "/loop/backing_file");
        std::string file;
        std::getline(backing, file);
        return file == folder + "/image";
    }

    std::string userMountPoint() const { return media + "/" + user + "/" + label; }

    // harbormind-mount as the test user, with an environment that tries to redirect it.
    Outcome asUser(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{"setpriv", "--reuid=" + std::to_string(uid), "--regid=" + std::to_string(gid),
                                      "--init-groups", "--"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return run(argv,
                   {{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}, {"PKEXEC_UID", "0"}, {"SUDO_USER", "root"},
                    {"HARBORMIND_MEDIA_ROOT", folder + "/evil"}},
                   folder + "/user.err");
    }

    Outcome helper(const std::string& verb, const std::vector<std::string>& more = {}) {
        std::vector<std::string> argv{HARBORMIND_MOUNT_HELPER_PATH, verb};
        argv.insert(argv.end(), more.begin(), more.end());
        return asUser(argv);
    }

    std::unique_ptr<test::PolicyAuthority> authority;
    std::unique_ptr<test::ChildProcess> daemon;
    std::string folder, media, user, label, loop, loopName;
    uid_t uid = 0;
    gid_t gid = 0;
};

TEST_F(DaemonMountTest, AUserMountsUnmountsAndEjectsTheirVolumeThroughTheDaemon) {
    // Root attached the image: the user uses it as an administrator.
    authority->grant(uid, DaemonAction::loopOthers);
    Outcome mounted = helper("mount", {loopName});
    ASSERT_EQ(mounted.status, 0) << mounted.err;
    EXPECT_NE(mounted.out.find("mounted at " + userMountPoint()), std::string::npos) << mounted.out;
    EXPECT_TRUE(isMountPoint(userMountPoint()));
    // The environment was not consulted: not mounted for root, nothing under the other root.
    EXPECT_FALSE(fs::exists(folder + "/evil"));
    EXPECT_FALSE(fs::exists(media + "/root"));

    // The media folder stays root's; the user enters it through an ACL entry and cannot
    // write in it, so cannot swap a mount folder for a link.
    struct stat facts {};
    ASSERT_EQ(::stat((media + "/" + user).c_str(), &facts), 0);
    EXPECT_EQ(facts.st_uid, 0u);
    EXPECT_EQ(facts.st_mode & 07777, 0750u);
    EXPECT_GT(::getxattr((media + "/" + user).c_str(), "system.posix_acl_access", nullptr, 0), 0);
    EXPECT_EQ(asUser({"ls", media + "/" + user}).status, 0);
    EXPECT_NE(asUser({"ln", "-s", "/root", media + "/" + user + "/swap"}).status, 0);
    EXPECT_FALSE(fs::is_symlink(media + "/" + user + "/swap"));

    Outcome unmounted = helper("unmount", {loopName});
    EXPECT_EQ(unmounted.status, 0) << unmounted.err;
    EXPECT_FALSE(isMountPoint(userMountPoint()));
    EXPECT_FALSE(fs::exists(userMountPoint()));

    ASSERT_EQ(helper("mount", {loopName}).status, 0);
    Outcome ejected = helper("eject", {loopName});
    EXPECT_EQ(ejected.status, 0) << ejected.err;
    EXPECT_FALSE(isMountPoint(userMountPoint()));
    EXPECT_FALSE(stillOurs()) << "the loop device is still attached";
}

// A user's unlock and lock go to the daemon's encrypted-volume service, which answers with
// its own reasons: not encrypted, and (where the kernel has no device-mapper) why a LUKS
// volume cannot be opened here.
TEST_F(DaemonMountTest, AUsersUnlockAndLockAreTheDaemonsWork) {
    std::ofstream(folder + "/password") << "not the password";
    ::chmod((folder + "/password").c_str(), 0644);
    auto unlock = [&] {
        return asUser({"sh", "-c", "exec \"$0\" unlock \"$1\" < \"$2\"", HARBORMIND_MOUNT_HELPER_PATH, loopName,
                       folder + "/password"});
    };
    Outcome plain = unlock();
    EXPECT_EQ(plain.status, 1);
    EXPECT_NE(plain.err.find("neither a LUKS nor a BitLocker volume"), std::string::npos) << plain.err;
    EXPECT_NE(helper("lock", {loopName}).status, 0);

    ASSERT_EQ(run({"sh", "-c",
                   "printf secret | cryptsetup luksFormat --type luks2 --pbkdf pbkdf2 --pbkdf-force-iterations 1000 "
                   "-q --key-file=- \"$0\"",
                   loop})
                  .status,
              0);
    Outcome luks = unlock();
    std::ifstream misc("/proc/misc");
    std::stringstream kernel;
    kernel << misc.rdbuf();
    if (kernel.str().find("device-mapper") == std::string::npos) {
        EXPECT_EQ(luks.status, 19);
        EXPECT_NE(luks.err.find("device-mapper"), std::string::npos) << luks.err;
    } else {
        EXPECT_EQ(luks.status, 2) << luks.err;
        EXPECT_NE(luks.err.find("The password is incorrect"), std::string::npos) << luks.err;
    }
}

TEST_F(DaemonMountTest, AUserCannotChooseTheFolderNorTouchRootsOwnLoopDevice) {
    fs::create_directories(folder + "/rootonly");
    ::chmod((folder + "/rootonly").c_str(), 0700);
    Outcome chosen = helper("mount", {loopName, folder + "/rootonly"});
    EXPECT_EQ(chosen.status, 13);
    Outcome otherRoot = helper("--media-root", {folder + "/rootonly", "mount", loopName});
    EXPECT_EQ(otherRoot.status, 13);
    EXPECT_FALSE(isMountPoint(folder + "/rootonly"));

    // A loop device root attached is an administrator's: the user may not mount it.
    Outcome mount = helper("mount", {loopName});
    EXPECT_EQ(mount.status, 13) << mount.err;
    EXPECT_NE(mount.err.find("disk image you did not attach"), std::string::npos) << mount.err;
    EXPECT_FALSE(isMountPoint(userMountPoint()));

    // Root's own mount of it: neither unmounted nor ejected for the user.
    fs::create_directories(folder + "/rootmnt");
    ASSERT_EQ(::mount(loop.c_str(), (folder + "/rootmnt").c_str(), "ext4", 0, nullptr), 0);
    Outcome unmount = helper("unmount", {loopName});
    EXPECT_EQ(unmount.status, 13) << unmount.err;
    EXPECT_NE(unmount.err.find("was not mounted for you"), std::string::npos) << unmount.err;
    EXPECT_EQ(helper("unmount", {"--force", "--whole", loopName}).status, 13);
    EXPECT_EQ(helper("eject", {loopName}).status, 13);
    EXPECT_TRUE(isMountPoint(folder + "/rootmnt"));

    // Unmounted, root's loop device is still not the user's to detach.
    ASSERT_EQ(::umount2((folder + "/rootmnt").c_str(), 0), 0);
    Outcome eject = helper("eject", {loopName});
    EXPECT_EQ(eject.status, 13) << eject.err;
    EXPECT_NE(eject.err.find("needs an administrator"), std::string::npos) << eject.err;
    EXPECT_TRUE(stillOurs());
}

TEST_F(DaemonMountTest, AMediaFolderAnOlderVersionGaveTheUserIsTakenBackAndItsLinksNotFollowed) {
    // As the old helper left it: the user's own folder, in which the user planted a link named
    // like the volume's folder to a root-only folder.
    fs::create_directories(media + "/" + user);
    ::chmod(media.c_str(), 0755);
    ASSERT_EQ(::chown((media + "/" + user).c_str(), uid, gid), 0);
    fs::create_directories(folder + "/rootonly");
    ::chmod((folder + "/rootonly").c_str(), 0700);
    fs::create_symlink(folder + "/rootonly", userMountPoint());

    authority->grant(uid, DaemonAction::loopOthers);
    Outcome mounted = helper("mount", {loopName});
    ASSERT_EQ(mounted.status, 0) << mounted.err;
    EXPECT_TRUE(isMountPoint(userMountPoint() + "1")) << mounted.out;
    EXPECT_FALSE(isMountPoint(folder + "/rootonly"));
    EXPECT_TRUE(fs::is_empty(folder + "/rootonly"));
    struct stat facts {};
    ASSERT_EQ(::stat((media + "/" + user).c_str(), &facts), 0);
    EXPECT_EQ(facts.st_uid, 0u);
    EXPECT_EQ(facts.st_mode & 022, 0u);
}

// The mount goes through the folder's descriptor: a folder renamed and replaced by a link
// after it was made still receives the mount, and the link's target does not.
TEST(UserMediaFolderTest, AMountThroughTheDescriptorIsNotRedirectedByASwappedPath) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to mount";
    }
    std::string root = (fs::temp_directory_path() / ("hm-media-" + std::to_string(::getpid()))).string();
    fs::create_directories(root + "/target");
    ::chmod(root.c_str(), 0755);
    UserMediaFolder media(root + "/media", MountOwner{"nobody", 65534, 65534});
    std::string error;
    auto made = media.makeMountFolder("Vol", error);
    ASSERT_TRUE(made) << error;
    EXPECT_EQ(made->path(), root + "/media/nobody/Vol");
    fs::rename(made->path(), made->path() + ".moved");
    fs::create_directory_symlink(root + "/target", made->path());
    ASSERT_EQ(::mount("hm-test", made->descriptorPath().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m"), 0);
    EXPECT_TRUE(isMountPoint(made->path() + ".moved"));
    EXPECT_FALSE(isMountPoint(root + "/target"));
    ::umount2((made->path() + ".moved").c_str(), 0);
    // Taken names are skipped, links included: never an existing folder.
    auto next = media.makeMountFolder("Vol", error);
    ASSERT_TRUE(next) << error;
    EXPECT_EQ(next->path(), root + "/media/nobody/Vol1");
    EXPECT_TRUE(media.holds(next->path()));
    EXPECT_FALSE(media.holds(root + "/media/nobody/../nobody2/Vol"));
    EXPECT_FALSE(media.holds(root + "/media/nobody"));
    EXPECT_TRUE(media.removeMountFolder(next->path()));
    EXPECT_FALSE(media.removeMountFolder(made->path())) << "a link is not a mount folder to remove";
    EXPECT_TRUE(fs::exists(root + "/target"));
    fs::remove_all(root);
}

}  // namespace
}  // namespace harbormind
