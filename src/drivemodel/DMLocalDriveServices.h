#pragma once

#include <memory>

namespace harbormind {

class DMBitLockerWrapper;
class DMCoreStorageWrapper;
class DMDeviceCloneWrapper;
class DMLuksWrapper;

// What a local drive object asks of whoever keeps it: the clients through which it reaches
// the helper daemon. The local drive manager gives itself; an object given none uses the
// process-wide clients and is not classified.
class DMLocalDriveServices {
public:
    virtual ~DMLocalDriveServices() = default;
    virtual std::shared_ptr<DMBitLockerWrapper> bitlockerWrapper() const = 0;
    virtual std::shared_ptr<DMCoreStorageWrapper> corestorageWrapper() const = 0;
    virtual std::shared_ptr<DMDeviceCloneWrapper> devicCloenWrapper() const = 0;
    virtual std::shared_ptr<DMLuksWrapper> luksWrapper() const = 0;
};

}  // namespace harbormind
