// The device-clone service end to end: the application's wrapper over a private bus to the
// daemon's server, whose service runs the copy engine on real loop devices. Needs root.
#include <gtest/gtest.h>

#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <random>
#include <thread>

#include "DaemonBusFixture.h"
#include "cli/CtlRun.h"
#include "daemon/RefusingBitLockerService.h"
#include "daemon/RefusingCheckDiskBackend.h"
#include "daemon/RefusingNtfsService.h"
#include "daemon/RefusingUSBBlockerService.h"
#include "daemon/linux/LinuxDeviceCloneService.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "engines/clone/CloneLoopDevice.h"
#include "engines/clone/CloneTestProgram.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using clone::test::CloneLoopDevice;
constexpr std::uint64_t MiB = 1u << 20;

// The Linux clone service with a state folder of the test's; the other services refuse.
class CloneOnlyBackend final : public DaemonBackend {
public:
    explicit CloneOnlyBackend(std::shared_ptr<clone::CloneEngine> engine) : engine_(std::move(engine)) {}
    std::shared_ptr<DMBitLockerServerProtocol> bitLocker(std::shared_ptr<DMBitLockerAppProtocol>) override {
        return std::make_shared<RefusingBitLockerService>();
    }
    std::shared_ptr<DMNtfsServerProtocol> ntfs(const CallerIdentity&) override {
        return std::make_shared<RefusingNtfsService>();
    }
    std::shared_ptr<CheckDiskBackend> checkDisk() override { return std::make_shared<RefusingCheckDiskBackend>(); }
    std::shared_ptr<DMDeviceCloneServerProtocol> deviceClone(
        std::shared_ptr<DMDeviceCloneAppProtocol> callbacks) override {
        return std::make_shared<LinuxDeviceCloneService>(engine_, std::move(callbacks));
    }
    std::shared_ptr<DMUSBBlockerServerProtocol> usbBlocker(const CallerIdentity&) override {
        return std::make_shared<RefusingUSBBlockerService>();
    }

private:
    std::shared_ptr<clone::CloneEngine> engine_;
};

// Keeps the messages and lets the test wait for the end of a clone (bounded). While held,
// it takes the first message and then answers nothing, as a hung application would.
class WaitingDelegate final : public DMDeviceCloneWrapperDelegate {
public:
    void deviceCloneProgress(const DMProgressMessage& message) override {
        std::unique_lock lock(mutex_);
        messages_.push_back(message);
        changed_.notify_all();
        changed_.wait(lock, [&] { return !held_; });
    }
    void deviceCloneEnded(std::uint64_t unreadableBytes, const std::string& reason) override {
        std::lock_guard lock(mutex_);
        ends_.emplace_back(unreadableBytes, reason);
    }
    void hold(bool held) {
        {
            std::lock_guard lock(mutex_);
            held_ = held;
        }
        changed_.notify_all();
    }
    std::vector<std::pair<std::uint64_t, std::string>> ends() {
        std::lock_guard lock(mutex_);
        return ends_;
    }
    // The first message past `from` with a status other than running; empty after the bound.
    std::optional<DMProgressMessage> endAfter(std::size_t from) {
        std::unique_lock lock(mutex_);
        std::optional<DMProgressMessage> end;
        changed_.wait_for(lock, std::chrono::seconds(60), [&] {
            for (std::size_t i = from; i < messages_.size(); ++i) {
                if (messages_[i].status != DMProgressStatus::running) {
                    end = messages_[i];
                    return true;
                }
            }
            return false;
        });
        return end;
    }
    bool waitForRunning(std::size_t from) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(60), [&] {
            return messages_.size() > from && messages_.back().status == DMProgressStatus::running &&
                   messages_.back().current > 0;
        });
    }
    std::size_t count() {
        std::lock_guard lock(mutex_);
        return messages_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<DMProgressMessage> messages_;
    std::vector<std::pair<std::uint64_t, std::string>> ends_;
    bool held_ = false;
};

// Runs `work` on a thread of its own and waits for it at most `limit`; false when it is still
// running then (the thread is left to finish, or to hang, on its own).
bool finishesWithin(std::function<void()> work, std::chrono::seconds limit) {
    auto done = std::make_shared<std::promise<void>>();
    auto finished = done->get_future();
    std::thread([work = std::move(work), done] {
        work();
        done->set_value();
    }).detach();
    return finished.wait_for(limit) == std::future_status::ready;
}

class DeviceCloneBusTest : public test::DaemonBusFixture {
protected:
    void SetUp() override {
        if (std::string reason = CloneLoopDevice::unavailableReason(); !reason.empty()) {
            GTEST_SKIP() << reason;
        }
        DaemonBusFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        std::string pattern = (fs::temp_directory_path() / "hm-clone-bus-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        source = std::make_unique<CloneLoopDevice>(folder, "source.img", 192);
        destination = std::make_unique<CloneLoopDevice>(folder, "destination.img", 192);
        ASSERT_TRUE(source->attached() && destination->attached());
        std::ofstream out(source->node(), std::ios::binary | std::ios::in);
        std::mt19937_64 random(7);
        std::vector<std::uint64_t> block(MiB / 8);
        for (int i = 0; i < 192; ++i) {
            for (auto& word : block) {
                word = random();
            }
            out.write(reinterpret_cast<const char*>(block.data()), MiB);
        }
        out.close();
        clone::CloneOptions options;
        options.stateFolder = folder / "state";
        options.checkpointBytes = 16 * MiB;
        options.progressInterval = Clock::Duration::zero();  // a stop at a chosen byte lands there
        engine = std::make_shared<clone::CloneEngine>(options);
        serve(std::make_shared<CloneOnlyBackend>(engine));
        wrapper->setDelegate(delegate);
    }
    void TearDown() override {
        delegate->hold(false);
        server.reset();  // stops a clone still running before its devices go
        engine.reset();
        source.reset();
        destination.reset();
        if (!folder.empty()) {
            std::error_code error;
            fs::remove_all(folder, error);
        }
        DaemonBusFixture::TearDown();
    }
    bool same() const {
        return clone::test::runProgram({"cmp", source->node(), destination->node()}) == 0;
    }

    fs::path folder;
    std::unique_ptr<CloneLoopDevice> source;
    std::unique_ptr<CloneLoopDevice> destination;
    std::shared_ptr<clone::CloneEngine> engine;
    std::shared_ptr<DMDeviceCloneWrapper> wrapper = DMDeviceCloneWrapper::create();
    std::shared_ptr<WaitingDelegate> delegate = std::make_shared<WaitingDelegate>();
};

TEST_F(DeviceCloneBusTest, StopFromTheApplicationThenResumeAndRestart) {
    const std::string src = source->name();
    const std::string dst = destination->name();
    EXPECT_EQ(wrapper->checkDisk(dst, src), 0);
    EXPECT_FALSE(wrapper->isCloneInterrupted(dst));
    EXPECT_FALSE(wrapper->isCloneRunning(dst));

    wrapper->clone(dst, src, false);
    ASSERT_TRUE(delegate->waitForRunning(0));
    wrapper->stopCloneWithFlag(true);
    auto stopped = delegate->endAfter(0);
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->status, DMProgressStatus::suspended);
    EXPECT_TRUE(wrapper->isCloneInterrupted(dst));
    EXPECT_EQ(wrapper->cloneInterruptSource(dst), src);

    std::size_t mark = delegate->count();
    std::uint64_t before = destination->bytesWritten();
    wrapper->clone(dst, src, false);  // "resumeClone"
    auto resumed = delegate->endAfter(mark);
    ASSERT_TRUE(resumed);
    EXPECT_EQ(resumed->status, DMProgressStatus::finished);
    EXPECT_EQ(resumed->error, DMProgressError::noError);
    EXPECT_EQ(resumed->current, 192 * MiB);
    EXPECT_EQ(resumed->total, 192 * MiB);
    EXPECT_LT(destination->bytesWritten() - before, 192 * MiB);
    EXPECT_TRUE(same());
    EXPECT_FALSE(wrapper->isCloneInterrupted(dst));

    mark = delegate->count();
    before = destination->bytesWritten();
    wrapper->clone(dst, src, true);  // "Continue": from zero
    auto restarted = delegate->endAfter(mark);
    ASSERT_TRUE(restarted);
    EXPECT_EQ(restarted->status, DMProgressStatus::finished);
    EXPECT_EQ(destination->bytesWritten() - before, 192 * MiB);
    EXPECT_TRUE(same());
}

// The command line of a user who is not root: the daemon copies, refuses to overwrite without
// --yes, and resumes a clone that was stopped midway.
TEST_F(DeviceCloneBusTest, TheCommandLineClonesThroughTheDaemonAndResumes) {
    const std::string src = source->name();
    const std::string dst = destination->name();
    test::CtlRun unconfirmed = test::runCtl({"clone", src, dst, "--through-daemon"});
    EXPECT_NE(unconfirmed.status, 0);
    EXPECT_NE(unconfirmed.err.find("everything on " + dst), std::string::npos) << unconfirmed.err;
    EXPECT_NE(unconfirmed.err.find("add --yes"), std::string::npos) << unconfirmed.err;
    EXPECT_EQ(destination->bytesWritten(), 0u);

    ASSERT_EQ(engine->startClone(destination->node(), source->node(), false,
                                 [](const clone::CloneProgress& p) {
                                     return p.current >= 32 * MiB ? clone::CloneReply::cancel
                                                                  : clone::CloneReply::proceed;
                                 }).code,
              0);
    engine->waitUntilFinished();
    ASSERT_EQ(engine->lastOutcome().end, clone::CloneEnd::stopped);
    test::CtlRun fresh = test::runCtl({"clone", src, dst, "--through-daemon", "--yes"});
    EXPECT_NE(fresh.status, 0);
    EXPECT_NE(fresh.err.find("carries an interrupted clone"), std::string::npos) << fresh.err;

    std::uint64_t before = destination->bytesWritten();
    test::CtlRun resumed = test::runCtl({"clone", src, dst, "--through-daemon", "--resume"});
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_NE(resumed.out.find("cloned " + std::to_string(192 * MiB) + " bytes"), std::string::npos) << resumed.out;
    EXPECT_NE(resumed.err.find("201.3 MB / 201.3 MB"), std::string::npos) << resumed.err;
    EXPECT_LT(destination->bytesWritten() - before, 192 * MiB);
    EXPECT_TRUE(same());
}

// The reasons reach the application: a refused pair and a caller who may not clone.
TEST_F(DeviceCloneBusTest, RefusalsComeWithTheirReasons) {
    const std::string src = source->name();
    const std::string dst = destination->name();
    XPCCodeAnswer self = wrapper->checkPair(src, src);
    EXPECT_EQ(self.code, 2);
    EXPECT_EQ(self.message, "the destination is the source");

    authorizer->allowed = false;
    XPCCodeAnswer refused = wrapper->startClone(dst, src, false);
    EXPECT_EQ(refused.code, -1);
    EXPECT_EQ(refused.message.rfind("refused: ", 0), 0u) << refused.message;
    EXPECT_EQ(destination->bytesWritten(), 0u);
}

// An application that stops answering its progress reports holds up neither the copy nor a
// stop nor the daemon's end.
TEST_F(DeviceCloneBusTest, AHungApplicationHoldsNothingUp) {
    const std::string src = source->name();
    const std::string dst = destination->name();
    delegate->hold(true);
    ASSERT_EQ(wrapper->startClone(dst, src, false).code, 0);
    ASSERT_TRUE(finishesWithin([this] { engine->waitUntilFinished(); }, std::chrono::seconds(60)))
        << "the copy waits for the application";
    EXPECT_EQ(engine->lastOutcome().end, clone::CloneEnd::finished);
    EXPECT_TRUE(same());

    // A clone stopped while the application is still hung ends as well, and so does the daemon.
    ASSERT_EQ(wrapper->startClone(dst, src, true).code, 0);
    wrapper->stopCloneWithFlag(true);
    ASSERT_TRUE(finishesWithin([this] { engine->waitUntilFinished(); }, std::chrono::seconds(60)));
    ASSERT_TRUE(finishesWithin([this] { server.reset(); }, std::chrono::seconds(60)))
        << "the daemon's end waits for the application";
}

}  // namespace
}  // namespace harbormind
