#pragma once

#include <memory>

#include <sdbus-c++/sdbus-c++.h>

#include "daemon/DaemonAuthorizer.h"

namespace harbormind {

// Asks polkit on the system bus about the caller's connection, with our two actions:
// questions (allowed to active local sessions) and actions (an administrator, remembered for
// a while). Root needs no asking. Where polkit is not on the bus, `withoutPolkit` decides.
class PolkitAuthorizer final : public DaemonAuthorizer {
public:
    static constexpr const char* queryAction = "com.kestrane.drivemanagerd.query";
    static constexpr const char* actAction = "com.kestrane.drivemanagerd.act";
    static constexpr const char* mountAction = "com.kestrane.drivemanagerd.mount";

    PolkitAuthorizer(sdbus::IConnection& connection, std::shared_ptr<DaemonAuthorizer> withoutPolkit);
    bool authorize(const CallerIdentity& caller, DaemonAction action) override;

private:
    sdbus::IConnection& connection_;
    std::shared_ptr<DaemonAuthorizer> withoutPolkit_;
};

}  // namespace harbormind
