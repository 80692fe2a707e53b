// What a second, unprivileged user of the machine tries against the installed daemon and the
// distribution's polkitd: using disk images and mounts that are not theirs, getting past the
// polkit action of each kind of operation, and holding the daemon with prompts nobody answers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "system/support/KernelMounts.h"
#include "system/support/SystemTest.h"
#include "system/support/SystemWait.h"
#include "testsupport/WholeFile.h"
#include "xpc/XPCServiceName.h"

namespace harbormind::test {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

std::vector<std::string> busCallWords(const std::string& service, const std::string& method,
                                      const std::string& signature, const std::vector<std::string>& arguments) {
    std::string object = "/" + service;
    std::replace(object.begin(), object.end(), '.', '/');
    std::vector<std::string> argv{service, object, service, method, signature};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

// A bus call whose polkit prompt is never answered: registers a text authentication agent for
// this very process, then becomes the call (exec keeps the process, so the agent is the
// caller's), and polkit asks that agent, which waits for a password nobody types.
constexpr const char* heldCallScript = R"(
ready="$XDG_RUNTIME_DIR/agent-$$"
mkfifo "$ready" || exit 1
pkttyagent --process $$ --notify-fd 3 3>"$ready" &
read -r _ <"$ready"
rm -f "$ready"
exec busctl --system --timeout=600 call "$@"
)";

class AttackerSystemTest : public SystemTest {
protected:
    // Calls the daemon straight on the bus as the role's user, as a hostile program would.
    Outcome busCall(SystemRole role, const std::string& service, const std::string& method,
                    const std::string& signature, const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{"busctl", "--system", "call"};
        for (const std::string& word : busCallWords(service, method, signature, arguments)) {
            argv.push_back(word);
        }
        return runAs(role, argv);
    }
    Outcome mountCall(SystemRole role, const std::string& method, const std::string& signature,
                      const std::vector<std::string>& arguments) {
        return busCall(role, XPCServiceName::mount, method, signature, arguments);
    }
    std::vector<std::string> mounts(const LoopVolume& loop) const { return KernelMounts::mountPointsOf(loop.volumePath()); }

    // Starts a call of the role's user that waits on a prompt in a terminal of its own (the
    // agent needs one; its input never ends, so it never gives up); `transcript` receives
    // what the terminal showed.
    std::unique_ptr<ChildProcess> startHeldCall(SystemRole role, const std::vector<std::string>& call,
                                                const std::string& transcript) {
        // Written once: a call started earlier may be reading it.
        const std::string script = folder() + "/held-call.sh";
        if (!std::filesystem::exists(script)) {
            std::ofstream(script) << heldCallScript;
        }
        std::string command = "sh " + script;
        for (const std::string& word : call) {
            command += " " + word;
        }
        return startAs(role, {"sh", "-c", "tail -f /dev/null | script -qfec \"$0\" /dev/null >\"$1\"", command,
                              transcript});
    }
};

TEST_F(AttackerSystemTest, RootsDiskImageIsNoUsersToMountUnmountOrDetach) {
    LoopVolume& image = loopVolume({.label = "HMROOT"});
    ::chmod(image.image().c_str(), 0600);
    for (SystemRole role : {SystemRole::desktop, SystemRole::otherDesktop}) {
        Outcome mounted = mountCall(role, "mountVolume", "s", {image.volume()});
        EXPECT_EQ(mounted.out, "xs 13 \"" + image.volume() +
                                   " is a disk image you did not attach: using it needs an administrator\"\n")
            << mounted.err;
        Outcome detached = mountCall(role, "ejectDisk", "s", {image.disk()});
        EXPECT_TRUE(detached.out.starts_with("xs 13")) << detached.out << detached.err;
    }
    EXPECT_TRUE(mounts(image).empty());
    EXPECT_TRUE(image.attached());

    // Mounted by an administrator, it stays theirs: no desktop user unmounts it, forced or not.
    ASSERT_EQ(ctl(SystemRole::administrator, {"mount", image.volume()}).status, 0);
    const std::vector<std::string> adminMount{mediaFolder(SystemRole::administrator) + "/HMROOT"};
    ASSERT_EQ(mounts(image), adminMount);
    for (const char* force : {"false", "true"}) {
        Outcome unmounted = mountCall(SystemRole::desktop, "unmountVolume", "sbb", {image.volume(), force, "false"});
        EXPECT_TRUE(unmounted.out.starts_with("xs 13")) << force << ": " << unmounted.out << unmounted.err;
    }
    Outcome ejected = ctl(SystemRole::desktop, {"eject", image.disk()});
    EXPECT_NE(ejected.status, 0);
    EXPECT_TRUE(contains(ejected.err, "you did not attach: detaching it needs an administrator")) << ejected.err;
    EXPECT_EQ(mounts(image), adminMount);
    EXPECT_TRUE(image.attached());
}

TEST_F(AttackerSystemTest, AnotherUsersDiskImageAndItsMountStayTheirs) {
    LoopVolume& stick = loopVolume({.label = "HMTHEIRS", .partitioned = true});
    attachedBy(stick, SystemRole::desktop);
    Outcome taken = ctl(SystemRole::otherDesktop, {"mount", stick.volume()});
    EXPECT_NE(taken.status, 0);
    EXPECT_TRUE(contains(taken.err, "you did not attach: using it needs an administrator")) << taken.err;
    EXPECT_TRUE(mounts(stick).empty());

    ASSERT_EQ(ctl(SystemRole::desktop, {"mount", stick.volume()}).status, 0);
    const std::vector<std::string> theirs{mediaFolder(SystemRole::desktop) + "/HMTHEIRS"};
    Outcome forced = mountCall(SystemRole::otherDesktop, "unmountVolume", "sbb", {stick.volume(), "true", "false"});
    EXPECT_EQ(forced.out, "xs 13 \"" + theirs.front() + " was not mounted for you\"\n") << forced.err;
    Outcome detached = mountCall(SystemRole::otherDesktop, "ejectDisk", "s", {stick.disk()});
    EXPECT_EQ(detached.out, "xs 13 \"" + stick.disk() +
                                " is a disk image you did not attach: detaching it needs an administrator\"\n")
        << detached.err;
    EXPECT_EQ(mounts(stick), theirs);
    EXPECT_TRUE(stick.attached());
}

// The desktop rules grant each action what an active session's default is: mounting one's own
// stick is allowed, while cloning onto it, encrypting it, checking it and changing USB Warden
// are each refused by their own action.
TEST_F(AttackerSystemTest, PolkitDecidesEachKindOfOperationByItsOwnAction) {
    LoopVolume& source = loopVolume({.label = "HMSOURCE", .partitioned = true});
    LoopVolume& destination = loopVolume({.label = "HMDEST", .partitioned = true});
    attachedBy(source, SystemRole::desktop);
    attachedBy(destination, SystemRole::desktop);
    ASSERT_EQ(ctl(SystemRole::desktop, {"mount", source.volume()}).status, 0);

    const std::string refused = "\"refused: not authorized\"\n";
    Outcome clone = busCall(SystemRole::desktop, XPCServiceName::deviceClone, "startCloneWithStrDestinDevice", "ssb",
                            {"/dev/" + source.disk(), "/dev/" + destination.disk(), "false"});
    EXPECT_TRUE(clone.out.ends_with(refused)) << clone.out << clone.err;
    Outcome encrypt = busCall(SystemRole::desktop, XPCServiceName::luks, "getLuksHeaderWithBsdname", "s",
                              {destination.volume()});
    EXPECT_FALSE(encrypt.out.starts_with("s \"/")) << encrypt.out << encrypt.err;
    Outcome check = ctl(SystemRole::desktop, {"check", destination.volume()});
    EXPECT_TRUE(contains(check.out, "not allowed to check this drive")) << check.out << check.err;
    Outcome warden = busCall(SystemRole::desktop, XPCServiceName::usbBlocker, "addUSBListEntryWithName", "sxb",
                             {"HMDEST.img", "0", "true"});
    EXPECT_TRUE(warden.out.ends_with(refused)) << warden.out << warden.err;
    // The check is refused when the window or the command line asks beforehand, so it is never sent.
    for (const char* method : {"startCloneWithStrDestinDevice", "getLuksHeaderWithBsdname",
                               "canRunFirstAidWithArguments", "addUSBListEntryWithName"}) {
        EXPECT_EQ(occurrences(daemonLog(), std::string("refused ") + method + " from uid "), 1u) << method;
    }
    EXPECT_EQ(occurrences(daemonLog(), "refused firstAidWithArguments from uid "), 0u);
    EXPECT_TRUE(destination.attached());
    EXPECT_TRUE(mounts(destination).empty());
}

// The daemon gives each user a few calls at once: a user whose own authentication agent never
// answers holds all of theirs, and their next call is refused at once, while another user and
// root, even about the same disk image, are served.
TEST_F(AttackerSystemTest, AUserWhosePromptsNeverEndLocksOutNeitherAnotherUserNorRoot) {
    LoopVolume& image = loopVolume({.label = "HMHELD"});
    LoopVolume& theirs = loopVolume({.label = "HMOTHER", .partitioned = true});
    attachedBy(theirs, SystemRole::otherDesktop);
    const std::vector<std::string> mountImage = busCallWords(XPCServiceName::mount, "mountVolume", "s", {image.volume()});
    constexpr int placesOfAUser = 6;
    std::vector<std::unique_ptr<ChildProcess>> held;
    std::vector<std::string> transcripts;
    for (int index = 0; index < placesOfAUser; ++index) {
        transcripts.push_back(account(SystemRole::desktop).home() + "/prompt-" + std::to_string(index) + ".txt");
        held.push_back(startHeldCall(SystemRole::desktop, mountImage, transcripts.back()));
    }
    const bool allAsked = SystemWait::until(
        [&] {
            return std::all_of(transcripts.begin(), transcripts.end(), [](const std::string& transcript) {
                return contains(readWholeFile(transcript), "AUTHENTICATING FOR com.kestrane.drivemanagerd.loop-others");
            });
        },
        std::chrono::seconds(60));
    if (!allAsked) {
        for (const std::string& transcript : transcripts) {
            ADD_FAILURE() << transcript << ":\n" << readWholeFile(transcript);
        }
        FAIL() << runAs(SystemRole::administrator, {"ps", "-u", account(SystemRole::desktop).name(), "-o", "pid,ppid,stat,args"}).out;
    }

    Outcome another = mountCall(SystemRole::desktop, "mountVolume", "s", {image.volume()});
    EXPECT_EQ(another.out, "xs 13 \"refused: too many calls at once from this user\"\n") << another.err;
    Outcome otherUser = ctl(SystemRole::otherDesktop, {"mount", theirs.volume()});
    EXPECT_EQ(otherUser.status, 0) << otherUser.err;
    EXPECT_EQ(mounts(theirs), std::vector<std::string>{mediaFolder(SystemRole::otherDesktop) + "/HMOTHER"});
    std::vector<std::string> rootCall{"busctl", "--system", "call"};
    rootCall.insert(rootCall.end(), mountImage.begin(), mountImage.end());
    Outcome root = asRoot(rootCall);
    EXPECT_TRUE(root.out.starts_with("xs 0")) << root.out << root.err;
    EXPECT_EQ(mounts(image).size(), 1u);

    // The prompts end with their agents; each held call is then refused.
    endProcessesOf(SystemRole::desktop);
    held.clear();
    const std::string refusal =
        "refused " + image.volume() + " to uid " + std::to_string(account(SystemRole::desktop).uid());
    EXPECT_TRUE(SystemWait::until([&] { return occurrences(daemonLog(), refusal) == placesOfAUser; },
                                  std::chrono::seconds(30)))
        << daemonLog();
}

// The saved network drives name the user's servers and accounts: the file is the user's alone,
// and a file an older version left readable by others is tightened when next saved.
TEST_F(AttackerSystemTest, TheSavedNetworkDrivesAreReadableByTheirOwnerAlone) {
    const std::string saved = account(SystemRole::desktop).home() + "/nwd.plist";
    auto save = [&](const std::string& name, const std::string& host) {
        Outcome added = ctl(SystemRole::desktop, {"network", "add", "--name", name, "--type", "smb", "--host", host,
                                                  "--user", "alice", "--dir", "/share"});
        EXPECT_EQ(added.status, 0) << added.out << added.err;
    };
    auto mode = [&] {
        struct stat facts {};
        return ::stat(saved.c_str(), &facts) == 0 ? (facts.st_mode & 07777) : 0u;
    };
    save("NAS", "nas.example");
    EXPECT_EQ(mode(), 0600u);
    ::chmod(saved.c_str(), 0644);
    save("Backup NAS", "backup.example");
    EXPECT_EQ(mode(), 0600u);
    Outcome peeked = runAs(SystemRole::otherDesktop, {"cat", saved});
    EXPECT_NE(peeked.status, 0);
    EXPECT_FALSE(contains(peeked.out, "alice")) << peeked.out;
}

}  // namespace
}  // namespace harbormind::test
