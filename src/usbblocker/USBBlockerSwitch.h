#pragma once

#include <functional>
#include <memory>

#include "usbblocker/DMUSBBlockerWrapper.h"
#include "usbblocker/USBBlockerSettings.h"

namespace harbormind {

// Turns "USB Warden" on and off: the daemon installs or removes the agent's start-up file,
// the platform's load and unload lines start and stop the agent, and the switch setting
// follows. Used on the main thread by the windows and by the command line.
class USBBlockerSwitch {
public:
    static constexpr double loadDelay = 0.3;
    static constexpr double unloadDelay = 0.5;

    USBBlockerSwitch(std::shared_ptr<DMUSBBlockerWrapper> wrapper, USBBlockerSettings settings)
        : wrapper_(std::move(wrapper)), settings_(std::move(settings)) {}

    // Asks the daemon for the start-up file. False: nothing changed. True: the switch is on,
    // and 0.3 s later, on the main queue, the agent is loaded and `loaded` hears whether the
    // load line succeeded.
    bool enable(std::function<void(bool succeeded)> loaded);
    // Runs the unload line now; whether it succeeded.
    static bool unloadAgent();
    // Asks the daemon to remove the start-up file; only when it did, the switch goes off.
    bool removeAgentFile();

    const USBBlockerSettings& settings() const { return settings_; }
    const std::shared_ptr<DMUSBBlockerWrapper>& wrapper() const { return wrapper_; }

private:
    static bool runAsUser(const std::string& commandLine);

    std::shared_ptr<DMUSBBlockerWrapper> wrapper_;
    USBBlockerSettings settings_;
};

}  // namespace harbormind
