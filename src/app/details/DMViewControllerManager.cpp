#include "app/details/DMViewControllerManager.h"

#include "app/details/DMLocalDriveViewController.h"
#include "app/details/DMLocalPartitionViewController.h"
#include "app/details/DMNetworkDriveViewController.h"

namespace harbormind {

DMViewControllerManager::DMViewControllerManager(DMDetailContext context, QWidget* owner)
    : context_(std::move(context)), owner_(owner) {}

DMViewControllerManager::Kind DMViewControllerManager::kindOf(const DMDriveSnapshot& snapshot) {
    if (snapshot.isNetwork()) {
        return Kind::network;
    }
    // A whole disk that carries its file system itself is shown as the volume it is: its mount
    // point and usage matter more than its partition map, which it has none of.
    return snapshot.physicalIsWhole && !snapshot.isWholeDiskVolume ? Kind::wholeDisk : Kind::partition;
}

DMBaseViewController* DMViewControllerManager::controller(const std::shared_ptr<DMDriveObjectProtocol>& drive,
                                                          const DMDriveSnapshot& snapshot, bool* created) {
    const Kind kind = kindOf(snapshot);
    const auto key = std::make_pair(snapshot.identifier, kind);
    auto found = viewsMap.find(key);
    DMBaseViewController* view = nullptr;
    if (found != viewsMap.end()) {
        view = found->second;
    } else {
        switch (kind) {
        case Kind::network:
            view = new DMNetworkDriveViewController(context_, owner_);
            break;
        case Kind::wholeDisk:
            view = new DMLocalDriveViewController(context_, owner_);
            break;
        case Kind::partition:
            view = new DMLocalPartitionViewController(context_, owner_);
            break;
        }
        viewsMap.emplace(key, view);
    }
    if (created != nullptr) {
        *created = found == viewsMap.end();
    }
    view->setObj(drive);
    return view;
}

}  // namespace harbormind
