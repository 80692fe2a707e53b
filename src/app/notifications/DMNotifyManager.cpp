#include "app/notifications/DMNotifyManager.h"

#include "app/notifications/DMNotificationTexts.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"
#include "app/notifications/DMUserNotifier.h"
#include "config/DMConfigurationManager.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "drivemodel/DMLocalDriveObject.h"

namespace harbormind {

DMNotifyManager& DMNotifyManager::shared() {
    static DMNotifyManager manager(DMUserNotifier::shared(), DMConfigurationManager::shared());
    return manager;
}

DMNotifyManager::DMNotifyManager(DMUserNotifier& notifier, DMConfigurationManager& configMgr)
    : notifier_(notifier), configMgr_(configMgr) {}

bool DMNotifyManager::isEnabled(DMDriveEventKind kind) const {
    switch (kind) {
    case DMDriveEventKind::appeared:
        return configMgr_.notifyWhenDrivesAppears();
    case DMDriveEventKind::disappeared:
        return configMgr_.notifyWhenDrivesDisappears();
    case DMDriveEventKind::available:
        return configMgr_.notifyWhenConnectDrives();
    case DMDriveEventKind::unavailable:
        return configMgr_.notifyWhenDisconnectDrives();
    }
    return false;
}

std::pair<const char*, const char*> DMNotifyManager::texts(DMDriveEventKind kind, bool localDrive) {
    using namespace DMNotificationTexts;
    switch (kind) {
    case DMDriveEventKind::appeared:
        return localDrive ? std::pair{addDriveTitle, addDriveText} : std::pair{connectNetworkTitle, connectNetworkText};
    case DMDriveEventKind::disappeared:
        return localDrive ? std::pair{removeDriveTitle, removeDriveText}
                          : std::pair{disconnectNetworkTitle, disconnectNetworkText};
    case DMDriveEventKind::available:
        return localDrive ? std::pair{mountDriveTitle, mountDriveText} : std::pair{connectNetworkTitle, connectNetworkText};
    case DMDriveEventKind::unavailable:
        return localDrive ? std::pair{unmountDriveTitle, unmountDriveText}
                          : std::pair{disconnectNetworkTitle, disconnectNetworkText};
    }
    return {"", ""};
}

void DMNotifyManager::notify(const std::shared_ptr<DMDriveObjectProtocol>& drive, DMDriveEventKind kind) {
    if (!drive || !isEnabled(kind)) {
        return;
    }
    const bool localDrive = std::dynamic_pointer_cast<DMLocalDriveObject>(drive) != nullptr;
    auto [title, format] = texts(kind, localDrive);
    notifier_.post(DMTr::text(title), DMTextFormat::withText(DMTr::text(format), drive->name()));
}

}  // namespace harbormind
