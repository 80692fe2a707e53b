#include "cleaning/NodeDevice.h"

#include "cleaning/DeviceNumber.h"
#include "cleaning/FolderTreeStorage.h"
#include "cleaning/NodeRecord.h"

namespace harbormind {

std::uint64_t NodeDevice::get() const {
    const FolderTreeNode* node = FolderTreeStorage::nodeContaining(this);
    if (const NodeRecord* record = FolderTreeStorage::recordOf(node)) {
        return DeviceNumber::fromIndex(record->device);
    }
    if (auto own = node->ownDevice()) {
        return *own;
    }
    const FolderTreeNode* folder = node->parent;
    return folder != nullptr ? folder->device.get() : std::uint64_t{0};
}

NodeDevice& NodeDevice::operator=(std::uint64_t device) {
    FolderTreeNode* node = FolderTreeStorage::nodeContaining(this);
    if (NodeRecord* record = FolderTreeStorage::recordOf(node)) {
        record->device = DeviceNumber(device).index();
    } else if (node->ownDevice() || get() != device) {
        node->setOwnDevice(device);
    }
    return *this;
}

}  // namespace harbormind
