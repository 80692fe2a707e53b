#include "drivemodel/DMDriveManager.h"

#include <vector>

namespace harbormind {

DMDriveManager& DMDriveManager::shared() {
    // Never destroyed: managers may still report while the process exits.
    static auto* instance = new DMDriveManager();
    return *instance;
}

void DMDriveManager::registerManager(const std::shared_ptr<DMDriveManagerProtocol>& manager, const std::string& tag) {
    if (!manager) {
        return;
    }
    std::weak_ptr<DMDriveManagerDelegateProtocol> delegate;
    {
        std::lock_guard lock(mutex_);
        delegate = delegate_;
    }
    manager->setDelegate(delegate);
    manager->start();
    std::lock_guard lock(mutex_);
    managerMap_[manager->typeName() + tag] = manager;
}

void DMDriveManager::unregisterManager(const std::shared_ptr<DMDriveManagerProtocol>& manager) {
    std::shared_ptr<DMDriveManagerProtocol> found;
    {
        std::lock_guard lock(mutex_);
        for (auto it = managerMap_.begin(); it != managerMap_.end(); ++it) {
            if (it->second == manager) {
                found = it->second;
                managerMap_.erase(it);
                break;
            }
        }
    }
    if (found) {
        found->setDelegate({});
    }
}

std::shared_ptr<DMDriveManagerProtocol> DMDriveManager::manager(const std::string& typeName,
                                                                const std::string& tag) const {
    std::lock_guard lock(mutex_);
    auto it = managerMap_.find(typeName + tag);
    if (it == managerMap_.end() || it->second->typeName() != typeName) {
        return nullptr;
    }
    return it->second;
}

std::shared_ptr<DMDriveManagerDelegateProtocol> DMDriveManager::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void DMDriveManager::setDelegate(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

std::string DMDriveManager::filter() const {
    std::lock_guard lock(mutex_);
    return filter_;
}

void DMDriveManager::setFilter(std::string filter) {
    std::vector<std::shared_ptr<DMDriveManagerProtocol>> managers;
    {
        std::lock_guard lock(mutex_);
        filter_ = filter;
        for (const auto& [key, manager] : managerMap_) {
            managers.push_back(manager);
        }
    }
    for (const auto& manager : managers) {
        manager->setFilter(filter);
    }
}

DMDriveManager::ManagerMap DMDriveManager::managerMap() const {
    std::lock_guard lock(mutex_);
    return managerMap_;
}

}  // namespace harbormind
