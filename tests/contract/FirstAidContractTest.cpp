// The check-disk service's contract: the order of a check's stream, a mounted volume refused
// before anything streams, and the question asked before a volume is unmounted for a check.
#include <condition_variable>
#include <mutex>
#include <vector>

#include "contract/DaemonContractTest.h"
#include "drivemodel/DMCheckDiskWrapper.h"
#include "drivemodel/DMCheckDiskWrapperDelegate.h"
#include "drivemodel/DMCheckDiskText.h"
#include "xpc/DMCheckDiskServerProtocol.h"
#include "xpc/DMCheckStatus.h"
#include "xpc/DaemonCall.h"

namespace harbormind::test {
namespace {

struct Line {
    std::string info;
    std::int64_t status;
};

bool ends(std::int64_t status) {
    return status == static_cast<std::int64_t>(DMCheckStatus::checkEnd) ||
           status == static_cast<std::int64_t>(DMCheckStatus::checkStop);
}

class StreamRecorder final : public DMCheckDiskWrapperDelegate {
public:
    void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) override {
        {
            std::lock_guard lock(mutex_);
            lines_.push_back({info, checkStatus});
        }
        changed_.notify_all();
    }
    std::vector<Line> untilEnd() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(120), [&] { return !lines_.empty() && ends(lines_.back().status); });
        return lines_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Line> lines_;
};

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

class FirstAidContract {
public:
    explicit FirstAidContract(const std::string& disk) {
        wrapper->setDelegate(recorder);
        wrapper->runCommand(*wrapper->shell().repairVolume(disk));
    }
    std::vector<Line> stream() { return recorder->untilEnd(); }

    std::shared_ptr<DMCheckDiskWrapper> wrapper = DMCheckDiskWrapper::create();
    std::shared_ptr<StreamRecorder> recorder = std::make_shared<StreamRecorder>();
};

TEST_P(DaemonContractTest, ACheckStreamsItsStartItsLinesAndItsVerdictLast) {
    FirstAidContract check(machine->addDisk(128));
    std::vector<Line> stream = check.stream();
    ASSERT_GE(stream.size(), 3u);
    EXPECT_EQ(stream.front().status, static_cast<std::int64_t>(DMCheckStatus::checkStart));
    for (std::size_t index = 1; index + 1 < stream.size(); ++index) {
        EXPECT_EQ(stream[index].status, static_cast<std::int64_t>(DMCheckStatus::checkRuning)) << index;
    }
    EXPECT_EQ(stream.back().status, static_cast<std::int64_t>(DMCheckStatus::checkEnd));
    EXPECT_EQ(stream.back().info, "No errors found");
    EXPECT_EQ(trimmed(stream[stream.size() - 2].info), stream.back().info);
}

TEST_P(DaemonContractTest, AMountedVolumeIsRefusedBeforeAnythingStreams) {
    const std::string disk = machine->addDisk(128);
    machine->mount(disk);
    FirstAidContract check(disk);
    std::vector<Line> stream = check.stream();
    ASSERT_EQ(stream.size(), 1u);
    EXPECT_EQ(stream.front().status, static_cast<std::int64_t>(DMCheckStatus::checkStop));
}

// A mounted volume is no reason to refuse the question: the application unmounts it once the
// daemon has said yes.
TEST_P(DaemonContractTest, TheDaemonSaysYesBeforehandToACheckOfAVolumeAnUnmountWillFree) {
    const std::string disk = machine->addDisk(128);
    machine->mount(disk);
    auto wrapper = DMCheckDiskWrapper::create();
    const std::string line = *wrapper->shell().repairVolume(disk);
    XPCCodeAnswer answer = waitForDaemon<DMCheckDiskServerProtocol>(
        wrapper->checkDiskXPCObj(), XPCCodeAnswer{-1, "no answer"}, seconds(30), "canRunFirstAidWithArguments",
        [&](DMCheckDiskServerProtocol& proxy, XPCCodeReply reply) {
            proxy.canRunFirstAidWithArguments({DMCheckDiskText::commandFlag, line}, reply);
        });
    EXPECT_EQ(answer.code, 0) << answer.message;
}

}  // namespace
}  // namespace harbormind::test
