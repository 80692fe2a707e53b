#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "daemon/linux/CryptsetupProcess.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

// A stand-in for cryptsetup run as `reencrypt LIMIT SIGNAL`: it says "ready", then takes
// SIGTERM as no reason to stop until the LIMITth one and says how many it had; or it kills
// itself with SIGNAL when one is given (ignoring the stop that "ready" brings, so that SIGNAL is
// what ends it). Left alone, it gives up after 20 seconds.
const char* const standIn = R"(#!/bin/sh
case "$3" in [A-Z]*) trap '' TERM; echo ready; kill -"$3" $$ ;; esac
limit=$2
count=0
trap 'count=$((count + 1)); if [ $count -ge $limit ]; then kill $waiting; echo "stopped after $count"; exit 3; fi' TERM
sleep 20 </dev/null >/dev/null 2>&1 &
waiting=$!
echo ready
while kill -0 $waiting 2>/dev/null; do wait $waiting; done
echo "never stopped"
exit 4
)";

class CryptsetupProcessTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/harbormind-cryptsetup-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
        program = folder + "/cryptsetup";
        std::ofstream(program) << standIn;
        fs::permissions(program, fs::perms::owner_all);
    }
    void TearDown() override { fs::remove_all(folder); }

    // Runs the stand-in as a reencryption, interrupted once it is ready.
    CryptsetupRunner::Result runInterrupted(const std::string& stopsAt, const std::string& killsItself = "-") {
        CryptsetupProcess process;
        return process.run({program, "reencrypt", stopsAt, killsItself}, {}, [&](const std::string& line) {
            lines.push_back(line);
            if (line == "ready") {
                process.interrupt();
            }
        });
    }

    std::string folder, program;
    std::vector<std::string> lines;
};

// cryptsetup takes no notice of a SIGTERM that comes while it is still opening the volume: a
// stop sent only once would let it run to the end.
TEST_F(CryptsetupProcessTest, AStopIsSentAgainUntilTheReencryptionHasEnded) {
    auto result = runInterrupted("3");
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"ready", "stopped after 3"}));
}

TEST_F(CryptsetupProcessTest, HowTheReencryptionEndedReachesTheDaemon) {
    auto killed = runInterrupted("1", "KILL");
    EXPECT_EQ(killed.signal, SIGKILL);
    EXPECT_EQ(killed.status, -1);
    EXPECT_EQ(runInterrupted("1").status, 3);
}

}  // namespace
}  // namespace harbormind
