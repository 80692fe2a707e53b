#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "cli/HarbormindCtl.h"
#include "testsupport/VirtualClockTest.h"
#include "usbblocker/USBBlockerTexts.h"
#include "xpc/XPCTransport.h"

namespace harbormind {
namespace {

// `usb status|enable|disable` on a simulated machine whose daemon answers as the test says.
// The simulated keychain and settings live in memory, so each run starts with nothing set.
class CliUSBWardenVerbsTest : public test::VirtualClockTest {
protected:
    void TearDown() override {
        std::filesystem::remove(scenario);
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }

    struct Run {
        int status;
        std::string out;
        std::string err;
    };
    Run run(const std::string& verb, const std::string& input, bool daemonAgrees = true) {
        std::string answer = daemonAgrees ? "true" : "false";
        std::ofstream(scenario) << R"({"name": "usb warden", "daemon": {"usbBlocker": {"addPlistFileWithReply": )"
                                << answer << R"(, "removePlistFileWithReply": )" << answer << "}}}";
        std::ostringstream out;
        std::ostringstream err;
        std::istringstream in(input);
        int status = runHarbormindctl({"--platform", "sim", "--scenario", scenario, "usb", verb}, out, err, in);
        return {status, out.str(), err.str()};
    }

    std::string scenario = (std::filesystem::temp_directory_path() /
                            ("harbormind-usbwarden-" + std::to_string(::getpid()) + ".json"))
                               .string();
};

TEST_F(CliUSBWardenVerbsTest, EnableChecksTheFirstPasswordLikeTheWindow) {
    Run mismatch = run("enable", "secret\nsecreT\n");
    EXPECT_EQ(mismatch.status, 1);
    EXPECT_EQ(mismatch.err, std::string("harbormindctl: usb enable: ") + USBBlockerTexts::passwordsDiffer + "\n");

    std::string tooLong(49, 'x');
    Run longOne = run("enable", tooLong + "\n" + tooLong + "\n");
    EXPECT_EQ(longOne.err, "harbormindctl: usb enable: The password is longer than allowed.\n")
        << "the window's English, not the shared table's misspelt text";

    Run empty = run("enable", "");
    EXPECT_EQ(empty.err, std::string("harbormindctl: usb enable: ") + USBBlockerTexts::enterPassword + "\n");

    Run done = run("enable", "secret\nsecret\n");
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.out, "USB Warden is on.\n");

    Run refused = run("enable", "secret\nsecret\n", false);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, std::string("harbormindctl: usb enable: ") + USBBlockerTexts::enableFailed + "\n");
}

TEST_F(CliUSBWardenVerbsTest, DisableAndStatusSayWhatTheWindowsSayAndJSONKeepsItsWords) {
    Run empty = run("disable", "");
    EXPECT_EQ(empty.err, std::string("harbormindctl: usb disable: ") + USBBlockerTexts::enterPassword + "\n");
    Run noPassword = run("disable", "guess\n");
    EXPECT_EQ(noPassword.status, 1);
    EXPECT_EQ(noPassword.err, std::string("harbormindctl: usb disable: ") + USBBlockerTexts::incorrectPassword + "\n");

    Run status = run("status", "");
    EXPECT_EQ(status.status, 0);
    EXPECT_EQ(status.out, "USB Warden: never enabled\nmode: Ask for confirmation every time\npassword: not set\n");
    std::ostringstream out, err;
    std::istringstream in;
    runHarbormindctl({"--platform", "sim", "--scenario", scenario, "usb", "status", "--json"}, out, err, in);
    EXPECT_NE(out.str().find(std::string("\"mode\": \"") + USBBlockerTexts::modeAsk + "\""), std::string::npos)
        << "JSON keeps the words scripts compare: " << out.str();
}

}  // namespace
}  // namespace harbormind
