#pragma once

#include <functional>

namespace harbormind {

// The application-wide actions that the main window's corner menu sends; the application
// delegate carries them out.
class DMApplicationActions {
public:
    virtual ~DMApplicationActions() = default;
    virtual void about_clickWithSender() = 0;
    virtual void help_clickWithSender() = 0;
    virtual void checkForUpdates_clickWithSender() = 0;
    virtual void enableDebugLogging_clickWithSender() = 0;
    virtual bool isDebugLoggingEnabled() const = 0;
    virtual void quit_clickWithSender() = 0;
    virtual void uninstallApp_clickWithSender() {}
    // The driver installation of the menu, and the one a drive view offers (`done` runs on
    // the main queue once it is over, whatever became of it).
    virtual void installKext_clickWithSneder() {}
    virtual void installDriverFromDriveView(std::function<void()> done) {
        if (done) {
            done();
        }
    }
    // "USB Warden": whether it is on, start (tag 0) or stop (any other tag), its settings.
    virtual bool isUSBBlockerOn() const { return false; }
    virtual bool hasUSBBlocker() const { return false; }
    virtual void startUSBBlockerWithSender(int tag) { (void)tag; }
    virtual void settingUSBBlokcerWithSender() {}
    // "Preferences...": the preference window.
    virtual bool hasPreferences() const { return false; }
    virtual void preferences_clickWithSender() {}
};

}  // namespace harbormind
