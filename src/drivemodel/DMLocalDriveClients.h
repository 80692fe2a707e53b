#pragma once

#include <memory>

#include "drivemodel/DMLocalDriveServices.h"

namespace harbormind {

class DMBitLockerWrapper;
class DMCoreStorageWrapper;
class DMDeviceCloneWrapper;
class DMLuksWrapper;

// The clients a local drive object reaches the helper daemon through: those of whoever keeps
// it, or, once that keeper is gone (or there never was one), the process-wide ones.
class DMLocalDriveClients {
public:
    explicit DMLocalDriveClients(std::weak_ptr<const DMLocalDriveServices> services);

    // No keeper: the object is not classified.
    bool expired() const;
    std::shared_ptr<DMBitLockerWrapper> bitlocker() const;
    std::shared_ptr<DMCoreStorageWrapper> corestorage() const;
    std::shared_ptr<DMDeviceCloneWrapper> deviceClone() const;
    // Without a keeper there is nobody to ask: no client, and every LUKS question is no.
    std::shared_ptr<DMLuksWrapper> luks() const;

private:
    const std::weak_ptr<const DMLocalDriveServices> services_;
};

}  // namespace harbormind
