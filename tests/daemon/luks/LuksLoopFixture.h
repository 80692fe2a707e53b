#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drivemodel/DMLuksWrapper.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/LoopImageCleanup.h"
#include "testsupport/PrivateBus.h"
#include "xpc/XPCServiceName.h"
#include "xpc/XPCTransport.h"
#include "xpc/dbus/DBusXPCTransport.h"

namespace harbormind::test {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs `script` with sh, its values passed as the positional parameters ($1, $2, ...), never
// spliced into the script's text.
Outcome shell(const std::string& script, const std::vector<std::string>& values = {},
              const std::map<std::string, std::string>& environment = {});
std::string firstLine(const std::string& text);
std::string readFile(const std::string& path);
// Some process still has `device` open (cryptsetup finishing after its daemon was killed).
bool openedByAnyone(const std::string& device);
// Polls `done` through the clock every few milliseconds until it holds (true) or `limit`
// passes (false): the state of real processes and devices has no one to notify us.
bool pollUntil(const std::function<bool()>& done, double limitSeconds);
// The pid of a child of `ancestor`, or of one of its children, whose command line holds `verb`
// and ends with `device`; -1 when there is none.
int runningBelow(int ancestor, const std::string& verb, const std::string& device);

// The test's own cryptsetup reencryption, held stopped (SIGSTOP) and let run only in short
// slices. This makes the tests independent of how fast this machine encrypts: the work
// advances little in real time, so the once-a-second progress reports come long before it
// could finish, and a SIGTERM sent to it while it is stopped waits until it runs again.
class HeldCryptsetup {
public:
    // A process below `daemon` running `reencrypt` on `device`, stopped as soon as it appears.
    static std::optional<HeldCryptsetup> find(int daemon, const std::string& device);

    int pid() const { return pid_; }
    // Lets it run 2 ms at a time, with 30 ms held between, until `done` (bounded).
    bool runInSlicesUntil(const std::function<bool()>& done);
    // Lets it run `slices` such slices; false once it has ended.
    bool runSlices(int slices);
    // Lets it run in slices until it has written `bytes` more than it had (its own count of
    // bytes written, from /proc); false when it ended before.
    bool runUntilWritten(std::uint64_t bytes);
    // Lets it run freely from now on.
    void release() const { ::kill(pid_, SIGCONT); }
    // Once `sent` says a SIGTERM went out to it, waits (bounded) for the signal to wait in it
    // (it may have come during a slice and been handled already), then lets it go on.
    bool releaseOnceTerminated(const std::function<bool()>& sent);

private:
    explicit HeldCryptsetup(int pid) : pid_(pid) {}
    void stop();
    // Lets it run 2 ms, then holds it `heldSeconds`.
    void slice(double heldSeconds);
    bool ended() const;
    std::uint64_t written() const;

    int pid_;
};

// The daemon on a private bus encrypting a real loop device's ext4 volume with LUKS2, the
// header detached (this works without device-mapper), driven by harbormindctl as a user
// would, and checked with cryptsetup itself.
class LuksLoopTest : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root: loop devices and a daemon that encrypts them";
        }
        if (::access("/usr/sbin/cryptsetup", X_OK) != 0 && ::access("/sbin/cryptsetup", X_OK) != 0) {
            GTEST_SKIP() << "cryptsetup is not installed";
        }
        std::string error;
        bus = PrivateBus::start(error);
        if (!bus) {
            GTEST_SKIP() << "no private bus: " << error;
        }
        folder = bus->folder();
        headers = folder + "/headers";
        startDaemon();
        XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
    }

    void TearDown() override {
        if (clientOut >= 0) {
            ::close(clientOut);
        }
        XPCTransport::setCurrent(nullptr);
        if (daemon && !loop.empty()) {
            // A reencryption still held stopped would never end.
            if (int held = runningBelow(daemon->pid(), "reencrypt", loop); held > 0) {
                ::kill(held, SIGKILL);
            }
        }
        daemon.reset();
        // Every loop device of the image (a reattached one, the read-only one of a check), and
        // the folder in memory.
        imageCleanup.reset();
        bus.reset();
    }

    void startDaemon() {
        std::vector<std::string> argv{HARBORMIND_DAEMON_PATH, "--config",         folder + "/none.conf",
                                      "--luks-headers",       headers,            "--luks-iter-time",
                                      "50"};
        if (holdReencryptions) {
            argv = heldReencryptionsFor(argv);
        }
        daemon = std::make_unique<ChildProcess>(
            argv,
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()},
                                               {"HARBORMIND_LOG", "info"}},
            nullptr, folder + "/daemon.log");
        ASSERT_TRUE(bus->waitForName(XPCServiceName::luks));
    }

    // An ext4 image with a few files, on a loop device of our own.
    void makeVolume(int mebibytes) {
        image = (imageInMemory ? madeMemoryFolder() : folder) + "/volume.img";
        imageCleanup = std::make_unique<LoopImageCleanup>(image, memoryFolder);
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

    // Read through the loop device while it is attached: what was written through it may not
    // have reached the image file yet.
    std::string digest() const {
        return firstLine(shell("sha256sum < \"$1\"", {!loop.empty() && stillOurs() ? loop : image}).out);
    }
    std::string header() const { return headers + "/" + name + ".luks2-header"; }
    std::string dump() const { return shell("cryptsetup luksDump --header \"$1\" \"$2\"", {header(), loop}).out; }

    // harbormindctl itself (sh execs it, so a signal reaches it), the password on its input.
    std::unique_ptr<ChildProcess> encryptInBackground(const std::vector<std::string>& flags,
                                                            const std::string& typed = {}) {
        std::ofstream(folder + "/password") << (typed.empty() ? password : typed);
        std::string script = "exec \"$@\" < \"$PASSWORD_FILE\" > \"$OUT\" 2> \"$ERR\"";
        std::vector<std::string> argv{"/bin/sh", "-c", script, "sh", HARBORMIND_CTL_PATH, "encrypt", name};
        argv.insert(argv.end(), flags.begin(), flags.end());
        return std::make_unique<ChildProcess>(
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

    bool daemonLogHas(const std::string& text) const {
        return readFile(folder + "/daemon.log").find(text) != std::string::npos;
    }

    // A caller that goes silent at the first report of `stage` ("initialized" or "running")
    // and says so on its standard output, read by clientSaid().
    std::unique_ptr<ChildProcess> silentClient(const std::string& stage) {
        std::ofstream(folder + "/password") << password;
        clientText.clear();
        if (clientOut >= 0) {
            ::close(clientOut);
        }
        return std::make_unique<ChildProcess>(
            std::vector<std::string>{"/bin/sh", "-c", "exec \"$@\" < \"$PASSWORD_FILE\"", "sh",
                                     HARBORMIND_SILENT_CLIENT_PATH, name, stage},
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()},
                                               {"PASSWORD_FILE", folder + "/password"}},
            &clientOut, folder + "/client.err");
    }
    bool clientSaid(const std::string& word);

    // The image attached again (after its loop device went away), perhaps under another name.
    void reattach() {
        Outcome attached = shell("losetup --find --show \"$1\"", {image});
        ASSERT_EQ(attached.status, 0);
        loop = firstLine(attached.out);
        name = loop.substr(5);
    }

    // Decrypts the volume offline with its header and compares it with what was encrypted:
    // the image byte for byte, and every file (read from the file system, mounted read-only
    // from a loop device of its own) against its source.
    void decryptAndCompareFiles();

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

    // The daemon started in a mount namespace of its own where cryptsetup is a script that
    // stops itself (SIGSTOP) before every reencryption: the test finds it waiting, and the
    // work advances only as far as the test lets it, however fast this machine encrypts.
    std::vector<std::string> heldReencryptionsFor(const std::vector<std::string>& daemonArgv) const;

    // A folder in memory (tmpfs) for a large image: its writes never wait for a disk.
    std::string madeMemoryFolder();

    // Detaches every loop device of `image` and removes the folder in memory, also when the
    // test process is killed at its time limit.
    std::unique_ptr<LoopImageCleanup> imageCleanup;
    bool holdReencryptions = false;
    bool imageInMemory = false;
    std::string memoryFolder;
    int clientOut = -1;
    std::string clientText;
    std::unique_ptr<PrivateBus> bus;
    std::unique_ptr<ChildProcess> daemon;
    std::string folder, headers, image, loop, name, original;
    const std::string password = "correct horse $(touch /tmp/no) 'battery\" staple";
};

}  // namespace harbormind::test
