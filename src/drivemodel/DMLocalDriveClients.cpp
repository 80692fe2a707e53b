#include "drivemodel/DMLocalDriveClients.h"

#include "drivemodel/DMBitLockerWrapper.h"
#include "drivemodel/DMCoreStorageWrapper.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMLuksWrapper.h"

namespace harbormind {

DMLocalDriveClients::DMLocalDriveClients(std::weak_ptr<const DMLocalDriveServices> services)
    : services_(std::move(services)) {}

bool DMLocalDriveClients::expired() const {
    return services_.expired();
}

std::shared_ptr<DMBitLockerWrapper> DMLocalDriveClients::bitlocker() const {
    auto owner = services_.lock();
    return owner ? owner->bitlockerWrapper() : DMBitLockerWrapper::shared();
}

std::shared_ptr<DMCoreStorageWrapper> DMLocalDriveClients::corestorage() const {
    auto owner = services_.lock();
    return owner ? owner->corestorageWrapper() : DMCoreStorageWrapper::shared();
}

std::shared_ptr<DMLuksWrapper> DMLocalDriveClients::luks() const {
    auto owner = services_.lock();
    return owner ? owner->luksWrapper() : nullptr;
}

std::shared_ptr<DMDeviceCloneWrapper> DMLocalDriveClients::deviceClone() const {
    auto owner = services_.lock();
    return owner ? owner->devicCloenWrapper() : DMDeviceCloneWrapper::shared();
}

}  // namespace harbormind
