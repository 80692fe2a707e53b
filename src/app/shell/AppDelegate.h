#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "app/shell/DMApplicationActions.h"
#include "BuildConfiguration.h"
#include "app/shell/DMLaunchOptions.h"
#include "app/shell/DMWindowPlacement.h"

class QMenu;
class QSystemTrayIcon;

namespace harbormind {

class BLPreferenceWndController;
class DesktopAppearance;
class DMAppearanceController;
class DMAlertPresenter;
class DMConfigurationManager;
class DMDriverInstaller;
class DMLocalDriveManager;
class DMNetworkDriveManager;
class DMShellEffects;
class DMUSBBlockerControl;
class DMUpdatePresenter;
class DMWindowController;

// The application object's delegate: runs the start-up sequence, owns the status item and its
// menu, answers reopen requests and carries out the application-wide menu actions.
class AppDelegate final : public DMApplicationActions {
public:
    AppDelegate();
    ~AppDelegate() override;

    // Runs start-up. Returns an exit status when the application is to end at once, or -1
    // when the event loop is to run.
    int applicationDidFinishLaunching(const QStringList& arguments);
    // The start-up sequence on the platform already in place.
    int finishLaunching(const DMLaunchOptions& options);
    // A second start of the application, or a click on its task-bar entry.
    bool applicationShouldHandleReopen();

    // The About window: the application's icon, name and version; one at a time.
    void about_clickWithSender() override;
    QMessageBox* aboutWindowController() const { return aboutWindowController_.data(); }
    void help_clickWithSender() override;
    // Asks the update service, telling the user when nothing is new.
    void checkForUpdates_clickWithSender() override;
    void enableDebugLogging_clickWithSender() override;
    bool isDebugLoggingEnabled() const override;
    void quit_clickWithSender() override;
    void uninstallApp_clickWithSender() override;
    void installKext_clickWithSneder() override;
    void installDriverFromDriveView(std::function<void()> done) override;
    DMDriverInstaller* driverInstaller();
    bool hasUSBBlocker() const override { return usbBlocker_ != nullptr; }
    bool isUSBBlockerOn() const override;
    void startUSBBlockerWithSender(int tag) override;
    void settingUSBBlokcerWithSender() override;
    bool hasPreferences() const override { return true; }
    // Shows the preference window, made on first use and kept.
    void preferences_clickWithSender() override;
    BLPreferenceWndController* preferenceWindow() const { return preferenceWndController_.get(); }
    // Light, dark or the desktop's scheme, as the preferences say; none under `--palette dark`.
    DMAppearanceController* appearance() const { return appearance_.get(); }
    DMUSBBlockerControl* usbBlocker() const { return usbBlocker_.get(); }
    // Left click shows the main window; the menu offers "Quit".
    void statusItem_clickWithSender(bool rightClick);

    // Creates the status item where the desktop shows them; elsewhere there is none and the
    // window stays the way in.
    void createStatusItem();
    // Whether the desktop has a tray for status items (tests answer for it).
    void setTrayAvailable(std::function<bool()> available) { trayAvailable_ = std::move(available); }
    void removeStatusItem();
    QSystemTrayIcon* statusItem() const { return statusItem_; }
    QMenu* statusItemMenu() const { return statusItemMenu_; }

    std::shared_ptr<DMWindowController> mainWindowController();
    const std::shared_ptr<DMLocalDriveManager>& localDriveManager() const { return localDriveManager_; }

    // The maker's pages; their addresses are this build's choice.
    static constexpr const char* helpURL = "https://www.kestrane.com/harbormind/help";
    static constexpr const char* installFeedbackURL = "https://www.kestrane.com/harbormind/installed";
    static constexpr const char* version = BuildConfiguration::version;
    // A word on this board at launch means another program started the application: the
    // window stays hidden. The board is cleared either way.
    static constexpr const char* namedPasteboard = "com.Kestrane.Zuzad-Ezerade";

private:
    void rebuildStatusMenu();
    void updateQuitOnLastWindowClosed();
    void startUSBBlocker(DMWindowController& controller);
    void startUpdateCheck(bool userInitiated);
    void takeScreenshot();

    DMLaunchOptions options_;
    std::shared_ptr<DMAlertPresenter> presenter_;
    std::shared_ptr<DMShellEffects> effects_;
    std::shared_ptr<DMUpdatePresenter> updatePresenter_;
    DMConfigurationManager* configurationManager_ = nullptr;
    std::shared_ptr<DMWindowController> mainWindowController_;
    // Opens every window centred on the one it belongs to.
    std::unique_ptr<DMWindowPlacement> windowPlacement_;
    std::shared_ptr<DMLocalDriveManager> localDriveManager_;
    std::shared_ptr<DMNetworkDriveManager> networkDriveManager_;
    std::unique_ptr<DMUSBBlockerControl> usbBlocker_;
    std::unique_ptr<DMDriverInstaller> driverInstaller_;
    std::function<bool()> trayAvailable_;
    QPointer<QMessageBox> aboutWindowController_;
    QSystemTrayIcon* statusItem_ = nullptr;
    QMenu* statusItemMenu_ = nullptr;
    std::unique_ptr<BLPreferenceWndController> preferenceWndController_;
    std::unique_ptr<DesktopAppearance> desktopAppearance_;
    std::unique_ptr<DMAppearanceController> appearance_;
};

}  // namespace harbormind
