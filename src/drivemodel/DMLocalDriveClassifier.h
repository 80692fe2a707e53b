#pragma once

#include <functional>
#include <optional>
#include <string>

#include "drivemodel/DMDriveObjectFilesystem.h"
#include "drivemodel/DMDriveObjectPartitionMap.h"
#include "drivemodel/DMLocalDriveClients.h"
#include "drivemodel/DMLocalDriveFields.h"
#include "platform/DiskDescription.h"
#include "xpc/DMLocalDriveStatus.h"

namespace harbormind {

// Reads what the platform and the helper daemon say about one device and turns it into the
// fields a local drive object shows. Some questions wait for the daemon.
class DMLocalDriveClassifier {
public:
    // Whether the logical end of the device's links has children; asked only when needed.
    using HasChildren = std::function<bool()>;

    DMLocalDriveClassifier(std::string bsdName, const DMLocalDriveClients& clients);

    DMLocalDriveFields classify(const HasChildren& logicalHasChildren) const;
    DMDriveObjectFilesystem fileSystem() const;
    DMLocalDriveStatus status(DMDriveObjectFilesystem fileSystem, DMDriveObjectPartitionMap partitionMap,
                              const HasChildren& logicalHasChildren) const;

    // Whether a device is a BitLocker volume, when its description already says so without
    // asking the daemon: where the platform reads volume signatures itself (Linux), a kind or a
    // partition table read from the device settles it. None when the daemon must be asked.
    static std::optional<bool> bitLockerFromSignatures(const std::optional<DiskDescription>& description);

private:
    void readSpace(const std::optional<DiskDescription>& description, DMDriveObjectFilesystem fileSystem,
                   DMLocalDriveFields& fields) const;
    std::optional<DMDriveObjectFilesystem> otherFileSystem(const std::optional<DiskDescription>& description,
                                                           bool encrypted) const;
    DMDriveObjectFilesystem encryptionOr(DMDriveObjectFilesystem candidate, const std::string& kind,
                                          const std::optional<DiskDescription>& description) const;
    DMLocalDriveStatus luksStatus() const;
    static bool showsPartitionTable(const std::optional<DiskDescription>& description);

    const std::string bsdName_;
    const DMLocalDriveClients& clients_;
};

}  // namespace harbormind
