#pragma once

#include <functional>
#include <memory>
#include <string>

#include "usbblocker/DMUSBBlockerWrapper.h"
#include "usbblocker/USBBlockerSettings.h"

namespace harbormind {

// Turns "USB Warden" on and off: the daemon turns its guard on or off (and installs or
// removes the agent's start-up file), the platform's load and unload lines start and stop the
// user's agent, which asks about new disks. Used on the main thread by the windows and by the
// command line.
class USBBlockerSwitch {
public:
    static constexpr double loadDelay = 0.3;
    static constexpr double unloadDelay = 0.5;

    // What turning it off did.
    struct StopResult {
        bool off = false;           // the daemon's guard is off
        bool agentStopped = false;  // the user's agent was stopped
        std::string reason;         // why not, when not off
    };

    explicit USBBlockerSwitch(std::shared_ptr<DMUSBBlockerWrapper> wrapper)
        : wrapper_(std::move(wrapper)), settings_(wrapper_) {}

    // Asks the daemon to turn the guard on. False: it is not on. True: the daemon says its
    // guard is on, and 0.3 s later, on the main queue, the agent is loaded and `loaded` hears
    // whether the load line succeeded.
    bool enable(std::function<void(bool succeeded)> loaded);
    // Stops the agent, then has the daemon turn the guard off with `password`. When the
    // daemon refuses, the agent is started again, so the user is still asked about new disks.
    StopResult disable(const std::string& password);

    static bool loadAgent();
    // Runs the unload line now; whether it succeeded.
    static bool unloadAgent();

    const USBBlockerSettings& settings() const { return settings_; }
    const std::shared_ptr<DMUSBBlockerWrapper>& wrapper() const { return wrapper_; }

private:
    static bool runAsUser(const std::string& commandLine);

    std::shared_ptr<DMUSBBlockerWrapper> wrapper_;
    USBBlockerSettings settings_;
};

}  // namespace harbormind
