#include "platform/sim/SimSettingsStore.h"

namespace harbormind {

std::optional<PlatformValue> SimSettingsStore::value(const std::string& key) {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    return it == values_.end() ? std::nullopt : std::optional(it->second);
}

void SimSettingsStore::setValue(const std::string& key, const PlatformValue& value) {
    std::lock_guard lock(mutex_);
    values_[key] = value;
}

void SimSettingsStore::removeValue(const std::string& key) {
    std::lock_guard lock(mutex_);
    values_.erase(key);
}

std::vector<std::string> SimSettingsStore::keys() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> keys;
    for (const auto& [key, value] : values_) {
        keys.push_back(key);
    }
    return keys;
}

}  // namespace harbormind
