#pragma once

#include <memory>

#include "app/drives/DMDriveFlow.h"

class QWidget;

namespace harbormind {

class DMDriveWindowFactory;

// Starts First Aid on a local drive. An NTFS volume (or a BitLocker one holding NTFS) is asked
// about first, check or repair; any other opens the First Aid sheet checking it.
class DMFirstAidFlow : public DMDriveFlow, public std::enable_shared_from_this<DMFirstAidFlow> {
public:
    DMFirstAidFlow(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter,
                   std::shared_ptr<DMDriveWindowFactory> windows);

    void start(const Drive& drive, QWidget* window);

private:
    std::shared_ptr<DMDriveWindowFactory> windows_;
};

}  // namespace harbormind
