#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "usbblocker/USBBlockerSwitch.h"

class QWidget;

namespace harbormind {

class DMAlertPresenter;
class DMDeviceCloneFlow;
class DMDriveActionManager;
class DMDriveObjectProtocol;
class DMDriveOperations;
class DriveTools;
class USBBLockerWindowController;
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
    // white list; otherwise the password adds it (through the daemon), and the mount is not
    // retried.
    void checkWhiteListBeforeMounting(const std::string& bsdName, const std::function<void()>& mountGoesOn);
    // Before a clone while the blocker is on: the destination must be on the white list.
    // `proceed` runs when it is, or once the password has added it; never after a refusal.
    void whiteListBeforeCloning(const std::string& bsdName, std::function<void()> proceed);
    // Puts the disk of `bsdName` on the white list through the daemon; shows the outcome.
    bool addWhiteList(const std::string& bsdName);
    // Whether the sidebar offers "Add whitelist" for the disk of `bsdName`.
    bool offersAddWhiteList(const std::string& bsdName);
    // For the drive views: false (after telling the user) when the blocker is on and the
    // drive's disk is known not to be white-listed.
    bool driveMayLoad(const std::string& bsdName);
    // Makes the dispatcher ask this control before it mounts a local drive (the white-list
    // password) and before it opens or cleans one (the guard above), and the clone flow
    // before it writes to a destination.
    void guardDrives(DMDriveActionManager& actions, DMDeviceCloneFlow& clone);
    // Whether the sidebar offers "Add whitelist" for `drive`: a local drive on an external
    // disk that is not listed yet, while the blocker is on.
    bool offersWhiteListFor(const std::shared_ptr<DMDriveObjectProtocol>& drive);

    USBSetPasswordWindowController* usbSetPasswordWindowController() const;
    USBBlockerStopWindowController* usbBlockerStopwindowController() const;
    USBBlockerSettingEntryWindowController* usbEntryWindowController() const;
    USBBLockerWindowController* usbBLockerWindowController();

private:
    void start();
    void enable(bool thenOpenSettings, const std::string& password);
    void stop();
    // `ended` hears the sheet's code and the password the window accepted (empty if none).
    USBBlockerSettingEntryWindowController* openEntryWindow(
        const std::string& tips, std::function<void(int code, const std::string& password)> ended);
    void notice(const std::string& message);
    // Adds the entry through the daemon and tells the user what happened.
    bool addEntry(const std::string& name, std::int64_t size);
    void showSettingsWindow(const std::string& password);
    void alert(const std::string& text);

    Services services_;
    std::function<QWidget*()> mainWindow_;
    QPointer<USBSetPasswordWindowController> setPasswordWindow_;
    QPointer<USBBlockerStopWindowController> stopWindow_;
    QPointer<USBBlockerSettingEntryWindowController> entryWindow_;
    QPointer<USBBLockerWindowController> settingsWindow_;
};

}  // namespace harbormind
