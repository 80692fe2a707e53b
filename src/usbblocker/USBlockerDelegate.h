#pragma once

#include "platform/DADisk.h"

namespace harbormind {

// Asked, on the main queue, whether an unlisted external disk may mount. `disk` is the volume
// whose mount was refused first; the answer comes back through USBBlocker::allowMount(disk).
class USBlockerDelegate {
public:
    virtual ~USBlockerDelegate() = default;
    virtual void blockerNeedsApproval(const DADisk& disk) = 0;
};

}  // namespace harbormind
