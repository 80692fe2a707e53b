#pragma once

#include <QStringList>
#include <memory>
#include <string>

#include "app/DMApplicationActions.h"
#include "BuildConfiguration.h"
#include "app/DMLaunchOptions.h"

class QMenu;
class QSystemTrayIcon;

namespace harbormind {

class BLPreferenceWndController;
class DMAlertPresenter;
class DMConfigurationManager;
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
    // A second start of the application, or a click on its task-bar entry.
    bool applicationShouldHandleReopen();

    void about_clickWithSender() override;
    void help_clickWithSender() override;
    // Asks the update service, telling the user when nothing is new.
    void checkForUpdates_clickWithSender() override;
    void enableDebugLogging_clickWithSender() override;
    bool isDebugLoggingEnabled() const override;
    void quit_clickWithSender() override;
    bool hasUSBBlocker() const override { return usbBlocker_ != nullptr; }
    bool isUSBBlockerOn() const override;
    void startUSBBlockerWithSender(int tag) override;
    void settingUSBBlokcerWithSender() override;
    bool hasPreferences() const override { return true; }
    // Shows the preference window, made on first use and kept.
    void preferences_clickWithSender() override;
    BLPreferenceWndController* preferenceWindow() const { return preferenceWndController_.get(); }
    DMUSBBlockerControl* usbBlocker() const { return usbBlocker_.get(); }
    // Left click shows the main window; the menu offers "Quit".
    void statusItem_clickWithSender(bool rightClick);

    void createStatusItem();
    void removeStatusItem();
    QSystemTrayIcon* statusItem() const { return statusItem_; }
    QMenu* statusItemMenu() const { return statusItemMenu_; }

    std::shared_ptr<DMWindowController> mainWindowController();
    const std::shared_ptr<DMLocalDriveManager>& localDriveManager() const { return localDriveManager_; }

    // The maker's pages; their addresses are this build's choice.
    static constexpr const char* helpURL = "https://www.kestrane.com/harbormind/help";
    static constexpr const char* installFeedbackURL = "https://www.kestrane.com/harbormind/installed";
    static constexpr const char* version = BuildConfiguration::version;

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
    std::shared_ptr<DMLocalDriveManager> localDriveManager_;
    std::shared_ptr<DMNetworkDriveManager> networkDriveManager_;
    std::unique_ptr<DMUSBBlockerControl> usbBlocker_;
    QSystemTrayIcon* statusItem_ = nullptr;
    QMenu* statusItemMenu_ = nullptr;
    std::unique_ptr<BLPreferenceWndController> preferenceWndController_;
};

}  // namespace harbormind
