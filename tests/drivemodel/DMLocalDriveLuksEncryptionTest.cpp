#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "drivemodel/DMLocalDriveLuksEncryption.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

class RecordingDelegate final : public DMLocalDriveEncryptionDelegate {
public:
    std::uint64_t encryptionProgress(const DMProgressMessage& message) override {
        std::lock_guard lock(mutex);
        messages.push_back(message);
        return static_cast<std::uint64_t>(message.error);
    }
    std::mutex mutex;
    std::vector<DMProgressMessage> messages;
};

// Drives the job's progress callback as the daemon's thread would, and the flags as the
// windows would, on virtual time (no daemon: the recovery key question gets its default).
class DMLocalDriveLuksEncryptionTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        job = DMLocalDriveLuksEncryption::create(DMLuksWrapper::create(), DMLocalDriveObject::create("sdz1"), false);
        job->setDelegate(delegate);
    }
    void TearDown() override {
        job->cancel();
        clock->waitUntil([this] { return answered.load(); }, clock->now() + seconds(5));
        VirtualClockTest::TearDown();
    }

    // Sends one report on a queue of its own (the daemon connection's thread); the answer
    // lands in `answer`.
    void report(DMProgressStatus status, std::int64_t current, std::int64_t error = 0) {
        answered = false;
        Dispatch::global()->async([this, status, current, error] {
            job->updateProgressWithStatus(static_cast<std::int64_t>(status), 1000, current, error,
                                          [this](std::int64_t code) {
                                              answer = code;
                                              answered = true;
                                              Clock::current().notifyAll();
                                          });
        });
    }
    bool waitForAnswer(double limit) {
        return clock->waitUntil([this] { return answered.load(); }, clock->now() + seconds(limit));
    }

    std::shared_ptr<DMLocalDriveLuksEncryption> job;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    std::atomic<bool> answered{true};
    std::atomic<std::int64_t> answer{-1};
};

TEST_F(DMLocalDriveLuksEncryptionTest, TheGoAheadIsAwaitedAndACancelThereAnswersOneWithinASecond) {
    report(DMProgressStatus::initialized, 0);
    EXPECT_FALSE(waitForAnswer(30)) << "answered before the go-ahead";
    EXPECT_TRUE(job->isReady());
    job->cancel();
    const double cancelledAt = now();
    ASSERT_TRUE(waitForAnswer(5));
    EXPECT_EQ(answer, 1);
    EXPECT_LE(now() - cancelledAt, 1.0);
}

TEST_F(DMLocalDriveLuksEncryptionTest, APauseHoldsTheReportUntilStartAndCarriesTheDelegatesAnswer) {
    report(DMProgressStatus::initialized, 0);
    job->start();
    ASSERT_TRUE(waitForAnswer(5));
    EXPECT_EQ(answer, 0);

    job->pause();
    report(DMProgressStatus::running, 400);
    // Held: the daemon takes a held report as a pause and stops cryptsetup meanwhile.
    EXPECT_FALSE(waitForAnswer(60));
    job->start();
    ASSERT_TRUE(waitForAnswer(5));
    EXPECT_EQ(answer, 0);

    job->pause();
    report(DMProgressStatus::running, 500);
    EXPECT_FALSE(waitForAnswer(10));
    job->cancel();
    ASSERT_TRUE(waitForAnswer(5));
    EXPECT_EQ(answer, 1) << "a cancel during a pause stops the job";

    std::lock_guard lock(delegate->mutex);
    ASSERT_EQ(delegate->messages.size(), 3u);
    EXPECT_EQ(delegate->messages[1].status, DMProgressStatus::running);
    EXPECT_EQ(delegate->messages[1].current, 400u);
    EXPECT_EQ(delegate->messages[1].total, 1000u);
    EXPECT_EQ(delegate->messages[1].message, "");
}

TEST_F(DMLocalDriveLuksEncryptionTest, AFinishedReportIsAnsweredAtOnceWithTheErrorTheDelegateSaw) {
    job->start();
    report(DMProgressStatus::finished, 0, static_cast<std::int64_t>(DMProgressError::FVE_ERROR_ENCRYPT_BLOCK));
    ASSERT_TRUE(waitForAnswer(1));
    EXPECT_EQ(answer, static_cast<std::int64_t>(DMProgressError::FVE_ERROR_ENCRYPT_BLOCK));
    EXPECT_EQ(job->outcome().code, -1) << "no job ran, so no outcome";
    EXPECT_FALSE(job->needResume()) << "without a daemon nothing needs resuming";
    EXPECT_EQ(DMLocalDriveLuksEncryption::forDrive(DMLuksWrapper::create(), DMLocalDriveObject::create("sdz2")),
              nullptr)
        << "no daemon, no layout: nothing to offer";
}

}  // namespace
}  // namespace harbormind
