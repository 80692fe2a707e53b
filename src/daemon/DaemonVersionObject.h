#pragma once

#include <string>

#include "xpc/dbus/interfaces/Daemon_adaptor.h"

namespace harbormind {

// The daemon's own interface, generated from its description: answers the daemon's version.
// `object` is registered by the caller once this is made.
class DaemonVersionObject final : public com::Kestrane::drivemanagerd::Daemon_adaptor {
public:
    DaemonVersionObject(sdbus::IObject& object, std::string version)
        : Daemon_adaptor(object), version_(std::move(version)) {}

private:
    std::string daemonVersion() override { return version_; }

    std::string version_;
};

}  // namespace harbormind
