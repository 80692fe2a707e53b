#include "usbblocker/USBBlockerSwitch.h"

#include "platform/CommandTable.h"
#include "platform/Platform.h"
#include "platform/ScriptRunner.h"
#include "support/Dispatch.h"
#include "support/Log.h"
#include "xpc/DMUSBBlockerServerProtocol.h"

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

bool USBBlockerSwitch::loadAgent() {
    return runAsUser(Platform::current().commands().loadUSBBlockerAgent());
}

bool USBBlockerSwitch::unloadAgent() {
    return runAsUser(Platform::current().commands().unloadUSBBlockerAgent());
}

bool USBBlockerSwitch::enable(std::function<void(bool succeeded)> loaded) {
    if (!wrapper_->addPlistFile()) {
        return false;
    }
    // Said on only when the daemon says its guard is on.
    std::optional<USBWardenState> state = wrapper_->state();
    if (!state || !state->on) {
        Log::warning("USB Warden: the daemon installed the agent but does not report its guard on");
        return false;
    }
    Dispatch::main().asyncAfter(seconds(loadDelay), [loaded = std::move(loaded)] {
        bool succeeded = loadAgent();
        if (loaded) {
            loaded(succeeded);
        }
    });
    return true;
}

USBBlockerSwitch::StopResult USBBlockerSwitch::disable(const std::string& password) {
    StopResult result;
    // The unit file must still be there for the unload line to stop the agent.
    result.agentStopped = unloadAgent();
    XPCCodeAnswer answer = wrapper_->disable(password);
    result.off = answer.code == DMUSBBlockerServerProtocol::done;
    if (!result.off) {
        result.reason = DMUSBBlockerWrapper::reason(answer);
        if (result.agentStopped) {
            loadAgent();
            result.agentStopped = false;
        }
    }
    return result;
}

}  // namespace harbormind
