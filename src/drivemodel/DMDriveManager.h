#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "drivemodel/DMDriveManagerDelegateProtocol.h"
#include "drivemodel/DMDriveManagerProtocol.h"

namespace harbormind {

// The one place through which the application reaches its drive managers. Registering a
// manager hands it the current delegate and starts it; the facade forwards no events itself.
// Managers are keyed by their type name followed directly by their tag.
class DMDriveManager {
public:
    using ManagerMap = std::map<std::string, std::shared_ptr<DMDriveManagerProtocol>>;

    static DMDriveManager& shared();

    // `register` is a keyword in C++, hence the longer names.
    void registerManager(const std::shared_ptr<DMDriveManagerProtocol>& manager, const std::string& tag);
    void unregisterManager(const std::shared_ptr<DMDriveManagerProtocol>& manager);

    // The manager registered as `Manager` under `tag`, or none. `Manager::staticTypeName()`
    // gives the key's type name.
    template <typename Manager>
    std::shared_ptr<Manager> manager(const std::string& tag) const {
        return std::dynamic_pointer_cast<Manager>(manager(Manager::staticTypeName(), tag));
    }
    std::shared_ptr<DMDriveManagerProtocol> manager(const std::string& typeName, const std::string& tag) const;

    std::shared_ptr<DMDriveManagerDelegateProtocol> delegate() const;
    // Reaches managers registered afterwards only.
    void setDelegate(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate);
    std::string filter() const;
    // Stores the text and copies it into every registered manager.
    void setFilter(std::string filter);
    ManagerMap managerMap() const;

private:
    mutable std::mutex mutex_;
    std::weak_ptr<DMDriveManagerDelegateProtocol> delegate_;
    ManagerMap managerMap_;
    std::string filter_;
};

}  // namespace harbormind
