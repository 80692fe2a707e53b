#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "drivemodel/DMLuksWrapper.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/PrivateBus.h"
#include "xpc/XPCServiceName.h"
#include "xpc/XPCTransport.h"
#include "xpc/dbus/DBusXPCTransport.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs `script` with sh, its values passed as the positional parameters ($1, $2, ...), never
// spliced into the script's text.
Outcome shell(const std::string& script, const std::vector<std::string>& values = {},
              const std::map<std::string, std::string>& environment = {}) {
    std::vector<std::string> argv{"/bin/sh", "-c", script, "sh"};
    argv.insert(argv.end(), values.begin(), values.end());
    int pipe = -1;
    test::ChildProcess child(argv, environment, &pipe, "/dev/null");
    Outcome outcome;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(pipe, buffer, sizeof buffer)) > 0) {
        outcome.out.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipe);
    outcome.status = child.waitExit(std::chrono::seconds(300)).value_or(-1);
    return outcome;
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Some process still has `device` open (cryptsetup finishing after its daemon was killed).
bool openedByAnyone(const std::string& device) {
    DIR* proc = ::opendir("/proc");
    bool found = false;
    for (dirent* entry; !found && proc && (entry = ::readdir(proc));) {
        std::string fdFolder = std::string("/proc/") + entry->d_name + "/fd";
        std::error_code error;
        for (fs::directory_iterator it(fdFolder, error), end; !error && it != end; it.increment(error)) {
            std::error_code linkError;
            if (fs::read_symlink(it->path(), linkError) == device) {
                found = true;
                break;
            }
        }
    }
    if (proc) {
        ::closedir(proc);
    }
    return found;
}

std::string procText(int pid, const std::string& file) {
    return readFile("/proc/" + std::to_string(pid) + "/" + file);
}

// The state letter and parent of a process, from /proc/PID/stat (after the name in brackets).
char stateOf(int pid, int* parent = nullptr) {
    std::string stat = procText(pid, "stat");
    auto end = stat.rfind(')');
    if (end == std::string::npos || end + 2 >= stat.size()) {
        return '?';
    }
    std::istringstream rest(stat.substr(end + 2));
    char state = '?';
    int ppid = 0;
    rest >> state >> ppid;
    if (parent) {
        *parent = ppid;
    }
    return state;
}

bool terminationPending(int pid) {
    std::istringstream status(procText(pid, "status"));
    const unsigned long long bit = 1ULL << (SIGTERM - 1);
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("ShdPnd:", 0) == 0 || line.rfind("SigPnd:", 0) == 0) {
            if (std::stoull(line.substr(7), nullptr, 16) & bit) {
                return true;
            }
        }
    }
    return false;
}

// The test's own cryptsetup reencryption, held stopped (SIGSTOP) and let run only in short
// slices. This makes the tests independent of how fast this machine encrypts: the work
// advances little in real time, so the once-a-second progress reports come long before it
// could finish, and a SIGTERM sent to it while it is stopped waits until it runs again.
class HeldCryptsetup {
public:
    // A child of `daemon` running `reencrypt` on `device`, stopped as soon as it appears.
    static std::optional<HeldCryptsetup> find(int daemon, const std::string& device) {
        for (int i = 0; i < 60000; ++i) {
            if (int pid = search(daemon, device); pid > 0) {
                HeldCryptsetup held(pid);
                held.stop();
                return held;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return std::nullopt;
    }

    // Lets it run 2 ms at a time, with 30 ms held between, until `done` (bounded).
    bool runInSlicesUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 4000; ++i) {
            if (done()) {
                return true;
            }
            ::kill(pid_, SIGCONT);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        return false;
    }

    // Once `sent` says a SIGTERM went out to it, waits (bounded) for the signal to wait in it
    // (it may have come during a slice and been handled already), then lets it go on.
    bool releaseOnceTerminated(const std::function<bool()>& sent) {
        int sinceSent = 0;
        for (int i = 0; i < 6000 && sinceSent < 20; ++i) {
            if (terminationPending(pid_)) {
                ::kill(pid_, SIGCONT);
                return true;
            }
            sinceSent = sent() ? sinceSent + 1 : 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid_, SIGCONT);
        return sinceSent > 0;
    }

private:
    explicit HeldCryptsetup(int pid) : pid_(pid) {}

    static int search(int daemon, const std::string& device) {
        std::error_code error;
        for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
            std::string entry = it->path().filename();
            if (entry.find_first_not_of("0123456789") != std::string::npos) {
                continue;
            }
            int pid = std::stoi(entry);
            int parent = 0;
            stateOf(pid, &parent);
            std::string line = procText(pid, "cmdline");
            std::replace(line.begin(), line.end(), '\0', ' ');
            if (parent == daemon && line.find(" reencrypt ") != std::string::npos &&
                line.ends_with(" " + device + " ")) {
                return pid;
            }
        }
        return -1;
    }

    void stop() {
        ::kill(pid_, SIGSTOP);
        for (int i = 0; i < 1000; ++i) {
            char state = stateOf(pid_);
            if (state == 'T' || state == 'Z' || state == '?') {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    int pid_;
};

// The daemon on a private bus encrypting a real loop device's ext4 volume with LUKS2, the
// header detached (this works without device-mapper), driven by harbormindctl as a user
// would, and checked with cryptsetup itself.
class LuksEncryptionTest : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root: loop devices and a daemon that encrypts them";
        }
        if (::access("/usr/sbin/cryptsetup", X_OK) != 0 && ::access("/sbin/cryptsetup", X_OK) != 0) {
            GTEST_SKIP() << "cryptsetup is not installed";
        }
        std::string error;
        bus = test::PrivateBus::start(error);
        if (!bus) {
            GTEST_SKIP() << "no private bus: " << error;
        }
        folder = bus->folder();
        headers = folder + "/headers";
        startDaemon();
        XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
    }

    void TearDown() override {
        XPCTransport::setCurrent(nullptr);
        daemon.reset();
        if (!loop.empty() && stillOurs()) {
            shell("losetup --detach \"$1\"", {loop});
        }
        bus.reset();
    }

    void startDaemon() {
        daemon = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{HARBORMIND_DAEMON_PATH, "--config", folder + "/none.conf", "--luks-headers",
                                     headers, "--luks-iter-time", "50"},
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()},
                                               {"HARBORMIND_LOG", "info"}},
            nullptr, folder + "/daemon.log");
        ASSERT_TRUE(bus->waitForName(XPCServiceName::luks));
    }

    // An ext4 image with a few files, on a loop device of our own.
    void makeVolume(int mebibytes) {
        image = folder + "/volume.img";
        fs::create_directories(folder + "/files/docs");
        std::ofstream(folder + "/files/docs/letter.txt") << "Dear reader,\nthis stays private.\n";
        std::ofstream(folder + "/files/numbers.bin") << std::string(300000, '\x5a');
        ASSERT_EQ(shell("truncate -s \"$1\"M \"$2\" && mkfs.ext4 -q -F -d \"$3\" \"$2\"",
                        {std::to_string(mebibytes), image, folder + "/files"})
                      .status,
                  0);
        original = digest();
        Outcome attached = shell("losetup --find --show \"$1\"", {image});
        ASSERT_EQ(attached.status, 0);
        loop = firstLine(attached.out);
        name = loop.substr(5);
    }

    bool stillOurs() const {
        std::ifstream backing("/sys/block/" + name + "/loop/backing_file");
        std::string path;
        std::getline(backing, path);
        return path == image;
    }

    std::string digest() const { return firstLine(shell("sha256sum < \"$1\"", {image}).out); }
    std::string header() const { return headers + "/" + name + ".luks2-header"; }
    std::string dump() const { return shell("cryptsetup luksDump --header \"$1\" \"$2\"", {header(), loop}).out; }

    // harbormindctl itself (sh execs it, so a signal reaches it), the password on its input.
    std::unique_ptr<test::ChildProcess> encryptInBackground(const std::vector<std::string>& flags,
                                                            const std::string& typed = {}) {
        std::ofstream(folder + "/password") << (typed.empty() ? password : typed);
        std::string script = "exec \"$@\" < \"$PASSWORD_FILE\" > \"$OUT\" 2> \"$ERR\"";
        std::vector<std::string> argv{"/bin/sh", "-c", script, "sh", HARBORMIND_CTL_PATH, "encrypt", name};
        argv.insert(argv.end(), flags.begin(), flags.end());
        return std::make_unique<test::ChildProcess>(
            argv,
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()},
                                               {"PASSWORD_FILE", folder + "/password"},
                                               {"OUT", folder + "/ctl.out"},
                                               {"ERR", folder + "/ctl.err"}});
    }

    // harbormindctl drew its first progress bar: the reencryption is under way.
    bool progressShown() const { return readFile(folder + "/ctl.err").find('[') != std::string::npos; }

    bool errorTextGrew(std::size_t since) const { return readFile(folder + "/ctl.err").size() > since; }

    // Ctrl-C on a new encryption once it is under way: the client answers the next report
    // with a stop, the daemon stops cryptsetup where it can resume, and the client says how
    // to go on. cryptsetup is held while the stop travels, so it cannot finish meanwhile.
    void encryptAndStopMidway() {
        auto stopped = encryptInBackground({"--detached-header"});
        auto held = HeldCryptsetup::find(daemon->pid(), loop);
        ASSERT_TRUE(held) << readFile(folder + "/daemon.log");
        ASSERT_TRUE(held->runInSlicesUntil([&] { return progressShown(); })) << readFile(folder + "/daemon.log");
        stopped->signal(SIGINT);
        std::size_t drawn = readFile(folder + "/ctl.err").size();
        ASSERT_TRUE(held->runInSlicesUntil([&] { return errorTextGrew(drawn); }));
        // The client has answered "stop"; the daemon's SIGTERM waits in the held cryptsetup.
        EXPECT_TRUE(held->releaseOnceTerminated([&] {
            return readFile(folder + "/daemon.log").find("stopping the encryption of " + name) != std::string::npos;
        })) << readFile(folder + "/daemon.log");
        EXPECT_EQ(stopped->waitExit(std::chrono::seconds(120)), 2) << readFile(folder + "/ctl.err");
        EXPECT_NE(readFile(folder + "/ctl.err").find("--resume` to finish it"), std::string::npos);
        EXPECT_TRUE(luks->needResume(name));
    }

    bool opensWith(const std::string& key, int slot) const {
        return shell("printf %s \"$1\" | cryptsetup open --test-passphrase --key-slot \"$2\" --header \"$3\" "
                     "--key-file - \"$4\"",
                     {key, std::to_string(slot), header(), loop})
                   .status == 0;
    }

    // The daemon's answers, asked as the application asks them.
    std::shared_ptr<DMLuksWrapper> luks = DMLuksWrapper::create();

    std::string recoveryKeyPrinted() const {
        std::string out = readFile(folder + "/ctl.out");
        const std::string marker = "Recovery key (shown once; keep it safe): ";
        auto at = out.find(marker);
        return at == std::string::npos ? std::string() : firstLine(out.substr(at + marker.size()));
    }

    void decryptAndCompare() {
        ASSERT_EQ(shell("printf %s \"$1\" | cryptsetup reencrypt --decrypt --batch-mode --header \"$2\" "
                        "--force-offline-reencrypt --key-file - \"$3\"",
                        {password, header(), loop})
                      .status,
                  0);
        EXPECT_EQ(digest(), original) << "the decrypted image differs from the original";
        EXPECT_EQ(shell("e2fsck -f -n \"$1\"", {image}).status, 0);
    }

    std::unique_ptr<test::PrivateBus> bus;
    std::unique_ptr<test::ChildProcess> daemon;
    std::string folder, headers, image, loop, name, original;
    const std::string password = "correct horse $(touch /tmp/no) 'battery\" staple";
};

TEST_F(LuksEncryptionTest, EncryptsWithTwoKeySlotsAndDecryptsBackByteForByte) {
    makeVolume(64);
    auto ctl = encryptInBackground({"--detached-header", "--save-header", folder + "/saved-header"});
    ASSERT_EQ(ctl->waitExit(std::chrono::seconds(300)), 0) << readFile(folder + "/ctl.err");

    std::string text = dump();
    EXPECT_NE(text.find("Version:       \t2"), std::string::npos) << text;
    EXPECT_NE(text.find("  0: luks2"), std::string::npos);
    EXPECT_NE(text.find("  1: luks2"), std::string::npos);
    EXPECT_EQ(text.find("  2: luks2"), std::string::npos);
    EXPECT_EQ(text.find("online-reencrypt"), std::string::npos);
    std::string key = recoveryKeyPrinted();
    ASSERT_EQ(key.size(), 55u) << readFile(folder + "/ctl.out");
    EXPECT_TRUE(opensWith(password, 0));
    EXPECT_TRUE(opensWith(key, 1));
    EXPECT_FALSE(opensWith(password + "x", 0));
    EXPECT_EQ(readFile(folder + "/saved-header"), readFile(header()));
    struct stat facts {};
    ASSERT_EQ(::stat(headers.c_str(), &facts), 0);
    EXPECT_EQ(facts.st_mode & 077, 0u) << "the header folder is open to others";
    EXPECT_NE(readFile(folder + "/ctl.out").find("kept at " + header()), std::string::npos);
    // The daemon knows the volume as LUKS, locked (it cannot be unlocked here without
    // device-mapper), and finished.
    EXPECT_TRUE(luks->isLuksDrive(name));
    EXPECT_FALSE(luks->needResume(name));
    EXPECT_EQ(luks->status(name), DMLocalDriveStatus::locked);
    EXPECT_EQ(luks->detachedHeader(name), readFile(header()));
    // A second encryption of an encrypted volume is refused and changes nothing.
    auto again = encryptInBackground({"--detached-header"});
    EXPECT_EQ(again->waitExit(std::chrono::seconds(60)), 1);
    EXPECT_NE(readFile(folder + "/ctl.err").find("encrypted already"), std::string::npos);

    decryptAndCompare();
}

TEST_F(LuksEncryptionTest, StoppedOrKilledMidwayTheVolumeNeedsResumeAndResumes) {
    makeVolume(1024);
    encryptAndStopMidway();
    if (HasFatalFailure()) {
        return;
    }

    // The daemon killed during the resumed work: its death sends cryptsetup a SIGTERM, and
    // cryptsetup stops where it can resume.
    std::ofstream(folder + "/ctl.err", std::ios::trunc).close();
    auto ctl = encryptInBackground({"--resume"});
    auto held = HeldCryptsetup::find(daemon->pid(), loop);
    ASSERT_TRUE(held) << readFile(folder + "/daemon.log");
    ASSERT_TRUE(held->runInSlicesUntil([&] { return progressShown(); })) << readFile(folder + "/daemon.log");
    daemon->signal(SIGKILL);
    daemon->waitExit(std::chrono::seconds(10));
    EXPECT_TRUE(held->releaseOnceTerminated([] { return true; }));
    EXPECT_NE(ctl->waitExit(std::chrono::seconds(60)).value_or(0), 0) << "the client reported success";
    for (int i = 0; i < 300 && openedByAnyone(loop); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_FALSE(openedByAnyone(loop));
    EXPECT_NE(dump().find("online-reencrypt"), std::string::npos) << dump();

    startDaemon();
    EXPECT_TRUE(luks->needResume(name));
    EXPECT_EQ(luks->status(name), DMLocalDriveStatus::encrypting);
    auto plain = encryptInBackground({"--detached-header"});
    EXPECT_EQ(plain->waitExit(std::chrono::seconds(60)), 1) << "a new encryption over a half-encrypted volume";
    auto resumed = encryptInBackground({"--resume"});
    ASSERT_EQ(resumed->waitExit(std::chrono::seconds(300)), 0) << readFile(folder + "/ctl.err");
    EXPECT_EQ(dump().find("online-reencrypt"), std::string::npos);
    std::string key = recoveryKeyPrinted();
    EXPECT_TRUE(opensWith(password, 0));
    EXPECT_TRUE(opensWith(key, 1));
    EXPECT_FALSE(luks->needResume(name));

    decryptAndCompare();
}

// The state a daemon leaves when it dies after cryptsetup finished but before the recovery key
// was added, made here by finishing the stopped reencryption with cryptsetup itself: the
// volume is encrypted with the password's slot only, and a resume adds the missing key.
TEST_F(LuksEncryptionTest, EncryptedWithoutItsRecoveryKeyTheResumeAddsAndPrintsOne) {
    makeVolume(512);
    encryptAndStopMidway();
    if (HasFatalFailure()) {
        return;
    }
    ASSERT_EQ(shell("printf %s \"$1\" | cryptsetup reencrypt --resume-only --batch-mode --header \"$2\" "
                    "--key-file - \"$3\"",
                    {password, header(), loop})
                  .status,
              0);
    ASSERT_EQ(dump().find("online-reencrypt"), std::string::npos);
    ASSERT_EQ(dump().find("  1: luks2"), std::string::npos);

    EXPECT_TRUE(luks->needResume(name)) << "the missing recovery key is not offered to finish";
    EXPECT_EQ(luks->status(name), DMLocalDriveStatus::encrypting);
    auto plain = encryptInBackground({"--detached-header"});
    EXPECT_EQ(plain->waitExit(std::chrono::seconds(60)), 1);
    EXPECT_NE(readFile(folder + "/ctl.err").find("use --resume"), std::string::npos) << readFile(folder + "/ctl.err");
    auto wrong = encryptInBackground({"--resume"}, password + "x");
    EXPECT_EQ(wrong->waitExit(std::chrono::seconds(60)), 1) << "a key added with a wrong password";
    EXPECT_TRUE(luks->needResume(name));

    auto resumed = encryptInBackground({"--resume"});
    ASSERT_EQ(resumed->waitExit(std::chrono::seconds(120)), 0) << readFile(folder + "/ctl.err");
    std::string key = recoveryKeyPrinted();
    ASSERT_EQ(key.size(), 55u) << readFile(folder + "/ctl.out");
    EXPECT_TRUE(opensWith(password, 0));
    EXPECT_TRUE(opensWith(key, 1));
    EXPECT_FALSE(luks->needResume(name));
    EXPECT_EQ(luks->status(name), DMLocalDriveStatus::locked);
    EXPECT_FALSE(fs::exists(headers + "/" + name + ".recovery-key-pending"));

    decryptAndCompare();
}

}  // namespace
}  // namespace harbormind
