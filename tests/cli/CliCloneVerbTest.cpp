// `harbormindctl clone` on real loop devices. Needs root; skips elsewhere.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/HarbormindCtl.h"
#include "engines/clone/CloneEngine.h"
#include "engines/clone/CloneLoopDevice.h"
#include "engines/clone/CloneTestProgram.h"
#include "testsupport/WholeFile.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using clone::test::CloneLoopDevice;
using clone::test::runProgram;

class CliCloneVerbTest : public testing::Test {
protected:
    void SetUp() override {
        if (std::string reason = CloneLoopDevice::unavailableReason(); !reason.empty()) {
            GTEST_SKIP() << reason;
        }
        std::string pattern = (fs::temp_directory_path() / "hm-clone-cli-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        source = std::make_unique<CloneLoopDevice>(folder, "source.img", 48);
        destination = std::make_unique<CloneLoopDevice>(folder, "destination.img", 64);
        ASSERT_TRUE(source->attached() && destination->attached());
        ASSERT_EQ(runProgram({"mkfs.ext4", "-q", "-F", source->node()}), 0);
    }
    void TearDown() override {
        source.reset();
        destination.reset();
        std::error_code error;
        fs::remove_all(folder, error);
    }

    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"clone", source->name(), destination->node()});
        arguments.insert(arguments.end(), {"--state-folder", (folder / "state").string()});
        out.str("");
        err.str("");
        std::istringstream in;
        return runHarbormindctl(arguments, out, err, in);
    }
    bool same() const {
        return runProgram({"cmp", "-n", std::to_string(48 << 20), source->node(), destination->node()}) == 0;
    }

    fs::path folder;
    std::unique_ptr<CloneLoopDevice> source;
    std::unique_ptr<CloneLoopDevice> destination;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CliCloneVerbTest, ADestinationHoldingDataNeedsYes) {
    ASSERT_EQ(runProgram({"mkfs.ext4", "-q", "-F", destination->node()}), 0);
    std::uint64_t written = destination->bytesWritten();
    EXPECT_NE(run({}), 0);
    EXPECT_NE(err.str().find("holds data (ext4)"), std::string::npos) << err.str();
    EXPECT_EQ(destination->bytesWritten(), written);

    EXPECT_EQ(run({"--yes"}), 0) << err.str();
    EXPECT_NE(out.str().find("cloned 50331648 bytes"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("50.3 MB / 50.3 MB"), std::string::npos);
    EXPECT_TRUE(same());
}

TEST_F(CliCloneVerbTest, AnInterruptedCloneIsResumedOrRestartedOnlyWhenAsked) {
    EXPECT_NE(run({"--resume"}), 0);
    EXPECT_NE(err.str().find("no interrupted clone"), std::string::npos) << err.str();

    clone::CloneOptions options;
    options.stateFolder = folder / "state";
    options.checkpointBytes = 8 << 20;
    // Every chunk reports, so the stop at 16 MiB does not depend on how fast the copy runs.
    options.progressInterval = Clock::Duration::zero();
    {
        clone::CloneEngine engine(options);
        engine.clonDeviceWithStrDestinDevice(
            destination->node(), source->node(), false, [](const clone::CloneProgress& p) {
                return p.current >= (16u << 20) ? clone::CloneReply::cancel : clone::CloneReply::proceed;
            });
        engine.waitUntilFinished();
        ASSERT_EQ(engine.lastOutcome().end, clone::CloneEnd::stopped);
    }
    EXPECT_NE(run({}), 0);
    EXPECT_NE(err.str().find("--resume"), std::string::npos) << err.str();
    EXPECT_NE(run({"--resume", "--restart"}), 0);

    std::uint64_t before = destination->bytesWritten();
    EXPECT_EQ(run({"--resume"}), 0) << err.str();
    EXPECT_LE(destination->bytesWritten() - before, 32u << 20);
    EXPECT_TRUE(same());
}

// One digit of the record changed (say "done 0 16777216" to "done 0 26777216"): the resume is
// not fooled into skipping what was never copied; it says so and copies everything.
TEST_F(CliCloneVerbTest, AnEditedRecordIsNotTrusted) {
    clone::CloneOptions options;
    options.stateFolder = folder / "state";
    options.checkpointBytes = 8 << 20;
    options.progressInterval = Clock::Duration::zero();
    {
        clone::CloneEngine engine(options);
        engine.startClone(destination->node(), source->node(), false, [](const clone::CloneProgress& p) {
            return p.current >= (16u << 20) ? clone::CloneReply::cancel : clone::CloneReply::proceed;
        });
        engine.waitUntilFinished();
    }
    fs::path map = fs::directory_iterator(folder / "state")->path();
    std::string text = test::readWholeFile(map.string());
    std::size_t digit = text.find("\ndone 0 ");
    ASSERT_NE(digit, std::string::npos) << text;
    text[digit + 8] = text[digit + 8] == '1' ? '2' : '1';
    std::ofstream(map, std::ios::trunc) << text;

    std::uint64_t before = destination->bytesWritten();
    EXPECT_EQ(run({"--resume"}), 0) << err.str();
    EXPECT_NE(err.str().find("damaged"), std::string::npos) << err.str();
    EXPECT_EQ(destination->bytesWritten() - before, 48u << 20);
    EXPECT_TRUE(same());
}

}  // namespace
}  // namespace harbormind
