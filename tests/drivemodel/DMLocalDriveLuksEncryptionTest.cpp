#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "drivemodel/DMLocalDriveLuksEncryption.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
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
// windows would, on virtual time, with an in-process daemon that hands over a recovery key.
class DMLocalDriveLuksEncryptionTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        useDaemon(PlatformValue::Dictionary{{"getLuksRecoveryKeyWithBsdname", key}});
    }
    void TearDown() override {
        job->cancel();
        clock->waitUntil([this] { return answered.load(); }, clock->now() + seconds(5));
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }
    void useDaemon(PlatformValue::Dictionary luks) {
        daemon = std::make_shared<InProcessDaemon>(PlatformValue::Dictionary{{"luks", std::move(luks)}});
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
        job = DMLocalDriveLuksEncryption::create(DMLuksWrapper::create(), DMLocalDriveObject::create("sdz1"), false);
        job->setDelegate(delegate);
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

    const std::string key = "111111-222222-333333-444444-555555-666666-777777-888888";
    std::shared_ptr<InProcessDaemon> daemon;
    std::shared_ptr<DMLocalDriveLuksEncryption> job;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    std::atomic<bool> answered{true};
    std::atomic<std::int64_t> answer{-1};
};

TEST_F(DMLocalDriveLuksEncryptionTest, TheGoAheadIsAwaitedAndACancelThereAnswersOneWithinASecond) {
    report(DMProgressStatus::initialized, 0);
    EXPECT_FALSE(waitForAnswer(30)) << "answered before the go-ahead";
    EXPECT_TRUE(job->isReady());
    EXPECT_EQ(job->recoveryKey(), key) << "the key is the user's before the go-ahead";
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

// A key the daemon would not hand over is never added: the go-ahead is no, at once, and the
// windows never see a key page for it.
TEST_F(DMLocalDriveLuksEncryptionTest, WithoutARecoveryKeyTheGoAheadIsNo) {
    useDaemon({});
    job->start();
    report(DMProgressStatus::initialized, 0);
    ASSERT_TRUE(waitForAnswer(1));
    EXPECT_EQ(answer, 1);
    EXPECT_FALSE(job->isReady());
    std::lock_guard lock(delegate->mutex);
    EXPECT_TRUE(delegate->messages.empty());
}

// The daemon's own `finished` report is held back: the last message comes once the daemon
// has answered, with its words, and a refusal before any report is a failure too.
TEST_F(DMLocalDriveLuksEncryptionTest, TheLastMessageCarriesTheDaemonsAnswer) {
    useDaemon(PlatformValue::Dictionary{
        {"getLuksRecoveryKeyWithBsdname", key},
        {"needResumeLuksEncryptionWithBsdname", false},
        {"encryptLuksDriveWithBsdname", 0},
        {"encryptLuksDriveWithBsdnameMessage", "sdz1 is encrypted with LUKS2"},
        {"updateProgressWithStatus",
         PlatformValue::Dictionary{{"sdz1", PlatformValue::Array{PlatformValue::Array{1, 1000, 0, 0},
                                                                 PlatformValue::Array{3, 1000, 500, 0},
                                                                 PlatformValue::Array{4, 1000, 1000, 0}}}}},
    });
    job->setPassword(std::string("pw"));
    job->start();
    job->prepare();
    ASSERT_TRUE(clock->waitUntil(
        [this] {
            std::lock_guard lock(delegate->mutex);
            return !delegate->messages.empty() && delegate->messages.back().status == DMProgressStatus::finished;
        },
        clock->now() + seconds(5)));
    std::lock_guard lock(delegate->mutex);
    ASSERT_EQ(delegate->messages.size(), 3u) << "the daemon's finished report is not passed on twice";
    EXPECT_EQ(delegate->messages.back().message, "sdz1 is encrypted with LUKS2");
    EXPECT_EQ(delegate->messages.back().error, DMProgressError::noError);
    EXPECT_EQ(delegate->messages.back().current, 1000u);
}

}  // namespace
}  // namespace harbormind
