#pragma once

#include "daemon/CallerIdentity.h"
#include "daemon/DaemonAction.h"

namespace harbormind {

// Decides whether a caller may make a call of a kind.
class DaemonAuthorizer {
public:
    virtual ~DaemonAuthorizer() = default;
    virtual bool authorize(const CallerIdentity& caller, DaemonAction action) = 0;
};

}  // namespace harbormind
