#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace harbormind {

class DMAlertPresenter;
class PackageManager;
class UserData;

// Uninstalling, after the user confirms: the USB blocker's agent is stopped first (when it
// cannot be, nothing else happens); then this user's settings, keychains and autostart entry
// go; then, when the application came as a package, the package manager removes it (asking
// for administrator rights; the package's own scripts remove the agent's unit); then the
// application ends. When the user's files could not all be removed nothing further happens;
// when the package could not be removed, the user is told and the application stays.
class DMUninstaller final {
public:
    DMUninstaller(std::shared_ptr<DMAlertPresenter> presenter, UserData* userData, PackageManager* packages,
                  std::function<void()> terminate);

    void start(QWidget* window);
    // Stops the user's USB blocker agent; false when it runs on. By default: the unload line,
    // when USB Warden is on.
    void setAgentStop(std::function<bool()> stop) { stopAgent_ = std::move(stop); }
    // The names of the user's saved network drives, which the question names as lost.
    void setSavedNetworkDrives(std::function<std::vector<std::string>()> names) {
        savedNetworkDrives_ = std::move(names);
    }

private:
    std::shared_ptr<DMAlertPresenter> presenter_;
    UserData* userData_;
    PackageManager* packages_;
    std::function<void()> terminate_;
    std::function<bool()> stopAgent_;
    std::function<std::vector<std::string>()> savedNetworkDrives_;
};

}  // namespace harbormind
