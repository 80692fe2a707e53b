#include "app/shell/DMPlatformSetup.h"

#include "app/shell/DMLaunchOptions.h"
#include "platform/linux/http/CurlHttpClient.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/desktop/PortalDesktopAppearance.h"
#include "platform/Platform.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimPlatform.h"
#include "usbblocker/InProcessListsChange.h"
#include "xpc/dbus/DBusXPCTransport.h"
#include "xpc/XPCTransport.h"

namespace harbormind {

bool DMPlatformSetup::install(const DMLaunchOptions& options, std::string& error) {
    if (options.platform == "sim") {
        SimLoadResult loaded = SimPlatform::load(options.scenario);
        if (!loaded) {
            error = options.scenario + ": " + loaded.error;
            return false;
        }
        auto daemon = std::make_shared<InProcessDaemon>(loaded.platform->daemonAnswers());
        Platform::setCurrent(loaded.platform);
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
        InProcessListsChange::bind(daemon->usbWarden());
        return true;
    }
    // The helper daemon is reached over the system bus.
    auto platform = std::make_shared<LinuxPlatform>();
    platform->setHttpClient(std::make_unique<CurlHttpClient>());
    Platform::setCurrent(platform);
    XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
    return true;
}

std::unique_ptr<DesktopAppearance> DMPlatformSetup::desktopAppearance(const DMLaunchOptions& options) {
    if (options.platform == "sim") {
        return nullptr;
    }
    return std::make_unique<PortalDesktopAppearance>();
}

}  // namespace harbormind
