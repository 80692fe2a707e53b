#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <thread>

#include "PolicyAuthority.h"
#include "daemon/DaemonBusServer.h"
#include "daemon/DaemonJobs.h"
#include "daemon/PolkitAuthorizer.h"
#include "daemon/SimDaemonBackend.h"
#include "daemon/SyntaxOnlyDeviceCheck.h"
#include "daemon/linux/LocalAuthorizationRules.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/PrivateBusTest.h"
#include "testsupport/ProgramRun.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

using test::Outcome;

const std::string bitLocker = XPCServiceName::bitLocker;
const std::string luks = XPCServiceName::luks;

std::string objectOf(const std::string& service) {
    std::string path = "/" + service;
    for (char& c : path) {
        c = c == '.' ? '/' : c;
    }
    return path;
}

// The daemon's bus server with polkit's authority answering as the shipped policy does, and
// holding every question about one user unanswered, as that user's own authentication agent
// could. That user floods the daemon with calls that wait for it; root and a second user must
// still be served, and the flood must not grow the daemon's memory by its arguments.
class DaemonFloodTest : public test::PrivateBusTest {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root: two users of the test's own";
        }
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        for (auto* user : {&flooder, &other}) {
            user->name = "hmflood" + std::to_string(::getpid() % 10000) + (user == &flooder ? "a" : "b");
            ASSERT_EQ(test::runProgram({"useradd", "--system", "--user-group", "--no-create-home", "--shell",
                                        "/usr/sbin/nologin", user->name})
                          .status,
                      0);
            user->uid = std::stoul(test::runProgram({"id", "-u", user->name}).out);
        }
        authority = std::make_unique<test::PolicyAuthority>();
        auto connection = sdbus::createSystemBusConnection();
        auto authorizer =
            std::make_shared<PolkitAuthorizer>(*connection, std::make_shared<LocalAuthorizationRules>(std::nullopt));
        auto backend = std::make_shared<SimDaemonBackend>(std::make_shared<InProcessDaemon>(PlatformValue::Dictionary{
            {"bitlocker", PlatformValue::Dictionary{{"bitLockerDriveStatusWithBsdname",
                                                     PlatformValue::Dictionary{{"disk4s1", 16}}}}}}));
        server = std::make_unique<DaemonBusServer>(
            std::move(connection), backend,
            std::make_shared<DaemonGuard>(authorizer, std::make_shared<SyntaxOnlyDeviceCheck>()), "9.9.9");
        std::string error;
        ASSERT_TRUE(server->start(error)) << error;
    }

    void TearDown() override {
        if (authority) {
            authority->release();
        }
        flood.reset();
        server.reset();
        authority.reset();
        for (auto* user : {&flooder, &other}) {
            if (!user->name.empty()) {
                test::runProgram({"userdel", user->name});
                test::runProgram({"groupdel", user->name});
            }
        }
        bus.reset();
    }

    struct User {
        std::string name;
        std::uint32_t uid = 0;
    };

    std::vector<std::string> busctl(const std::string& service, const std::string& method,
                                    const std::vector<std::string>& arguments) const {
        std::vector<std::string> argv{"busctl", "--system", "--timeout=120", "call", service, objectOf(service),
                                      service, method};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return argv;
    }

    Outcome call(const User* user, const std::string& service, const std::string& method,
                 const std::vector<std::string>& arguments) const {
        std::vector<std::string> argv;
        if (user) {
            argv = {"setpriv", "--reuid=" + std::to_string(user->uid), "--regid=" + std::to_string(user->uid),
                    "--clear-groups", "--"};
        }
        auto line = busctl(service, method, arguments);
        argv.insert(argv.end(), line.begin(), line.end());
        return test::runProgram(argv, {{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}}, "/dev/null",
                                std::chrono::seconds(20));
    }

    // Starts `count` calls of the flooding user at once, each on a connection of its own.
    void startFlood(int count) {
        std::string script = "for i in $(seq " + std::to_string(count) + "); do \"$@\" >/dev/null 2>&1 & done; wait";
        std::vector<std::string> argv{"setpriv", "--reuid=" + std::to_string(flooder.uid),
                                      "--regid=" + std::to_string(flooder.uid), "--clear-groups", "--",
                                      "/bin/sh", "-c", script, "flood"};
        auto line = busctl(luks, "getLuksHeaderWithBsdname", {"s", "sdb1"});
        argv.insert(argv.end(), line.begin(), line.end());
        flood = std::make_unique<test::ChildProcess>(argv,
                                                     std::map<std::string, std::string>{
                                                         {"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}});
    }

    // Short polls with a bound: the flood's calls come from a real process, in their own time.
    template <typename Condition>
    static bool eventually(Condition condition) {
        for (int i = 0; i < 1000 && !condition(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return condition();
    }

    User flooder;
    User other;
    std::unique_ptr<test::PolicyAuthority> authority;
    std::unique_ptr<DaemonBusServer> server;
    std::unique_ptr<test::ChildProcess> flood;
};

TEST_F(DaemonFloodTest, AUserWhosePromptsNeverEndHoldsOnlyTheirOwnPlaces) {
    authority->hold(flooder.uid);
    startFlood(DaemonJobs::maxRunning + 6);
    ASSERT_TRUE(eventually([&] { return authority->held() >= static_cast<std::size_t>(DaemonJobs::maxPerCaller); }));
    // The calls past the user's places were refused at once, so the flood ends on its own
    // except for the held ones.
    ASSERT_TRUE(eventually([&] { return authority->asked().size() == authority->held(); }));
    EXPECT_EQ(authority->held(), static_cast<std::size_t>(DaemonJobs::maxPerCaller));

    Outcome asRoot = call(nullptr, bitLocker, "bitLockerDriveStatusWithBsdname", {"s", "disk4s1"});
    EXPECT_EQ(asRoot.out, "x 16\n") << asRoot.status;
    Outcome asOther = call(&other, bitLocker, "bitLockerDriveStatusWithBsdname", {"s", "disk4s1"});
    EXPECT_EQ(asOther.out, "x 16\n") << asOther.status;
    // The second user's own prompts are theirs: answered (refused) without waiting.
    Outcome otherHeader = call(&other, luks, "getLuksHeaderWithBsdname", {"s", "sdb1"});
    EXPECT_EQ(otherHeader.out, "s \"\"\n") << otherHeader.status;

    // A huge argument is refused before anyone is asked about it, even past the user's places.
    const std::size_t asked = authority->asked().size();
    Outcome huge = call(&flooder, luks, "getLuksHeaderWithBsdname", {"s", std::string(100000, 'a')});
    EXPECT_EQ(huge.out, "s \"\"\n") << huge.status;
    Outcome past = call(&flooder, bitLocker, "bitLockerDriveStatusWithBsdname", {"s", "disk4s1"});
    EXPECT_EQ(past.out, "x 18\n") << "a call past the user's places is refused at once";
    EXPECT_EQ(authority->asked().size(), asked);

    // Once the prompts end, the user is served again.
    authority->release();
    ASSERT_TRUE(flood->waitExit(std::chrono::seconds(20)).has_value());
    EXPECT_TRUE(eventually([&] {
        return call(&flooder, bitLocker, "bitLockerDriveStatusWithBsdname", {"s", "disk4s1"}).out == "x 16\n";
    }));
}

}  // namespace
}  // namespace harbormind
