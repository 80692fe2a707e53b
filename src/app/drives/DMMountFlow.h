#pragma once

#include <memory>
#include <string>

#include "app/drives/DMActionCompletion.h"
#include "app/drives/DMOperationResult.h"
#include "app/drives/DMDriveFlow.h"

class QWidget;

namespace harbormind {

// Mounts a local drive. An NTFS volume goes through the helper daemon when the driver is
// installed, and is looked at again a little later: one left read-only because Windows
// hibernated on it is mounted once more ignoring the hibernation file (when the setting allows
// it), and one that stays read-only is explained to the user.
class DMMountFlow : public DMDriveFlow, public std::enable_shared_from_this<DMMountFlow> {
public:
    static constexpr double firstCheckDelay = 1.5;
    static constexpr double secondCheckDelay = 3.0;
    // The maker's page that explains checking an NTFS disk before opening it read-write.
    static constexpr const char* helpURL = "https://www.kestrane.com/harbormind/help/ntfs#check-disk";

    DMMountFlow(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter);

    // `window` carries the sheets; `completion` learns the code on the main queue.
    void mount(const Drive& drive, QWidget* window, DMActionCompletion completion);

private:
    void checkNtfsAccess(const Drive& drive, QWidget* window, DMActionCompletion completion, bool afterRemount);
    void remountIgnoringHibernation(const Drive& drive, QWidget* window, DMActionCompletion completion);
    // A failed mount goes to the caller's completion with its code and the daemon's reason,
    // which says it; without a completion the alert is shown here.
    void reportMountFailure(const DMOperationResult& result, QWidget* window, const DMActionCompletion& completion);
    void showReadOnlyAlert(const std::string& driveName, QWidget* window);

};

}  // namespace harbormind
