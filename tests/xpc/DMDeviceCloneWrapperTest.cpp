#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "drivemodel/DMDeviceCloneWrapper.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "testsupport/VirtualClockTest.h"
#include "xpc/DMCloneErrorCode.h"

namespace harbormind {
namespace {

class RecordingDelegate : public DMDeviceCloneWrapperDelegate {
public:
    void deviceCloneProgress(const DMProgressMessage& message) override {
        std::lock_guard lock(mutex);
        messages.push_back(message);
    }
    std::mutex mutex;
    std::vector<DMProgressMessage> messages;
};

PlatformValue::Dictionary cloneAnswers() {
    using Array = PlatformValue::Array;
    PlatformValue::Dictionary clone{
        {"checkDiskWithStrDestinDevice", PlatformValue::Dictionary{{"/dev/disk4", 4}, {"*", 0}}},
        {"isCloneInterruptDeviceWithStrDevice", PlatformValue::Dictionary{{"/dev/disk4", true}}},
        {"getCloneInterruptSourceDeviceUUIDWithStrDestinDevice",
         PlatformValue::Dictionary{{"/dev/disk4", "disk2"}}},
        {"updateProgressWithStatus",
         PlatformValue::Dictionary{
             {"/dev/disk5", Array{Array{0, 0, 0, 0}, Array{7, 10, 1, 0}, Array{3, 1000, 250, 300},
                                   Array{4, 1000, 1000, 131076}, Array{4, 1000, 10, 1}}}}},
    };
    return {{"deviceClone", clone}};
}

class DMDeviceCloneWrapperTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        daemon = std::make_shared<InProcessDaemon>(cloneAnswers());
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
        wrapper->setDelegate(delegate);
    }
    void TearDown() override {
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }

    std::shared_ptr<InProcessDaemon> daemon;
    std::shared_ptr<DMDeviceCloneWrapper> wrapper = DMDeviceCloneWrapper::create();
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
};

TEST_F(DMDeviceCloneWrapperTest, EveryRequestNamesTheDeviceNode) {
    EXPECT_EQ(wrapper->checkDisk("disk4", "disk2"), 4);
    EXPECT_EQ(wrapper->checkDisk("disk5", "disk2"), 0);
    EXPECT_TRUE(wrapper->isCloneInterrupted("disk4"));
    EXPECT_FALSE(wrapper->isCloneInterrupted("disk5"));
    EXPECT_EQ(wrapper->cloneInterruptSource("disk4"), "disk2");
    wrapper->clone("disk4", "disk2", true);
    wrapper->stopCloneWithFlag(true);

    auto calls = daemon->calls();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0].arguments, (std::vector<std::string>{"/dev/disk4", "/dev/disk2"}));
    EXPECT_EQ(calls[2].arguments, (std::vector<std::string>{"/dev/disk4"}));
    EXPECT_EQ(calls[5],
              (InProcessDaemonCall{
                  "deviceClone", "clonDeviceWithStrDestinDevice", {"/dev/disk4", "/dev/disk2", "true"}}));
    EXPECT_EQ(calls[6], (InProcessDaemonCall{"deviceClone", "stopCloneWithFlag", {"true"}}));
}

TEST_F(DMDeviceCloneWrapperTest, ProgressCallbacksBecomeMessagesForTheDelegate) {
    wrapper->clone("disk5", "disk2", false);
    std::lock_guard lock(delegate->mutex);
    const auto& m = delegate->messages;
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[0].status, DMProgressStatus::initializing);
    EXPECT_EQ(m[1].status, DMProgressStatus::initializing);  // 7 names no status
    EXPECT_EQ(m[2].status, DMProgressStatus::running);
    EXPECT_EQ(m[2].total, 1000u);
    EXPECT_EQ(m[2].current, 250u);  // the wire sends total before current
    EXPECT_DOUBLE_EQ(m[2].progress(), 0.25);
    EXPECT_EQ(m[2].error, DMProgressError::noError);  // 300 names no error
    EXPECT_EQ(m[2].message, "");
    EXPECT_EQ(m[3].error, DMProgressError::FVE_ERROR_OPEN_DEVICE);
    EXPECT_EQ(m[4].error, DMProgressError::eErrorSourceStroageDisapper);
}

TEST_F(DMDeviceCloneWrapperTest, WithoutTheDaemonTheChecksAnswerTheirDefaults) {
    daemon->setBehaviour(InProcessDaemonBehaviour::failConnection);
    EXPECT_EQ(wrapper->checkDisk("disk4", "disk2"), -1);
    EXPECT_FALSE(cloneErrorCodeFromRaw(-1).has_value());
    EXPECT_FALSE(wrapper->isCloneInterrupted("disk4"));
    EXPECT_EQ(wrapper->cloneInterruptSource("disk4"), "");
}

}  // namespace
}  // namespace harbormind
