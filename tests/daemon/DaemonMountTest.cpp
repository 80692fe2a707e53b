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
#include "testsupport/LoopImageCleanup.h"
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
        loopCleanups.push_back(std::make_unique<test::LoopImageCleanup>(folder + "/image"));
        Outcome losetup = run({"losetup", "--find", "--show", folder + "/image"});
        ASSERT_EQ(losetup.status, 0);
        loop = losetup.out.substr(0, losetup.out.find('\n'));
        loopName = loop.substr(5);
        fs::create_directories(folder + "/home");
        ASSERT_EQ(::chown((folder + "/home").c_str(), uid, gid), 0);
        authority = std::make_unique<test::PolicyAuthority>();
        startDaemon();
    }

    void startDaemon() {
        daemon = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{HARBORMIND_DAEMON_PATH, "--config", folder + "/drivemanagerd.conf", "--media-root",
                                     media, "--state-dir", folder + "/state"},
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
        for (const auto& [name, image] : attached) {
            if (backingFile(name) == image) {
                run({"losetup", "--detach", "/dev/" + name});
            }
        }
        if (!otherUser.empty()) {
            run({"userdel", otherUser});
        }
        if (!user.empty() && uid != 0) {
            run({"userdel", user});
            run({"groupdel", user});
        }
        bus.reset();
    }

    static std::string backingFile(const std::string& name) {
        std::ifstream backing("/sys/block/" + name + "/loop/backing_file");
        std::string file;
        std::getline(backing, file);
        return file;
    }
    bool stillOurs() const { return backingFile(loopName) == folder + "/image"; }

    // An image file of the user's own carrying a volume named like root's (ext4 by default).
    std::string userImage(std::vector<std::string> format = {"mkfs.ext4", "-q", "-F", "-L"}, int megabytes = 16) {
        const std::string path = folder + "/user.img";
        fs::resize_file((std::ofstream(path).close(), path), static_cast<std::uintmax_t>(megabytes) << 20);
        format.insert(format.end(), {label, path});
        EXPECT_EQ(run(format).status, 0);
        EXPECT_EQ(::chown(path.c_str(), uid, gid), 0);
        ::chmod(path.c_str(), 0600);
        return path;
    }

    // harbormindctl attach as the user: the new loop device's name, kept for the clean-up.
    std::string attachAsUser(const std::string& image, const std::vector<std::string>& options = {}) {
        loopCleanups.push_back(std::make_unique<test::LoopImageCleanup>(image));
        std::vector<std::string> argv{HARBORMIND_CTL_PATH, "attach", image};
        argv.insert(argv.end(), options.begin(), options.end());
        Outcome outcome = asUser(argv);
        const std::string marker = " as ";
        auto at = outcome.out.find(marker);
        if (outcome.status != 0 || at == std::string::npos) {
            ADD_FAILURE() << "attach failed (" << outcome.status << "): " << outcome.out << outcome.err;
            return {};
        }
        std::string name = outcome.out.substr(at + marker.size());
        name = name.substr(0, name.find_first_of(" \n"));
        attached.emplace_back(name, image);
        return name;
    }

    std::string userMountPoint() const { return media + "/" + user + "/" + label; }

    // harbormind-mount as the test user, with an environment that tries to redirect it.
    Outcome asUser(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{"setpriv", "--reuid=" + std::to_string(uid), "--regid=" + std::to_string(gid),
                                      "--init-groups", "--"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return run(argv,
                   {{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}, {"PKEXEC_UID", "0"}, {"SUDO_USER", "root"},
                    {"HARBORMIND_MEDIA_ROOT", folder + "/evil"}, {"HOME", folder + "/home"}},
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
    std::vector<std::pair<std::string, std::string>> attached;  // loop device, image
    // The images' loop devices and mounts go also when the test is killed.
    std::vector<std::unique_ptr<test::LoopImageCleanup>> loopCleanups;
    std::string otherUser;
    uid_t uid = 0;
    gid_t gid = 0;
};

// The user attaches an image of their own and, as on a trusted desktop, mounts, unmounts and
// detaches it with no administrator: polkit answers as the shipped policy does and is asked
// for nothing an active user lacks.
TEST_F(DaemonMountTest, AUserMountsUnmountsAndEjectsAnImageTheyAttached) {
    const std::string image = userImage();
    const std::string mine = attachAsUser(image);
    ASSERT_FALSE(mine.empty());
    EXPECT_EQ(backingFile(mine), image);
    Outcome mounted = helper("mount", {mine});
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

    Outcome unmounted = helper("unmount", {mine});
    EXPECT_EQ(unmounted.status, 0) << unmounted.err;
    EXPECT_FALSE(isMountPoint(userMountPoint()));
    EXPECT_FALSE(fs::exists(userMountPoint()));

    ASSERT_EQ(helper("mount", {mine}).status, 0);
    Outcome ejected = helper("eject", {mine});
    EXPECT_EQ(ejected.status, 0) << ejected.err;
    EXPECT_FALSE(isMountPoint(userMountPoint()));
    EXPECT_NE(backingFile(mine), image) << "the loop device is still attached";
    for (const auto& question : authority->asked()) {
        EXPECT_EQ(question.find("-others"), std::string::npos) << question;
    }
}

// FAT32 goes through fusefat where the kernel has no vfat driver. Mounted by the daemon for
// the user, the volume is theirs to write (and nobody else's), its source names the device, so
// a second mount answers the first's place instead of mounting again beside it, and an unmount
// takes it away for real.
TEST_F(DaemonMountTest, AFatVolumeIsTheUsersAloneSeenAsMountedAndReallyUnmounted) {
    if (run({"sh", "-c", "command -v mkfs.vfat && command -v fusefat"}).status != 0) {
        GTEST_SKIP() << "mkfs.vfat or fusefat is not installed";
    }
    const std::string image = userImage({"mkfs.vfat", "-F", "32", "-n"}, 64);
    const std::string name = attachAsUser(image);
    ASSERT_FALSE(name.empty());
    const std::string point = userMountPoint();
    Outcome mounted = helper("mount", {name});
    ASSERT_EQ(mounted.status, 0) << mounted.err;
    ASSERT_TRUE(isMountPoint(point)) << mounted.out;
    EXPECT_EQ(asUser({"sh", "-c", "echo kept > \"$0/note.txt\"", point}).status, 0);
    struct stat facts {};
    ASSERT_EQ(::stat(point.c_str(), &facts), 0);
    EXPECT_EQ(facts.st_uid, uid);
    EXPECT_EQ(facts.st_mode & 077, 0u) << "others may use the volume";

    Outcome again = helper("mount", {name});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("mounted at " + point + "\n"), std::string::npos) << again.out;
    EXPECT_FALSE(isMountPoint(point + "1"));

    Outcome unmounted = helper("unmount", {name});
    EXPECT_EQ(unmounted.status, 0) << unmounted.err;
    EXPECT_FALSE(isMountPoint(point));
    ASSERT_EQ(helper("mount", {name}).status, 0);
    std::string kept;
    std::getline(std::ifstream(point + "/note.txt"), kept);  // closed again before the unmount
    EXPECT_EQ(kept, "kept") << "the file did not reach the volume";
    EXPECT_EQ(helper("unmount", {name}).status, 0);
}

// The record of who attached an image outlives the daemon, and is the attacher's alone: another
// user may not mount it, nor mount or detach root's loop devices.
TEST_F(DaemonMountTest, AnImageIsOnlyItsAttachersAcrossARestartOfTheDaemon) {
    const std::string image = userImage();
    const std::string name = attachAsUser(image);
    ASSERT_FALSE(name.empty());
    daemon.reset();
    ASSERT_TRUE(bus->waitForName(XPCServiceName::mount, false));
    startDaemon();
    Outcome mounted = helper("mount", {name});
    ASSERT_EQ(mounted.status, 0) << mounted.err;

    // A second user: refused the first user's image and its mount.
    otherUser = user + "b";
    ASSERT_EQ(run({"useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", otherUser}).status, 0);
    const std::string otherUid = run({"id", "-u", otherUser}).out;
    auto asOther = [&](const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{"setpriv", "--reuid=" + otherUid.substr(0, otherUid.find('\n')),
                                      "--regid=" + std::to_string(gid), "--clear-groups", "--",
                                      HARBORMIND_MOUNT_HELPER_PATH};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return run(argv, {{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}}, folder + "/other.err");
    };
    EXPECT_EQ(asOther({"unmount", name}).status, 13);
    EXPECT_EQ(asOther({"eject", name}).status, 13);
    EXPECT_TRUE(isMountPoint(userMountPoint()));
    EXPECT_EQ(helper("unmount", {name}).status, 0);
    EXPECT_EQ(asOther({"mount", name}).status, 13);
    EXPECT_EQ(asOther({"mount", loopName}).status, 13);
    EXPECT_EQ(backingFile(name), image);
}

// The image is opened by the user, never by the daemon: a file the user may only read is
// attached only read-only, and a file they may not read not at all.
TEST_F(DaemonMountTest, AUserAttachesOnlyWhatTheyCouldOpenThemselves) {
    ::chmod((folder + "/image").c_str(), 0644);
    Outcome writable = asUser({HARBORMIND_CTL_PATH, "attach", folder + "/image"});
    EXPECT_NE(writable.status, 0);
    EXPECT_NE(writable.err.find("read-only"), std::string::npos) << writable.err;
    const std::string name = attachAsUser(folder + "/image", {"--read-only"});
    ASSERT_FALSE(name.empty());
    std::ifstream readOnly("/sys/block/" + name + "/ro");
    std::string flag;
    std::getline(readOnly, flag);
    EXPECT_EQ(flag, "1");

    ::chmod((folder + "/image").c_str(), 0600);
    Outcome unreadable = asUser({HARBORMIND_CTL_PATH, "attach", "--read-only", folder + "/image"});
    EXPECT_NE(unreadable.status, 0);
    EXPECT_NE(unreadable.err.find("Permission denied"), std::string::npos) << unreadable.err;
}

// A user's unlock and lock go to the daemon's encrypted-volume service, which answers with
// its own reasons: not encrypted, a wrong password (said as such on any kernel), and (where
// the kernel has no device-mapper) why a LUKS volume cannot be opened here.
TEST_F(DaemonMountTest, AUsersUnlockAndLockAreTheDaemonsWork) {
    auto unlock = [&](const std::string& password) {
        std::ofstream(folder + "/password") << password;
        ::chmod((folder + "/password").c_str(), 0644);
        return asUser({"sh", "-c", "exec \"$0\" unlock \"$1\" < \"$2\"", HARBORMIND_MOUNT_HELPER_PATH, loopName,
                       folder + "/password"});
    };
    Outcome plain = unlock("not the password");
    EXPECT_EQ(plain.status, 1);
    EXPECT_NE(plain.err.find("neither a LUKS nor a BitLocker volume"), std::string::npos) << plain.err;
    EXPECT_NE(helper("lock", {loopName}).status, 0);

    ASSERT_EQ(run({"sh", "-c",
                   "printf secret | cryptsetup luksFormat --type luks2 --pbkdf pbkdf2 --pbkdf-force-iterations 1000 "
                   "-q --key-file=- \"$0\"",
                   loop})
                  .status,
              0);
    Outcome wrong = unlock("not the password");
    EXPECT_EQ(wrong.status, 2) << wrong.err;
    EXPECT_NE(wrong.err.find("The password is incorrect"), std::string::npos) << wrong.err;
    std::ifstream misc("/proc/misc");
    std::stringstream kernel;
    kernel << misc.rdbuf();
    if (kernel.str().find("device-mapper") == std::string::npos) {
        Outcome right = unlock("secret");
        EXPECT_EQ(right.status, 19);
        EXPECT_NE(right.err.find("device-mapper"), std::string::npos) << right.err;
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
