#include "agent/USBAgentModeStore.h"

#include "usbblocker/USBBlocker.h"

namespace harbormind {

USBAgentModeStore::USBAgentModeStore(const USBBlockerSettings& settings) {
    values_[USBBlocker::modelKey] = PlatformValue(static_cast<int>(settings.model()));
}

std::optional<PlatformValue> USBAgentModeStore::value(const std::string& key) {
    std::lock_guard lock(mutex_);
    auto found = values_.find(key);
    return found == values_.end() ? std::nullopt : std::optional<PlatformValue>(found->second);
}

void USBAgentModeStore::setValue(const std::string& key, const PlatformValue& value) {
    std::lock_guard lock(mutex_);
    values_[key] = value;
}

void USBAgentModeStore::removeValue(const std::string& key) {
    std::lock_guard lock(mutex_);
    values_.erase(key);
}

std::vector<std::string> USBAgentModeStore::keys() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    for (const auto& [key, value] : values_) {
        names.push_back(key);
    }
    return names;
}

}  // namespace harbormind
