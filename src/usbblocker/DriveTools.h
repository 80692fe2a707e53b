#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/DADisk.h"
#include "platform/DeviceRegistry.h"
#include "platform/DiskArbitrationSession.h"
#include "platform/WholeDiskNames.h"
#include "usbblocker/Drive.h"

namespace harbormind {

// Turns any disk, partition or volume into the list entry of the physical whole disk that
// carries it, by walking the device registry up to the block storage driver.
class DriveTools {
public:
    using SessionFactory = std::function<std::shared_ptr<DiskArbitrationSession>()>;

    static constexpr const char* ioClassKey = "IOClass";
    static constexpr const char* bsdNameKey = "BSD Name";
    static constexpr const char* blockStorageDriverClass = "IOBlockStorageDriver";

    // Over the current platform; its session is made on first use.
    static DriveTools& shared();

    // `names` may be null: names of the form disk4s2 then give disk4.
    DriveTools(SessionFactory sessionFactory, DeviceRegistry& registry, WholeDiskNames* names);

    std::optional<std::string> wholeDiskBSDName(const std::string& bsdName);
    std::optional<Drive> drive(const std::optional<std::string>& bsdName);
    std::optional<Drive> drive(const DADisk& disk);

    // The whole disk's name as the device name spells it (disk4s2 -> disk4), no registry walk.
    std::optional<std::string> shortKey(const std::string& bsdName);
    // The whole disk's name found through the registry, starting from the short key.
    std::optional<std::string> resolvedKey(const DADisk& disk);

    std::shared_ptr<DiskArbitrationSession> session();

private:
    SessionFactory sessionFactory_;
    DeviceRegistry& registry_;
    WholeDiskNames* names_;
    std::once_flag sessionOnce_;
    std::shared_ptr<DiskArbitrationSession> session_;
};

}  // namespace harbormind
