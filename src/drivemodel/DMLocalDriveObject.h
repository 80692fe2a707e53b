#pragma once

#include "platform/DiskDescription.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "drivemodel/DMDriveObjectFilesystem.h"
#include "drivemodel/DMDriveObjectInterfaceType.h"
#include "drivemodel/DMDriveObjectLocation.h"
#include "drivemodel/DMDriveObjectPartitionMap.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "drivemodel/DMDriveObjectType.h"
#include "drivemodel/DMLocalDriveClients.h"
#include "drivemodel/DMLocalDriveFields.h"
#include "drivemodel/DMLocalDriveServices.h"
#include "xpc/DMLocalDriveStatus.h"

namespace harbormind {

// One device that disk arbitration reports: a whole disk, a partition, a synthesized
// container disk, a volume or a disk image. It is known by its device name alone and holds
// no platform handle: classified fields are re-read by update(), and the computed members
// read the platform on every access (some wait for the helper daemon, so they are not for
// the user-interface thread). Fields and links are guarded by the object's own lock.
class DMLocalDriveObject : public DMDriveObjectProtocol, public std::enable_shared_from_this<DMLocalDriveObject> {
public:
    DMLocalDriveObject(std::string identifier, std::weak_ptr<DMDriveManagerProtocol> manager,
                       std::weak_ptr<const DMLocalDriveServices> services);
    static std::shared_ptr<DMLocalDriveObject> create(std::string identifier,
                                                      std::weak_ptr<DMDriveManagerProtocol> manager = {},
                                                      std::weak_ptr<const DMLocalDriveServices> services = {});

    // DMBaseObjectProtocol
    std::string identifier() const override;
    void setIdentifier(std::string identifier) override;
    std::string name() const override;
    void setName(std::string name) override;
    std::string icon() const override;
    bool isActive() const override;
    bool isHidden() const override;

    // DMDriveObjectProtocol
    std::shared_ptr<DMDriveManagerProtocol> manager() const override;
    void setManager(std::weak_ptr<DMDriveManagerProtocol> manager) override;
    std::shared_ptr<DMDriveObjectDelegate> delegate() const override;
    void setDelegate(std::weak_ptr<DMDriveObjectDelegate> delegate) override;
    DMDriveObjectCategory category() const override;
    void setCategory(DMDriveObjectCategory category) override;
    std::shared_ptr<DMDriveObjectProtocol> parent() const override;
    void setParent(std::weak_ptr<DMDriveObjectProtocol> parent) override;
    ChildMap children() const override;
    void setChildren(ChildMap children) override;
    // The end of the chain of stored logical (physical) links; the object itself without one.
    std::shared_ptr<DMDriveObjectProtocol> logicalDriveObj() const override;
    std::shared_ptr<DMDriveObjectProtocol> physicalDriveObj() const override;
    DMDriveObjectActivityIndicator activityIndicator() const override;
    void update() override;

    // Links. A physical store owns the disks synthesized on it; the way back is weak. A
    // store may carry several (an encrypted volume holding a volume group's root and swap):
    // each is kept, in the order they were linked, and the first is the logical link.
    std::shared_ptr<DMLocalDriveObject> logicalLink() const;
    std::vector<std::shared_ptr<DMLocalDriveObject>> logicalLinks() const;
    void addLogicalLink(std::shared_ptr<DMLocalDriveObject> logical);
    // Drops the link to this object only; a link to another synthesized disk stays.
    void removeLogicalLink(const std::string& identifier);
    void removeLogicalLinks();
    std::shared_ptr<DMLocalDriveObject> physicalLink() const;
    void setPhysicalLink(std::weak_ptr<DMLocalDriveObject> physical);
    void addChild(const std::shared_ptr<DMDriveObjectProtocol>& child);
    void removeChild(const std::string& identifier);
    bool hasChildren() const;

    // Classified fields, as last read by update().
    std::int64_t capacity() const;
    std::optional<std::int64_t> used() const;
    std::optional<std::int64_t> free() const;
    DMDriveObjectLocation location() const;
    DMDriveObjectInterfaceType interfaceType() const;
    DMDriveObjectType type() const;
    DMDriveObjectPartitionMap partitionMap() const;
    DMDriveObjectFilesystem fileSystem() const;
    DMLocalDriveStatus status() const;

    // For a BitLocker volume the device through which the daemon mounts its contents
    // (empty when none); the identifier for every other object.
    std::string effectiveBSDName() const;
    std::optional<std::string> mountPoint() const;
    std::string kindIcon() const;
    bool isWhole() const;
    bool isMounted() const;
    bool canMount() const;
    bool canUnmount() const;
    bool canEject() const;
    bool canLock() const;
    bool canUnlock() const;
    bool canEncrypt() const;
    bool isCloneInterrupted() const;
    DMDriveObjectFilesystem bitLockerFileSystem() const;
    // A LUKS volume whose header is not on the device but kept apart by the daemon: the
    // device shows no signature of its own, and it opens only with that header.
    bool hasDetachedHeader() const;
    // Whether a device's description already tells it is a BitLocker volume; none when the
    // daemon must be asked (see DMLocalDriveClassifier).
    static std::optional<bool> bitLockerFromSignatures(const std::optional<DiskDescription>& description);

private:
    std::shared_ptr<DMLocalDriveObject> logicalObject() const;
    bool logicalHasChildren() const;

    mutable std::mutex mutex_;
    std::weak_ptr<DMDriveManagerProtocol> manager_;
    const DMLocalDriveClients clients_;
    std::weak_ptr<DMDriveObjectDelegate> delegate_;
    DMDriveObjectCategory category_ = DMDriveObjectCategory::local;
    std::weak_ptr<DMDriveObjectProtocol> parent_;
    ChildMap children_;
    std::vector<std::shared_ptr<DMLocalDriveObject>> logicalDriveObjs_;
    std::weak_ptr<DMLocalDriveObject> physicalDriveObj_;
    std::string identifier_;
    DMLocalDriveFields fields_;
};

}  // namespace harbormind
