#pragma once

#include <functional>

#include "config/DMConfigurationEffects.h"

class QWidget;

namespace harbormind {

class DMAppearanceController;

// What the settings change in the application shell. On Linux the Dock icon becomes the
// main window's task-bar entry: with the accessory policy the window is a tool window that
// the task bar leaves out, and the application lives in the tray.
class DMShellEffects final : public DMConfigurationEffects {
public:
    // What the effects act on: the main window (made when first asked for) and the tray
    // icon, both the application's.
    struct Shell {
        std::function<QWidget*()> mainWindow;
        std::function<void()> createStatusItem;
        std::function<void()> removeStatusItem;
        // The theme's controller; none when a picture fixes the palette.
        std::function<DMAppearanceController*()> appearance;
    };
    explicit DMShellEffects(Shell shell);

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
    Shell shell_;
    DMActivationPolicy policy_ = DMActivationPolicy::Regular;
};

}  // namespace harbormind
