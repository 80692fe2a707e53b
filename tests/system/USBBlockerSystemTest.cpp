// USB Warden as installed: its lists file is root's and the daemon keeps it, so the lists are
// changed only through the daemon by an administrator, from the window as from the command
// line; the Warden goes off only with its password, which the daemon checks and slows down
// after each wrong one; and the daemon itself refuses a blocked disk, with no agent running.
// The test's disk images count as USB disks to the daemon (--usb-warden-images).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "system/support/KernelMounts.h"
#include "system/support/SystemTest.h"
#include "system/support/SystemWait.h"
#include "testsupport/WholeFile.h"
#include "xpc/XPCServiceName.h"

namespace harbormind::test {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string password = "Harbor42";
const std::string stickName = "HMUSB.img";
const std::string guardText = " USB Warden is currently enabled to prevent your drive from loading.";

class USBBlockerSystemTest : public SystemTest {
protected:
    std::vector<std::string> extraDaemonOptions() const override { return {"--usb-warden-images", folder()}; }

    void SetUp() override {
        SystemTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        stick = &loopVolume({.fileSystem = "ext4", .label = "HMUSB", .partitioned = true});
        attachedBy(*stick, SystemRole::desktop);
        Outcome enabled = ctl(SystemRole::administrator, {"usb", "enable"}, password + "\n" + password + "\n");
        ASSERT_EQ(enabled.status, 0) << enabled.out << enabled.err;
        ASSERT_TRUE(wardenOn());
    }

    bool wardenOn() { return contains(ctl(SystemRole::desktop, {"usb", "status"}).out, "USB Warden: on"); }
    std::string lists() const { return readWholeFile(usbListsPath()); }
    bool listed() const { return contains(lists(), stickName + ":"); }
    // Calls the daemon's USB service as the role's user, straight on the bus.
    Outcome usbCall(SystemRole role, const std::string& method, const std::string& signature,
                    const std::vector<std::string>& arguments) {
        return busCall(role, XPCServiceName::usbBlocker, method, signature, arguments);
    }
    Outcome busCall(SystemRole role, const std::string& service, const std::string& method,
                    const std::string& signature, const std::vector<std::string>& arguments) {
        std::string object = "/" + service;
        std::replace(object.begin(), object.end(), '.', '/');
        std::vector<std::string> argv{"busctl", "--system", "call", service, object, service, method, signature};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return runAs(role, argv);
    }

    struct WrongTry {
        Clock::TimePoint sent{};  // the daemon's wait began after this
        Clock::Duration wait{};   // as the answer gives it
        std::string answer;
    };
    // Tries a wrong password as the role's user once the daemon's wait for them is over.
    WrongTry wrongAfterTheWait(SystemRole role = SystemRole::administrator) {
        WrongTry tried;
        Outcome outcome;
        EXPECT_TRUE(SystemWait::until(
            [&] {
                tried.sent = Clock::current().now();
                outcome = usbCall(role, "checkUSBWardenPasswordWithPassword", "s", {"wrong-again"});
                return !contains(outcome.out, "Too many wrong passwords");
            },
            std::chrono::seconds(40), std::chrono::milliseconds(200)));
        tried.answer = outcome.out + outcome.err;
        const std::string lead = "The next try is possible in ";
        if (auto at = tried.answer.find(lead); at != std::string::npos) {
            tried.wait = seconds(std::atoi(tried.answer.c_str() + at + lead.size()));
        }
        EXPECT_TRUE(contains(tried.answer, "Incorrect password.")) << tried.answer;
        return tried;
    }

    LoopVolume* stick = nullptr;
};

TEST_F(USBBlockerSystemTest, OnlyAnAdministratorChangesTheWhiteListAndTheWindowShowsWhatTheDaemonDid) {
    // A desktop user knows the password, but changing the lists is an administrator's.
    WindowFlowOutcome refused = window(SystemRole::desktop, "usb-add-whitelist", {stick->volume(), password});
    EXPECT_TRUE(refused.report.value("offered", false)) << refused.report.dump();
    ASSERT_EQ(refused.report["alerts"].size(), 1u) << refused.report.dump();
    EXPECT_TRUE(contains(refused.report["alerts"][0].dump(), "not allowed")) << refused.report.dump();
    EXPECT_FALSE(contains(refused.report["alerts"][0].dump(), "successfully")) << refused.report.dump();
    EXPECT_FALSE(listed()) << lists();
    Outcome byCommand = ctl(SystemRole::desktop, {"usb", "allow", stickName});
    EXPECT_NE(byCommand.status, 0);
    EXPECT_TRUE(contains(byCommand.err, "not allowed")) << byCommand.err;
    EXPECT_FALSE(listed()) << lists();

    WindowFlowOutcome added = window(SystemRole::administrator, "usb-add-whitelist", {stick->volume(), password});
    ASSERT_EQ(added.report["alerts"].size(), 1u) << added.report.dump();
    EXPECT_EQ(added.report["alerts"][0].value("title", ""), "Added to the white list.") << added.report.dump();
    EXPECT_EQ(added.report["after"], nlohmann::json::array({stickName})) << added.report.dump();
    EXPECT_TRUE(contains(lists(), stickName + ":0__white")) << lists();
    struct stat facts {};
    ASSERT_EQ(::stat(usbListsPath().c_str(), &facts), 0);
    EXPECT_EQ(facts.st_uid, 0u);
    EXPECT_EQ(facts.st_mode & 022, 0u) << "the lists file is writable by others";
    EXPECT_TRUE(contains(ctl(SystemRole::desktop, {"usb", "list"}).out, "white\t0\t" + stickName));

    // A refused removal leaves the row on the page as it leaves it in the file.
    WindowFlowOutcome kept = window(SystemRole::desktop, "usb-remove-whitelist", {stickName, password});
    EXPECT_EQ(kept.report["rowsBefore"], nlohmann::json::array({stickName})) << kept.report.dump();
    EXPECT_EQ(kept.report["rowsAfter"], nlohmann::json::array({stickName})) << kept.report.dump();
    ASSERT_EQ(kept.report["alerts"].size(), 1u) << kept.report.dump();
    EXPECT_TRUE(contains(kept.report["alerts"][0].dump(), "not allowed")) << kept.report.dump();
    EXPECT_TRUE(listed()) << lists();

    WindowFlowOutcome removed = window(SystemRole::administrator, "usb-remove-whitelist", {stickName, password});
    EXPECT_EQ(removed.report["rowsAfter"], nlohmann::json::array()) << removed.report.dump();
    EXPECT_TRUE(removed.report["alerts"].empty()) << removed.report.dump();
    EXPECT_FALSE(listed()) << lists();
}

TEST_F(USBBlockerSystemTest, TheWardenGoesOffOnlyWithItsPasswordAndWrongOnesSlowTheNextTry) {
    Outcome notAdministrator = ctl(SystemRole::desktop, {"usb", "disable"}, password + "\n");
    EXPECT_NE(notAdministrator.status, 0);
    EXPECT_TRUE(contains(notAdministrator.err, "not allowed")) << notAdministrator.err;
    EXPECT_TRUE(wardenOn());

    WindowFlowOutcome wrong = window(SystemRole::administrator, "usb-stop", {"not-the-password"});
    EXPECT_EQ(wrong.report["tries"], nlohmann::json::array({"Incorrect password. The next try is possible in 1 second."}))
        << wrong.report.dump();
    EXPECT_TRUE(wardenOn());

    // Once the first wait is over, the next wrong password makes the wait longer.
    WrongTry next = wrongAfterTheWait();
    EXPECT_EQ(next.wait, seconds(2)) << next.answer;
    // While the wait lasts, not even the right password is tried, on the bus or by the command
    // line. The waits are the daemon's real seconds: a refusal is looked for only from calls
    // that returned within the wait, so they reached the daemon while it lasted. Where calls
    // take longer (a loaded machine), wrong passwords in a row make the wait longer than they
    // took (the right one, had it gone through, started the count again).
    for (int round = 0;; ++round) {
        Outcome right = usbCall(SystemRole::administrator, "checkUSBWardenPasswordWithPassword", "s", {password});
        Outcome byCommand = ctl(SystemRole::administrator, {"usb", "disable"}, "wrong-too\n");
        const Clock::Duration took = Clock::current().now() - next.sent;
        if (took < next.wait) {
            EXPECT_TRUE(contains(right.out, "Too many wrong passwords. Try again in")) << right.out << right.err;
            EXPECT_NE(byCommand.status, 0);
            EXPECT_TRUE(contains(byCommand.err, "Too many wrong passwords. Try again in")) << byCommand.err;
            break;
        }
        ASSERT_LT(round, 2) << "two calls took " << toSeconds(took) << " s, longer than the daemon's waits";
        do {
            next = wrongAfterTheWait();
        } while (next.wait > Clock::Duration{} && next.wait <= took);
    }
    EXPECT_TRUE(wardenOn());

    EXPECT_TRUE(SystemWait::until(
        [&] {
            return usbCall(SystemRole::administrator, "checkUSBWardenPasswordWithPassword", "s", {password})
                .out.starts_with("xs 0");
        },
        std::chrono::seconds(40), std::chrono::milliseconds(200)));
    WindowFlowOutcome off = window(SystemRole::administrator, "usb-stop", {password});
    EXPECT_TRUE(off.report.value("closed", false)) << off.report.dump();
    EXPECT_FALSE(off.report.value("onAfter", true)) << off.report.dump();
    EXPECT_TRUE(contains(off.report["alerts"].dump(), "USB Warden is off.")) << off.report.dump();
    EXPECT_FALSE(wardenOn());
}

// The wait after wrong passwords is the caller's own, by the uid the bus reports: a new
// connection of the same user waits too, another user does not.
TEST_F(USBBlockerSystemTest, OneUsersWrongPasswordsDelayThatUserAlone) {
    WrongTry guess = wrongAfterTheWait(SystemRole::desktop);
    while (guess.wait > Clock::Duration{} && guess.wait < seconds(4)) {
        guess = wrongAfterTheWait(SystemRole::desktop);
    }
    ASSERT_EQ(guess.wait, seconds(4)) << guess.answer;
    Outcome other = usbCall(SystemRole::administrator, "checkUSBWardenPasswordWithPassword", "s", {password});
    Outcome same = usbCall(SystemRole::desktop, "checkUSBWardenPasswordWithPassword", "s", {password});
    EXPECT_TRUE(other.out.starts_with("xs 0")) << other.out << other.err;
    if (Clock::current().now() - guess.sent < guess.wait) {
        EXPECT_TRUE(contains(same.out, "Too many wrong passwords. Try again in")) << same.out << same.err;
    }
}

// No agent runs for any user here (as after `systemctl --user stop` of it): the daemon refuses
// the blocked disk itself, to the command line and to a call straight on the bus.
TEST_F(USBBlockerSystemTest, TheDaemonRefusesABlockedDiskWithNoAgentRunning) {
    Outcome byCommand = ctl(SystemRole::desktop, {"mount", stick->volume()});
    EXPECT_NE(byCommand.status, 0);
    EXPECT_TRUE(contains(byCommand.err, guardText)) << byCommand.err;
    Outcome onTheBus = busCall(SystemRole::desktop, XPCServiceName::mount, "mountVolume", "s", {stick->volume()});
    EXPECT_EQ(onTheBus.out, "xs 13 \"" + guardText + "\"\n") << onTheBus.err;
    EXPECT_TRUE(KernelMounts::mountPointsOf(stick->volumePath()).empty());

    Outcome allowed = ctl(SystemRole::administrator, {"usb", "allow", stickName});
    ASSERT_EQ(allowed.status, 0) << allowed.err;
    Outcome mounted = ctl(SystemRole::desktop, {"mount", stick->volume()});
    EXPECT_EQ(mounted.status, 0) << mounted.err;
    EXPECT_EQ(KernelMounts::mountPointsOf(stick->volumePath()), std::vector<std::string>{mediaFolder(SystemRole::desktop) + "/HMUSB"});
}

// Uninstalling stops the user's agent before anything else goes. Here no user service manager
// runs: the agent cannot be stopped, so nothing is removed; with a manager that stops it (a
// stand-in systemctl that notes whether the user's files were still there), the agent goes
// first and the user's files after it. The package's removal is not driven here: the test's
// programs come from no package, so the window never asks the package manager.
TEST_F(USBBlockerSystemTest, UninstallStopsTheAgentFirstAndRemovesNothingWhileItRuns) {
    const SystemAccount& user = account(SystemRole::desktop);
    const std::string userFile = user.home() + "/nwd.plist";
    std::ofstream(userFile) << "<plist/>";
    WindowFlowOutcome kept = window(SystemRole::desktop, "uninstall");
    EXPECT_FALSE(kept.report.value("ended", true)) << kept.report.dump();
    ASSERT_EQ(kept.report["alerts"].size(), 2u) << kept.report.dump();
    EXPECT_TRUE(contains(kept.report["alerts"][1].dump(), "agent could not be stopped, so nothing was uninstalled"))
        << kept.report.dump();
    EXPECT_TRUE(std::filesystem::exists(userFile));

    const std::string tools = folder() + "/session-tools";
    std::filesystem::create_directories(tools);
    const std::string record = user.home() + "/systemctl.log";
    std::ofstream(tools + "/systemctl") << "#!/bin/sh\n"
                                           "# Stands in for the user's service manager: notes the call and\n"
                                           "# whether the user's files were still there.\n"
                                           "if [ -e \"" << userFile << "\" ]; then there=present; else there=gone; fi\n"
                                           "echo \"$* ($there)\" >>\"" << record << "\"\n";
    ::chmod(tools.c_str(), 0755);
    ::chmod((tools + "/systemctl").c_str(), 0755);
    WindowFlowOutcome removed =
        window(SystemRole::desktop, "uninstall", {}, {{"PATH", tools + ":/usr/local/bin:/usr/bin:/bin"}});
    EXPECT_TRUE(removed.report.value("ended", false)) << removed.report.dump();
    EXPECT_EQ(readWholeFile(record), "--user disable --now harbormind-usbagent.service (present)\n");
    EXPECT_FALSE(std::filesystem::exists(userFile));
}

}  // namespace
}  // namespace harbormind::test
