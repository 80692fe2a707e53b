#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformValue.h"

namespace harbormind {

// One per-user key-value settings domain with typed values.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual std::optional<PlatformValue> value(const std::string& key) = 0;
    virtual void setValue(const std::string& key, const PlatformValue& value) = 0;
    virtual void removeValue(const std::string& key) = 0;
    virtual std::vector<std::string> keys() = 0;
};

}  // namespace harbormind
