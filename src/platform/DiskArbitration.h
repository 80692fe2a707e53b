#pragma once

#include <memory>

#include "platform/DiskArbitrationSession.h"

namespace harbormind {

// The disk-arbitration service.
class DiskArbitration {
public:
    virtual ~DiskArbitration() = default;
    // No session (nullptr) when the platform refuses one.
    virtual std::shared_ptr<DiskArbitrationSession> createSession() = 0;
};

}  // namespace harbormind
