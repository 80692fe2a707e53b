#pragma once

#include <memory>

namespace harbormind {

class DMAlertPresenter;
class DMDriveObjectProtocol;
class DMDriveOperations;

// What each of the dispatcher's flows works with: the drive operations, made away from the
// user-interface thread, and the presenter of its alerts.
class DMDriveFlow {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;

protected:
    DMDriveFlow(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter)
        : operations_(std::move(operations)), presenter_(std::move(presenter)) {}
    ~DMDriveFlow() = default;

    std::shared_ptr<DMDriveOperations> operations_;
    std::shared_ptr<DMAlertPresenter> presenter_;
};

}  // namespace harbormind
