#pragma once

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/CommandTable.h"
#include "platform/DeviceRegistry.h"
#include "platform/DiskArbitration.h"
#include "platform/FileSystemInfo.h"
#include "platform/ProcessLauncher.h"
#include "platform/sim/SimPlatform.h"
#include "support/SerialQueue.h"

namespace harbormind::test {

inline std::string scenarioPath(const std::string& name) {
    const char* root = std::getenv("HARBORMIND_SOURCE_DIR");
    return std::string(root != nullptr ? root : HARBORMIND_SOURCE_DIR_DEFAULT) + "/tests/scenarios/" + name;
}

inline std::shared_ptr<SimPlatform> loadScenario(const std::string& name) {
    auto result = SimPlatform::load(scenarioPath(name));
    if (!result) {
        ADD_FAILURE() << result.error;
    }
    return result.platform;
}

// Records every callback a session delivers, with the virtual time and whether it ran on
// the session's queue.
class SessionRecorder {
public:
    struct Event {
        std::string kind;  // appeared, disappeared, changed, mountApproval, unmountApproval
        std::string bsdName;
        std::vector<std::string> keys;
        double at = 0;
        bool onQueue = false;
    };

    explicit SessionRecorder(Platform& platform, std::string label = "recorder")
        : session(platform.diskArbitration().createSession()), queue(SerialQueue::create(std::move(label))) {}
    ~SessionRecorder() { session->setDispatchQueue(nullptr); }

    void registerAll() {
        session->setDispatchQueue(queue);
        session->registerDiskAppeared([this](const DADisk& disk) { add("appeared", disk); });
        session->registerDiskDisappeared([this](const DADisk& disk) { add("disappeared", disk); });
        session->registerDiskDescriptionChanged(
            [this](const DADisk& disk, const std::vector<std::string>& keys) { add("changed", disk, keys); });
        session->registerDiskMountApproval([this](const DADisk& disk) -> std::optional<DADissenter> {
            add("mountApproval", disk);
            std::lock_guard lock(mutex);
            return mountAnswer;
        });
        session->registerDiskUnmountApproval([this](const DADisk& disk) -> std::optional<DADissenter> {
            add("unmountApproval", disk);
            std::lock_guard lock(mutex);
            return unmountAnswer;
        });
    }

    std::vector<Event> events() {
        std::lock_guard lock(mutex);
        return events_;
    }
    std::vector<Event> eventsOf(const std::string& kind) {
        std::vector<Event> some;
        for (auto& event : events()) {
            if (event.kind == kind) some.push_back(event);
        }
        return some;
    }
    std::size_t count() {
        std::lock_guard lock(mutex);
        return events_.size();
    }
    void clear() {
        std::lock_guard lock(mutex);
        events_.clear();
    }
    void setMountAnswer(std::optional<DADissenter> answer) {
        std::lock_guard lock(mutex);
        mountAnswer = std::move(answer);
    }
    void setUnmountAnswer(std::optional<DADissenter> answer) {
        std::lock_guard lock(mutex);
        unmountAnswer = std::move(answer);
    }

private:
    void add(const std::string& kind, const DADisk& disk, std::vector<std::string> keys = {}) {
        Event event{kind, disk.bsdName(), std::move(keys), toSeconds(Clock::current().now()), queue->isCurrent()};
        std::lock_guard lock(mutex);
        events_.push_back(std::move(event));
    }

    std::mutex mutex;
    std::vector<Event> events_;
    std::optional<DADissenter> mountAnswer;
    std::optional<DADissenter> unmountAnswer;

public:
    std::shared_ptr<DiskArbitrationSession> session;
    // Last, so that it is destroyed first: its thread finishes pending callbacks while the
    // recorder is still whole.
    std::shared_ptr<SerialQueue> queue;
};

}  // namespace harbormind::test
