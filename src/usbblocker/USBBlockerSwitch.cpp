#include "usbblocker/USBBlockerSwitch.h"

#include "platform/CommandTable.h"
#include "platform/Platform.h"
#include "platform/ScriptRunner.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {

bool USBBlockerSwitch::runAsUser(const std::string& commandLine) {
    if (commandLine.empty()) {
        return false;
    }
    auto [succeeded, output] = Platform::current().scripts().run(commandLine, ScriptPrivilege::User);
    if (!succeeded) {
        Log::warning("USB Warden: \"" + commandLine + "\" failed" + (output ? ": " + *output : std::string()));
    }
    return succeeded;
}

bool USBBlockerSwitch::enable(std::function<void(bool succeeded)> loaded) {
    if (!wrapper_->addPlistFile()) {
        return false;
    }
    Dispatch::main().asyncAfter(seconds(loadDelay), [loaded = std::move(loaded)] {
        bool succeeded = runAsUser(Platform::current().commands().loadUSBBlockerAgent());
        if (loaded) {
            loaded(succeeded);
        }
    });
    settings_.setOn(true);
    return true;
}

bool USBBlockerSwitch::unloadAgent() {
    return runAsUser(Platform::current().commands().unloadUSBBlockerAgent());
}

bool USBBlockerSwitch::removeAgentFile() {
    if (!wrapper_->removePlistFile()) {
        return false;
    }
    settings_.setOn(false);
    return true;
}

}  // namespace harbormind
