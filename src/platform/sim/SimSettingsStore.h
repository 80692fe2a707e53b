#pragma once

#include <mutex>

#include "platform/SettingsStore.h"

namespace harbormind {

// A settings domain kept in memory.
class SimSettingsStore final : public SettingsStore {
public:
    explicit SimSettingsStore(PlatformValue::Dictionary values = {}) : values_(std::move(values)) {}

    std::optional<PlatformValue> value(const std::string& key) override;
    void setValue(const std::string& key, const PlatformValue& value) override;
    void removeValue(const std::string& key) override;
    std::vector<std::string> keys() override;

private:
    std::mutex mutex_;
    PlatformValue::Dictionary values_;
};

}  // namespace harbormind
