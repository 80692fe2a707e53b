#include <gtest/gtest.h>

#include <atomic>

#include "drivemodel/DMApfsWrapper.h"
#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMEncryptionFlags.h"
#include "drivemodel/DMLocalDriveApfsEncryption.h"
#include "drivemodel/DMLocalDriveBitLockerEncryption.h"
#include "drivemodel/DMLocalDriveCoreStorageEncryption.h"
#include "drivemodel/DMDriveImageName.h"
#include "drivemodel/DMLocalDriveLuksEncryption.h"
#include "drivemodel/DriveModelFixture.h"
#include "support/Dispatch.h"

namespace harbormind::test {
namespace {

using Key = DiskDescriptionKey;

// Records every message with the virtual time it came at; answers `answer`.
class RecordingEncryptionDelegate final : public DMLocalDriveEncryptionDelegate {
public:
    struct Seen {
        DMProgressMessage message;
        double at;
    };
    explicit RecordingEncryptionDelegate(std::shared_ptr<VirtualClock> clock) : clock_(std::move(clock)) {}
    std::uint64_t encryptionProgress(const DMProgressMessage& message) override {
        // The time is read before the lock: the clock evaluates a waiting test's condition
        // (which calls seen()) under its own lock.
        const double at = toSeconds(clock_->now());
        std::lock_guard lock(mutex_);
        seen_.push_back({message, at});
        return answer;
    }
    std::vector<Seen> seen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::vector<std::uint64_t> percentages() const {
        std::vector<std::uint64_t> values;
        for (const auto& entry : seen()) {
            values.push_back(entry.message.current);
        }
        return values;
    }
    std::atomic<std::uint64_t> answer{0};

private:
    std::shared_ptr<VirtualClock> clock_;
    mutable std::mutex mutex_;
    std::vector<Seen> seen_;
};

// ---- the record and its wire conversion ----

TEST(ProgressWireTest, StatusOutsideOneToFourIsInitializing) {
    EXPECT_EQ(DMProgressMessage::fromDaemon(0, 1, 0, 0).status, DMProgressStatus::initializing);
    EXPECT_EQ(DMProgressMessage::fromDaemon(7, 1, 0, 0).status, DMProgressStatus::initializing);
    EXPECT_EQ(DMProgressMessage::fromDaemon(-1, 1, 0, 0).status, DMProgressStatus::initializing);
    EXPECT_EQ(DMProgressMessage::fromDaemon(1, 1, 0, 0).status, DMProgressStatus::initialized);
    EXPECT_EQ(DMProgressMessage::fromDaemon(2, 1, 0, 0).status, DMProgressStatus::suspended);
    EXPECT_EQ(DMProgressMessage::fromDaemon(3, 1, 0, 0).status, DMProgressStatus::running);
    EXPECT_EQ(DMProgressMessage::fromDaemon(4, 1, 0, 0).status, DMProgressStatus::finished);
    EXPECT_EQ(static_cast<int>(DMProgressStatus::finished), 4) << "a case's position is its wire number";
}

TEST(ProgressWireTest, ErrorsMatchTheirRawValuesAndUnknownOnesAreNoError) {
    EXPECT_EQ(DMProgressMessage::fromDaemon(4, 1, 1, 300).error, DMProgressError::noError);
    EXPECT_EQ(DMProgressMessage::fromDaemon(4, 1, 1, 131076).error, DMProgressError::FVE_ERROR_OPEN_DEVICE);
    EXPECT_EQ(DMProgressMessage::fromDaemon(4, 1, 1, 65544).error, DMProgressError::FVE_ERROR_READ_SECTOR);
    EXPECT_EQ(DMProgressMessage::fromDaemon(4, 1, 1, 258).error, DMProgressError::eUnplugPower);
    EXPECT_EQ(DMProgressMessage::fromDaemon(4, 1, 1, 0x20007).error, DMProgressError::noError);
    EXPECT_EQ(DMProgressMessage::fromDaemon(4, 1, 1, -1).error, DMProgressError::noError);
}

TEST(ProgressWireTest, TotalComesBeforeCurrentOnTheWireAndProgressDividesThem) {
    DMProgressMessage message = DMProgressMessage::fromDaemon(3, 400, 100, 0);
    EXPECT_EQ(message.total, 400u);
    EXPECT_EQ(message.current, 100u);
    EXPECT_TRUE(message.message.empty());
    EXPECT_DOUBLE_EQ(message.progress(), 0.25);
    // A bar is never handed a division by zero.
    EXPECT_DOUBLE_EQ(DMProgressMessage::fromDaemon(3, 0, 5, 0).progress(), 0.0);
}

// ---- the waiting rule ----

class WaitingRuleTest : public VirtualClockTest {
protected:
    // Runs the rule for one message on a background queue; `answer` is set when it returns.
    void wait(DMProgressStatus status, std::uint64_t delegateAnswer = 0) {
        Dispatch::global()->async([this, status, delegateAnswer] {
            std::uint64_t value = flags.answerAfterWaiting(status, delegateAnswer);
            answeredAt = now();
            answer = value;
        });
    }
    void runFor(double duration) { Dispatch::main().runUntil([] { return false; }, seconds(duration)); }
    bool runUntilAnswered(double limit) {
        return Dispatch::main().runUntil([this] { return answer.load() != unanswered; }, seconds(limit));
    }

    static constexpr std::uint64_t unanswered = 99;
    DMEncryptionFlags flags;
    std::atomic<std::uint64_t> answer{unanswered};
    std::atomic<double> answeredAt{-1};
};

TEST_F(WaitingRuleTest, CancelWhileWaitingForTheGoAheadAnswersOneWithinASecond) {
    wait(DMProgressStatus::initialized, 0);
    runFor(5.5);
    EXPECT_EQ(answer.load(), unanswered) << "the callback holds the daemon until the user decides";
    EXPECT_TRUE(flags.isReady());
    double cancelledAt = now();
    flags.cancel();
    ASSERT_TRUE(runUntilAnswered(1.0));
    EXPECT_EQ(answer.load(), DMEncryptionFlags::cancelledAnswer);
    EXPECT_LE(answeredAt.load() - cancelledAt, 1.0);
}

TEST_F(WaitingRuleTest, CancelDuringAPauseAnswersOneWithinASecond) {
    flags.start();
    flags.pause();
    wait(DMProgressStatus::running, 0);
    runFor(3.25);
    EXPECT_EQ(answer.load(), unanswered);
    double cancelledAt = now();
    flags.cancel();
    ASSERT_TRUE(runUntilAnswered(1.0));
    EXPECT_EQ(answer.load(), 1u);
    EXPECT_LE(answeredAt.load() - cancelledAt, 1.0);
}

TEST_F(WaitingRuleTest, StartDuringAPauseClearsItAndTheDelegatesAnswerGoesBack) {
    flags.start();
    flags.pause();
    wait(DMProgressStatus::running, 257);
    runFor(2.5);
    flags.start();
    EXPECT_FALSE(flags.hangup());
    ASSERT_TRUE(runUntilAnswered(1.0));
    EXPECT_EQ(answer.load(), 257u);
}

TEST_F(WaitingRuleTest, PauseBeforeStartOnlyHoldsTheSecondWait) {
    flags.pause();
    wait(DMProgressStatus::initialized, 0);
    runFor(4.5);
    flags.start();  // the go-ahead also ends the pause set before it
    ASSERT_TRUE(runUntilAnswered(1.0));
    EXPECT_EQ(answer.load(), 0u);

    // Not yet ready (no `initialized` seen): a pause set before the start still holds.
    DMEncryptionFlags fresh;
    fresh.pause();
    std::atomic<bool> done{false};
    Dispatch::global()->async([&] {
        fresh.answerAfterWaiting(DMProgressStatus::running, 0);
        done = true;
    });
    runFor(3.5);
    EXPECT_FALSE(done.load()) << "the first wait is skipped, the pause holds";
    fresh.cancel();
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return done.load(); }, seconds(1)));
}

// ---- jobs against the fake machine ----

class EncryptionJobTest : public DriveModelTest {
protected:
    void SetUp() override {
        DriveModelTest::SetUp();
        progress = std::make_shared<RecordingEncryptionDelegate>(clock);
    }
    std::shared_ptr<DMLocalDriveObject> local(const std::string& name) {
        return std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at(name));
    }
    bool runUntilFinished(double limit) {
        return Dispatch::main().runUntil(
            [this] {
                auto seen = progress->seen();
                return !seen.empty() && seen.back().message.status == DMProgressStatus::finished;
            },
            seconds(limit));
    }
    std::vector<std::string> linesStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& line : platform->commandLines()) {
            if (line.rfind(prefix, 0) == 0) {
                found.push_back(line);
            }
        }
        return found;
    }
    void addHfsStick() {
        RegistryEntryId disk5 = addWholeDisk("disk5", "Old Stick", false, "USB", 64000000000);
        addVolume("disk5s2", disk5, "Backup", "hfs", 63000000000, "/Volumes/Backup");
        platform->appear("disk5");
        platform->appear("disk5s2");
    }
    std::shared_ptr<RecordingEncryptionDelegate> progress;
};

TEST_F(EncryptionJobTest, ApfsJobStepsPercentagesAndQuotedCommandLines) {
    buildLaptop();
    startManager();
    platform->readable.insert("/System/Volumes/Data");
    platform->writable.insert("/System/Volumes/Data");
    platform->answerCommand("/usr/sbin/diskutil apfs encryptVolume", "Started encryption\n");
    platform->answerCommand("/usr/sbin/diskutil apfs list",
                            "+-> Volume disk3s1 AAAA\n    FileVault: No\n+-> Volume disk3s5 BBBB\n"
                            "    FileVault: Yes (Unlocked)\n");
    auto job = std::dynamic_pointer_cast<DMLocalDriveApfsEncryption>(manager->encryptor(local("disk3s5")));
    ASSERT_TRUE(job);
    EXPECT_FALSE(job->needResume());
    job->setDelegate(progress);
    job->setPassword(std::string("it's \"$(rm -rf ~)\" \\ /"));
    job->prepare();
    Dispatch::main().runUntil([] { return false; }, seconds(3));
    ASSERT_EQ(progress->seen().size(), 2u) << "set up, then waits for the go-ahead";
    EXPECT_TRUE(job->isReady());
    double startedAt = now();
    job->start();
    ASSERT_TRUE(runUntilFinished(100));

    EXPECT_EQ(progress->percentages(), (std::vector<std::uint64_t>{0, 0, 10, 20, 100}));
    auto seen = progress->seen();
    EXPECT_EQ(seen[0].message.status, DMProgressStatus::initializing);
    EXPECT_EQ(seen[1].message.status, DMProgressStatus::initialized);
    EXPECT_EQ(seen[3].message.status, DMProgressStatus::running);
    EXPECT_NEAR(seen[3].at - seen[2].at, 2.0, 1e-6) << "the two-second pause before the mount";
    EXPECT_EQ(seen[4].message.error, DMProgressError::noError);
    // The volume never went away: 61 one-second checks, after the poll's closing second.
    EXPECT_NEAR(seen[4].at - startedAt, 2 + 1 + DMLocalDriveApfsEncryption::remountChecks, 1.0);
    for (const auto& entry : seen) {
        EXPECT_EQ(entry.message.total, 100u);
    }

    auto encrypt = linesStartingWith("/usr/sbin/diskutil apfs encryptVolume");
    ASSERT_EQ(encrypt.size(), 1u);
    EXPECT_EQ(encrypt[0],
              "/usr/sbin/diskutil apfs encryptVolume 'disk3s5' -user disk -passphrase "
              "'it'\\''s \"$(rm -rf ~)\" \\ /'");
    ASSERT_FALSE(linesStartingWith("/usr/sbin/diskutil apfs list").empty());
    EXPECT_EQ(linesStartingWith("/usr/sbin/diskutil apfs list")[0], "/usr/sbin/diskutil apfs list 'disk3'");
    EXPECT_EQ(platform->diskRequests().back(), (std::pair<std::string, std::uint32_t>{"mount disk3s5", 0}));

    // One second after the last message the drive is read again and reported changed.
    auto before = delegate->eventsOf("changed").size();
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return delegate->eventsOf("changed").size() > before; }, seconds(1.5)));
}

TEST_F(EncryptionJobTest, ApfsJobReportsPowerPauseAndEmptyToolOutput) {
    buildLaptop();
    startManager();
    platform->readable.insert("/System/Volumes/Data");
    platform->writable.insert("/System/Volumes/Data");
    platform->answerCommand("/usr/sbin/diskutil apfs encryptVolume", "");
    platform->answerCommand("/usr/sbin/diskutil apfs list", "+-> Volume disk3s5 BBBB\n    FileVault: Pause\n");
    platform->externalAdapter = false;
    auto job = manager->encryptor(local("disk3s5"));
    job->setDelegate(progress);
    job->setPassword("pw");
    job->start();
    job->prepare();
    ASSERT_TRUE(runUntilFinished(30));
    EXPECT_EQ(progress->seen().back().message.error, DMProgressError::eUnplugPower) << "on battery";

    // Encrypted in the end, but the tool printed nothing: reported as a failure.
    platform->answerCommand("/usr/sbin/diskutil apfs list", "+-> Volume disk3s5 BBBB\n    FileVault: Yes\n");
    progress = std::make_shared<RecordingEncryptionDelegate>(clock);
    auto second = manager->encryptor(local("disk3s5"));
    second->setDelegate(progress);
    second->setPassword("pw");
    second->start();
    second->prepare();
    ASSERT_TRUE(runUntilFinished(100));
    EXPECT_EQ(progress->seen().back().message.error, DMProgressError::UnsupportedPartitionTable);
}

TEST_F(EncryptionJobTest, VolumeThatNeverMountsEndsWithNeedPermissionAfterElevenChecks) {
    addHfsStick();
    startManager();
    platform->removeDescription("disk5s2", Key::volumePath);
    auto job = std::dynamic_pointer_cast<DMLocalDriveCoreStorageEncryption>(manager->encryptor(local("disk5s2")));
    ASSERT_TRUE(job);
    job->setDelegate(progress);
    job->setPassword("pw");
    job->start();
    job->prepare();
    ASSERT_TRUE(runUntilFinished(60));
    auto seen = progress->seen();
    EXPECT_EQ(seen.back().message.error, DMProgressError::needPermission);
    EXPECT_NEAR(seen.back().at - seen[3].at, DMLocalDriveVolumeToolEncryption::mountChecks, 1e-6);
    EXPECT_TRUE(linesStartingWith("/usr/sbin/diskutil coreStorage convert").empty());
}

TEST_F(EncryptionJobTest, CoreStorageJobJudgesTheToolsTwoTexts) {
    addHfsStick();
    startManager();
    platform->readable.insert("/Volumes/Backup");
    platform->writable.insert("/Volumes/Backup");
    struct Case {
        std::string out, err;
        DMProgressError expected;
    };
    for (const Case& c : {Case{"Converted\n", "", DMProgressError::noError},
                          Case{"Converted\n", "warning\n", DMProgressError::UnsupportedPartitionTable},
                          Case{"", "", DMProgressError::UnsupportedPartitionTable}}) {
        progress = std::make_shared<RecordingEncryptionDelegate>(clock);
        platform->answerCommand("/usr/sbin/diskutil coreStorage convert", c.out, c.err);
        auto job = manager->encryptor(local("disk5s2"));
        job->setDelegate(progress);
        job->setPassword("a/b'c");
        job->start();
        job->prepare();
        ASSERT_TRUE(runUntilFinished(30));
        EXPECT_EQ(progress->seen().back().message.error, c.expected) << c.out << "|" << c.err;
    }
    EXPECT_EQ(linesStartingWith("/usr/sbin/diskutil coreStorage convert").back(),
              "/usr/sbin/diskutil coreStorage convert 'disk5s2' -passphrase 'a/b'\\''c'");
}

TEST_F(EncryptionJobTest, CancelOrANonZeroAnswerStopsTheJobBeforeTheToolRuns) {
    addHfsStick();
    startManager();
    auto job = manager->encryptor(local("disk5s2"));
    job->setDelegate(progress);
    job->setPassword("pw");
    job->prepare();
    Dispatch::main().runUntil([] { return false; }, seconds(2.5));
    job->cancel();
    Dispatch::main().runUntil([] { return false; }, seconds(10));
    EXPECT_EQ(progress->seen().size(), 2u);

    auto answering = std::make_shared<RecordingEncryptionDelegate>(clock);
    answering->answer = 256;
    auto second = manager->encryptor(local("disk5s2"));
    second->setDelegate(answering);
    second->setPassword("pw");
    second->prepare();
    Dispatch::main().runUntil([] { return false; }, seconds(10));
    EXPECT_EQ(answering->seen().size(), 1u);
    EXPECT_TRUE(linesStartingWith("/usr/sbin/diskutil coreStorage convert").empty());

    auto noPassword = manager->encryptor(local("disk5s2"));
    noPassword->setDelegate(progress);
    auto count = progress->seen().size();
    noPassword->prepare();
    Dispatch::main().runUntil([] { return false; }, seconds(1));
    EXPECT_EQ(progress->seen().size(), count) << "without a password nothing happens";
}

TEST(ApfsWrapperTest, WholeDiskIsTheFirstDiskWithDigits) {
    EXPECT_EQ(DMApfsWrapper::wholeDiskName("disk3s1"), "disk3");
    EXPECT_EQ(DMApfsWrapper::wholeDiskName("disk12s4s1"), "disk12");
    EXPECT_EQ(DMApfsWrapper::wholeDiskName("sda1"), std::nullopt);
    EXPECT_EQ(DMApfsWrapper::wholeDiskName("disk"), std::nullopt);
}

// ---- the manager's choice and the unmount wait ----

TEST_F(EncryptionJobTest, EncryptorUnmountsABitLockerCandidateAndGivesUpAfterSixtySeconds) {
    setDaemonAnswers({{"bitlocker", PlatformValue::Dictionary{{"isBitLockerEncryptionSupportedWithBsdname", true}}}});
    buildLaptop();
    startManager();
    DMEncryptorRefusal refusal = DMEncryptorRefusal::none;
    double before = now();
    EXPECT_EQ(manager->encryptor(local("disk4s1"), &refusal), nullptr) << "the fake never unmounts by itself";
    EXPECT_EQ(refusal, DMEncryptorRefusal::stillMounted);
    EXPECT_NEAR(now() - before, DMLocalDriveManager::unmountChecks, 1e-6);
    EXPECT_FALSE(platform->diskRequests().empty());
    EXPECT_EQ(platform->diskRequests().back().first, "unmount disk4s1");

    // Unmounted after five seconds: a BitLocker job, registered with the wrapper.
    std::shared_ptr<DMLocalDriveEncryptable> job;
    before = now();
    Dispatch::global()->async([&] { job = manager->encryptor(local("disk4s1"), &refusal); });
    Dispatch::main().runUntil([] { return false; }, seconds(5.5));
    platform->removeDescription("disk4s1", Key::volumePath);
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return job != nullptr; }, seconds(2)));
    auto bitlocker = std::dynamic_pointer_cast<DMLocalDriveBitLockerEncryption>(job);
    ASSERT_TRUE(bitlocker);
    EXPECT_EQ(refusal, DMEncryptorRefusal::none);
    EXPECT_NEAR(now() - before, 6.0, 0.01) << "the first check after the volume went away";
    EXPECT_EQ(manager->bitlockerWrapper()->bitLockerWrapperDelegate(), bitlocker);
}

TEST_F(EncryptionJobTest, EncryptorRefusesWhatTheDaemonCannotEncryptAndOtherFileSystems) {
    buildLaptop();
    startManager();
    platform->removeDescription("disk4s1", Key::volumePath);
    DMEncryptorRefusal refusal = DMEncryptorRefusal::none;
    EXPECT_EQ(manager->encryptor(local("disk4s1"), &refusal), nullptr);
    EXPECT_EQ(refusal, DMEncryptorRefusal::bitLockerNotSupported);
    EXPECT_EQ(manager->encryptor(local("disk0"), &refusal), nullptr);
    EXPECT_EQ(refusal, DMEncryptorRefusal::unsupportedFileSystem);
}

// ---- BitLocker through the wrapper's callbacks ----

TEST_F(EncryptionJobTest, BitLockerCallbacksReachTheRegisteredJobAndItsWaitingRule) {
    setDaemonAnswers({{"bitlocker", PlatformValue::Dictionary{
                                        {"isBitLockerEncryptionSupportedWithBsdname", true},
                                        {"getBitLockerVolumeGUIDWithBsdname", "1234-ABCD"},
                                        {"getBitLockerRecoveryKeyWithBsdname", "111111-222222"},
                                        {"encryptBitLockerDriveWithBsdname", true},
                                    }}});
    buildLaptop();
    startManager();
    auto wrapper = manager->bitlockerWrapper();
    std::optional<std::int64_t> reply;
    wrapper->updateProgressWithStatus(1, 100, 0, 0, [&](std::int64_t value) { reply = value; });
    EXPECT_EQ(reply, 0) << "no job registered";
    bool continued = false;
    wrapper->continuedWithReply([&](bool value) { continued = value; });
    EXPECT_TRUE(continued);

    platform->removeDescription("disk4s1", Key::volumePath);
    auto first = DMLocalDriveBitLockerEncryption::encryptionObject(wrapper, local("disk4s1"));
    auto job = DMLocalDriveBitLockerEncryption::encryptionObject(wrapper, local("disk4s1"));
    EXPECT_EQ(wrapper->bitLockerWrapperDelegate(), job) << "the newer job replaces the first";
    job->setDelegate(progress);
    job->setPassword("pw");
    job->prepare();
    ASSERT_TRUE(Dispatch::main().runUntil(
        [&] { return !daemon->calls().empty() && daemon->calls().back().method == "encryptBitLockerDriveWithBsdname"; },
        seconds(1)));

    std::atomic<std::int64_t> answer{-5};
    Dispatch::global()->async([&] {
        wrapper->updateProgressWithStatus(1, 100, 0, 0, [&](std::int64_t value) { answer = value; });
    });
    Dispatch::main().runUntil([] { return false; }, seconds(3.5));
    EXPECT_EQ(answer.load(), -5) << "held until the go-ahead";
    EXPECT_EQ(job->guid(), "1234-ABCD");
    EXPECT_EQ(job->recoveryKey(), "111111-222222");
    job->cancel();
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return answer.load() == 1; }, seconds(1)));
    wrapper->continuedWithReply([&](bool value) { continued = value; });
    EXPECT_FALSE(continued);

    // An error travels to the delegate, whose answer (the raw value) goes back.
    auto running = DMLocalDriveBitLockerEncryption::encryptionObject(wrapper, local("disk4s1"));
    running->setDelegate(progress);
    running->start();
    progress->answer = 131076;
    std::optional<std::int64_t> finished;
    wrapper->updateProgressWithStatus(4, 100, 100, 131076, [&](std::int64_t value) { finished = value; });
    EXPECT_EQ(finished, 131076);
    EXPECT_EQ(progress->seen().back().message.error, DMProgressError::FVE_ERROR_OPEN_DEVICE);
}

TEST_F(EncryptionJobTest, BitLockerJobFollowsTheDaemonsReportsFromSetUpToTheEnd) {
    setDaemonAnswers({{"bitlocker", PlatformValue::Dictionary{
                                        {"isBitLockerEncryptionSupportedWithBsdname", true},
                                        {"encryptBitLockerDriveWithBsdname", true},
                                        {"getBitLockerVolumeGUIDWithBsdname", "GUID-9"},
                                        {"updateProgressWithStatus",
                                         PlatformValue::Dictionary{{"disk4s1", PlatformValue::Array{
                                                                                   PlatformValue::Array{0, 100, 0, 0},
                                                                                   PlatformValue::Array{1, 100, 0, 0},
                                                                                   PlatformValue::Array{3, 100, 50, 0},
                                                                                   PlatformValue::Array{4, 100, 100, 0},
                                                                               }}}},
                                    }}});
    buildLaptop();
    startManager();
    platform->removeDescription("disk4s1", Key::volumePath);
    auto job = manager->encryptor(local("disk4s1"));
    ASSERT_TRUE(std::dynamic_pointer_cast<DMLocalDriveBitLockerEncryption>(job));
    job->setDelegate(progress);
    job->setPassword("pw");
    job->prepare();
    Dispatch::main().runUntil([] { return false; }, seconds(4.5));
    ASSERT_EQ(progress->seen().size(), 2u) << "held after set-up until the go-ahead";
    EXPECT_TRUE(job->isReady());
    job->start();
    ASSERT_TRUE(runUntilFinished(2));
    EXPECT_EQ(progress->percentages(), (std::vector<std::uint64_t>{0, 0, 50, 100}));
    auto before = delegate->eventsOf("changed").size();
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return delegate->eventsOf("changed").size() > before; }, seconds(1.5)));

    // A cancelled job ends the daemon's reports at the first held one.
    auto cancelled = std::make_shared<RecordingEncryptionDelegate>(clock);
    auto second = manager->encryptor(local("disk4s1"));
    second->setDelegate(cancelled);
    second->setPassword("pw");
    second->prepare();
    Dispatch::main().runUntil([] { return false; }, seconds(2.5));
    second->cancel();
    Dispatch::main().runUntil([] { return false; }, seconds(5));
    EXPECT_EQ(cancelled->seen().size(), 2u);
}

TEST_F(EncryptionJobTest, BitLockerResumeSkipsThePasswordAndIsReadyAfterTheDaemonAnswers) {
    setDaemonAnswers({{"bitlocker", PlatformValue::Dictionary{
                                        {"needResumeBitLockerEncryptionWithBsdname", true},
                                        {"resumeEncryptingBitLockerDriveWithBsdname", true},
                                    }}});
    buildLaptop();
    startManager();
    auto job = DMLocalDriveBitLockerEncryption::encryptionObject(manager->bitlockerWrapper(), local("disk4s1"));
    ASSERT_TRUE(job);
    EXPECT_TRUE(job->needResume());
    job->prepare();
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return job->isReady(); }, seconds(1)));
    bool resumed = false;
    for (const auto& call : daemon->calls()) {
        resumed = resumed || call.method == "resumeEncryptingBitLockerDriveWithBsdname";
        EXPECT_NE(call.method, "encryptBitLockerDriveWithBsdname");
    }
    EXPECT_TRUE(resumed);
}

// ---- LUKS2 jobs for Linux file systems ----

class LuksEncryptorTest : public EncryptionJobTest {
protected:
    // A USB stick with an ext4 volume the daemon can encrypt (header in front), one it cannot,
    // an interrupted LUKS volume, a finished LUKS volume and a FAT volume.
    void addLinuxStick() {
        setDaemonAnswers({{"luks", PlatformValue::Dictionary{
                                       {"luksEncryptionLayoutsWithBsdname",
                                        PlatformValue::Dictionary{{"disk6s1", 3}, {"*", 0}}},
                                       {"needResumeLuksEncryptionWithBsdname",
                                        PlatformValue::Dictionary{{"disk6s3", true}, {"*", false}}},
                                   }}});
        buildLaptop();
        RegistryEntryId disk6 = addWholeDisk("disk6", "Linux Stick", false, "USB", 64000000000);
        addVolume("disk6s1", disk6, "home", "ext4", 16000000000);
        addVolume("disk6s2", disk6, "data", "ext3", 16000000000);
        addVolume("disk6s3", disk6, "", "luks", 16000000000);
        addVolume("disk6s4", disk6, "", "luks", 8000000000);
        addVolume("disk6s5", disk6, "FAT", "msdos", 8000000000);
        for (const char* name : {"disk6", "disk6s1", "disk6s2", "disk6s3", "disk6s4", "disk6s5"}) {
            platform->appear(name);
        }
        startManager();
    }
    bool daemonAskedLuksAbout(const std::string& bsdName) const {
        for (const auto& call : daemon->calls()) {
            if (call.service == "luks" && !call.arguments.empty() && call.arguments[0] == bsdName) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(LuksEncryptorTest, ExtVolumesAndInterruptedLuksVolumesGetALuksJob) {
    addLinuxStick();
    DMEncryptorRefusal refusal = DMEncryptorRefusal::unsupportedFileSystem;
    auto fresh = std::dynamic_pointer_cast<DMLocalDriveLuksEncryption>(manager->encryptor(local("disk6s1"), &refusal));
    ASSERT_TRUE(fresh);
    EXPECT_EQ(refusal, DMEncryptorRefusal::none);
    EXPECT_FALSE(fresh->needResume());

    auto resumed = std::dynamic_pointer_cast<DMLocalDriveLuksEncryption>(manager->encryptor(local("disk6s3"), &refusal));
    ASSERT_TRUE(resumed);
    EXPECT_TRUE(resumed->needResume());

    EXPECT_EQ(manager->encryptor(local("disk6s4"), &refusal), nullptr) << "a finished LUKS volume";
    EXPECT_EQ(refusal, DMEncryptorRefusal::unsupportedFileSystem);

    auto fat = manager->encryptor(local("disk6s5"), &refusal);
    EXPECT_EQ(std::dynamic_pointer_cast<DMLocalDriveLuksEncryption>(fat), nullptr);
    EXPECT_FALSE(daemonAskedLuksAbout("disk6s5")) << "FAT stays with BitLocker";
}

// What cannot be encrypted is refused before anything is unmounted; a volume unmounted for a
// job that then cannot be made is mounted again.
TEST_F(LuksEncryptorTest, AMountedExtVolumeIsUnmountedOnlyForAJobAndMountedAgainWhenNoneComes) {
    setDaemonAnswers({{"luks", PlatformValue::Dictionary{{"luksEncryptionLayoutsWithBsdname", 0}}}});
    buildLaptop();
    RegistryEntryId disk6 = addWholeDisk("disk6", "Linux Stick", false, "USB", 64000000000);
    addVolume("disk6s1", disk6, "home", "ext4", 16000000000, "/media/home");
    platform->appear("disk6");
    platform->appear("disk6s1");
    startManager();
    auto unmounts = [&] {
        auto requests = platform->diskRequests();
        return std::count_if(requests.begin(), requests.end(),
                             [](const auto& request) { return request.first == "unmount disk6s1"; });
    };
    DMEncryptorRefusal refusal = DMEncryptorRefusal::none;
    EXPECT_EQ(manager->encryptionRefusal(local("disk6s1")), DMEncryptorRefusal::luksNotAvailable);
    EXPECT_EQ(manager->encryptor(local("disk6s1"), &refusal), nullptr);
    EXPECT_EQ(refusal, DMEncryptorRefusal::luksNotAvailable);
    EXPECT_EQ(unmounts(), 0) << "unmounted for nothing";

    setDaemonAnswers({{"luks", PlatformValue::Dictionary{{"luksEncryptionLayoutsWithBsdname", 1}}}});
    EXPECT_EQ(manager->encryptionRefusal(local("disk6s1")), DMEncryptorRefusal::none);
    EXPECT_EQ(manager->encryptor(local("disk6s1"), &refusal), nullptr) << "the fake never unmounts by itself";
    EXPECT_EQ(refusal, DMEncryptorRefusal::stillMounted);
    EXPECT_EQ(unmounts(), 1);

    platform->removeDescription("disk6s1", Key::volumePath);
    EXPECT_TRUE(std::dynamic_pointer_cast<DMLocalDriveLuksEncryption>(manager->encryptor(local("disk6s1"), &refusal)));
}

// A device showing no signature whose header the daemon keeps is an encrypted volume (taken
// for an empty one it could be erased): unlocked or resumed as the daemon says, never mounted.
TEST_F(LuksEncryptorTest, AVolumeWhoseHeaderTheDaemonKeepsShowsAsEncryptedNotEmpty) {
    auto answers = [](std::int64_t status) {
        return PlatformValue::Dictionary{
            {"luks", PlatformValue::Dictionary{
                         {"isLuksDriveWithBsdname", PlatformValue::Dictionary{{"disk6s1", true}, {"*", false}}},
                         {"luksDriveStatusWithBsdname", PlatformValue::Dictionary{{"disk6s1", status}, {"*", 18}}},
                     }}};
    };
    setDaemonAnswers(answers(19));
    buildLaptop();
    RegistryEntryId disk6 = addWholeDisk("disk6", "Linux Stick", false, "USB", 64000000000);
    addVolume("disk6s1", disk6, "", "", 16000000000);
    addVolume("disk6s2", disk6, "", "", 16000000000);
    addVolume("disk6s3", disk6, "home", "ext4", 16000000000, "/media/home");
    for (const char* name : {"disk6", "disk6s1", "disk6s2", "disk6s3"}) {
        platform->appear(name);
    }
    startManager();
    for (const auto& call : daemon->calls()) {
        EXPECT_FALSE(call.method == "isLuksDriveWithBsdname" && call.arguments == std::vector<std::string>{"disk6"})
            << "a disk showing its partition table holds no volume whose header is kept apart";
    }
    auto kept = local("disk6s1");
    EXPECT_EQ(kept->fileSystem(), DMDriveObjectFilesystem::luks);
    EXPECT_TRUE(kept->hasDetachedHeader());
    EXPECT_EQ(kept->icon(), DMDriveImageName::encryptedDrive);
    EXPECT_EQ(kept->status(), DMLocalDriveStatus::encrypting);
    EXPECT_TRUE(kept->canEncrypt()) << "an interrupted encryption is resumed through Encrypt";
    EXPECT_FALSE(kept->canMount());

    setDaemonAnswers(answers(16));
    kept->update();
    EXPECT_EQ(kept->status(), DMLocalDriveStatus::locked);
    EXPECT_TRUE(kept->canUnlock());
    EXPECT_FALSE(kept->canEncrypt());
    EXPECT_FALSE(kept->canMount());

    EXPECT_EQ(local("disk6s2")->fileSystem(), DMDriveObjectFilesystem::unknown) << "no header kept: unknown";
    EXPECT_FALSE(local("disk6s2")->hasDetachedHeader());
    EXPECT_TRUE(local("disk6s3")->canEncrypt()) << "ext4 is encrypted with LUKS2";
    EXPECT_FALSE(local("disk6s3")->hasDetachedHeader());
    EXPECT_FALSE(local("disk6")->hasDetachedHeader());
}

TEST_F(LuksEncryptorTest, ADaemonThatRefusesOrCannotBeReachedGivesTheLuksRefusal) {
    addLinuxStick();
    DMEncryptorRefusal refusal = DMEncryptorRefusal::none;
    EXPECT_EQ(manager->encryptor(local("disk6s2"), &refusal), nullptr) << "no layout offered for disk6s2";
    EXPECT_EQ(refusal, DMEncryptorRefusal::luksNotAvailable);

    daemon->setBehaviour("luks", InProcessDaemonBehaviour::failConnection);
    refusal = DMEncryptorRefusal::none;
    EXPECT_EQ(manager->encryptor(local("disk6s1"), &refusal), nullptr);
    EXPECT_EQ(refusal, DMEncryptorRefusal::luksNotAvailable);
}

}  // namespace
}  // namespace harbormind::test
