#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "daemon/linux/LuksEncryptionJob.h"
#include "xpc/DMProgressError.h"
#include "xpc/DMProgressStatus.h"

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
    // cryptsetup died in the middle of a step: the dump flags a segment, a repair clears it.
    bool needsRecovery = false;
    int repairStatus = 0;
    // The next reencryption dies of this signal halfway (0: it does not).
    int killedBy = 0;
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
            bool recovery = machine_->needsRecovery;
            lock.unlock();
            onLine(machine_->needsResume ? "Requirements:\tonline-reencrypt-v2" : "Requirements:\t(no requirements)");
            onLine("");
            onLine("Data segments:");
            onLine("  0: crypt");
            if (recovery) {
                onLine("\tflags : in-reencryption");
            }
            return {0, {}};
        }
        if (verb == "repair") {
            machine_->needsRecovery = machine_->needsRecovery && machine_->repairStatus != 0;
            return {machine_->repairStatus, machine_->repairStatus ? "No key available with this passphrase." : ""};
        }
        if (verb != "reencrypt") {
            return {0, {}};
        }
        if (machine_->needsRecovery) {
            return {1, "Device requires reencryption recovery. Run repair first."};
        }
        bool first = std::count_if(machine_->calls.begin(), machine_->calls.end(),
                                   [](const auto& call) { return call.first[1] == "reencrypt"; }) == 1;
        machine_->needsResume = true;
        lock.unlock();
        onLine(R"({"device":"/dev/loop9","device_bytes":"1048576","device_size":"4194304"})");
        lock.lock();
        if (int signal = std::exchange(machine_->killedBy, 0)) {
            machine_->needsRecovery = true;
            return {-1, {}, signal};
        }
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

TEST_F(LuksEncryptionJobTest, ACancelOrAVanishedCallerWhileRunningStopsWhereItCanResumeWithoutAKeyAdded) {
    for (std::int64_t stop : {std::int64_t{1}, DMBitLockerAppProtocol::unanswered}) {
        machine = std::make_shared<FakeMachine>();
        machine->firstReencryptRunsUntilStopped = true;
        callbacks->answer = [stop](const Report& report) { return report.status == running ? stop : 0; };
        XPCCodeAnswer answer = job("/keep/h").run();
        EXPECT_EQ(answer.code, LuksEncryptionJob::stopped) << answer.message;
        EXPECT_EQ(machine->programsRun(), (Words{"reencrypt", "luksDump"}));
        EXPECT_EQ(machine->interrupts, 1);
        EXPECT_TRUE(machine->needsResume);
    }
}

// cryptsetup killed halfway (a power cut leaves the same header): the job says the volume
// must be resumed, and the resume recovers the step cryptsetup died in before going on.
TEST_F(LuksEncryptionJobTest, ACryptsetupKilledMidwayIsRecoveredByTheResume) {
    machine->killedBy = 9;
    XPCCodeAnswer killed = job("/keep/h").run();
    EXPECT_EQ(killed.code, LuksEncryptionJob::failed);
    EXPECT_NE(killed.message.find("killed by signal 9"), std::string::npos) << killed.message;
    EXPECT_NE(killed.message.find("resume its encryption"), std::string::npos) << killed.message;
    ASSERT_TRUE(machine->needsRecovery);

    machine->repairStatus = 2;
    XPCCodeAnswer wrong = job("/keep/h", true).run();
    EXPECT_EQ(wrong.code, LuksEncryptionJob::failed);
    EXPECT_NE(wrong.message.find("could not be recovered: No key available"), std::string::npos) << wrong.message;

    machine->repairStatus = 0;
    std::size_t before = machine->programsRun().size();
    XPCCodeAnswer resumed = job("/keep/h", true).run();
    EXPECT_EQ(resumed.code, LuksEncryptionJob::done) << resumed.message;
    EXPECT_NE(resumed.message.find("recovered first"), std::string::npos) << resumed.message;
    auto programs = machine->programsRun();
    programs.erase(programs.begin(), programs.begin() + static_cast<long>(before));
    EXPECT_EQ(programs, (Words{"luksDump", "repair", "luksDump", "reencrypt", "luksDump", "luksAddKey", "open", "open"}));
    EXPECT_EQ(inputOf("repair", 1), "pass word");
}

TEST_F(LuksEncryptionJobTest, AFailureIsReportedWithItsErrorAndNeverAsSuccess) {
    machine->reencryptStatus = 1;
    XPCCodeAnswer answer = job("/keep/h").run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::failed);
    EXPECT_NE(answer.message.find("Device or resource busy"), std::string::npos) << answer.message;
    EXPECT_EQ(callbacks->reports().back().status, finished);
    EXPECT_EQ(callbacks->reports().back().error,
              static_cast<std::int64_t>(DMProgressError::FVE_ERROR_ENCRYPT_BLOCK));
    EXPECT_NE(answer.message.find("resume its encryption to finish it"), std::string::npos)
        << "a volume left half encrypted says how to go on: " << answer.message;
    EXPECT_EQ(machine->programsRun(), (Words{"reencrypt", "luksDump"}));
}

TEST_F(LuksEncryptionJobTest, AResumedJobWaitsForTheGoAheadWithItsOwnKeyThenContinues) {
    machine->needsResume = true;
    std::string keyAtGoAhead;
    auto resumed = job("/keep/h", true);
    callbacks->answer = [&](const Report& report) {
        if (report.status == initialized) {
            keyAtGoAhead = resumed.recoveryKey();
            EXPECT_TRUE(machine->programsRun().empty()) << "work done before the go-ahead";
        }
        return 0;
    };
    XPCCodeAnswer answer = resumed.run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::done) << answer.message;
    EXPECT_EQ(callbacks->reports().front().status, initialized);
    EXPECT_EQ(inputOf("luksAddKey"), "pass word\n" + keyAtGoAhead + "\n") << "the key added is the one handed over";
    std::lock_guard lock(machine->mutex);
    auto reencrypts = std::count_if(machine->calls.begin(), machine->calls.end(),
                                    [](const auto& call) { return call.first[1] == "reencrypt"; });
    EXPECT_EQ(reencrypts, 1);
    for (const auto& call : machine->calls) {
        if (call.first[1] == "reencrypt") {
            EXPECT_EQ(call.first[2], "--resume-only");
        }
    }
}

// Only an explicit 0 goes ahead: a cancel, another answer and no answer at all (the caller is
// gone) leave the volume as it was, for a new job as for a resumed one.
TEST_F(LuksEncryptionJobTest, AGoAheadThatIsNotAnExplicitYesChangesNothing) {
    for (std::int64_t refusal : {std::int64_t{1}, DMBitLockerAppProtocol::unanswered, std::int64_t{256}}) {
        for (bool resume : {false, true}) {
            machine = std::make_shared<FakeMachine>();
            machine->needsResume = resume;
            callbacks->answer = [refusal](const Report& report) { return report.status == initialized ? refusal : 0; };
            XPCCodeAnswer answer = job(resume ? "/keep/h" : "", resume).run();
            EXPECT_EQ(answer.code, LuksEncryptionJob::stopped) << refusal;
            EXPECT_NE(answer.message.find("nothing changed"), std::string::npos) << answer.message;
            EXPECT_EQ(answer.message.find("went away") != std::string::npos,
                      refusal == DMBitLockerAppProtocol::unanswered)
                << answer.message;
            EXPECT_TRUE(machine->programsRun().empty()) << "answer " << refusal << (resume ? ", resumed" : "");
        }
    }
    // No caller to ask at all.
    machine = std::make_shared<FakeMachine>();
    callbacks = nullptr;
    EXPECT_EQ(job("/keep/h").run().code, LuksEncryptionJob::stopped);
    EXPECT_TRUE(machine->programsRun().empty());
}

// The daemon died after cryptsetup finished but before the recovery key was added: a resume
// adds a new key (the dead job's may sit in slot 1, never shown) and hands it over.
TEST_F(LuksEncryptionJobTest, AResumeAfterTheReencryptionFinishedAddsOnlyTheMissingRecoveryKey) {
    auto resumed = job("/keep/h", true);
    XPCCodeAnswer answer = resumed.run();
    EXPECT_EQ(answer.code, LuksEncryptionJob::done) << answer.message;
    EXPECT_EQ(machine->programsRun(), (Words{"luksDump", "luksDump", "luksAddKey", "open", "open"}));
    const std::string key = resumed.recoveryKey();
    EXPECT_EQ(inputOf("luksAddKey"), "pass word\n" + key + "\n");
    EXPECT_EQ(inputOf("open", 1), key);
    {
        std::lock_guard lock(machine->mutex);
        const Words& tryKey = machine->calls.back().first;
        EXPECT_EQ(std::count(tryKey.begin(), tryKey.end(), "--key-slot"), 0) << "the new key is tried in slot 1 only";
    }
    // The go-ahead with the new key, the bar at its end, then the end.
    auto reports = callbacks->reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].status, initialized);
    EXPECT_EQ(reports[1].status, running);
    EXPECT_EQ(reports[1].current, reports[1].total);
    EXPECT_EQ(reports[2].status, finished);
    EXPECT_EQ(reports[2].error, 0);
}

}  // namespace
}  // namespace harbormind
