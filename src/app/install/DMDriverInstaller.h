#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/install/DMMissingPieces.h"
#include "app/install/DMPermissionGuideWindow.h"

class QWidget;

namespace harbormind {

class DMAlertPresenter;
class PackageManager;

// Installs the read-write NTFS driver through the package manager (an administrator prompt),
// checks again, and shows the guide to whatever is still missing.
class DMDriverInstaller final {
public:
    struct Services {
        std::shared_ptr<DMAlertPresenter> presenter;
        PackageManager* packages = nullptr;
        std::function<bool()> driverInstalled;
        // Why the helper service could not be reached; none while it answers.
        std::function<std::optional<std::string>()> helperFailure;
        std::function<QWidget*()> window;
    };
    // Over the current platform and the daemon's reachability.
    static Services platformServices(std::shared_ptr<DMAlertPresenter> presenter,
                                     std::function<QWidget*()> window);

    explicit DMDriverInstaller(Services services);
    ~DMDriverInstaller();

    DMMissingPieces missingPieces() const;
    // From the menu: installs a missing driver, then tells that it worked or shows the guide.
    void installFromMenu();
    // From a drive view: installs; when the driver is still missing, offers to do it by hand
    // (the guide); otherwise shows the guide only when the helper service is missing.
    void installFromDriveView(std::function<void()> done);
    // The guide, replacing one still open.
    void showGuide();
    DMPermissionGuideWindow* guide() const { return guide_.data(); }

private:
    // Installs away from the window, then calls `then` on the main queue.
    void install(std::function<void()> then);

    Services services_;
    QPointer<DMPermissionGuideWindow> guide_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace harbormind
