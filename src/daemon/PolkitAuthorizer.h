#pragma once

#include <memory>

#include <sdbus-c++/sdbus-c++.h>

#include "daemon/DaemonAuthorizer.h"

namespace harbormind {

// Asks polkit on the system bus about the caller's connection, with the action of the kind of
// operation (PolkitActionId), allowing the caller's agent to ask for a password. Root needs no
// asking. Where polkit is not on the bus, `withoutPolkit` decides.
class PolkitAuthorizer final : public DaemonAuthorizer {
public:
    PolkitAuthorizer(sdbus::IConnection& connection, std::shared_ptr<DaemonAuthorizer> withoutPolkit);
    bool authorize(const CallerIdentity& caller, DaemonAction action) override;

private:
    sdbus::IConnection& connection_;
    std::shared_ptr<DaemonAuthorizer> withoutPolkit_;
};

}  // namespace harbormind
