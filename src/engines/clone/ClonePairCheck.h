#pragma once

#include <memory>
#include <string>

#include "engines/clone/BlockDevice.h"
#include "engines/clone/CloneSysfs.h"
#include "xpc/DMCloneErrorCode.h"

namespace harbormind::clone {

// Both devices of a clone, opened: the source for reading, the destination for writing, both
// held exclusively (the source unless mounted read-only), so nothing can mount them while the
// copy runs.
struct ClonePair {
    std::unique_ptr<BlockDevice> source;
    std::unique_ptr<BlockDevice> destination;
};

// Decides whether a source may be copied onto a destination, writing nothing. Beyond opening
// both and comparing sector sizes and sizes, it refuses a source mounted read-write, or held by
// a volume mounted out of sight or a mapping (answered as a source that cannot be opened), and a destination that is the source, a
// partition of it or the disk holding it, that shares storage with it (loop devices over one
// file, a device built on the source), that is mounted or used as swap, or is read-only (all
// answered as a destination that cannot be opened, with the reason in `reason`).
class ClonePairCheck {
public:
    ClonePairCheck(const CloneSysfs& sysfs, BlockDevice::Caching caching);

    DMCloneErrorCode check(const std::string& destinDevice, const std::string& sourceDevice, ClonePair& pair,
                           std::string& reason) const;

private:
    DMCloneErrorCode openSource(const std::string& path, ClonePair& pair, std::string& reason) const;
    DMCloneErrorCode claimSource(const std::string& path, ClonePair& pair, std::string& reason) const;
    DMCloneErrorCode openDestination(const std::string& path, const BlockDevice& source, ClonePair& pair,
                                     std::string& reason) const;
    std::string refusal(dev_t destination, dev_t source) const;
    std::string sharedStorage(dev_t destination, dev_t source) const;

    const CloneSysfs& sysfs_;
    BlockDevice::Caching caching_;
};

}  // namespace harbormind::clone
