#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMNtfsWrapper.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "xpc/DaemonCall.h"
#include "xpc/DMNtfsServerProtocol.h"
#include "xpc/XPCDuplexObject.h"
#include "xpc/XPCErrorText.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

PlatformValue::Dictionary answers() {
    PlatformValue::Dictionary bitlocker{
        {"isBitLockerKextAllowedWithReply", true},
        {"isBitLockerDriveWithBsdname", PlatformValue::Dictionary{{"disk4s1", true}}},
        {"getBitLockerBSDNameWithBsdname", PlatformValue::Dictionary{{"disk4s1", "disk5"}}},
        {"bitLockerDriveStatusWithBsdname", PlatformValue::Dictionary{{"disk4s1", 16}, {"disk6s1", 42}}},
        {"unlockBitLockerDriveWithBsdname",
         PlatformValue::Dictionary{{"disk4s1", PlatformValue::Dictionary{{"password", "right"}}}}},
        {"lockBitLockerDriveWithBsdname", PlatformValue::Dictionary{{"*", true}}},
    };
    PlatformValue::Dictionary ntfs{
        {"isNtfsKextAllowedWithReply", true},
        {"mountAsNTFSNativelyWithBsdName", PlatformValue::Dictionary{{"disk2s1", 0}}},
    };
    return {{"bitlocker", bitlocker}, {"ntfs", ntfs}};
}

class XPCTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        daemon = std::make_shared<InProcessDaemon>(answers());
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
    }
    void TearDown() override {
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }

    std::shared_ptr<InProcessDaemon> daemon;
};

TEST_F(XPCTest, WrappersAnswerFromTheScenarioAndFallBackToTheirDefaults) {
    auto bitlocker = DMBitLockerWrapper::create();
    EXPECT_TRUE(bitlocker->isBitLockerKextAllowed());
    EXPECT_TRUE(bitlocker->isBitLockerDriveWithBsdname("disk4s1"));
    EXPECT_FALSE(bitlocker->isBitLockerDriveWithBsdname("disk2s1"));
    EXPECT_EQ(bitlocker->getBitLockerBSDNameWithBsdname("disk4s1"), "disk5");
    EXPECT_EQ(bitlocker->getBitLockerBSDNameWithBsdname("disk2s1"), "");
    EXPECT_EQ(bitlocker->bitLockerDriveStatusWithBsdname("disk4s1"), DMLocalDriveStatus::locked);
    // A number outside the status values is taken as invalid.
    EXPECT_EQ(bitlocker->bitLockerDriveStatusWithBsdname("disk6s1"), DMLocalDriveStatus::invalid);

    auto ntfs = std::make_shared<DMNtfsWrapper>();
    EXPECT_TRUE(ntfs->isNtfsKextAllowed());
    EXPECT_EQ(ntfs->mountAsNTFSNativelyWithBsdName("disk2s1"), 0);
    EXPECT_EQ(ntfs->mountAsNTFSNativelyWithBsdName("disk9s1"), -1);
    EXPECT_DOUBLE_EQ(now(), 0.0);
}

TEST_F(XPCTest, UnlockAndLockChangeTheReportedStatus) {
    auto bitlocker = DMBitLockerWrapper::create();
    EXPECT_EQ(bitlocker->unlockBitLockerDriveWithBsdname("disk4s1", "wrong", false), -1);
    EXPECT_EQ(bitlocker->bitLockerDriveStatusWithBsdname("disk4s1"), DMLocalDriveStatus::locked);
    EXPECT_EQ(bitlocker->unlockBitLockerDriveWithBsdname("disk4s1", "right", true), 0);
    EXPECT_EQ(bitlocker->bitLockerDriveStatusWithBsdname("disk4s1"), DMLocalDriveStatus::unlocked);
    EXPECT_TRUE(bitlocker->lockBitLockerDriveWithBsdname("disk4s1"));
    EXPECT_EQ(bitlocker->bitLockerDriveStatusWithBsdname("disk4s1"), DMLocalDriveStatus::locked);
    auto calls = daemon->calls();
    ASSERT_GE(calls.size(), 3U);
    EXPECT_EQ(calls[2], (InProcessDaemonCall{"bitlocker", "unlockBitLockerDriveWithBsdname", {"disk4s1", "right", "true"}}));
}

TEST_F(XPCTest, AFailedConnectionGivesTheDefaultAtOnceAndReportsTheErrorText) {
    daemon->setBehaviour(InProcessDaemonBehaviour::failConnection);
    std::vector<std::string> reports;
    XPCRemoteObject object(XPCServiceName::ntfs);
    object.setErrorHandler([&](const std::string& text) { reports.push_back(text); });
    std::int64_t answer = waitForDaemon<DMNtfsServerProtocol>(
        object, std::int64_t{-1}, DaemonCallLimit::operation, "mount",
        [](DMNtfsServerProtocol& proxy, XPCIntReply reply) { proxy.mountAsNTFSNativelyWithBsdName("disk2s1", reply); });
    EXPECT_EQ(answer, -1);
    EXPECT_DOUBLE_EQ(now(), 0.0);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front(), XPCErrorText::connectionInvalid);
    EXPECT_TRUE(daemon->calls().empty());
}

TEST_F(XPCTest, ADaemonThatNeverAnswersCostsExactlyTheTimeLimit) {
    daemon->setBehaviour("bitlocker", InProcessDaemonBehaviour::neverAnswer);
    auto bitlocker = DMBitLockerWrapper::create();
    std::atomic<bool> done{false};
    std::string answer = "unset";
    double finishedAt = -1;
    Dispatch::global()->async([&] {
        answer = bitlocker->getBitLockerBSDNameWithBsdname("disk4s1");
        finishedAt = now();
        done = true;
        Clock::current().notifyAll();
    });
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return done.load(); }, seconds(60)));
    EXPECT_EQ(answer, "");
    EXPECT_DOUBLE_EQ(finishedAt, toSeconds(DaemonCallLimit::query));
    // The other services still answer.
    EXPECT_TRUE(std::make_shared<DMNtfsWrapper>()->isNtfsKextAllowed());
}

TEST_F(XPCTest, DuplexObjectsExportOnlyAnObjectThatAnswersTheServiceCallbacks) {
    auto bitlocker = DMBitLockerWrapper::create();
    EXPECT_TRUE(bitlocker->isBitLockerKextAllowed());
    EXPECT_NE(bitlocker->bitlockerXPCObj().exportObj(), nullptr);

    // The clone wrapper's exported object does not answer the BitLocker callbacks.
    auto clone = DMDeviceCloneWrapper::create();
    std::vector<std::string> reports;
    XPCDuplexObject wrong(XPCServiceName::bitLocker, std::static_pointer_cast<DMDeviceCloneAppProtocol>(clone));
    wrong.setErrorHandler([&](const std::string& text) { reports.push_back(text); });
    EXPECT_EQ(wrong.remoteObject<DMBitLockerServerProtocol>(), nullptr);
    EXPECT_EQ(reports, std::vector<std::string>{XPCErrorText::exportFailed});
}

TEST_F(XPCTest, AProxyOfAnotherInterfaceIsAConversionFailure) {
    std::vector<std::string> reports;
    bool failed = false;
    XPCRemoteObject object(XPCServiceName::ntfs);
    object.setErrorHandler([&](const std::string& text) { reports.push_back(text); });
    EXPECT_EQ(object.remoteObject<DMBitLockerServerProtocol>([&] { failed = true; }), nullptr);
    EXPECT_TRUE(failed);
    EXPECT_EQ(reports, std::vector<std::string>{XPCErrorText::interfaceConversionFailed});
}

TEST_F(XPCTest, WithoutATransportEveryCallTakesItsDefaultAtOnce) {
    XPCTransport::setCurrent(nullptr);
    auto bitlocker = DMBitLockerWrapper::create();
    EXPECT_EQ(bitlocker->unlockBitLockerDriveWithBsdname("disk4s1", "right", false), -1);
    EXPECT_EQ(bitlocker->bitLockerDriveStatusWithBsdname("disk4s1"), DMLocalDriveStatus::invalid);
    EXPECT_DOUBLE_EQ(now(), 0.0);
}

}  // namespace
}  // namespace harbormind
