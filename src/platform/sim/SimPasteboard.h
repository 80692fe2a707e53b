#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/Pasteboard.h"

namespace harbormind {

// Named boards kept in memory; a test writes on them as another program would.
class SimPasteboard final : public Pasteboard {
public:
    std::optional<std::string> string(const std::string& name) override {
        std::lock_guard lock(mutex_);
        auto found = boards_.find(name);
        if (found == boards_.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    void clear(const std::string& name) override {
        std::lock_guard lock(mutex_);
        boards_.erase(name);
    }
    void setString(const std::string& name, const std::string& text) {
        std::lock_guard lock(mutex_);
        boards_[name] = text;
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::string> boards_;
};

}  // namespace harbormind
