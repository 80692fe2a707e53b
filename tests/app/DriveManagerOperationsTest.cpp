// The window's drive operations wait for the manager's completion with a limit on the clock: an
// answer that comes on another thread within it is the result, one that comes after it is
// dropped, and none at all is a failure that says so.
#include <gtest/gtest.h>

#include <mutex>

#include "app/drives/DMDriveManagerOperations.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "platform/Platform.h"
#include "platform/sim/SimPlatform.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "AppTestSupport.h"

namespace harbormind {
namespace {

// A local manager whose mount answers from the global queue after `delay`, or keeps its
// completion unanswered until the test calls it.
class LateManager final : public DMLocalDriveManager {
public:
    LateManager() : DMLocalDriveManager(std::weak_ptr<DMDriveManagerDelegateProtocol>()) {}

    void mount(std::shared_ptr<DMDriveObjectProtocol>, DMCompletion completion) override {
        if (delay) {
            Dispatch::global()->asyncAfter(*delay, [completion] { completion(0, std::nullopt); });
            return;
        }
        std::lock_guard lock(mutex_);
        kept_ = std::move(completion);
    }
    void answerNow(int code, const std::string& message) {
        DMCompletion completion;
        {
            std::lock_guard lock(mutex_);
            completion = std::move(kept_);
        }
        ASSERT_TRUE(completion);
        completion(code, message);
    }

    std::optional<Clock::Duration> delay;

private:
    std::mutex mutex_;
    DMCompletion kept_;
};

class DriveManagerOperationsTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        SimLoadResult loaded = SimPlatform::load(test::scenarioPath("usb-disks.json"));
        ASSERT_TRUE(loaded) << loaded.error;
        Platform::setCurrent(loaded.platform);
        manager = std::make_shared<LateManager>();
        stick = DMLocalDriveObject::create("disk4s1", manager, manager);
    }
    void TearDown() override {
        stick.reset();
        manager.reset();
        VirtualClockTest::TearDown();
    }

    DMDriveManagerOperations operations{nullptr};
    std::shared_ptr<LateManager> manager;
    std::shared_ptr<DMLocalDriveObject> stick;
};

TEST_F(DriveManagerOperationsTest, AnAnswerFromAnotherThreadWithinTheLimitIsTheResult) {
    manager->delay = seconds(30);
    const double start = now();
    DMOperationResult result = operations.mountWithReason(stick);
    EXPECT_TRUE(result.succeeded()) << result.message;
    EXPECT_NEAR(now() - start, 30, 1e-6) << "the call waited for the answer, not for the limit";
    EXPECT_EQ(operations.mount(stick), 0);
}

TEST_F(DriveManagerOperationsTest, NoAnswerIsAFailureSayingSoAndALateOneChangesNothing) {
    const double start = now();
    DMOperationResult result = operations.mountWithReason(stick);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.message, "no answer to the mount of disk4s1 within 600 s");
    EXPECT_NEAR(now() - start, DMLocalDriveManager::diskRequestLimitSeconds, 1e-6);
    // The waiting call has returned: the answer that comes now must go nowhere, least of all
    // into the frame of the call that is gone.
    manager->answerNow(0, "mounted after all");

    EXPECT_EQ(operations.mount(stick), -1);
    manager->answerNow(0, "mounted after all");
}

}  // namespace
}  // namespace harbormind
