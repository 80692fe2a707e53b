#pragma once

#include <functional>
#include <memory>

class QWidget;

namespace harbormind {

class DMAlertPresenter;
class PackageManager;
class UserData;

// Uninstalling, after the user confirms: this user's settings, keychains and autostart entry
// go first; then, when the application came as a package, the package manager removes it
// (asking for administrator rights); then the application ends. When the user's files could
// not all be removed nothing further happens.
class DMUninstaller final {
public:
    DMUninstaller(std::shared_ptr<DMAlertPresenter> presenter, UserData* userData, PackageManager* packages,
                  std::function<void()> terminate);

    void start(QWidget* window);

private:
    std::shared_ptr<DMAlertPresenter> presenter_;
    UserData* userData_;
    PackageManager* packages_;
    std::function<void()> terminate_;
};

}  // namespace harbormind
