#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "daemon/linux/LuksEncryptionJob.h"
#include "drivemodel/DMProgressError.h"
#include "drivemodel/DMProgressStatus.h"

namespace harbormind {
namespace {

using Words = std::vector<std::string>;

// What the fake cryptsetup does, shared by every run of one job.
struct FakeMachine {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<Words, std::string>> calls;  // arguments and standard input
    bool firstReencryptRunsUntilStopped = false;
    int reencryptStatus = 0;
    int shrinkStatus = 0;
    bool needsResume = false;
    int interrupts = 0;

    std::vector<std::string> programsRun() {
        std::lock_guard lock(mutex);
        std::vector<std::string> names;
        for (const auto& call : calls) {
            std::string program = call.first[0].substr(call.first[0].rfind('/') + 1);
            names.push_back(program == "cryptsetup" ? call.first[1] : program);
        }
        return names;
    }
};

class FakeRunner final : public CryptsetupRunner {
public:
    explicit FakeRunner(std::shared_ptr<FakeMachine> machine) : machine_(std::move(machine)) {}

    Result run(const Words& arguments, const std::string& input, const LineHandler& onLine) override {
        std::unique_lock lock(machine_->mutex);
        machine_->calls.emplace_back(arguments, input);
        const std::string verb = arguments.size() > 1 ? arguments[1] : "";
        if (arguments[0].ends_with("resize2fs")) {
            return {machine_->shrinkStatus, "resize2fs: No space left on device"};
        }
        if (verb == "luksDump") {
            lock.unlock();
            onLine(machine_->needsResume ? "Requirements:\tonline-reencrypt-v2" : "Requirements:\t(no requirements)");
            return {0, {}};
        }
        if (verb != "reencrypt") {
            return {0, {}};
        }
        bool first = std::count_if(machine_->calls.begin(), machine_->calls.end(),
                                   [](const auto& call) { return call.first[1] == "reencrypt"; }) == 1;
        machine_->needsResume = true;
        lock.unlock();
        onLine(R"({"device":"/dev/loop9","device_bytes":"1048576","device_size":"4194304"})");
        lock.lock();
        if (first && machine_->firstReencryptRunsUntilStopped) {
            machine_->changed.wait(lock, [this] { return stopped_; });
            return {1, "Reencryption interrupted."};
        }
        lock.unlock();
        onLine(R"({"device":"/dev/loop9","device_bytes":"4194304","device_size":"4194304"})");
        lock.lock();
        machine_->needsResume = machine_->reencryptStatus != 0;
        return {machine_->reencryptStatus, machine_->reencryptStatus ? "Device or resource busy" : ""};
    }

    void interrupt() override {
        {
            std::lock_guard lock(machine_->mutex);
            stopped_ = true;
            ++machine_->interrupts;
        }
        machine_->changed.notify_all();
    }

private:
    std::shared_ptr<FakeMachine> machine_;
    bool stopped_ = false;
};

struct Report {
    std::int64_t status, total, current, error;
};

// The caller's side: records each report and answers it as the test says.
class RecordingCallbacks final : public DMBitLockerAppProtocol {
public:
    std::function<std::int64_t(const Report&)> answer = [](const Report&) { return 0; };

    void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error,
                                  XPCIntReply reply) override {
        Report report{status, total, current, error};
        {
            std::lock_guard lock(mutex_);
            reports_.push_back(report);
        }
        reply(answer(report));
    }
    void continuedWithReply(XPCBoolReply reply) override { reply(true); }

    std::vector<Report> reports() {
        std::lock_guard lock(mutex_);
        return reports_;
    }

private:
    std::mutex mutex_;
    std::vector<Report> reports_;
};

constexpr auto running = static_cast<std::int64_t>(DMProgressStatus::running);
constexpr auto finished = static_cast<std::int64_t>(DMProgressStatus::finished);
constexpr auto initialized = static_cast<std::int64_t>(DMProgressStatus::initialized);

class LuksEncryptionJobTest : public testing::Test {
protected:
    LuksEncryptionJob job(const std::string& header, bool resume = false) {
        LuksJobSetup setup;
        setup.name = "loop9";
        setup.device = "/dev/loop9";
        setup.header = header;
        setup.password = "pass word";
        setup.deviceBytes = 4194304;
        setup.resume = resume;
        setup.makeRunner = [machine = machine] { return std::make_shared<FakeRunner>(machine); };
        setup.callbacks = callbacks;
        setup.pauseGrace = seconds(0.05);
        return LuksEncryptionJob(std::move(setup));
    }

    std::string inputOf(const std::string& verb, std::size_t occurrence = 0) {
        std::lock_guard lock(machine->mutex);
        for (const auto& call : machine->calls) {
            if (call.first.size() > 1 && call.first[1] == verb && occurrence-- == 0) {
                return call.second;
            }
        }
        return "<none>";
    }

    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    std::shared_ptr<RecordingCallbacks> callbacks = std::make_shared<RecordingCallbacks>();
};

TEST_F(LuksEncryptionJobTest, EncryptsThenAddsAndTriesTheRecoveryKeyBeforeReportingSuccess) {
    auto encryption = job("/keep/loop9.luks2-header");
    XPCCodeAnswer answer = encryption.run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::done) << answer.message;
    EXPECT_NE(answer.message.find("/keep/loop9.luks2-header"), std::string::npos);
    EXPECT_EQ(machine->programsRun(), (Words{"reencrypt", "luksDump", "luksAddKey", "open", "open"}));
    const std::string key = encryption.recoveryKey();
    EXPECT_EQ(inputOf("reencrypt"), "pass word");
    EXPECT_EQ(inputOf("luksAddKey"), "pass word\n" + key + "\n");
    EXPECT_EQ(inputOf("open", 0), "pass word");
    EXPECT_EQ(inputOf("open", 1), key);
    auto reports = callbacks->reports();
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front().status, initialized);
    EXPECT_EQ(reports.front().total, 4194304);
    bool sawRunning = false;
    for (const auto& report : reports) {
        sawRunning = sawRunning || (report.status == running && report.current == 1048576 && report.total == 4194304);
    }
    EXPECT_TRUE(sawRunning);
    EXPECT_EQ(reports.back().status, finished);
    EXPECT_EQ(reports.back().error, 0);
}

TEST_F(LuksEncryptionJobTest, CancelAtTheGoAheadChangesNothing) {
    callbacks->answer = [](const Report& report) { return report.status == initialized ? 1 : 0; };
    XPCCodeAnswer answer = job("/keep/h").run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::stopped);
    EXPECT_TRUE(machine->programsRun().empty());
}

TEST_F(LuksEncryptionJobTest, HeaderInFrontShrinksExtFirstAndAFailedShrinkStopsBeforeCryptsetup) {
    machine->shrinkStatus = 1;
    XPCCodeAnswer answer = job("").run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::failed);
    EXPECT_NE(answer.message.find("could not be shrunk"), std::string::npos) << answer.message;
    EXPECT_EQ(machine->programsRun(), (Words{"e2fsck", "resize2fs"}));
    EXPECT_EQ(callbacks->reports().back().error, static_cast<std::int64_t>(DMProgressError::FVE_ERROR_DISMOUNT_FS));

    machine = std::make_shared<FakeMachine>();
    EXPECT_EQ(job("").run().code, LuksEncryptionJob::done);
    EXPECT_EQ(machine->programsRun(), (Words{"e2fsck", "resize2fs", "reencrypt", "luksDump", "luksAddKey", "open", "open"}));
}

TEST_F(LuksEncryptionJobTest, AHeldReportPausesCryptsetupAndTheAnswerResumesIt) {
    machine->firstReencryptRunsUntilStopped = true;
    // The caller holds its first running report (the user paused) until the work stopped.
    callbacks->answer = [machine = machine, held = false](const Report& report) mutable -> std::int64_t {
        if (report.status == running && !held) {
            held = true;
            std::unique_lock lock(machine->mutex);
            machine->changed.wait(lock, [&] { return machine->interrupts > 0; });
        }
        return 0;
    };
    XPCCodeAnswer answer = job("/keep/h").run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::done) << answer.message;
    EXPECT_EQ(machine->interrupts, 1);
    auto programs = machine->programsRun();
    ASSERT_GE(programs.size(), 3u);
    // The second pass resumes (a fresh --encrypt would start over on half-encrypted data).
    std::lock_guard lock(machine->mutex);
    std::vector<Words> passes;
    for (const auto& call : machine->calls) {
        if (call.first[1] == "reencrypt") {
            passes.push_back(call.first);
        }
    }
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes[0][2], "--encrypt");
    EXPECT_EQ(passes[1][2], "--resume-only");
}

TEST_F(LuksEncryptionJobTest, ACancelWhileRunningStopsWhereItCanResumeWithoutAKeyAdded) {
    machine->firstReencryptRunsUntilStopped = true;
    callbacks->answer = [](const Report& report) { return report.status == running ? 1 : 0; };
    XPCCodeAnswer answer = job("/keep/h").run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::stopped) << answer.message;
    EXPECT_EQ(machine->programsRun(), (Words{"reencrypt", "luksDump"}));
    EXPECT_TRUE(machine->needsResume);
}

TEST_F(LuksEncryptionJobTest, AFailureIsReportedWithItsErrorAndNeverAsSuccess) {
    machine->reencryptStatus = 1;
    XPCCodeAnswer answer = job("/keep/h").run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::failed);
    EXPECT_NE(answer.message.find("Device or resource busy"), std::string::npos) << answer.message;
    EXPECT_EQ(callbacks->reports().back().status, finished);
    EXPECT_EQ(callbacks->reports().back().error,
              static_cast<std::int64_t>(DMProgressError::FVE_ERROR_ENCRYPT_BLOCK));
    EXPECT_EQ(machine->programsRun(), (Words{"reencrypt"}));
}

TEST_F(LuksEncryptionJobTest, AResumedJobSkipsTheGoAheadAndContinuesTheReencryption) {
    machine->needsResume = true;
    XPCCodeAnswer answer = job("/keep/h", true).run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::done);
    EXPECT_NE(callbacks->reports().front().status, initialized);
    EXPECT_EQ(machine->programsRun(), (Words{"luksDump", "reencrypt", "luksDump", "luksAddKey", "open", "open"}));
    std::lock_guard lock(machine->mutex);
    EXPECT_EQ(machine->calls[1].first[2], "--resume-only");
}

// The daemon died after cryptsetup finished but before the recovery key was added: a resume
// adds a new key (the dead job's may sit in slot 1, never shown) and hands it over.
TEST_F(LuksEncryptionJobTest, AResumeAfterTheReencryptionFinishedAddsOnlyTheMissingRecoveryKey) {
    auto resumed = job("/keep/h", true);
    XPCCodeAnswer answer = resumed.run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::done) << answer.message;
    EXPECT_EQ(machine->programsRun(), (Words{"luksDump", "luksAddKey", "open", "open"}));
    const std::string key = resumed.recoveryKey();
    EXPECT_EQ(inputOf("luksAddKey"), "pass word\n" + key + "\n");
    EXPECT_EQ(inputOf("open", 1), key);
    {
        std::lock_guard lock(machine->mutex);
        const Words& tryKey = machine->calls.back().first;
        EXPECT_EQ(std::count(tryKey.begin(), tryKey.end(), "--key-slot"), 0) << "the new key is tried in slot 1 only";
    }
    // A report while the job still holds the key, so the caller can fetch it, then the end.
    auto reports = callbacks->reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].status, running);
    EXPECT_EQ(reports[0].current, reports[0].total);
    EXPECT_EQ(reports[1].status, finished);
    EXPECT_EQ(reports[1].error, 0);
}

}  // namespace
}  // namespace harbormind
