#pragma once

#include <memory>

#include "app/drives/DMActionCompletion.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveFlow.h"

class QWidget;

namespace harbormind {

class DMDriveWindowFactory;

// The actions on a saved network drive: open, connect, disconnect, edit and remove.
class DMNetworkDriveFlow : public DMDriveFlow {
public:
    DMNetworkDriveFlow(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter,
                       std::shared_ptr<DMDriveWindowFactory> windows);

    // Runs `action` on a drive of the network manager; any other drive, or another action,
    // does nothing.
    void perform(DMDriveAction action, const Drive& drive, QWidget* window, DMActionCompletion completion);

private:
    void connect(const Drive& drive, DMActionCompletion completion);
    void disconnect(const Drive& drive, QWidget* window, DMActionCompletion completion);
    void remove(const Drive& drive, QWidget* window);

    std::shared_ptr<DMDriveWindowFactory> windows_;
};

}  // namespace harbormind
