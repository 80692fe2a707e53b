#include "daemon/PolkitActionId.h"

namespace harbormind {
namespace {

const char* suffix(DaemonAction action) {
    switch (action) {
    case DaemonAction::query: return "query";
    case DaemonAction::mountRemovable: return "mount-removable";
    case DaemonAction::mountSystem: return "mount-system";
    case DaemonAction::loopOthers: return "loop-others";
    case DaemonAction::unmountOthers: return "unmount-others";
    case DaemonAction::eject: return "eject";
    case DaemonAction::attachImage: return "attach-image";
    case DaemonAction::unlock: return "unlock";
    case DaemonAction::encrypt: return "encrypt";
    case DaemonAction::check: return "check";
    case DaemonAction::repair: return "repair";
    case DaemonAction::clone: return "clone";
    case DaemonAction::usbLists: return "usb-lists";
    case DaemonAction::usbWarden: return "usb-warden";
    case DaemonAction::installUpdate: return "install-update";
    case DaemonAction::health: return "health";
    case DaemonAction::selfTest: return "self-test";
    case DaemonAction::eraseRemovable: return "erase-removable";
    case DaemonAction::eraseSystem: return "erase-system";
    case DaemonAction::restoreRemovable: return "restore-removable";
    case DaemonAction::restoreSystem: return "restore-system";
    case DaemonAction::imageCreate: return "image-create";
    case DaemonAction::perDevice: return nullptr;
    }
    return nullptr;
}

}  // namespace

std::string PolkitActionId::of(DaemonAction action) {
    const char* name = suffix(action);
    return name ? std::string(prefix) + name : std::string();
}

const std::vector<DaemonAction>& PolkitActionId::all() {
    static const std::vector<DaemonAction> actions{
        DaemonAction::query,       DaemonAction::mountRemovable, DaemonAction::mountSystem, DaemonAction::loopOthers,
        DaemonAction::unmountOthers, DaemonAction::eject,        DaemonAction::attachImage, DaemonAction::unlock,
        DaemonAction::encrypt,     DaemonAction::check,          DaemonAction::repair,      DaemonAction::clone,
        DaemonAction::usbLists,    DaemonAction::usbWarden,      DaemonAction::installUpdate,
        DaemonAction::health,      DaemonAction::selfTest,       DaemonAction::eraseRemovable, DaemonAction::eraseSystem,
        DaemonAction::restoreRemovable, DaemonAction::restoreSystem, DaemonAction::imageCreate};
    return actions;
}

}  // namespace harbormind
