#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <random>

#include "LuksLoopFixture.h"

namespace harbormind {
namespace {

using namespace test;

// Where a kill lands. "Midway" is once the held cryptsetup has written a random number of bytes
// more, below the size of one of its steps (a step's data goes out in one write, then its
// checkpoint): the kill lands among the writes of one step, so every round finds work left;
// "early" is the moment cryptsetup was started; "late" is the moment the reencryption has ended, while the daemon adds and tries the recovery key.
enum class Kill { daemon, cryptsetup, client, daemonEarly, detachedLoop, late };

const char* nameOf(Kill kill) {
    switch (kill) {
        case Kill::daemon: return "the daemon, midway";
        case Kill::cryptsetup: return "cryptsetup, midway";
        case Kill::client: return "harbormindctl, midway";
        case Kill::daemonEarly: return "the daemon, early";
        case Kill::detachedLoop: return "cryptsetup, midway, its loop device detached";
        case Kill::late: return "the daemon, after the reencryption";
    }
    return "?";
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// kill -9 of the encrypting daemon, of cryptsetup and of the client at random points, each
// followed by a resume (or, when a kill came before anything was written, a new encryption),
// then the volume decrypted back and compared file by file. The seed is printed; set
// HARBORMIND_KILL_SEED to repeat a run.
class LuksKillTest : public LuksLoopTest {
protected:
    // cryptsetup encrypts this layout in steps of about 29 MiB (as many sectors as the checksums
    // the small key slot area holds): 512 MiB make enough steps for ten kills.
    static constexpr int volumeMebibytes = 512;

    void SetUp() override {
        holdReencryptions = true;
        imageInMemory = true;
        LuksLoopTest::SetUp();
        const char* given = std::getenv("HARBORMIND_KILL_SEED");
        seed = given ? static_cast<std::uint32_t>(std::strtoul(given, nullptr, 10)) : std::random_device{}();
        random.seed(seed);
        RecordProperty("seed", std::to_string(seed));
        std::cout << "kill test seed " << seed << std::endl;
    }

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    // Files of random sizes and bytes beside the fixture's own.
    void addRandomFiles() {
        fs::create_directories(folder + "/files/random");
        std::independent_bits_engine<std::mt19937, 8, unsigned> byte(random());
        for (int file = 0; file < 16; ++file) {
            std::string bytes(static_cast<std::size_t>(uniform(1, 3 << 20)), '\0');
            std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(byte()); });
            std::ofstream(folder + "/files/random/file" + std::to_string(file) + ".bin", std::ios::binary) << bytes;
        }
    }

    // The next step of the work: a resume when one is owed, else a new encryption.
    std::unique_ptr<ChildProcess> continueWork() {
        std::ofstream(folder + "/ctl.err", std::ios::trunc).close();
        std::ofstream(folder + "/ctl.out", std::ios::trunc).close();
        return encryptInBackground({luks->needResume(name) ? "--resume" : "--detached-header"});
    }

    std::string daemonLog() const { return readFile(folder + "/daemon.log"); }

    // The kill itself; false when the moment never came (the test then fails).
    bool kill(Kill how, ChildProcess& ctl) {
        auto held = HeldCryptsetup::find(daemon->pid(), loop);
        if (!held) {
            return false;
        }
        if (how == Kill::late) {
            held->release();
            bool ended = pollUntil([&] { return runningBelow(daemon->pid(), "reencrypt", loop) < 0; }, 600);
            daemon->signal(SIGKILL);
            daemon->waitExit(std::chrono::seconds(10));
            return ended;
        }
        auto bytes = static_cast<std::uint64_t>(uniform(1, 24 << 8)) << 12;
        // cryptsetup takes a SIGTERM that comes while it opens the volume as no reason to
        // stop, and runs the whole reencryption without its daemon: the early kill comes
        // before it runs at all.
        bool reached = how == Kill::daemonEarly || held->runUntilWritten(bytes);
        if (!reached) {
            return false;
        }
        switch (how) {
            case Kill::daemon:
            case Kill::daemonEarly:
                daemon->signal(SIGKILL);
                daemon->waitExit(std::chrono::seconds(10));
                // Its death sends cryptsetup a SIGTERM, waiting in it while it is held.
                return held->releaseOnceTerminated([] { return true; });
            case Kill::client: {
                // The daemon learns of it at its next report, which needs cryptsetup to go on.
                std::size_t stops = occurrences(daemonLog(), "stopping the encryption");
                auto stopped = [&] { return occurrences(daemonLog(), "stopping the encryption") > stops; };
                ctl.signal(SIGKILL);
                return held->runInSlicesUntil(stopped) && held->releaseOnceTerminated(stopped);
            }
            case Kill::detachedLoop:
                // Busy, the loop device goes away only when cryptsetup lets it go.
                shell("losetup --detach \"$1\"", {loop});
                [[fallthrough]];
            default:
                ::kill(held->pid(), SIGKILL);
                ::kill(held->pid(), SIGCONT);
                return true;
        }
    }

    // Waits until the round's kill has settled: the client, the daemon's job (or the daemon)
    // and every process holding the volume or its header have ended.
    void settle(Kill how, ChildProcess& ctl, std::size_t jobsEnded) {
        auto status = ctl.waitExit(std::chrono::seconds(120));
        ASSERT_TRUE(status.has_value()) << "the client hangs after the kill";
        EXPECT_NE(*status, 0) << "a killed job reported success: " << readFile(folder + "/ctl.out");
        ASSERT_TRUE(pollUntil(
            [&] { return !daemon->running() || occurrences(daemonLog(), "luks: the job on ") > jobsEnded; }, 120))
            << daemonLog();
        // A step let run to its end after its daemon died finishes first.
        ASSERT_TRUE(pollUntil([&] { return !openedByAnyone(loop) && !openedByAnyone(header()); }, 120))
            << "something still holds " << loop;
        if (how == Kill::detachedLoop) {
            ASSERT_TRUE(pollUntil([&] { return !stillOurs(); }, 60)) << loop << " was never let go";
            reattach();
        }
        if (!daemon->running()) {
            logBefore += daemonLog();
            fs::remove(folder + "/daemon.log");
            startDaemon();
        }
    }

    std::uint32_t seed = 0;
    std::mt19937 random;
    // The logs of the daemons killed so far.
    std::string logBefore;
};

TEST_F(LuksKillTest, TenKillsAtRandomPointsEachFollowedByAResumeLoseNothing) {
    addRandomFiles();
    makeVolume(volumeMebibytes);
    std::vector<Kill> plan{Kill::daemon,     Kill::cryptsetup, Kill::client,      Kill::daemon,
                           Kill::cryptsetup, Kill::daemon,     Kill::daemonEarly, Kill::detachedLoop,
                           Kill::cryptsetup};
    std::shuffle(plan.begin(), plan.end(), random);
    // After the reencryption nothing is left to resume but the key: that kill comes last.
    plan.push_back(Kill::late);
    for (std::size_t round = 0; round < plan.size(); ++round) {
        SCOPED_TRACE("kill " + std::to_string(round + 1) + ": " + nameOf(plan[round]) + ", seed " +
                     std::to_string(seed));
        std::size_t jobsEnded = occurrences(daemonLog(), "luks: the job on ");
        auto ctl = continueWork();
        ASSERT_TRUE(kill(plan[round], *ctl)) << logBefore << daemonLog() << dump() << readFile(folder + "/ctl.err");
        settle(plan[round], *ctl, jobsEnded);
        if (HasFatalFailure()) {
            return;
        }
        // Whatever the kill left, the work can go on: resumed, or started again untouched.
        bool untouched = !luks->isLuksDrive(name) && digest() == original;
        ASSERT_TRUE(luks->needResume(name) || untouched) << dump() << daemonLog();
        // A client that outlived the work says how to go on.
        std::string said = readFile(folder + "/ctl.err");
        if (plan[round] != Kill::client && !untouched) {
            // Its device gone (detached), it can only say the volume needs its resume.
            EXPECT_TRUE(said.find("--resume") != std::string::npos ||
                        said.find("resume its encryption") != std::string::npos)
                << "the client did not say how to go on: " << said;
        }
    }
    // The last resume runs free; after the late kill it has only the key to add.
    auto last = continueWork();
    ASSERT_TRUE(pollUntil(
        [&] {
            if (int held = runningBelow(daemon->pid(), "reencrypt", loop); held > 0) {
                ::kill(held, SIGCONT);
            }
            return !last->running();
        },
        600));
    ASSERT_EQ(last->waitExit(std::chrono::seconds(0)), 0) << readFile(folder + "/ctl.err");
    std::string log = logBefore + daemonLog();
    std::cout << "steps recovered after cryptsetup died: " << occurrences(log, "luks: recovering the interrupted")
              << std::endl;
    // A kill between a step's start and its checkpoint leaves the step to recover; most of a
    // step's time lies there, so among the four kills of cryptsetup at least one did.
    EXPECT_GT(occurrences(log, "luks: recovering the interrupted"), 0u) << log;
    EXPECT_TRUE(luks->isLuksDrive(name));
    EXPECT_FALSE(luks->needResume(name));
    std::string key = recoveryKeyPrinted();
    ASSERT_EQ(key.size(), 55u) << readFile(folder + "/ctl.out");
    EXPECT_TRUE(opensWith(password, 0));
    EXPECT_EQ(shell("printf %s \"$1\" | cryptsetup open --test-passphrase --header \"$2\" --key-file - \"$3\"",
                    {key, header(), loop})
                  .status,
              0);
    decryptAndCompareFiles();
}

}  // namespace
}  // namespace harbormind
