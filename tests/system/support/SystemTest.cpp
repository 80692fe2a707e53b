#include "system/support/SystemTest.h"

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>

#include "daemon/linux/LoopImageOwners.h"
#include "support/RealClock.h"
#include "system/support/KernelMounts.h"
#include "system/support/PolkitTestRules.h"
#include "system/support/SystemInstall.h"
#include "system/support/SystemWait.h"
#include "testsupport/OtherDiskMounts.h"
#include "testsupport/WholeFile.h"
#include "xpc/XPCServiceName.h"

namespace harbormind::test {
namespace {

namespace fs = std::filesystem;

bool required() {
    const char* value = std::getenv("HARBORMIND_REQUIRE_SYSTEM_TESTS");
    return value != nullptr && std::string(value) == "1";
}

bool present(const char* program) { return ::access(program, X_OK) == 0; }

// The last line of `text` that is not empty.
std::string lastLine(const std::string& text) {
    std::size_t end = text.find_last_not_of('\n');
    if (end == std::string::npos) {
        return {};
    }
    std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end + 1 - (start == std::string::npos ? 0 : start + 1));
}

// Whether the process at `/proc/PID` has ended and only waits to be reaped.
bool ended(const fs::path& process) {
    const std::string stat = readWholeFile(process / "stat");
    const std::size_t name = stat.rfind(") ");
    return name == std::string::npos || stat.compare(name + 2, 1, "Z") == 0;
}

std::string tail(const std::string& text, std::size_t bytes = 6000) {
    return text.size() <= bytes ? text : "..." + text.substr(text.size() - bytes);
}

}  // namespace

void SystemTest::SetUp() {
    std::string whyNot;
    if (!prepare(whyNot)) {
        if (required()) {
            FAIL() << "the system tests must run here (HARBORMIND_REQUIRE_SYSTEM_TESTS=1), but " << whyNot;
        }
        GTEST_SKIP() << "system test skipped: " << whyNot;
    }
    tag_ = std::to_string(::getpid() % 100000);
    char pattern[] = "/tmp/harbormind-system-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    // polkitd (as its own user) and the test's users reach the bus socket, the rules and the
    // media folders through it.
    ::chmod(folder_.c_str(), 0755);
    fs::create_directories(folder_ + "/home");
    ::chmod((folder_ + "/home").c_str(), 0755);
    fs::create_directories(folder_ + "/media");
    ::chmod((folder_ + "/media").c_str(), 0755);
    fs::create_directories(folder_ + "/usb");

    std::string error;
    PolkitTestGroups names{"hmdesk" + tag_, "hmno" + tag_, "hmadm" + tag_};
    for (const std::string& name : {names.desktop, names.refused, names.administrator}) {
        auto group = SystemGroup::create(name, error);
        ASSERT_TRUE(group) << error;
        groups_.push_back(std::move(group));
    }
    const std::vector<std::tuple<SystemRole, std::string, std::string>> users{
        {SystemRole::desktop, "hmsdesk" + tag_, names.desktop},
        {SystemRole::otherDesktop, "hmsother" + tag_, names.desktop},
        {SystemRole::refused, "hmsno" + tag_, names.refused},
        {SystemRole::administrator, "hmsadm" + tag_, names.administrator}};
    for (const auto& [role, name, group] : users) {
        auto account = SystemAccount::create(name, folder_ + "/home", {group}, error);
        ASSERT_TRUE(account) << error;
        accounts_[role] = std::move(account);
    }

    bus_ = PrivateBus::start(error, SystemInstall::busPolicy());
    ASSERT_TRUE(bus_) << error;
    const std::string rules =
        PolkitTestRules::text(PolkitTestRules::activeSessionDefaults(SystemInstall::polkitActions()), names);
    polkit_ = PolkitAuthority::start(*bus_, folder_, SystemInstall::polkitActions(), rules, error);
    ASSERT_TRUE(polkit_) << error;
    ASSERT_TRUE(startDaemon(error)) << error;
}

bool SystemTest::prepare(std::string& whyNot) {
    if (::geteuid() != 0) {
        whyNot = "needs root (users, loop devices, the daemon as root)";
        return false;
    }
    if (!present("/dev/loop-control") && !fs::exists("/dev/loop-control")) {
        whyNot = "no loop devices here (/dev/loop-control)";
        return false;
    }
    for (const char* program : {"/usr/bin/dbus-daemon", "/usr/sbin/runuser", "/usr/sbin/useradd", "/usr/sbin/losetup"}) {
        if (!present(program)) {
            whyNot = std::string("no ") + program;
            return false;
        }
    }
    return PolkitAuthority::available(whyNot) && SystemInstall::present(whyNot);
}

bool SystemTest::startDaemon(std::string& error) {
    std::vector<std::string> argv{SystemInstall::daemon(), "--config", SystemInstall::daemonConfig(),
                                  "--media-root", folder_ + "/media", "--luks-headers", folder_ + "/luks",
                                  "--luks-iter-time", "50", "--usb-agent-unit", usbAgentUnitPath(),
                                  "--usb-lists", usbListsPath(), "--state-dir", stateFolder(),
                                  "--clone-maps", cloneMapsFolder()};
    for (const std::string& option : extraDaemonOptions()) {
        argv.push_back(option);
    }
    daemon_ = std::make_unique<ChildProcess>(
        argv, std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus_->address()}, {"HARBORMIND_LOG", "info"}},
        nullptr, folder_ + "/daemon.log");
    for (const char* name : XPCServiceName::all) {
        if (!bus_->waitForName(name)) {
            error = std::string("the daemon did not take ") + name + ": " + daemonLog();
            return false;
        }
    }
    return true;
}

int SystemTest::daemonPid() const {
    return daemon_ ? daemon_->pid() : -1;
}

void SystemTest::stopDaemon() {
    if (!daemon_) {
        return;
    }
    daemon_->signal(SIGTERM);
    daemon_->waitExit(std::chrono::seconds(10));
    daemon_.reset();
}

void SystemTest::restartDaemon() {
    stopDaemon();
    for (const char* name : XPCServiceName::all) {
        ASSERT_TRUE(bus_->waitForName(name, false)) << name << " is still owned";
    }
    std::string error;
    ASSERT_TRUE(startDaemon(error)) << error;
}

void SystemTest::TearDown() {
    if (folder_.empty()) {
        return;
    }
    if (HasFailure()) {
        std::cerr << "--- daemon log\n" << tail(daemonLog()) << "--- polkitd log\n"
                  << (polkit_ ? tail(polkit_->log(), 2000) : std::string()) << "---\n";
    }
    stopDaemon();
    polkit_.reset();
    bus_.reset();
    loops_.clear();
    // What the daemon mounted for the users went below the test's media root.
    KernelMounts::unmountBelow(folder_);
    endProcessesOfTheUsers();
    accounts_.clear();
    groups_.clear();
    bool mountsLeft = false;
    for (const KernelMounts::Entry& entry : KernelMounts::read()) {
        mountsLeft = mountsLeft || entry.mountPoint.starts_with(folder_ + "/");
    }
    std::error_code ignored;
    if (!mountsLeft) {
        fs::remove_all(folder_, ignored);
    }
}

void SystemTest::endProcessesOfTheUsers() {
    std::set<uid_t> ours;
    for (const auto& [role, user] : accounts_) {
        ours.insert(user->uid());
    }
    endProcesses(ours, true);
}

void SystemTest::endProcessesOf(SystemRole role) { endProcesses({account(role).uid()}, false); }

void SystemTest::endProcesses(const std::set<uid_t>& users, bool unexpected) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator("/proc", ignored)) {
        struct stat facts {};
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") == std::string::npos &&
            ::stat(entry.path().c_str(), &facts) == 0 && users.contains(facts.st_uid) && !ended(entry.path())) {
            if (unexpected) {
                std::cerr << "ending pid " << name << " of a test user, left running\n";
            }
            ::kill(std::stoi(name), SIGKILL);
        }
    }
}

const SystemAccount& SystemTest::account(SystemRole role) const { return *accounts_.at(role); }

std::string SystemTest::mediaFolder(SystemRole role) const { return folder_ + "/media/" + account(role).name(); }

std::string SystemTest::usbAgentUnitPath() const { return folder_ + "/systemd-user/harbormind-usbagent.service"; }

std::string SystemTest::usbListsPath() const { return folder_ + "/usb/usbblocker.cnf"; }

std::string SystemTest::stateFolder() const { return folder_ + "/state"; }

std::string SystemTest::cloneMapsFolder() const { return folder_ + "/clone"; }

std::string SystemTest::daemonLog() const { return readWholeFile(folder_ + "/daemon.log"); }

std::map<std::string, std::string> SystemTest::clientEnvironment(const SystemAccount& user) const {
    return {{"PATH", "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"},
            {"HOME", user.home()},
            {"USER", user.name()},
            {"LOGNAME", user.name()},
            {"LANG", "C.UTF-8"},
            {"XDG_RUNTIME_DIR", user.runtimeFolder()},
            {"DBUS_SYSTEM_BUS_ADDRESS", bus_->address()},
            // The USB blocker's lists file the daemon keeps, read by the clients.
            {"HARBORMIND_USBBLOCKER_LISTS", usbListsPath()}};
}

Outcome SystemTest::runAs(SystemRole role, const std::vector<std::string>& argv, const std::string& input,
                          const std::map<std::string, std::string>& environment, std::chrono::seconds limit) {
    const std::vector<std::string> full = asUser(account(role), argv, environment);

    const std::string run = folder_ + "/run-" + std::to_string(++runs_);
    {
        std::ofstream(run + ".in") << input;
    }
    ::chmod((run + ".in").c_str(), 0600);
    int out = -1;
    ChildProcess child(full, {}, &out, run + ".err", run + ".in");
    Outcome outcome;
    static RealClock clock;
    const Clock::TimePoint deadline = clock.now() + limit;
    char buffer[4096];
    for (;;) {
        pollfd ready{out, POLLIN, 0};
        if (::poll(&ready, 1, 200) > 0) {
            ssize_t got = ::read(out, buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            outcome.out.append(buffer, static_cast<std::size_t>(got));
        } else if (clock.now() >= deadline) {
            ADD_FAILURE() << argv.front() << " did not end within " << limit.count() << " s";
            // runuser hands the signal on to the program it runs.
            child.signal(SIGTERM);
            break;
        }
    }
    ::close(out);
    outcome.status = child.waitExit(std::chrono::seconds(10)).value_or(-1);
    outcome.err = readWholeFile(run + ".err");
    return outcome;
}

std::vector<std::string> SystemTest::asUser(const SystemAccount& user, const std::vector<std::string>& argv,
                                            const std::map<std::string, std::string>& extra) const {
    std::vector<std::string> full{"runuser", "-u", user.name(), "--", "env", "-i"};
    std::map<std::string, std::string> variables = clientEnvironment(user);
    for (const auto& [name, value] : extra) {
        variables[name] = value;
    }
    for (const auto& [name, value] : variables) {
        full.push_back(name + "=" + value);
    }
    full.insert(full.end(), argv.begin(), argv.end());
    return full;
}

std::unique_ptr<ChildProcess> SystemTest::startAs(SystemRole role, const std::vector<std::string>& argv) {
    const std::string log = folder_ + "/started-" + std::to_string(++runs_) + ".log";
    return std::make_unique<ChildProcess>(asUser(account(role), argv, {}), std::map<std::string, std::string>{},
                                          nullptr, log, "/dev/null");
}

std::unique_ptr<ChildProcess> SystemTest::startAsOnUsualBus(SystemRole role, const std::vector<std::string>& argv) {
    std::string socket = bus_->address().substr(std::string("unix:path=").size());
    socket = socket.substr(0, socket.find(','));
    std::vector<std::string> full{"unshare", "--mount", "--propagation", "private", "sh", "-c",
                                  releaseOtherDiskMounts() +
                                      "mount -t tmpfs -o mode=0755 harbormind-bus /run/dbus && "
                                  "ln -s \"$0\" /run/dbus/system_bus_socket && exec \"$@\"",
                                  socket};
    for (std::string& word : asUser(account(role), argv, {})) {
        full.push_back(std::move(word));
    }
    const std::string log = folder_ + "/started-" + std::to_string(++runs_) + ".log";
    return std::make_unique<ChildProcess>(full, std::map<std::string, std::string>{}, nullptr, log, "/dev/null");
}

Outcome SystemTest::asRoot(const std::vector<std::string>& argv) {
    return runProgram(argv, {{"DBUS_SYSTEM_BUS_ADDRESS", bus_->address()}, {"HARBORMIND_USBBLOCKER_LISTS", usbListsPath()}},
                      folder_ + "/root-" + std::to_string(++runs_) + ".err", std::chrono::seconds(120));
}

Outcome SystemTest::ctl(SystemRole role, const std::vector<std::string>& arguments, const std::string& input) {
    std::vector<std::string> argv{SystemInstall::ctl()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return runAs(role, argv, input);
}

WindowFlowOutcome SystemTest::window(SystemRole role, const std::string& flow, const std::vector<std::string>& arguments,
                                     const std::map<std::string, std::string>& environment) {
    std::vector<std::string> argv{HARBORMIND_WINDOW_FLOW_PROGRAM, flow};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    WindowFlowOutcome outcome;
    std::map<std::string, std::string> variables{{"QT_QPA_PLATFORM", "offscreen"},
                                                 {"HARBORMIND_MOUNT_HELPER", SystemInstall::mountHelper()}};
    variables.insert(environment.begin(), environment.end());
    outcome.run = runAs(role, argv, {}, variables);
    outcome.report = nlohmann::json::parse(lastLine(outcome.run.out), nullptr, false);
    if (outcome.report.is_discarded()) {
        outcome.report = nlohmann::json{{"error", "the flow printed no report"}};
    }
    EXPECT_FALSE(outcome.report.contains("error"))
        << flow << ": " << outcome.report.dump() << "\nstderr:\n" << tail(outcome.run.err);
    // A question the daemon refused for crowding is answered with a default the window
    // takes for the truth: the window must keep within the places the daemon gives a user.
    EXPECT_EQ(daemonLog().find("too many calls at once"), std::string::npos) << flow << ": " << tail(daemonLog());
    return outcome;
}

void SystemTest::attachedBy(const LoopVolume& loop, SystemRole role) {
    LoopImageOwners owners(stateFolder() + "/loop-images");
    auto sequence = owners.diskSequence(loop.disk());
    ASSERT_TRUE(sequence) << "no diskseq for " << loop.disk();
    ASSERT_TRUE(owners.record(loop.disk(), *sequence, account(role).uid()));
}

LoopVolume& SystemTest::loopVolume(const LoopVolumeOrder& order) {
    std::string error;
    const std::string place = folder_ + "/loop" + std::to_string(loops_.size());
    fs::create_directories(place);
    auto loop = LoopVolume::create(place, order, error);
    if (!loop) {
        ADD_FAILURE() << error;
        throw std::runtime_error(error);
    }
    loops_.push_back(std::move(loop));
    return *loops_.back();
}

}  // namespace harbormind::test
