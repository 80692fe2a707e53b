#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "drivemodel/DMCompletion.h"

namespace harbormind {

class DMDriveManagerDelegateProtocol;
class DMDriveObjectProtocol;

// A source of drives (local disks, network shares). It owns its objects through
// `driveObjs`; `rootObjs` lists the objects without a parent in order of appearance.
class DMDriveManagerProtocol {
public:
    using DriveMap = std::map<std::string, std::shared_ptr<DMDriveObjectProtocol>>;
    using DriveList = std::vector<std::shared_ptr<DMDriveObjectProtocol>>;

    virtual ~DMDriveManagerProtocol() = default;

    // The unqualified class name; the drive manager facade keys managers by it.
    virtual std::string typeName() const = 0;

    virtual std::shared_ptr<DMDriveManagerDelegateProtocol> delegate() const = 0;
    virtual void setDelegate(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate) = 0;
    // Copies taken under the manager's lock, safe to read from any thread.
    virtual DriveMap driveObjs() const = 0;
    virtual void setDriveObjs(DriveMap driveObjs) = 0;
    virtual DriveList rootObjs() const = 0;
    virtual void setRootObjs(DriveList rootObjs) = 0;
    // The search text; empty means no filter.
    virtual std::string filter() const = 0;
    virtual void setFilter(std::string filter) = 0;

    virtual void start() = 0;
    virtual void mount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) = 0;
    virtual void unmount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) = 0;
    virtual void open(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) = 0;
};

}  // namespace harbormind
