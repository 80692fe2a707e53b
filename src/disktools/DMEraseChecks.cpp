#include "disktools/DMEraseChecks.h"

#include <algorithm>
#include <optional>

#include "drivemodel/DMLocalDriveManager.h"
#include "platform/DeviceNaming.h"
#include "platform/Platform.h"
#include "platform/UserDatabase.h"
#include "support/ReplyWait.h"

namespace harbormind {
namespace {

// Longer than the manager's own limit for an unmount that flushes a slow disk.
constexpr Clock::Duration unmountLimit = seconds(660);

bool within(const std::string& path, const std::string& folder) {
    return folder == "/" || path == folder || path.rfind(folder + "/", 0) == 0;
}

}  // namespace

std::string DMEraseChecks::refusal(const DMEraseTarget& target) {
    Platform& platform = Platform::current();
    std::vector<std::string> system = platform.deviceNaming().systemMountPoints();
    for (const auto& point : platform.deviceNaming().dataMountPoints()) {
        system.push_back(point);
    }
    const std::optional<std::string> home = platform.users().currentUserHome();
    for (const auto& volume : target.mounted()) {
        const std::string& point = *volume.mountPoint;
        if (std::find(system.begin(), system.end(), point) != system.end()) {
            return volume.name + " (" + volume.identifier + ") holds the running system (it is mounted at " + point +
                   ")";
        }
        if (home && within(*home, point)) {
            return volume.name + " (" + volume.identifier + ") holds your home folder (it is mounted at " + point +
                   ")";
        }
    }
    return {};
}

std::string DMEraseChecks::unmountVolumes(DMLocalDriveManager& manager, const DMEraseTarget& target) {
    for (const auto& volume : target.mounted()) {
        auto drive = manager.driveObjs()[volume.identifier];
        if (!drive) {
            continue;
        }
        using Result = std::optional<std::pair<int, std::string>>;
        ReplyWait<Result> wait(std::nullopt);
        auto answer = wait.replyHandler();
        manager.unmount(drive, DMUnmountOption::plain, [answer](int code, std::optional<std::string> message) {
            answer(std::make_pair(code, message.value_or("")));
        });
        Result result = wait.wait(unmountLimit, "unmounting " + volume.identifier);
        if (!result) {
            return volume.name + " (" + volume.identifier + ") could not be unmounted: no answer";
        }
        if (result->first != 0) {
            return volume.name + " (" + volume.identifier + ") could not be unmounted" +
                   (result->second.empty() ? std::string() : ": " + result->second);
        }
    }
    return {};
}

}  // namespace harbormind
