#pragma once

#include <memory>
#include <string>

#include "app/drives/DMActionCompletion.h"
#include "app/drives/DMDriveFlow.h"

class QWidget;

namespace harbormind {

// Unmounts and ejects local drives. A plain unmount of a volume in use names what uses it and
// offers to force it; an eject never forces, a disk is only taken away when nothing uses it.
// A failure is shown with the platform's reason.
class DMUnmountFlow : public DMDriveFlow, public std::enable_shared_from_this<DMUnmountFlow> {
public:
    DMUnmountFlow(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter);

    void unmount(const Drive& drive, QWidget* window, DMActionCompletion completion);
    void eject(const Drive& drive, QWidget* window, DMActionCompletion completion);
    // Every external root drive of the local manager, each the way of a single unmount.
    void unmountAllExternalDrives();

private:
    enum class Removal { unmount, eject };
    void remove(Removal removal, const Drive& drive, QWidget* window, DMActionCompletion completion);
    void offerForcedUnmount(const Drive& drive, const std::string& driveName, const std::string& reason,
                            QWidget* window, DMActionCompletion completion);
    void showFailure(Removal removal, const std::string& driveName, const std::string& reason, QWidget* window);

};

}  // namespace harbormind
