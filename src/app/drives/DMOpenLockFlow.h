#pragma once

#include <functional>
#include <memory>

#include "app/drives/DMActionCompletion.h"
#include "app/drives/DMDriveFlow.h"
#include "drivemodel/DMDriveObjectFilesystem.h"

class QWidget;

namespace harbormind {

// Open and lock, the two actions that need the NTFS and BitLocker driver for some file systems
// and so offer to install it first when it is missing.
class DMOpenLockFlow : public DMDriveFlow, public std::enable_shared_from_this<DMOpenLockFlow> {
public:
    DMOpenLockFlow(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter);

    // Shows the drive's contents; a failure names the mount point to open it by other means.
    // Without the driver an NTFS or BitLocker drive is offered it, and opened either way.
    void open(const Drive& drive, QWidget* window, DMActionCompletion completion);
    // Locks the drive; a BitLocker drive without the driver is locked only once it is installed.
    void lock(const Drive& drive, QWidget* window, DMActionCompletion completion);

private:
    enum class WithoutDriver { goOn, stop };
    struct DriverGate {
        // The file systems that need the driver.
        std::function<bool(DMDriveObjectFilesystem)> needsDriver;
        // What the offer to install it says.
        const char* title;
        const char* text;
        // Whether `next` runs when the user declines, or this system cannot install it.
        WithoutDriver withoutDriver;
    };
    // Reads away from the user interface whether the drive is local and needs the missing
    // driver; a drive that is not local runs `notLocal`, one that needs the driver is offered
    // it first, and then `next` runs.
    void afterDriverCheck(const Drive& drive, QWidget* window, const DriverGate& gate, std::function<void()> notLocal,
                          std::function<void()> next);
    void openNow(const Drive& drive, QWidget* window, DMActionCompletion completion);

};

}  // namespace harbormind
