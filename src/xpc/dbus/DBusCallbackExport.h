#pragma once

#include <memory>
#include <string>

#include "xpc/XPCInterface.h"
#include "xpc/dbus/DBusLink.h"

namespace harbormind {

// Exports the calling wrapper on the application's own connection, so the daemon can call
// back the service's application protocol. Only the owner of the service name may call it.
// Callbacks with a reply run on the global queue (a progress callback may wait for the user);
// output lines run in order on one serial queue.
class DBusCallbackExport {
public:
    // False when `exported` does not answer the service's application protocol.
    static bool install(const std::shared_ptr<DBusLink>& link, const std::string& serviceName,
                        const std::weak_ptr<XPCInterface>& exported);
};

}  // namespace harbormind
