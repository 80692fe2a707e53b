#pragma once

#include <cstdint>
#include <string>

#include "xpc/XPCInterface.h"

namespace harbormind {

// Callbacks of the check-disk service: one line of checker output and the check's status.
class DMCheckDiskAppProtocol : public virtual XPCInterface {
public:
    virtual void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) = 0;
};

}  // namespace harbormind
