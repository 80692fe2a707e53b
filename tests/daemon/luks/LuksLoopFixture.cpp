#include "LuksLoopFixture.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/Clock.h"
#include "testsupport/OtherDiskMounts.h"

namespace harbormind::test {
namespace {

namespace fs = std::filesystem;

void pause(double secondsToWait) {
    Clock::current().sleepFor(seconds(secondsToWait));
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

}  // namespace

Outcome shell(const std::string& script, const std::vector<std::string>& values,
              const std::map<std::string, std::string>& environment) {
    std::vector<std::string> argv{"/bin/sh", "-c", script, "sh"};
    argv.insert(argv.end(), values.begin(), values.end());
    int pipe = -1;
    ChildProcess child(argv, environment, &pipe, "/dev/null");
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

bool pollUntil(const std::function<bool()>& done, double limitSeconds) {
    auto deadline = Clock::current().now() + seconds(limitSeconds);
    while (!done()) {
        if (Clock::current().now() > deadline) {
            return false;
        }
        pause(0.005);
    }
    return true;
}

namespace {

// The daemon runs a reencryption under a guard of its own: its child's child.
bool below(int pid, int ancestor) {
    int parent = 0;
    stateOf(pid, &parent);
    int grandparent = 0;
    return parent == ancestor || (parent > 1 && (stateOf(parent, &grandparent), grandparent == ancestor));
}

}  // namespace

int runningBelow(int ancestor, const std::string& verb, const std::string& device) {
    std::error_code error;
    for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename();
        if (entry.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        int pid = std::stoi(entry);
        char state = stateOf(pid);
        std::string line = procText(pid, "cmdline");
        std::replace(line.begin(), line.end(), '\0', ' ');
        if (state != 'Z' && below(pid, ancestor) && line.find(" " + verb + " ") != std::string::npos &&
            line.ends_with(" " + device + " ")) {
            return pid;
        }
    }
    return -1;
}

std::optional<HeldCryptsetup> HeldCryptsetup::find(int daemon, const std::string& device) {
    int pid = -1;
    if (!pollUntil([&] { return (pid = runningBelow(daemon, "reencrypt", device)) > 0; }, 60)) {
        return std::nullopt;
    }
    HeldCryptsetup held(pid);
    held.stop();
    return held;
}

void HeldCryptsetup::slice(double heldSeconds) {
    ::kill(pid_, SIGCONT);
    pause(0.002);
    stop();
    pause(heldSeconds);
}

bool HeldCryptsetup::runInSlicesUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 4000; ++i) {
        if (done()) {
            return true;
        }
        slice(0.03);
    }
    return false;
}

bool HeldCryptsetup::ended() const {
    char state = stateOf(pid_);
    return state == '?' || state == 'Z';
}

std::uint64_t HeldCryptsetup::written() const {
    std::istringstream io(procText(pid_, "io"));
    for (std::string line; std::getline(io, line);) {
        if (line.rfind("wchar:", 0) == 0) {
            return std::stoull(line.substr(6));
        }
    }
    return 0;
}

bool HeldCryptsetup::runSlices(int slices) {
    for (int i = 0; i < slices; ++i) {
        if (ended()) {
            return false;
        }
        slice(0.03);
    }
    return !ended();
}

// Nothing waits for its reports here: the slices follow each other closely.
bool HeldCryptsetup::runUntilWritten(std::uint64_t bytes) {
    std::uint64_t target = written() + bytes;
    for (int i = 0; i < 20000 && !ended(); ++i) {
        if (written() >= target) {
                    return true;
        }
        slice(0);
    }
    return false;
}

bool HeldCryptsetup::releaseOnceTerminated(const std::function<bool()>& sent) {
    int sinceSent = 0;
    for (int i = 0; i < 6000 && sinceSent < 20; ++i) {
        if (terminationPending(pid_)) {
            ::kill(pid_, SIGCONT);
            return true;
        }
        sinceSent = sent() ? sinceSent + 1 : 0;
        pause(0.01);
    }
    ::kill(pid_, SIGCONT);
    return sinceSent > 0;
}

void HeldCryptsetup::stop() {
    ::kill(pid_, SIGSTOP);
    if (char state = stateOf(pid_); state == 'T' || state == 'Z' || state == '?') {
        return;
    }
    pollUntil(
        [this] {
            char state = stateOf(pid_);
            return state == 'T' || state == 'Z' || state == '?';
        },
        1);
}

std::vector<std::string> LuksLoopTest::heldReencryptionsFor(const std::vector<std::string>& daemonArgv) const {
    std::string program = ::access("/usr/sbin/cryptsetup", X_OK) == 0 ? "/usr/sbin/cryptsetup" : "/sbin/cryptsetup";
    std::string real = folder + "/cryptsetup.real";
    std::string script = folder + "/cryptsetup.held";
    std::ofstream(real).close();
    std::ofstream(script) << "#!/bin/sh\ncase \"$1\" in reencrypt) kill -STOP $$ ;; esac\nexec \"" << real
                          << "\" \"$@\"\n";
    fs::permissions(script, fs::perms::owner_all);
    std::vector<std::string> argv{"unshare", "--mount", "--propagation", "private", "/bin/sh", "-c",
                                  test::releaseOtherDiskMounts({folder, memoryFolder}) +
                                      "mount --bind \"$1\" \"$2\" && mount --bind \"$3\" \"$1\" && shift 3 && exec \"$@\"",
                                  "sh", program, real, script};
    argv.insert(argv.end(), daemonArgv.begin(), daemonArgv.end());
    return argv;
}

std::string LuksLoopTest::madeMemoryFolder() {
    char pattern[] = "/dev/shm/harbormind-luks-XXXXXX";
    if (memoryFolder.empty() && ::mkdtemp(pattern)) {
        memoryFolder = pattern;
    }
    return memoryFolder.empty() ? folder : memoryFolder;
}

bool LuksLoopTest::clientSaid(const std::string& word) {
    pollfd ready{clientOut, POLLIN, 0};
    char buffer[512];
    while (clientOut >= 0 && ::poll(&ready, 1, 0) > 0) {
        ssize_t got = ::read(clientOut, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        clientText.append(buffer, static_cast<std::size_t>(got));
    }
    return clientText.find(word + "\n") != std::string::npos;
}

void LuksLoopTest::decryptAndCompareFiles() {
    ASSERT_EQ(shell("printf %s \"$1\" | cryptsetup reencrypt --decrypt --batch-mode --header \"$2\" "
                    "--force-offline-reencrypt --key-file - \"$3\"",
                    {password, header(), loop})
                  .status,
              0);
    EXPECT_EQ(digest(), original) << "the decrypted image differs from the original";
    EXPECT_EQ(shell("e2fsck -f -n \"$1\" >/dev/null 2>&1", {image}).status, 0);
    std::string mountPoint = folder + "/decrypted";
    fs::create_directories(mountPoint);
    Outcome reader = shell("losetup --find --show --read-only \"$1\"", {image});
    ASSERT_EQ(reader.status, 0);
    std::string device = firstLine(reader.out);
    Outcome mounted = shell("mount -o ro,noload \"$1\" \"$2\"", {device, mountPoint});
    if (mounted.status == 0) {
        Outcome compared = shell("diff -r -x lost+found \"$1\" \"$2\" 2>&1", {folder + "/files", mountPoint});
        EXPECT_EQ(compared.status, 0) << compared.out;
        shell("umount \"$1\"", {mountPoint});
    }
    shell("losetup --detach \"$1\"", {device});
    ASSERT_EQ(mounted.status, 0) << "the decrypted file system could not be mounted";
}

}  // namespace harbormind::test
