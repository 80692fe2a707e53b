// The device-clone service's contract: the pair check's answers and the order of a clone's
// progress reports.
#include <condition_variable>
#include <mutex>
#include <vector>

#include "contract/DaemonContractTest.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMDeviceCloneWrapperDelegate.h"

namespace harbormind::test {
namespace {

constexpr std::int64_t MiB = 1 << 20;

// Keeps the reports and lets the test wait (bounded) for the one that ends the clone.
class ReportRecorder final : public DMDeviceCloneWrapperDelegate {
public:
    void deviceCloneProgress(const DMProgressMessage& message) override {
        {
            std::lock_guard lock(mutex_);
            reports_.push_back(message);
        }
        changed_.notify_all();
    }
    std::vector<DMProgressMessage> untilEnd() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(120), [&] {
            return !reports_.empty() && reports_.back().status != DMProgressStatus::running;
        });
        return reports_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<DMProgressMessage> reports_;
};

TEST_P(DaemonContractTest, ThePairCheckRefusesAMountedOrTooSmallDestinationTheSourceItselfAndAMountedSource) {
    const std::string source = machine->addDisk(128);
    const std::string larger = machine->addDisk(160);
    const std::string smaller = machine->addDisk(112);
    const std::string mounted = machine->addDisk(160);
    machine->mount(mounted);
    auto wrapper = DMDeviceCloneWrapper::create();
    EXPECT_EQ(wrapper->checkDisk(larger, source), 0);
    EXPECT_EQ(wrapper->checkDisk(smaller, source), 4);
    EXPECT_EQ(wrapper->checkDisk(source, source), 2);
    EXPECT_EQ(wrapper->checkDisk(mounted, source), 2);
    EXPECT_EQ(wrapper->checkDisk(larger, mounted), 1);
}

TEST_P(DaemonContractTest, ACloneReportsRunningThenFinishedWithEverySourceByteCopied) {
    const std::string source = machine->addDisk(128);
    const std::string destination = machine->addDisk(128);
    auto wrapper = DMDeviceCloneWrapper::create();
    auto recorder = std::make_shared<ReportRecorder>();
    wrapper->setDelegate(recorder);
    EXPECT_FALSE(wrapper->isCloneRunning(destination));
    wrapper->clone(destination, source, true);
    std::vector<DMProgressMessage> reports = recorder->untilEnd();
    EXPECT_FALSE(wrapper->isCloneRunning(destination)) << "still running after its last report";
    ASSERT_FALSE(reports.empty());
    for (std::size_t index = 0; index + 1 < reports.size(); ++index) {
        EXPECT_EQ(reports[index].status, DMProgressStatus::running) << "report " << index;
        EXPECT_LE(reports[index].current, reports[index + 1].current) << "report " << index;
        EXPECT_EQ(reports[index].total, reports.back().total) << "report " << index;
    }
    EXPECT_EQ(reports.back().status, DMProgressStatus::finished);
    EXPECT_EQ(reports.back().error, DMProgressError::noError);
    EXPECT_EQ(reports.back().total, static_cast<std::uint64_t>(128 * MiB));
    EXPECT_EQ(reports.back().current, reports.back().total);
}

// The window starts a clone with the devices' plain nodes ("/dev/NAME") and is answered once the
// copy runs.
TEST_P(DaemonContractTest, AStartedCloneIsAnsweredOnceItRunsAndReportsToItsEnd) {
    const std::string source = machine->addDisk(64);
    const std::string destination = machine->addDisk(64);
    auto wrapper = DMDeviceCloneWrapper::create();
    auto recorder = std::make_shared<ReportRecorder>();
    wrapper->setDelegate(recorder);
    XPCCodeAnswer started = wrapper->startClone(destination, source, false);
    ASSERT_EQ(started.code, 0) << started.message;
    std::vector<DMProgressMessage> reports = recorder->untilEnd();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().status, DMProgressStatus::finished);
    EXPECT_EQ(reports.back().current, static_cast<std::uint64_t>(64 * MiB));
}

}  // namespace
}  // namespace harbormind::test
