#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "cli/HarbormindCtl.h"
#include "platform/Platform.h"
#include "platform/sim/SimFileContents.h"
#include "platform/sim/SimPlatform.h"
#include "xpc/XPCTransport.h"
#include "testsupport/SourceTree.h"

namespace harbormind {
namespace {

struct USBRun {
    int status;
    std::string out;
    std::string err;
};

USBRun usb(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "usb");
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    int status = runHarbormindctl(arguments, out, err, in);
    return {status, out.str(), err.str()};
}

// The verbs on the Linux platform, over a lists file of the test's own. Changing the lists is
// the daemon's work: USBWardenBusTest runs those verbs against it.
class CliUSBVerbsTest : public testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        folder = std::filesystem::temp_directory_path() / ("harbormind-cli-usb-" + std::to_string(random()));
        std::filesystem::create_directories(folder);
        listsFile = (folder / "usbblocker.cnf").string();
        setenv("HARBORMIND_USBBLOCKER_LISTS", listsFile.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("HARBORMIND_USBBLOCKER_LISTS");
        std::filesystem::remove_all(folder);
        XPCTransport::setCurrent(nullptr);
    }
    std::string contents() {
        std::ifstream in(listsFile);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path folder;
    std::string listsFile;
};

TEST_F(CliUSBVerbsTest, ListPrintsBothListsAsLinesOrJson) {
    std::ofstream(listsFile) << "A:5__white\nB:7__black\n";
    USBRun text = usb({"list"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "white\t5\tA\nblack\t7\tB\n");

    USBRun json = usb({"list", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["file"], listsFile);
    EXPECT_EQ(parsed["whiteList"][0]["name"], "A");
    EXPECT_EQ(parsed["blackList"][0]["size"], 7);
}

TEST_F(CliUSBVerbsTest, OnTheSimulatedPlatformTheFileIsTheMachines) {
    std::string scenario = test::SourceTree::scenario("usb-disks.json");
    // The simulated daemon changes the machine's file, as the real one changes its own.
    USBRun result = usb({"allow", "TINY", "--platform", "sim", "--scenario", scenario});
    ASSERT_EQ(result.status, 0) << result.err;
    auto& sim = dynamic_cast<SimPlatform&>(Platform::current());
    EXPECT_EQ(sim.files().read("/private/var/kestrane/usbblocker.cnf", 1000).bytes, "TINY:0__white\n");
}

}  // namespace
}  // namespace harbormind
