#pragma once

#include <cstdint>

#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// Callbacks of the BitLocker service into the application: encryption progress, and
// whether the job should go on.
class DMBitLockerAppProtocol : public virtual XPCInterface {
public:
    // The reply a progress report gets when the application could not be asked (it is gone,
    // or the call failed). It is never a go-ahead.
    static constexpr std::int64_t unanswered = -1;

    virtual void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current,
                                          std::int64_t error, XPCIntReply reply) = 0;
    virtual void continuedWithReply(XPCBoolReply reply) = 0;
};

}  // namespace harbormind
