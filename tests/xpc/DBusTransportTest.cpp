#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <fstream>
#include <mutex>

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMNtfsWrapper.h"
#include "support/ReplyWait.h"
#include "testsupport/PrivateBusTest.h"
#include "xpc/DMBitLockerServerProtocol.h"
#include "xpc/DMNtfsServerProtocol.h"
#include "xpc/DaemonCall.h"
#include "xpc/DaemonReachability.h"
#include "xpc/XPCDuplexObject.h"
#include "xpc/XPCErrorText.h"
#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusErrorText.h"
#include "xpc/dbus/DBusXPCTransport.h"

namespace harbormind {
namespace {

using Clock = std::chrono::steady_clock;

// Collects what a connection object reports.
struct Reports {
    void add(const std::string& text) {
        std::lock_guard lock(mutex);
        texts.push_back(text);
    }
    bool contains(const std::string& text) {
        std::lock_guard lock(mutex);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    std::mutex mutex;
    std::vector<std::string> texts;
};

class DBusTransportTest : public test::PrivateBusTest {
protected:
    void SetUp() override {
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
    }
    void TearDown() override {
        daemon.reset();
        XPCTransport::setCurrent(nullptr);
        bus.reset();
    }

    // The real daemon, serving a scenario's answers on the private bus.
    void startDaemon(const std::string& daemonJson) {
        std::string scenario = bus->folder() + "/scenario.json";
        std::ofstream(scenario) << "{\"name\": \"daemon\", \"daemon\": " << daemonJson << "}";
        daemon = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{HARBORMIND_DAEMON_PATH, "--platform", "sim", "--scenario", scenario},
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}});
        for (const char* name : XPCServiceName::all) {
            ASSERT_TRUE(bus->waitForName(name)) << "the daemon did not take " << name;
        }
    }

    std::unique_ptr<test::ChildProcess> daemon;
};

TEST(DBusErrorTextTest, BusErrorsBecomeTheConnectionTexts) {
    EXPECT_EQ(DBusErrorText::describe("org.freedesktop.DBus.Error.ServiceUnknown", "x"), XPCErrorText::connectionInvalid);
    EXPECT_EQ(DBusErrorText::describe("org.freedesktop.DBus.Error.NoReply", "x"), XPCErrorText::connectionInterrupted);
    EXPECT_EQ(DBusErrorText::describe("org.freedesktop.DBus.Error.Disconnected", ""), XPCErrorText::connectionInterrupted);
    EXPECT_EQ(DBusErrorText::describe("org.example.Odd", "what"), "org.example.Odd: what");
}

TEST_F(DBusTransportTest, AnAbsentDaemonGivesTheCallerItsDefaultAtOnce) {
    Reports reports;
    XPCRemoteObject object(XPCServiceName::ntfs);
    object.setErrorHandler([&](const std::string& text) { reports.add(text); });
    auto start = Clock::now();
    bool allowed = waitForDaemon<DMNtfsServerProtocol>(
        object, true, DaemonCallLimit::operation, "isNtfsKextAllowed",
        [](DMNtfsServerProtocol& proxy, XPCBoolReply reply) { proxy.isNtfsKextAllowedWithReply(reply); });
    EXPECT_TRUE(allowed);  // the default the test chose, not an answer
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(reports.contains(XPCErrorText::connectionInvalid));
    EXPECT_FALSE(DMBitLockerWrapper::create()->isBitLockerKextAllowed());
    // The window tells "the helper is not running" from the helper's own "no" by this.
    EXPECT_EQ(DaemonReachability::failure(), std::optional<std::string>(XPCErrorText::connectionInvalid));
}

TEST_F(DBusTransportTest, NoBusAtAllInvalidatesTheConnection) {
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + bus->folder() + "/nothing-here").c_str(), 1);
    Reports reports;
    XPCRemoteObject object(XPCServiceName::ntfs);
    object.setErrorHandler([&](const std::string& text) { reports.add(text); });
    EXPECT_EQ(object.remoteObject<DMNtfsServerProtocol>(), nullptr);
    EXPECT_TRUE(reports.contains(XPCErrorText::connectionInvalid));
    EXPECT_EQ(std::make_shared<DMNtfsWrapper>()->mountAsNTFSNativelyWithBsdName("sdb1"), -1);
}

TEST_F(DBusTransportTest, TheRealDaemonAnswersTheWrappers) {
    startDaemon(R"({"bitlocker": {"isBitLockerKextAllowedWithReply": true,
                                  "isBitLockerDriveWithBsdname": {"disk4s1": true}},
                    "ntfs": {"mountAsNTFSNativelyWithBsdName": {"disk2s1": 0}}})");
    DaemonReachability::connectionFailed(XPCErrorText::connectionInvalid);
    auto bitlocker = DMBitLockerWrapper::create();
    EXPECT_TRUE(bitlocker->isBitLockerKextAllowed());
    EXPECT_EQ(DaemonReachability::failure(), std::nullopt);
    EXPECT_TRUE(bitlocker->isBitLockerDriveWithBsdname("disk4s1"));
    EXPECT_EQ(std::make_shared<DMNtfsWrapper>()->mountAsNTFSNativelyWithBsdName("disk2s1"), 0);
}

TEST_F(DBusTransportTest, KillingTheDaemonMidCallReleasesTheCallerWithItsDefault) {
    // The BitLocker service takes requests and never answers, so the call is still waiting
    // when the daemon dies.
    startDaemon(R"({"bitlocker": {"connection": "silent"}})");
    Reports reports;
    auto client = DMBitLockerWrapper::create();
    XPCDuplexObject object(XPCServiceName::bitLocker, client);
    object.setErrorHandler([&](const std::string& text) { reports.add(text); });
    ReplyWait<std::int64_t> wait(-1);
    auto proxy = object.remoteObject<DMBitLockerServerProtocol>([wait] { wait.fail(); });
    ASSERT_NE(proxy, nullptr);
    proxy->unlockBitLockerDriveWithBsdname("disk4s1", "secret", false, wait.replyHandler());
    daemon->signal(SIGKILL);
    auto start = Clock::now();
    EXPECT_EQ(wait.wait(DaemonCallLimit::operation, "unlock"), -1);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(reports.contains(XPCErrorText::connectionInterrupted));
}

TEST_F(DBusTransportTest, AnotherProgramCannotTakeTheDaemonsNames) {
    // The test's own user may own the names on this bus (it stands in for root); a daemon
    // started second finds them taken and ends with an error instead of serving.
    startDaemon("{}");
    test::ChildProcess second({HARBORMIND_DAEMON_PATH, "--platform", "sim", "--scenario", bus->folder() + "/scenario.json"},
                              {{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}});
    EXPECT_EQ(second.waitExit(std::chrono::seconds(20)), 1);
    EXPECT_TRUE(daemon->running());
}

}  // namespace
}  // namespace harbormind
