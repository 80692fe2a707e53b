// Kill the copying process at random moments and resume: the end result is the source, byte for
// byte, and each kill costs at most one checkpoint interval of copying again. Needs root.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <sstream>

#include "engines/clone/CloneEngine.h"
#include "engines/clone/CloneLoopDevice.h"
#include "engines/clone/CloneTestProgram.h"

namespace harbormind::clone::test {
namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t MiB = 1u << 20;
constexpr std::uint64_t checkpointMiB = 16;

// clone_child running one clone; its progress lines are read as they come.
class CloneChild {
public:
    CloneChild(const std::string& destination, const std::string& source, const fs::path& state) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return;
        }
        const harbormind::test::ExecArguments exec(
            {CLONE_CHILD_PROGRAM, destination, source, state.string(), std::to_string(checkpointMiB)});
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], 1);
            ::execv(exec.argv()[0], exec.argv());
            ::_exit(127);
        }
        ::close(fds[1]);
        output_ = ::fdopen(fds[0], "r");
    }
    ~CloneChild() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            wait();
        }
        if (output_) {
            std::fclose(output_);
        }
    }

    // The next line, empty at the end of the output.
    std::string line() {
        char buffer[256];
        return output_ && std::fgets(buffer, sizeof buffer, output_) ? std::string(buffer) : std::string();
    }
    void signal(int number) const { ::kill(pid_, number); }
    int wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
    FILE* output_ = nullptr;
};

std::uint64_t currentOf(const std::string& line) {
    std::istringstream in(line);
    std::string word;
    std::uint64_t current = 0;
    in >> word >> current;
    return word == "progress" ? current : 0;
}

class CloneKillResumeTest : public testing::Test {
protected:
    void SetUp() override {
        if (std::string reason = CloneLoopDevice::unavailableReason(); !reason.empty()) {
            GTEST_SKIP() << reason;
        }
        std::string pattern = (fs::temp_directory_path() / "hm-clone-kill-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        source = std::make_unique<CloneLoopDevice>(folder, "source.img", 256);
        destination = std::make_unique<CloneLoopDevice>(folder, "destination.img", 256);
        ASSERT_TRUE(source->attached() && destination->attached());
        std::mt19937_64 random(seed);
        std::FILE* out = std::fopen(source->node().c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::vector<std::uint64_t> block(MiB / 8);
        for (int i = 0; i < 256; ++i) {
            for (auto& word : block) {
                word = random();
            }
            std::fwrite(block.data(), 1, MiB, out);
        }
        std::fclose(out);
    }
    void TearDown() override {
        source.reset();
        destination.reset();
        std::error_code error;
        fs::remove_all(folder, error);
    }

    // Runs the child until its progress passes `target`, then kills it with `signalNumber`.
    // Returns the last line it printed.
    std::string runUntil(std::uint64_t target, int signalNumber) {
        CloneChild child(destination->node(), source->node(), folder / "state");
        std::string line, last;
        while (!(line = child.line()).empty()) {
            last = line;
            if (currentOf(line) >= target) {
                child.signal(signalNumber);
                break;
            }
        }
        if (signalNumber != SIGKILL) {
            while (!(line = child.line()).empty()) {
                last = line;
            }
        }
        child.wait();
        return last;
    }

    // Whether the destination holds the map of a clone that has not completed.
    bool interrupted() const {
        CloneOptions options;
        options.stateFolder = folder / "state";
        return CloneEngine(options).isCloneInterruptDeviceWithStrDevice(destination->node());
    }

    unsigned seed = std::random_device()();
    fs::path folder;
    std::unique_ptr<CloneLoopDevice> source;
    std::unique_ptr<CloneLoopDevice> destination;
};

TEST_F(CloneKillResumeTest, TenKillsCostAtMostOneCheckpointEach) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    int kills = 0;
    std::uint64_t reached = 0;
    for (int round = 0; round < 10; ++round) {
        std::uint64_t remaining = 256 * MiB - reached;
        std::uint64_t target =
            reached + std::uniform_int_distribution<std::uint64_t>(0, remaining * 9 / 10)(random);
        std::string last = runUntil(target, SIGKILL);
        // The progress lines are read behind the copy: on a busy machine the copy can complete
        // before the kill that a late line asked for. Its map is gone then, and a further run
        // would be a new clone, so the kills stop there.
        if (!interrupted()) {
            break;
        }
        if (last.rfind("progress", 0) == 0) {
            ++kills;
            reached = currentOf(last);
        }
    }
    if (interrupted()) {
        std::string last = runUntil(UINT64_MAX, SIGKILL);
        EXPECT_EQ(last.rfind("end 4 0 ", 0), 0u) << last;
    }

    EXPECT_EQ(runProgram({"cmp", source->node(), destination->node()}), 0);
    EXPECT_GE(kills, 1);
    EXPECT_LE(destination->bytesWritten(), 256 * MiB + kills * checkpointMiB * MiB) << kills << " kills";
    EXPECT_FALSE(interrupted());
}

TEST_F(CloneKillResumeTest, TerminationSavesTheMapAndTheCloneResumes) {
    std::string last = runUntil(100 * MiB, SIGTERM);
    EXPECT_EQ(last.rfind("end 2 0 ", 0), 0u) << last;  // suspended, no error
    EXPECT_TRUE(interrupted());
    std::uint64_t stoppedAt = destination->bytesWritten();
    EXPECT_GE(stoppedAt, 100 * MiB);

    last = runUntil(UINT64_MAX, SIGKILL);
    EXPECT_EQ(last.rfind("end 4 0 ", 0), 0u) << last;
    EXPECT_EQ(runProgram({"cmp", source->node(), destination->node()}), 0);
    EXPECT_EQ(destination->bytesWritten(), 256 * MiB);  // a stop loses nothing already written
}

}  // namespace
}  // namespace harbormind::clone::test
