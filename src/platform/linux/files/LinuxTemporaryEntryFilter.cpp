#include "platform/linux/files/LinuxTemporaryEntryFilter.h"

namespace harbormind {

LinuxTemporaryEntryFilter::LinuxTemporaryEntryFilter(std::uint32_t owner, std::int64_t nowSeconds)
    : owner_(owner), newestOffered_(nowSeconds - quietSeconds) {}

bool LinuxTemporaryEntryFilter::offers(const EntryStat& entry) const {
    switch (entry.kind) {
    case EntryKind::Regular:
    case EntryKind::Directory:
    case EntryKind::SymbolicLink:
        break;
    default:
        return false;
    }
    return entry.owner == owner_ && entry.modifiedSeconds <= newestOffered_;
}

}  // namespace harbormind
