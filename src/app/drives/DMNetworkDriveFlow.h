#pragma once

#include <memory>

#include "app/drives/DMActionCompletion.h"
#include "app/drives/DMDriveAction.h"

class QWidget;

namespace harbormind {

class DMAlertPresenter;
class DMDriveObjectProtocol;
class DMDriveOperations;
class DMDriveWindowFactory;

// The actions on a saved network drive: open, connect, disconnect, edit and remove.
class DMNetworkDriveFlow {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;

    DMNetworkDriveFlow(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter,
                       std::shared_ptr<DMDriveWindowFactory> windows);

    // Runs `action` on a drive of the network manager; any other drive, or another action,
    // does nothing.
    void perform(DMDriveAction action, const Drive& drive, QWidget* window, DMActionCompletion completion);

private:
    void connect(const Drive& drive, DMActionCompletion completion);
    void disconnect(const Drive& drive, QWidget* window, DMActionCompletion completion);
    void remove(const Drive& drive, QWidget* window);

    std::shared_ptr<DMDriveOperations> operations_;
    std::shared_ptr<DMAlertPresenter> presenter_;
    std::shared_ptr<DMDriveWindowFactory> windows_;
};

}  // namespace harbormind
