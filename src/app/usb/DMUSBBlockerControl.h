#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "usbblocker/USBBlockerSwitch.h"

class QWidget;

namespace harbormind {

class DMAlertPresenter;
class DMDriveActionManager;
class DMDriveOperations;
class DriveTools;
class USBBLockerWindowController;
class USBBlockerKeyChain;
class USBBlockerSettingEntryWindowController;
class USBBlockerStopWindowController;
class USBDiskList;
class USBSetPasswordWindowController;

// The application's side of "USB Warden": turning it on and off behind its password, opening
// its settings, and white-listing a disk before it is mounted. Every window is a sheet on the
// main window, and each slot holds at most one window.
class DMUSBBlockerControl final {
public:
    struct Services {
        std::shared_ptr<DMAlertPresenter> presenter;
        std::shared_ptr<USBBlockerSwitch> blockerSwitch;
        const USBBlockerKeyChain* keyChain = nullptr;
        USBDiskList* diskList = nullptr;
        DriveTools* driveTools = nullptr;
    };
    // Over the current platform, the shared lists and the daemon.
    static Services platformServices(std::shared_ptr<DMAlertPresenter> presenter);

    DMUSBBlockerControl(Services services, std::function<QWidget*()> mainWindow);
    ~DMUSBBlockerControl();

    bool isOn() const { return services_.blockerSwitch->settings().isOn(); }
    // The menu item's tag: 0 starts, any other stops.
    void startUSBBlockerWithSender(int tag);
    void settingUSBBlokcerWithSender();
    // Before a mount while the blocker is on: `mountGoesOn` runs when the disk is on the
    // white list; otherwise the password adds it, and the mount is not retried.
    void checkWhiteListBeforeMounting(const std::string& bsdName, const std::function<void()>& mountGoesOn);
    // For the drive views: false (after telling the user) when the blocker is on and the
    // drive's disk is known not to be white-listed.
    bool driveMayLoad(const std::string& bsdName);
    // Makes the dispatcher ask this control before it mounts a local drive (the white-list
    // password) and before it opens or cleans one (the guard above).
    void guardDrives(DMDriveActionManager& actions);

    USBSetPasswordWindowController* usbSetPasswordWindowController() const;
    USBBlockerStopWindowController* usbBlockerStopwindowController() const;
    USBBlockerSettingEntryWindowController* usbEntryWindowController() const;
    USBBLockerWindowController* usbBLockerWindowController();

private:
    void start();
    void enable(bool thenOpenSettings);
    void stop();
    void showSettingsWindow();
    USBBlockerSettingEntryWindowController* openEntryWindow(const std::string& tips,
                                                            std::function<void(int code)> ended);
    void notice(const std::string& message);
    void alert(const std::string& text);

    Services services_;
    std::function<QWidget*()> mainWindow_;
    QPointer<USBSetPasswordWindowController> setPasswordWindow_;
    QPointer<USBBlockerStopWindowController> stopWindow_;
    QPointer<USBBlockerSettingEntryWindowController> entryWindow_;
    QPointer<USBBLockerWindowController> settingsWindow_;
};

}  // namespace harbormind
