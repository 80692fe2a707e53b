// The device-clone service end to end: the application's wrapper over a private bus to the
// daemon's server, whose service runs the copy engine on real loop devices. Needs root.
#include <gtest/gtest.h>

#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>

#include "DaemonBusFixture.h"
#include "daemon/RefusingCheckDiskBackend.h"
#include "daemon/RefusingUSBBlockerService.h"
#include "daemon/clone/CloneLoopDevice.h"
#include "daemon/clone/CloneTestProgram.h"
#include "daemon/linux/LinuxDeviceCloneService.h"
#include "drivemodel/DMDeviceCloneWrapper.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using clone::test::CloneLoopDevice;
constexpr std::uint64_t MiB = 1u << 20;

// The Linux clone service with a state folder of the test's; nothing else.
class CloneOnlyBackend final : public DaemonBackend {
public:
    explicit CloneOnlyBackend(clone::CloneOptions options)
        : engine_(std::make_shared<clone::CloneEngine>(std::move(options))) {}
    std::shared_ptr<DMBitLockerServerProtocol> bitLocker(std::shared_ptr<DMBitLockerAppProtocol>) override {
        return nullptr;
    }
    std::shared_ptr<DMNtfsServerProtocol> ntfs(const CallerIdentity&) override { return nullptr; }
    std::shared_ptr<CheckDiskBackend> checkDisk() override { return std::make_shared<RefusingCheckDiskBackend>(); }
    std::shared_ptr<DMDeviceCloneServerProtocol> deviceClone(
        std::shared_ptr<DMDeviceCloneAppProtocol> callbacks) override {
        return std::make_shared<LinuxDeviceCloneService>(engine_, std::move(callbacks));
    }
    std::shared_ptr<DMUSBBlockerServerProtocol> usbBlocker() override {
        return std::make_shared<RefusingUSBBlockerService>();
    }

private:
    std::shared_ptr<clone::CloneEngine> engine_;
};

// Keeps the messages and lets the test wait for the end of a clone (bounded).
class WaitingDelegate final : public DMDeviceCloneWrapperDelegate {
public:
    void deviceCloneProgress(const DMProgressMessage& message) override {
        {
            std::lock_guard lock(mutex_);
            messages_.push_back(message);
        }
        changed_.notify_all();
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
};

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
        serve(std::make_shared<CloneOnlyBackend>(options));
        wrapper->setDelegate(delegate);
    }
    void TearDown() override {
        server.reset();  // stops a clone still running before its devices go
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
    std::shared_ptr<DMDeviceCloneWrapper> wrapper = DMDeviceCloneWrapper::create();
    std::shared_ptr<WaitingDelegate> delegate = std::make_shared<WaitingDelegate>();
};

TEST_F(DeviceCloneBusTest, StopFromTheApplicationThenResumeAndRestart) {
    const std::string src = source->name();
    const std::string dst = destination->name();
    EXPECT_EQ(wrapper->checkDisk(dst, src), 0);
    EXPECT_FALSE(wrapper->isCloneInterrupted(dst));

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

}  // namespace
}  // namespace harbormind
