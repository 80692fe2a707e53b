#pragma once

#include "xpc/dbus/interfaces/Daemon_proxy.h"

namespace harbormind {

// The daemon's own interface, generated from its description: `daemonVersion()` asks the
// version, waiting at most 5 s, and throws sdbus::Error when the daemon does not answer.
class DBusDaemonVersionProxy final : public com::Kestrane::drivemanagerd::Daemon_proxy {
public:
    explicit DBusDaemonVersionProxy(sdbus::IProxy& proxy) : Daemon_proxy(proxy) {}
};

}  // namespace harbormind
