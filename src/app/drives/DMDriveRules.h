#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/drives/DMDriveSnapshot.h"
#include "app/widgets/DMMacDockViewBaseItem.h"

namespace harbormind {

// What the rules need beyond the drive itself.
struct DMDriveRulesContext {
    // The NTFS and BitLocker driver is not installed.
    bool driverMissing = false;
    // The USB blocker runs and the drive is not on its white list yet.
    bool offerWhitelist = false;
    // Whether the application can carry out an action code on a drive of this category yet.
    std::function<bool(std::uint8_t action, DMDriveObjectCategory category)> isActionAvailable;
};

// A context-menu entry: shown because its rule holds, enabled when the action is available.
struct DMMenuEntry {
    std::string title;
    std::uint8_t action = 0;
    bool enabled = true;
    bool isWhitelist = false;
};

// The rules that decide which menu entries a drive offers and which action-bar items are
// enabled. Pure functions of a snapshot, so they are tested without a window.
class DMDriveRules {
public:
    static std::vector<DMMenuEntry> sidebarMenu(const DMDriveSnapshot& drive, const DMDriveRulesContext& context);

    static std::vector<DMMacDockViewBaseItem> partitionItems();
    static std::vector<DMMacDockViewBaseItem> wholeDiskItems();
    // A whole disk without a partition table: its volume's items, then the disk's own.
    static std::vector<DMMacDockViewBaseItem> wholeDiskVolumeItems();
    static std::vector<DMMacDockViewBaseItem> networkItems();

    // The item's own rule, before asking whether its action is available.
    static bool partitionRule(std::uint8_t action, const DMDriveSnapshot& drive, const DMDriveRulesContext& context);
    static bool wholeDiskRule(std::uint8_t action, const DMDriveSnapshot& drive);
    static bool networkRule(std::uint8_t action, const DMDriveSnapshot& drive);

    // BitLocker (or NTFS) volume shown while the driver is missing.
    static bool needsDriver(const DMDrivePredicates& drive, const DMDriveRulesContext& context);
};

}  // namespace harbormind
