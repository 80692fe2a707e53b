#include <algorithm>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <sstream>

#include "BuildConfiguration.h"
#include "cli/CtlRun.h"
#include "cli/HarbormindCtl.h"
#include "platform/Platform.h"
#include "platform/sim/SimPlatform.h"
#include "xpc/XPCTransport.h"
#include "testsupport/SourceTree.h"

namespace harbormind {
namespace {

using test::CtlRun;
using test::runCtl;

std::string laptop() {
    return test::SourceTree::scenario("laptop.json");
}

class HarbormindCtlTest : public testing::Test {
protected:
    void TearDown() override { XPCTransport::setCurrent(nullptr); }
    SimPlatform& sim() { return dynamic_cast<SimPlatform&>(Platform::current()); }
};

TEST_F(HarbormindCtlTest, ListShowsTheLaptopTreeWithTheVolumesUnderTheirContainer) {
    CtlRun result = runCtl({"list", "--platform", "sim", "--scenario", laptop()});
    ASSERT_EQ(result.status, 0) << result.err;
    std::istringstream lines(result.out);
    std::vector<std::string> firstWords;
    for (std::string line; std::getline(lines, line);) {
        std::size_t start = line.find_first_not_of(' ');
        firstWords.push_back(line.substr(0, line.find(' ', start)));
    }
    std::vector<std::string> expected{"DEVICE", "disk0", "  disk0s2", "    disk3", "      disk3s1", "      disk3s5"};
    EXPECT_EQ(firstWords, expected) << result.out;
    EXPECT_NE(result.out.find("Macintosh HD"), std::string::npos);
    EXPECT_NE(result.out.find("/System/Volumes/Data"), std::string::npos);
    for (const char* absent : {"Preboot", "Recovery", " VM ", "EFI"}) {
        EXPECT_EQ(result.out.find(absent), std::string::npos) << absent;
    }
}

TEST_F(HarbormindCtlTest, ListAsJsonNestsTheVolumesUnderTheStoreAndItsContainer) {
    CtlRun result = runCtl({"list", "--json", "--platform", "sim", "--scenario", laptop()});
    ASSERT_EQ(result.status, 0) << result.err;
    auto tree = nlohmann::json::parse(result.out);
    ASSERT_EQ(tree.size(), 1U);
    EXPECT_EQ(tree[0]["identifier"], "disk0");
    auto store = tree[0]["children"][0];
    EXPECT_EQ(store["identifier"], "disk0s2");
    EXPECT_EQ(store["container"]["identifier"], "disk3");
    EXPECT_EQ(store["children"].size(), 2U);
    EXPECT_EQ(store["children"][1]["mountPoint"], "/System/Volumes/Data");
    EXPECT_TRUE(store["used"].is_null());
}

TEST_F(HarbormindCtlTest, VerbsExitWithZeroOnSuccessAndOneLineErrorsOtherwise) {
    CtlRun mounted = runCtl({"mount", "disk3s5", "--platform", "sim", "--scenario", laptop()});
    EXPECT_EQ(mounted.status, 0) << mounted.err;
    EXPECT_EQ(mounted.err, "");
    EXPECT_EQ(mounted.out, "Mounted disk3s5 at /System/Volumes/Data\n");

    CtlRun notMounted = runCtl({"open", "disk0", "--platform", "sim", "--scenario", laptop()});
    EXPECT_EQ(notMounted.status, 1);
    EXPECT_EQ(notMounted.err, "harbormindctl: open disk0 failed: the volume is not mounted\n");

    CtlRun unmounted = runCtl({"unmount", "/dev/disk0", "--platform", "sim", "--scenario", laptop()});
    EXPECT_EQ(unmounted.status, 0) << unmounted.err;

    CtlRun missing = runCtl({"eject", "disk42", "--platform", "sim", "--scenario", laptop()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "harbormindctl: no such drive: disk42\n");

    // A disk the system has but the list leaves out for its size is not called missing.
    CtlRun small = runCtl({"eject", "disk7", "--platform", "sim", "--scenario", test::SourceTree::scenario("usb-disks.json")});
    EXPECT_EQ(small.status, 1);
    EXPECT_EQ(small.err, "harbormindctl: disk7 is not among the drives: disks smaller than 100 MiB are left out\n");

    CtlRun noScenario = runCtl({"list", "--platform", "sim"});
    EXPECT_EQ(noScenario.status, 1);
    EXPECT_EQ(noScenario.err, "harbormindctl: --platform sim needs --scenario FILE\n");
}

// Regression: every plain drive, a disk image too, was listed in JSON with status "invalid".
TEST_F(HarbormindCtlTest, PlainVolumesShowADashForTheirLockStatusInTextAndNotEncryptedInJson) {
    CtlRun text = runCtl({"list", "--platform", "sim", "--scenario", laptop()});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.find("invalid"), std::string::npos) << text.out;
    CtlRun json = runCtl({"list", "--json", "--platform", "sim", "--scenario", laptop()});
    EXPECT_EQ(json.out.find("invalid"), std::string::npos) << json.out;
    EXPECT_EQ(nlohmann::json::parse(json.out)[0]["status"], "notEncrypted");
}

// Regression: a bare command, "help" and a typo printed only "A subcommand is required".
TEST_F(HarbormindCtlTest, UsageForNoVerbOrHelpAndASuggestionForATypo) {
    CtlRun bare = runCtl({});
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.err.find("unlock"), std::string::npos) << "the usage lists the verbs: " << bare.err;
    CtlRun help = runCtl({"help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("network"), std::string::npos) << help.out;
    CtlRun typo = runCtl({"lsit", "--platform", "sim", "--scenario", laptop()});
    EXPECT_EQ(typo.status, 2);
    EXPECT_NE(typo.err.find("unknown command \"lsit\"; did you mean \"list\"?"), std::string::npos) << typo.err;
    CtlRun far = runCtl({"frobnicate"});
    EXPECT_EQ(far.err.find("did you mean"), std::string::npos) << far.err;
}

// Regression: background classification outlived the command, so the process could crash
// at exit and the next run in the same process met a platform being torn down.
TEST_F(HarbormindCtlTest, RepeatedRunsInOneProcessGiveTheSameTree) {
    CtlRun first = runCtl({"list", "--json", "--platform", "sim", "--scenario", laptop()});
    ASSERT_EQ(first.status, 0) << first.err;
    for (int i = 0; i < 25; ++i) {
        CtlRun again = runCtl({"list", "--json", "--platform", "sim", "--scenario", laptop()});
        ASSERT_EQ(again.status, 0) << again.err;
        ASSERT_EQ(again.out, first.out) << "run " << i;
    }
}

TEST_F(HarbormindCtlTest, UnlockTakesThePasswordFromStandardInputNeverFromTheCommandLine) {
    CtlRun extra = runCtl({"unlock", "disk3s1", "secret", "--platform", "sim", "--scenario", laptop()});
    EXPECT_EQ(extra.status, 2);

    CtlRun refused =
        runCtl({"unlock", "disk3s1", "--platform", "sim", "--scenario", laptop()}, "not encrypted\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "harbormindctl: unlock disk3s1 failed (code -1)\n");
    for (const auto& line : sim().commandLines()) {
        EXPECT_EQ(line.find("not encrypted"), std::string::npos) << line;
    }
}

TEST_F(HarbormindCtlTest, VersionIsTheProjectVersion) {
    CtlRun result = runCtl({"--version"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, std::string("harbormindctl ") + BuildConfiguration::version + "\n");
}

}  // namespace
}  // namespace harbormind
