#pragma once

#include <cstdint>

#include "drivemodel/DMProgressMessage.h"

namespace harbormind {

// Receives the BitLocker service's progress callbacks: the encryption job registered with the
// wrapper. Called on the daemon connection's thread; the answers go back to the daemon.
class DMBitLockerWrapperDelegate {
public:
    virtual ~DMBitLockerWrapperDelegate() = default;
    // The answer to one progress message (1 after a cancel).
    virtual std::uint64_t progressReceived(const DMProgressMessage& message) = 0;
    virtual bool isContinued() const = 0;
};

}  // namespace harbormind
