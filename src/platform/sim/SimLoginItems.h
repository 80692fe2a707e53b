#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/LoginItems.h"

namespace harbormind {

// Login items kept in memory: what a test or a scenario switched on or off.
class SimLoginItems final : public LoginItems {
public:
    std::optional<LoginItemState> state(const std::string& identifier) override {
        std::lock_guard lock(mutex_);
        auto found = items_.find(identifier);
        if (found == items_.end()) {
            return std::nullopt;
        }
        return found->second;
    }

    bool setState(const std::string& identifier, LoginItemState state) override {
        std::lock_guard lock(mutex_);
        if (refusing_) {
            return false;
        }
        items_[identifier] = state;
        return true;
    }

    // Makes every later switch fail, as a platform that refuses the change.
    void setRefusing(bool refusing) {
        std::lock_guard lock(mutex_);
        refusing_ = refusing;
    }

private:
    std::mutex mutex_;
    std::map<std::string, LoginItemState> items_;
    bool refusing_ = false;
};

}  // namespace harbormind
