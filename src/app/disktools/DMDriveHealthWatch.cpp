#include "app/disktools/DMDriveHealthWatch.h"

#include "app/notifications/DMUserNotifier.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "disktools/DMDriveHealthWatcher.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"

namespace harbormind {
namespace {

std::shared_ptr<DMDriveHealthWatcher>& watcher() {
    static std::shared_ptr<DMDriveHealthWatcher> running;
    return running;
}

}  // namespace

void DMDriveHealthWatch::start(const std::shared_ptr<DMLocalDriveManager>& manager) {
    std::weak_ptr<DMLocalDriveManager> weak = manager;
    auto disks = [weak] {
        std::vector<DMDriveHealthWatcher::Disk> list;
        auto current = weak.lock();
        for (const auto& root : current ? current->rootObjs() : DMLocalDriveManager::DriveList{}) {
            auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(root);
            if (local && local->isWhole()) {
                list.push_back({local->identifier(), local->name() + " (" + local->identifier() + ")"});
            }
        }
        return list;
    };
    auto health = [](const std::string& identifier) { return DMDiskToolsWrapper().health(identifier); };
    auto warn = [](const std::string& title, const std::string& text) {
        DMUserNotifier::shared().post(title, text);
    };
    stop();
    watcher() = std::make_shared<DMDriveHealthWatcher>(disks, health, warn);
    watcher()->start();
}

void DMDriveHealthWatch::stop() {
    if (watcher()) {
        watcher()->stop();
        watcher().reset();
    }
}

}  // namespace harbormind
