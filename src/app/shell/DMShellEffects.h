#pragma once

#include <functional>

#include "config/DMConfigurationEffects.h"

namespace harbormind {

class AppDelegate;

// What the settings change in the application shell. On Linux the Dock icon becomes the
// main window's task-bar entry: with the accessory policy the window is a tool window that
// the task bar leaves out, and the application lives in the tray.
class DMShellEffects final : public DMConfigurationEffects {
public:
    explicit DMShellEffects(AppDelegate& application);

    std::vector<std::shared_ptr<DMWindowHandle>> visibleWindows() override;
    void setActivationPolicy(DMActivationPolicy policy) override;
    void activateIgnoringOtherApps() override;
    void createStatusItem() override;
    void removeStatusItem() override;
    void setIgnoreHibernateFile(bool flag) override;
    void setNtfsDebugLogging(bool flag) override;
    void setAppearance(DMAppearance appearance) override;

    DMActivationPolicy activationPolicy() const { return policy_; }

private:
    AppDelegate& application_;
    DMActivationPolicy policy_ = DMActivationPolicy::Regular;
};

}  // namespace harbormind
