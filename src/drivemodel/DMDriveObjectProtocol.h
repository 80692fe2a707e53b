#pragma once

#include <map>
#include <memory>
#include <string>

#include "drivemodel/DMBaseObjectProtocol.h"
#include "drivemodel/DMDriveObjectActivityIndicator.h"
#include "drivemodel/DMDriveObjectCategory.h"

namespace harbormind {

class DMDriveManagerProtocol;
class DMDriveObjectDelegate;

// A drive in the tree, local or on the network. A manager owns its objects through its
// map; a parent owns its children; the links to the parent, the manager and the delegate
// do not own (they are kept weakly and read back as a shared pointer, empty when gone).
class DMDriveObjectProtocol : public DMBaseObjectProtocol {
public:
    using ChildMap = std::map<std::string, std::shared_ptr<DMDriveObjectProtocol>>;

    virtual std::shared_ptr<DMDriveManagerProtocol> manager() const = 0;
    virtual void setManager(std::weak_ptr<DMDriveManagerProtocol> manager) = 0;
    virtual std::shared_ptr<DMDriveObjectDelegate> delegate() const = 0;
    virtual void setDelegate(std::weak_ptr<DMDriveObjectDelegate> delegate) = 0;
    virtual DMDriveObjectCategory category() const = 0;
    virtual void setCategory(DMDriveObjectCategory category) = 0;
    virtual std::shared_ptr<DMDriveObjectProtocol> parent() const = 0;
    virtual void setParent(std::weak_ptr<DMDriveObjectProtocol> parent) = 0;
    // A copy of the children, keyed by identifier.
    virtual ChildMap children() const = 0;
    virtual void setChildren(ChildMap children) = 0;
    virtual std::shared_ptr<DMDriveObjectProtocol> logicalDriveObj() const = 0;
    virtual std::shared_ptr<DMDriveObjectProtocol> physicalDriveObj() const = 0;
    virtual DMDriveObjectActivityIndicator activityIndicator() const = 0;
    // Re-reads every classified property.
    virtual void update() = 0;
};

}  // namespace harbormind
