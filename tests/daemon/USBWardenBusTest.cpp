#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/desktop/LinuxUSBAgentUnit.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/PrivateBusTest.h"
#include "testsupport/ProgramRun.h"
#include "testsupport/WholeFile.h"
#include "usbblocker/DMUSBBlockerWrapper.h"
#include "usbblocker/USBBlockerTexts.h"
#include "xpc/DMUSBBlockerServerProtocol.h"
#include "xpc/XPCTransport.h"
#include "xpc/dbus/DBusXPCTransport.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

using test::Outcome;
using test::readWholeFile;

// "USB Warden" turned on and off from the command line against the real daemon on a private
// bus: the daemon keeps the Warden's state and password, writes and removes the agent's user
// unit, and the load and unload lines reach the user's service manager. No user manager runs under test, so a stand-in
// `systemctl` first on the PATH records each call and, when asked to enable the agent, reads
// the unit the daemon wrote.
class USBWardenBusTest : public test::PrivateBusTest {
protected:
    void SetUp() override {
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        folder = bus->folder();
        unit = folder + "/units/" + LinuxUSBAgentUnit::unitName;
        fs::create_directories(folder + "/bin");
        fs::create_directories(folder + "/home");
        std::ofstream(folder + "/bin/systemctl")
            << "#!/bin/sh\n"
               "echo \"$*\" >> \"$HM_SYSTEMCTL_LOG\"\n"
               "case \"$*\" in *'enable --now'*) grep -q '^ExecStart=' \"$HM_AGENT_UNIT\" || exit 1 ;; esac\n";
        fs::permissions(folder + "/bin/systemctl", fs::perms(0755));
        std::ofstream(folder + "/drivemanagerd.conf") << "";
        daemon = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{HARBORMIND_DAEMON_PATH, "--config", folder + "/drivemanagerd.conf",
                                     "--media-root", folder + "/media", "--usb-agent-unit", unit, "--usb-lists",
                                     folder + "/lists/usbblocker.cnf"},
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}}, nullptr,
            folder + "/daemon.log");
        ASSERT_TRUE(bus->waitForName(XPCServiceName::usbBlocker));
    }

    void TearDown() override {
        daemon.reset();
        bus.reset();
    }

    // harbormindctl as the user runs it, the password on its standard input.
    Outcome ctl(const std::string& verb, const std::string& input) {
        const char* path = std::getenv("PATH");
        std::map<std::string, std::string> environment{
            {"DBUS_SYSTEM_BUS_ADDRESS", bus->address()},
            {"HOME", folder + "/home"},
            {"XDG_CONFIG_HOME", folder + "/home/.config"},
            {"XDG_DATA_HOME", folder + "/home/.local/share"},
            {"PATH", folder + "/bin:" + (path ? path : "/usr/bin:/bin")},
            {"HM_SYSTEMCTL_LOG", log()},
            {"HM_AGENT_UNIT", unit},
            {"HARBORMIND_USBBLOCKER_LISTS", lists()}};
        Outcome outcome = test::runProgram(
            {"/bin/sh", "-c", "printf '%s' \"$1\" | \"$0\" usb " + verb, HARBORMIND_CTL_PATH, input},
            environment, folder + "/ctl.err", std::chrono::seconds(30));
        outcome.out += outcome.err;
        return outcome;
    }

    std::string log() const { return folder + "/systemctl.log"; }
    std::string lists() const { return folder + "/lists/usbblocker.cnf"; }

    std::unique_ptr<test::ChildProcess> daemon;
    std::string folder;
    std::string unit;
};

TEST_F(USBWardenBusTest, StartWritesTheUnitAndLoadsItStopUnloadsAndRemovesIt) {
    Outcome start = ctl("enable", "Harbor42\nHarbor42");
    ASSERT_EQ(start.status, 0) << start.out;
    EXPECT_NE(start.out.find("USB Warden is on."), std::string::npos) << start.out;
    struct stat facts {};
    ASSERT_EQ(::lstat(unit.c_str(), &facts), 0) << "the daemon wrote no unit";
    EXPECT_TRUE(S_ISREG(facts.st_mode));
    EXPECT_EQ(facts.st_mode & 07777, 0644u);
    EXPECT_EQ(facts.st_uid, ::geteuid()) << "the unit is not the daemon's";
    std::string calls = readWholeFile(log());
    EXPECT_NE(calls.find("--user daemon-reload\n--user enable --now harbormind-usbagent.service\n"), std::string::npos)
        << calls;

    EXPECT_NE(ctl("status", "").out.find("USB Warden: on"), std::string::npos);
    EXPECT_EQ(readWholeFile(folder + "/lists/usbwarden.state"), "on = true\nmode = 1\npassword = true\n");
    EXPECT_EQ(readWholeFile(folder + "/lists/usbwarden.password").find("Harbor42"), std::string::npos);

    Outcome stop = ctl("disable", "Harbor42");
    ASSERT_EQ(stop.status, 0) << stop.out;
    EXPECT_NE(stop.out.find("USB Warden is off."), std::string::npos) << stop.out;
    EXPECT_EQ(stop.out.find("Failed to disable"), std::string::npos) << stop.out;
    EXPECT_NE(readWholeFile(log()).find("--user disable --now harbormind-usbagent.service\n"),
              std::string::npos)
        << readWholeFile(log());
    EXPECT_FALSE(fs::exists(unit)) << "the unit stayed after Stop";
    EXPECT_NE(ctl("status", "").out.find("USB Warden: off"), std::string::npos);
}

// The lists file is the daemon's: the command line asks it, and each answer says what happened.
TEST_F(USBWardenBusTest, AllowBlockAndRemoveAreTheDaemonsChangesToItsListsFile) {
    EXPECT_EQ(ctl("allow 'SanDisk Ultra Media' --size 30", "").status, 0);
    EXPECT_EQ(ctl("block 'Bad Stick'", "").status, 0);
    EXPECT_EQ(readWholeFile(lists()), "SanDisk Ultra Media:30__white\nBad Stick:0__black\n");
    struct stat facts {};
    ASSERT_EQ(::stat(lists().c_str(), &facts), 0);
    EXPECT_EQ(facts.st_uid, ::geteuid());
    EXPECT_EQ(facts.st_mode & 0022, 0u) << "others could change the lists";

    Outcome again = ctl("allow 'SanDisk Ultra Media'", "");
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("already on that list"), std::string::npos);
    Outcome conflict = ctl("block 'SanDisk Ultra Media'", "");
    EXPECT_EQ(conflict.status, 1);
    EXPECT_NE(conflict.out.find("remove it there first"), std::string::npos) << conflict.out;
    EXPECT_EQ(ctl("allow with:colon", "").status, 1);

    EXPECT_EQ(ctl("remove 'SanDisk Ultra Media'", "").status, 0);
    EXPECT_EQ(readWholeFile(lists()), "Bad Stick:0__black\n");
    EXPECT_EQ(ctl("remove 'SanDisk Ultra Media'", "").status, 1);
    Outcome listed = ctl("list", "");
    EXPECT_EQ(listed.out.rfind("black\t0\tBad Stick\n", 0), 0u) << listed.out;
}

// What a user could try without the password: the daemon itself refuses, whoever asks.
TEST_F(USBWardenBusTest, WithoutThePasswordTheWardenStaysOnAndGuessingIsSlowedDown) {
    ASSERT_EQ(ctl("enable", "Harbor42\nHarbor42").status, 0);
    XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
    DMUSBBlockerWrapper wrapper;
    EXPECT_FALSE(wrapper.removePlistFile()) << "the agent's unit went while the Warden is on";
    EXPECT_TRUE(fs::exists(unit));

    Outcome wrong = ctl("disable", "Harbor43");
    EXPECT_NE(wrong.status, 0);
    EXPECT_NE(wrong.out.find(USBBlockerTexts::incorrectPassword), std::string::npos) << wrong.out;
    // Right after a wrong password even the right one waits.
    XPCCodeAnswer early = wrapper.disable("Harbor42");
    EXPECT_EQ(early.code, DMUSBBlockerServerProtocol::wrongPassword) << early.message;
    EXPECT_NE(early.message.find("Try again in"), std::string::npos) << early.message;
    EXPECT_NE(wrapper.setMode(USBWardenState::whiteListOnly, "Harbor43").code, DMUSBBlockerServerProtocol::done);
    XPCTransport::setCurrent(nullptr);

    EXPECT_TRUE(fs::exists(unit)) << "a wrong password removed the unit";
    EXPECT_NE(ctl("status", "").out.find("USB Warden: on\nmode: Ask for confirmation every time"), std::string::npos)
        << ctl("status", "").out;
}

}  // namespace
}  // namespace harbormind
