#pragma once

#include "platform/DirectoryWalker.h"

namespace harbormind {

// Decides which entries found below a junk place may be offered for deletion. Places that
// other users and running programs share (temporary folders) offer only part of what is in them.
class JunkEntryFilter {
public:
    virtual ~JunkEntryFilter() = default;
    // True when `entry` (looked up without following a link) may be shown and deleted.
    virtual bool offers(const EntryStat& entry) const = 0;
};

}  // namespace harbormind
