#include "cleaning/NodeCount.h"

#include <stdexcept>

#include "cleaning/FolderTreeStorage.h"
#include "cleaning/NodeRecord.h"

namespace harbormind {

namespace {

// The record's fields are unaligned, so they are read and written by value, never by reference.
template <NodeCountKind Kind>
std::int32_t field(const NodeRecord& record) {
    if constexpr (Kind == NodeCountKind::Files) {
        return record.fileCount;
    } else {
        return record.folderCount;
    }
}

template <NodeCountKind Kind>
void setField(NodeRecord& record, std::int32_t value) {
    if constexpr (Kind == NodeCountKind::Files) {
        record.fileCount = value;
    } else {
        record.folderCount = value;
    }
}

}  // namespace

template <NodeCountKind Kind>
NodeCount<Kind>& NodeCount<Kind>::operator=(std::int64_t value) {
    NodeRecord* record = FolderTreeStorage::recordOf(FolderTreeStorage::nodeContaining(this));
    if (record != nullptr) {
        setField<Kind>(*record, static_cast<std::int32_t>(value));
    } else if (value != 0) {
        throw std::logic_error("an entry that is no folder counts no descendants");
    }
    return *this;
}

template <NodeCountKind Kind>
std::int32_t NodeCount<Kind>::get() const {
    NodeRecord* record = FolderTreeStorage::recordOf(FolderTreeStorage::nodeContaining(this));
    return record != nullptr ? field<Kind>(*record) : 0;
}

template class NodeCount<NodeCountKind::Files>;
template class NodeCount<NodeCountKind::Folders>;

}  // namespace harbormind
