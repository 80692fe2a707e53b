#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "app/details/DMBaseViewController.h"

namespace harbormind {

// Hands out one detail view controller per drive and keeps it for the whole run: network
// drives get the network view, whole disks the disk view, everything else the partition view.
class DMViewControllerManager {
public:
    enum class Kind { network, wholeDisk, partition };

    DMViewControllerManager(DMDetailContext context, QWidget* owner);

    // The controller for the drive in `snapshot`, made on first use; `drive` becomes its obj.
    DMBaseViewController* controller(const std::shared_ptr<DMDriveObjectProtocol>& drive,
                                     const DMDriveSnapshot& snapshot, bool* created = nullptr);
    static Kind kindOf(const DMDriveSnapshot& snapshot);
    std::size_t count() const { return viewsMap.size(); }

private:
    // Keyed by identifier and kind: a name reused by a different kind of device gets its own view.
    std::map<std::pair<std::string, Kind>, DMBaseViewController*> viewsMap;
    DMDetailContext context_;
    QWidget* owner_;
};

}  // namespace harbormind
